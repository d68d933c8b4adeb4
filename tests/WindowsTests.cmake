# The Windows leg of the suite: the cross-built test programs, run under Wine by ctest (the
# build's CMAKE_CROSSCOMPILING_EMULATOR) from tests/windows_run.sh, with what they load beside
# them in bin/ (windows_runtime).

# Qt's test library beside the tests, and the openssl.exe that makes the throwaway
# certificates of the TLS tests.
find_program(QUILLABY_TEST_OPENSSL openssl.exe PATHS ${OPENSSL_INCLUDE_DIR}/../bin
             NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
add_custom_target(windows_test_runtime ALL
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Qt6::Test>
            ${QUILLABY_TEST_OPENSSL} ${CMAKE_BINARY_DIR}/bin
    VERBATIM)

add_test(NAME tst_gethelp_tls COMMAND tst_gethelp -platform windows)
set_tests_properties(tst_gethelp_tls PROPERTIES
    ENVIRONMENT "LC_ALL=C.UTF-8;QUILLABY_TEST_TLS=1" TIMEOUT 300)

# The captions again with none of this system's fonts in sight, as on a Windows machine: Wine
# shows a program what fontconfig lists, and this configuration lists nothing.
add_test(NAME tst_mainwindow_windows_fonts_only COMMAND tst_mainwindow -platform windows
         captionsFit)
set_tests_properties(tst_mainwindow_windows_fonts_only PROPERTIES
    ENVIRONMENT "LC_ALL=C.UTF-8;FONTCONFIG_FILE=${CMAKE_CURRENT_SOURCE_DIR}/no_system_fonts.conf")

# The installer installs silently, the installed program opens its window, the uninstaller
# removes it.
add_test(NAME windows_installer
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/windows_installer_check.sh ${CMAKE_BINARY_DIR})
set_tests_properties(windows_installer PROPERTIES RUN_SERIAL TRUE TIMEOUT 300)
