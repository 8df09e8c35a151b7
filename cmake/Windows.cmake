# The Windows build (cross-built on Debian with MinGW-w64 and the Qt that scripts/windows-qt
# makes ready): SQLite and Qt's SQLite driver built into the program, so that the program's own
# SQLite calls (collation, backup, integrity check) and the driver share one SQLite.
set(ZK_WIN_CACHE "$ENV{HOME}/.cache/zielkunst/windows" CACHE PATH "What scripts/windows-qt made ready")
set(ZK_SQLITE_QUELLEN "${ZK_WIN_CACHE}/sqlite")
if(NOT EXISTS "${ZK_SQLITE_QUELLEN}/sqlite3.c" OR NOT EXISTS "${ZK_SQLITE_QUELLEN}/qsql_sqlite.cpp")
    message(FATAL_ERROR "SQLite for Windows missing in ${ZK_SQLITE_QUELLEN}: run scripts/windows-qt")
endif()
enable_language(C)

# mdbtools' programs, which read the old program's Access files, lie beside the program (and
# beside the test programs, which take files over in their own process).
set(ZK_MDBTOOLS_PROGRAMME)
foreach(p ver tables schema export count)
    list(APPEND ZK_MDBTOOLS_PROGRAMME "${ZK_WIN_CACHE}/mdbtools/bin/mdb-${p}.exe")
endforeach()
foreach(p IN LISTS ZK_MDBTOOLS_PROGRAMME)
    if(NOT EXISTS "${p}")
        message(FATAL_ERROR "mdbtools for Windows missing (${p}): run scripts/windows-qt")
    endif()
endforeach()
file(COPY ${ZK_MDBTOOLS_PROGRAMME} DESTINATION "${CMAKE_BINARY_DIR}")
file(COPY ${ZK_MDBTOOLS_PROGRAMME} DESTINATION "${CMAKE_BINARY_DIR}/app")

# SQLite as Qt builds its own copy, with the same options.
add_library(zk_sqlite3 STATIC "${ZK_SQLITE_QUELLEN}/sqlite3.c")
target_include_directories(zk_sqlite3 SYSTEM PUBLIC "${ZK_SQLITE_QUELLEN}")
target_compile_definitions(zk_sqlite3 PRIVATE
    SQLITE_ENABLE_COLUMN_METADATA SQLITE_ENABLE_FTS3 SQLITE_ENABLE_FTS3_PARENTHESIS
    SQLITE_ENABLE_FTS5 SQLITE_ENABLE_JSON1 SQLITE_ENABLE_RTREE SQLITE_OMIT_COMPLETE
    SQLITE_OMIT_LOAD_EXTENSION NDEBUG)
target_compile_options(zk_sqlite3 PRIVATE -w)

# Qt's SQLite driver, registered as "QSQLITE" before any connection is made.
add_library(zk_sqlite_treiber STATIC "${ZK_SQLITE_QUELLEN}/qsql_sqlite.cpp"
                                     "${ZK_SQLITE_QUELLEN}/qsql_sqlite_p.h")
target_compile_definitions(zk_sqlite_treiber PUBLIC QT_PLUGIN)
target_compile_options(zk_sqlite_treiber PRIVATE -w)
target_include_directories(zk_sqlite_treiber PUBLIC "${ZK_SQLITE_QUELLEN}")
target_link_libraries(zk_sqlite_treiber PUBLIC zk_sqlite3 Qt6::Core Qt6::CorePrivate Qt6::SqlPrivate)

# The registration is linked into every program as an object (a static library would drop it:
# nothing calls it by name).
add_library(zk_sqlite_anmeldung OBJECT "${CMAKE_SOURCE_DIR}/platform/windows/SqliteTreiber.cpp")
target_link_libraries(zk_sqlite_anmeldung PRIVATE zk_sqlite_treiber)

add_library(zk_sqlite INTERFACE)
target_link_libraries(zk_sqlite INTERFACE $<TARGET_OBJECTS:zk_sqlite_anmeldung> zk_sqlite_treiber)
add_library(SQLite::SQLite3 ALIAS zk_sqlite)

# A console program: --version, --help and the maintenance options write to the console, and
# test programs report through it.
set(CMAKE_WIN32_EXECUTABLE OFF)

enable_language(RC)
# The installer, once every target exists.
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL include
               ${CMAKE_SOURCE_DIR}/packaging/windows/Paket.cmake)
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL include
               ${CMAKE_SOURCE_DIR}/cmake/WindowsTests.cmake)
