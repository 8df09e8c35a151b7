# The test programs that make sense on Windows, built as .exe for scripts/windows-tests to run
# under Wine (make windows-test). Not part of the default build.
set(zk_win_tests_dir ${CMAKE_SOURCE_DIR}/tests)

add_library(zk_win_testsupport STATIC EXCLUDE_FROM_ALL
    ${zk_win_tests_dir}/support/ScriptedDialogs.cpp ${zk_win_tests_dir}/support/TestDaten.cpp
    ${zk_win_tests_dir}/support/ScriptedLine.cpp ${zk_win_tests_dir}/windows/MariaDbServerOhne.cpp
    ${zk_win_tests_dir}/support/PdfText.cpp ${zk_win_tests_dir}/support/LinuxProgramm.cpp)
target_link_libraries(zk_win_testsupport PUBLIC zk_core Qt6::Test)

add_library(zk_win_testsupport_ui STATIC EXCLUDE_FROM_ALL
    ${zk_win_tests_dir}/support/Programmfenster.cpp ${zk_win_tests_dir}/support/Simulation.cpp)
target_link_libraries(zk_win_testsupport_ui PUBLIC zk_win_testsupport zk_evening_ui zk_machine_ui)
# The COM test drives the program with the Linux simulator; no test built here starts one.
target_compile_definitions(zk_win_testsupport_ui PRIVATE ZK_SIM="zk-machine-sim"
    ZK_TESTDATA="Z:${zk_win_tests_dir}/data")

add_custom_target(zk_windows_tests)
function(zk_win_test name quelle)
    add_executable(${name} EXCLUDE_FROM_ALL ${zk_win_tests_dir}/${quelle}
        ${zk_win_tests_dir}/windows/Laufzeitstart.cpp)
    target_link_libraries(${name} PRIVATE ${ARGN} zk_platform Qt6::Test)
    add_dependencies(zk_windows_tests ${name})
endfunction()

zk_win_test(test_profilefile platform/test_profilefile.cpp zk_platform)
zk_win_test(test_sqldialect platform/test_sqldialect.cpp zk_platform)
zk_win_test(test_database platform/test_database.cpp zk_win_testsupport zk_platform)
zk_win_test(test_zahlen core/test_zahlen.cpp zk_win_testsupport zk_core)
zk_win_test(test_einstellungen core/test_einstellungen.cpp zk_win_testsupport zk_core)
zk_win_test(test_clubdatabase core/test_clubdatabase.cpp zk_win_testsupport zk_core)
zk_win_test(test_serien evening/test_serien.cpp zk_win_testsupport zk_evening)
zk_win_test(test_punkte evening/test_punkte.cpp zk_win_testsupport zk_evening)
zk_win_test(test_ringe evening/test_ringe.cpp zk_win_testsupport_ui)
zk_win_test(test_abendsteuerung evening/test_abendsteuerung.cpp zk_win_testsupport zk_evening)
zk_win_test(test_tabellen evening/test_tabellen.cpp zk_win_testsupport zk_tabellen_ui)
zk_win_test(test_export reports/test_export.cpp zk_win_testsupport_ui zk_reports_ui)
zk_win_test(test_mitglieder reports/test_mitglieder.cpp zk_win_testsupport_ui zk_members_ui)
zk_win_test(test_dateipflege maintenance/test_dateipflege.cpp zk_win_testsupport_ui zk_maintenance)
# Old Access files taken over with the mdbtools built for Windows, which lie beside the test.
zk_win_test(test_accessuebernahme maintenance/test_accessuebernahme.cpp zk_win_testsupport_ui
    zk_maintenance_ui)
target_compile_definitions(test_accessuebernahme PRIVATE ZK_TESTDATA="Z:${zk_win_tests_dir}/data")
# What those mdbtools programs are built with: our iconv and strftime.
zk_win_test(test_mdb_zeichen windows/test_mdb_zeichen.cpp)
target_sources(test_mdb_zeichen PRIVATE ${CMAKE_SOURCE_DIR}/packaging/windows/mdbtools/iconv.c
    ${CMAKE_SOURCE_DIR}/packaging/windows/mdbtools/zeit.c)
target_include_directories(test_mdb_zeichen PRIVATE ${CMAKE_SOURCE_DIR})
# The machines' dialogues and the range rows, without a serial line.
zk_win_test(test_leser machine/test_leser.cpp zk_win_testsupport zk_machine)
zk_win_test(test_programme machine/test_programme.cpp zk_win_testsupport zk_machine)
zk_win_test(test_ablauf machine/test_ablauf.cpp zk_win_testsupport zk_machine)
zk_win_test(test_sim_leitung machine/test_sim_leitung.cpp zk_win_testsupport zk_machine)
target_sources(test_sim_leitung PRIVATE ${CMAKE_SOURCE_DIR}/tools/zk-machine-sim/Leitungseinstellung.cpp)
zk_win_test(test_standzeile rangeimport/test_standzeile.cpp zk_win_testsupport zk_rangeimport)
# The windows.
zk_win_test(test_schussbild shotpicture/test_schussbild.cpp zk_win_testsupport_ui zk_shotpicture_ui)
zk_win_test(test_einstellungsfenster maintenance/test_einstellungsfenster.cpp zk_win_testsupport_ui
    zk_maintenance_ui)
zk_win_test(test_fenster app/test_fenster.cpp zk_win_testsupport_ui zk_reports_ui zk_competition_ui
    zk_shotpicture_ui zk_rangeimport_ui zk_maintenance_ui zk_tabellen_ui zk_members_ui)
# Printouts: the PDFs are read back with the Linux pdftotext, which Wine starts for them.
zk_win_test(test_ausdruck reports/test_ausdruck.cpp zk_win_testsupport zk_reports zk_platform_print)
zk_win_test(test_auswertung reports/test_auswertung.cpp zk_win_testsupport_ui zk_reports_ui)
zk_win_test(test_wettkampf competition/test_wettkampf.cpp zk_win_testsupport_ui zk_competition_ui)
zk_win_test(test_aenderungen reports/test_aenderungen.cpp zk_win_testsupport_ui zk_members_ui)

# Not built for Windows:
# - test_lesen_simulator, test_sam_streifenrest, test_lesen_dauerlauf, test_maschinenfenster:
#   they start the simulator (a Linux program on a pseudo-terminal) themselves.
# - test_anzeige, test_anzeigegrenzen: Linux's chromium through python3-selenium (test_anzeige_wine
#   below asks the display from Linux instead).
# - test_sicherungen, test_zurueckholen, test_umzug, test_zweistaende:
#   they start python3, the program or the test stand as Linux processes.
# - test_ausfall, test_mehrplatz, test_meytonimport, test_ohne_datenquelle, test_serverodbc,
#   test_serveranweisungen:
#   a MariaDB server of the test's own, stopped and continued by signals, and unixODBC's
#   configuration files.
# A reading over COM4, which scripts/windows-tests maps to the Linux simulator's
# pseudo-terminal. Built but left out of the run: under Wine 8.0 the port opens, the line
# settings take and the program's bytes reach the simulator, which answers; but Wine ends the
# WaitCommEvent(EV_RXCHAR) that QSerialPort waits on within milliseconds as cancelled and
# never posts that to the port's I/O completion port, so QSerialPort starts no read and the
# answer is never read (scripts/windows-com-sonde shows each step).
zk_win_test(test_com_wine windows/test_com_wine.cpp zk_win_testsupport_ui)
# Backups and a restore in folders named beyond the 8-bit code page.
zk_win_test(test_sicherung_wine windows/test_sicherung_wine.cpp zk_maintenance)
# The live display asked by a Linux client.
zk_win_test(test_anzeige_wine windows/test_anzeige_wine.cpp zk_win_testsupport zk_display zk_evening)
target_compile_definitions(test_anzeige_wine PRIVATE
    ZK_ANZEIGE_ABRUF="${zk_win_tests_dir}/windows/anzeige_abruf.py")
# Where Wine's serial emulation stops, step by step (scripts/windows-com-sonde).
add_executable(com_sonde EXCLUDE_FROM_ALL ${zk_win_tests_dir}/windows/com_sonde.c)
add_dependencies(zk_windows_tests com_sonde)
