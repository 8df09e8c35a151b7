# The test programs that make sense on Windows, built as .exe for scripts/windows-tests to run
# under Wine (make windows-test). Not part of the default build.
set(zk_win_tests_dir ${CMAKE_SOURCE_DIR}/tests)

add_library(zk_win_testsupport STATIC EXCLUDE_FROM_ALL
    ${zk_win_tests_dir}/support/ScriptedDialogs.cpp ${zk_win_tests_dir}/support/TestDaten.cpp
    ${zk_win_tests_dir}/support/ScriptedLine.cpp ${zk_win_tests_dir}/windows/MariaDbServerOhne.cpp)
target_link_libraries(zk_win_testsupport PUBLIC zk_core Qt6::Test)

add_library(zk_win_testsupport_ui STATIC EXCLUDE_FROM_ALL
    ${zk_win_tests_dir}/support/Programmfenster.cpp ${zk_win_tests_dir}/support/Simulation.cpp)
target_link_libraries(zk_win_testsupport_ui PUBLIC zk_win_testsupport zk_evening_ui zk_machine_ui)
# The simulator is Linux's; no test built here starts it.
target_compile_definitions(zk_win_testsupport_ui PRIVATE ZK_SIM="zk-machine-sim"
    ZK_TESTDATA="Z:${zk_win_tests_dir}/data")

add_custom_target(zk_windows_tests)
function(zk_win_test name quelle)
    add_executable(${name} EXCLUDE_FROM_ALL ${zk_win_tests_dir}/${quelle})
    target_link_libraries(${name} PRIVATE ${ARGN} Qt6::Test)
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
zk_win_test(test_tabellen evening/test_tabellen.cpp zk_win_testsupport zk_evening_tabellen_ui)
zk_win_test(test_export reports/test_export.cpp zk_win_testsupport_ui zk_reports_ui)
zk_win_test(test_mitglieder reports/test_mitglieder.cpp zk_win_testsupport_ui zk_reports_ui)
zk_win_test(test_dateipflege maintenance/test_dateipflege.cpp zk_win_testsupport_ui zk_maintenance)
# The machines' dialogues and the range rows, without a serial line.
zk_win_test(test_leser machine/test_leser.cpp zk_win_testsupport zk_machine)
zk_win_test(test_programme machine/test_programme.cpp zk_win_testsupport zk_machine)
zk_win_test(test_ablauf machine/test_ablauf.cpp zk_win_testsupport zk_machine)
zk_win_test(test_standzeile rangeimport/test_standzeile.cpp zk_win_testsupport zk_rangeimport)

# Not built for Windows:
# - test_lesen_simulator, test_sam_streifenrest, test_lesen_dauerlauf, test_maschinenfenster:
#   they start the simulator (a Linux program on a pseudo-terminal) themselves.
# - test_ausdruck, test_auswertung, test_wettkampf, test_aenderungen: they read the PDFs back
#   with pdftotext, a Linux program.
# - test_anzeige, test_anzeigegrenzen: Linux's chromium through python3-selenium.
# - test_sicherungen, test_zurueckholen, test_umzug, test_accessuebernahme, test_zweistaende:
#   they start python3, mdbtools, the program or the test stand as Linux processes.
# - test_ausfall, test_mehrplatz, test_meytonimport, test_ohne_datenquelle, test_serverodbc,
#   test_serveranweisungen:
#   a MariaDB server of the test's own, stopped and continued by signals, and unixODBC's
#   configuration files.
# - test_fenster, test_schussbild, test_einstellungsfenster: not yet tried here.
# A reading over a COM port that scripts/windows-tests maps to the Linux simulator's
# pseudo-terminal.
zk_win_test(test_com_wine windows/test_com_wine.cpp zk_win_testsupport_ui)
