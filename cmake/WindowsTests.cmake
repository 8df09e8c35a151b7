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
