# The Windows leg of the suite: the cross-built test programs, run under Wine by ctest (the
# build's CMAKE_CROSSCOMPILING_EMULATOR) from tests/windows_run.sh, with what they load beside
# them in bin/ (windows_runtime).

# Qt's test library beside the tests, and the openssl.exe (with its configuration, named by
# OPENSSL_CONF) that makes the throwaway certificates of the help form's tests.
find_program(QUILLABY_TEST_OPENSSL openssl.exe PATHS ${OPENSSL_INCLUDE_DIR}/../bin
             NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
get_filename_component(openssl_bin ${QUILLABY_TEST_OPENSSL} DIRECTORY)
add_custom_target(windows_test_runtime ALL
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Qt6::Test>
            ${QUILLABY_TEST_OPENSSL} ${openssl_bin}/openssl.cnf ${CMAKE_BINARY_DIR}/bin
    VERBATIM)
set(openssl_conf "OPENSSL_CONF=Z:${CMAKE_BINARY_DIR}/bin/openssl.cnf")
set_tests_properties(tst_gethelp PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8;${openssl_conf}")

add_test(NAME tst_gethelp_tls COMMAND tst_gethelp -platform windows)
set_tests_properties(tst_gethelp_tls PROPERTIES
    ENVIRONMENT "LC_ALL=C.UTF-8;QUILLABY_TEST_TLS=1;${openssl_conf}" TIMEOUT 300)

# The captions again with none of this system's fonts in sight, as on a Windows machine: Wine
# shows a program what fontconfig lists, and this configuration lists nothing.
add_test(NAME tst_mainwindow_windows_fonts_only COMMAND tst_mainwindow -platform windows
         captionsFit)
set_tests_properties(tst_mainwindow_windows_fonts_only PROPERTIES
    ENVIRONMENT "LC_ALL=C.UTF-8;FONTCONFIG_FILE=${CMAKE_CURRENT_SOURCE_DIR}/no_system_fonts.conf")

# https through the default trust and Qt's own folders, with planted OpenSSL configuration
# files and Qt libraries around the program (windows_planted_check.sh). The test build
# carries a throwaway CA as its CA list (scripts/windows-test), whose key signs certificates
# of the test's loopback server.
qt_add_executable(tst_trust_windows tst_trust_windows.cpp)
target_link_libraries(tst_trust_windows PRIVATE quillaby_testsupport Qt6::Test crypt32)
add_library(planted_module MODULE planted_module_windows.cpp)
set_target_properties(planted_module PROPERTIES PREFIX "")
get_filename_component(carried_ca ${QUILLABY_CA_LIST} DIRECTORY)
add_test(NAME windows_planted_files
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/windows_planted_check.sh ${CMAKE_BINARY_DIR})
set_tests_properties(windows_planted_files PROPERTIES TIMEOUT 300 ENVIRONMENT
    "LC_ALL=C.UTF-8;QUILLABY_TEST_CARRIED_CA=Z:${carried_ca};QUILLABY_TEST_OPENSSL_CONF=Z:${CMAKE_BINARY_DIR}/bin/openssl.cnf")

# Signing as a release is signed, on this system alone: a token and a .pfx.
add_test(NAME windows_signing
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/windows_signing_check.sh $<TARGET_FILE:quillaby>)
set_tests_properties(windows_signing PROPERTIES TIMEOUT 120)

# The installer, signed, per user, for all users and over an older build, with its
# uninstallers, its refusals and a planted uninstaller (windows_installer_check.sh). A
# per-user installation is made as a person starts the installer, without administrator
# rights (unelevated.exe).
add_executable(unelevated unelevated_windows.cpp)
target_link_options(unelevated PRIVATE -municode)
add_executable(planted_program planted_program_windows.cpp)
add_test(NAME windows_installer
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/windows_installer_check.sh ${CMAKE_BINARY_DIR})
set_tests_properties(windows_installer PROPERTIES TIMEOUT 600)

# A signed release made by scripts/windows, checked by scripts/verify-release: its rebuild
# from the sources archive alone, with another umask, time zone and locale, gives the same
# bytes; one changed byte is refused (windows_release_check.sh).
add_test(NAME windows_release
    COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/windows_release_check.sh ${CMAKE_BINARY_DIR})
set_tests_properties(windows_release PROPERTIES TIMEOUT 1200)

# One window test at a time: they share the one display, where no window manager keeps a
# test's window from taking the keyboard from another's.
set_tests_properties(tst_mainwindow tst_wizard tst_gethelp tst_accessibility tst_gethelp_tls
    tst_mainwindow_windows_fonts_only windows_installer windows_planted_files
    PROPERTIES RESOURCE_LOCK wine_display)
