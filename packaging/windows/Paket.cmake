# The Windows installer Zielkunst-Setup-<version>.exe (CPack's NSIS generator, 64-bit):
# the program and the machine simulator, the DLLs they import, Qt's plugins and German
# texts, a start-menu entry with the program's icon. The uninstaller removes what was
# installed, nothing else: the club's databases, backups and settings live in the user's
# documents and settings folders.

# A window program: no console opens from the start menu (main attaches to the console of
# whoever started it from one, for --version and the maintenance options).
set_target_properties(zielkunst PROPERTIES WIN32_EXECUTABLE ON)
target_sources(zielkunst PRIVATE ${CMAKE_CURRENT_LIST_DIR}/zielkunst.rc)

install(TARGETS zielkunst RUNTIME DESTINATION .)
# The machine simulator beside it, for trying a reading over a null-modem cable or a virtual
# COM pair; its Qt6SerialPort.dll comes with the DLLs collected below.
install(TARGETS zk-machine-sim RUNTIME DESTINATION .)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/qt.conf DESTINATION .)
# The readers of old Access files, and mdbtools' licence (GPL) beside them.
install(PROGRAMS ${ZK_MDBTOOLS_PROGRAMME} DESTINATION .)
install(FILES "${ZK_WIN_CACHE}/mdbtools/COPYING" DESTINATION . RENAME mdbtools-COPYING.txt)
install(FILES /usr/share/qt6/translations/qtbase_de.qm DESTINATION translations)

set(qt_plugins "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_PLUGINS}")
foreach(plugin platforms/qwindows platforms/qoffscreen platforms/qminimal
               styles/qwindowsvistastyle sqldrivers/qsqlodbc tls/qschannelbackend
               imageformats/qico imageformats/qjpeg imageformats/qgif)
    get_filename_component(art ${plugin} DIRECTORY)
    install(FILES "${qt_plugins}/${plugin}.dll" DESTINATION plugins/${art})
endforeach()

# MinGW's runtime beside the compiler, Qt's DLLs in its bin folder.
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libstdc++-6.dll
                OUTPUT_VARIABLE stdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=libwinpthread-1.dll
                OUTPUT_VARIABLE winpthread OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(mingw_gcc "${stdcxx}" DIRECTORY)
get_filename_component(mingw_lib "${winpthread}" DIRECTORY)
set(dll_ordner "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" "${mingw_gcc}" "${mingw_lib}"
               "/usr/x86_64-w64-mingw32/lib")
install(CODE "
    set(ziel \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    message(STATUS \"DLLs nach \${ziel}:\")
    execute_process(COMMAND bash \"${CMAKE_SOURCE_DIR}/scripts/windows-dlls\" \"\${ziel}\" ${dll_ordner}
                    COMMAND_ERROR_IS_FATAL ANY)
")

set(CPACK_GENERATOR NSIS)
set(CPACK_PACKAGE_NAME Zielkunst)
set(CPACK_PACKAGE_VENDOR Zielkunst)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Der Schießabend des Schützenvereins")
set(CPACK_PACKAGE_FILE_NAME "Zielkunst-Setup-${PROJECT_VERSION}")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Zielkunst)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Zielkunst)
set(CPACK_PACKAGE_EXECUTABLES zielkunst Zielkunst)
set(CPACK_STRIP_FILES ON)
set(CPACK_NSIS_PACKAGE_NAME Zielkunst)
set(CPACK_NSIS_DISPLAY_NAME "Zielkunst ${PROJECT_VERSION}")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON "${CMAKE_CURRENT_LIST_DIR}/zielkunst.ico")
set(CPACK_NSIS_MUI_UNIICON "${CMAKE_CURRENT_LIST_DIR}/zielkunst.ico")
set(CPACK_NSIS_INSTALLED_ICON_NAME zielkunst.exe)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_MUI_FINISHPAGE_RUN zielkunst.exe)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
# A 64-bit installer (makensis makes 32-bit ones unless told).
set(CPACK_NSIS_DEFINES "  Target amd64-unicode")
set(CPACK_NSIS_COMPRESSOR "/SOLID lzma")
include(CPack)
