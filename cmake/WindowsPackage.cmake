# The Windows program as a person installs it (scripts/windows): quillaby.exe with the Qt
# libraries and plugins, libcurl and the compiler's runtime beside it, a qt.conf that keeps Qt
# to this folder, the forms' face in fonts\ and the licence texts of all of it in licenses\.
# CPack makes the NSIS installer (release/pack/NSIS.template.in: per user or for all users,
# upgraded in place, a Start-menu entry, an uninstaller listed among the system's programs) and
# a zip that runs from any folder once unpacked. Every binary is stripped, and signed when the
# release is (release/sign/binaries.cmake); the zip is packed tighter (release/pack/zip.cmake).
# release/README.md tells the steps of a release.

# The program's icon and version information.
set(QUILLABY_ICO ${CMAKE_CURRENT_BINARY_DIR}/generated/quillaby.ico)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_custom_command(OUTPUT ${QUILLABY_ICO}
    COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/cmake/make_ico.py ${QUILLABY_ICO}
            ${CMAKE_CURRENT_SOURCE_DIR}/resources/quillaby-16.png
            ${CMAKE_CURRENT_SOURCE_DIR}/resources/quillaby-32.png
            ${CMAKE_CURRENT_SOURCE_DIR}/resources/quillaby-48.png
            ${CMAKE_CURRENT_SOURCE_DIR}/resources/quillaby-128.png
    DEPENDS cmake/make_ico.py resources/quillaby-16.png resources/quillaby-32.png
            resources/quillaby-48.png resources/quillaby-128.png)
configure_file(dist/windows/quillaby.rc.in generated/quillaby.rc @ONLY)
target_sources(quillaby PRIVATE ${CMAKE_CURRENT_BINARY_DIR}/generated/quillaby.rc ${QUILLABY_ICO})

# What the program loads beside it. The compiler's runtime is where the cross compiler has it.
set(quillaby_windows_runtime)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                    OUTPUT_VARIABLE path OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${path}" OR NOT EXISTS "${path}")
        message(FATAL_ERROR "The cross compiler's ${dll} is not to be found.")
    endif()
    list(APPEND quillaby_windows_runtime ${path})
endforeach()
# Liberation Sans Narrow, as Debian's fonts-liberation (12) or fonts-liberation-sans-narrow
# (13) install it, with its licence.
find_file(QUILLABY_FORM_FONT LiberationSansNarrow-Regular.ttf
          PATHS /usr/share/fonts/truetype/liberation /usr/share/fonts/truetype/liberation2
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
find_file(QUILLABY_FORM_FONT_LICENCE copyright
          PATHS /usr/share/doc/fonts-liberation-sans-narrow /usr/share/doc/fonts-liberation
          NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
get_target_property(quillaby_curl_dll CURL::libcurl IMPORTED_LOCATION_RELEASE)
if(NOT quillaby_curl_dll)
    get_target_property(quillaby_curl_dll CURL::libcurl IMPORTED_LOCATION)
endif()
# The licence folders that release/toolchain/run keeps beside each library it built.
get_filename_component(quillaby_qt_prefix "${Qt6_DIR}/../../.." ABSOLUTE)
get_filename_component(quillaby_curl_prefix "${quillaby_curl_dll}/../.." ABSOLUTE)
set(QUILLABY_WINDOWS_DEPLOY
    $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
    ${quillaby_curl_dll} ${quillaby_windows_runtime})

# The same beside the programs of the build tree, so that they and the tests run there.
add_custom_target(windows_runtime ALL
    COMMAND ${CMAKE_COMMAND} -E make_directory bin/platforms bin/styles bin/fonts
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QUILLABY_WINDOWS_DEPLOY} bin
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>
            bin/platforms
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>
            bin/styles
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QUILLABY_FORM_FONT} bin/fonts
    COMMAND ${CMAKE_COMMAND} -E copy_if_different
            ${CMAKE_CURRENT_SOURCE_DIR}/dist/windows/qt.conf bin
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR} VERBATIM)

install(TARGETS quillaby RUNTIME DESTINATION .)
install(FILES ${QUILLABY_WINDOWS_DEPLOY} DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
install(FILES ${QUILLABY_FORM_FONT} DESTINATION fonts)
# The CA list inside quillaby.exe, named as what it is.
if(QUILLABY_CARRIED_CA STREQUAL "mozilla")
    install(FILES ${QUILLABY_CARRIED_CA_PREFIX}/licenses/copyright
            DESTINATION licenses/ca-certificates)
    set(QUILLABY_CA_LICENCE_ENTRY "  Mozilla's CA list (inside quillaby.exe):      MPL-2.0         licenses\\ca-certificates
  the roots it trusts for servers with no end
  date, from Debian's ca-certificates
  ${QUILLABY_CARRIED_CA_VERSION}
")
elseif(QUILLABY_CARRIED_CA STREQUAL "given")
    set(QUILLABY_CA_LICENCE_ENTRY "  CA certificates given to the build
  (QUILLABY_CA_LIST, inside quillaby.exe)
")
else()
    set(QUILLABY_CA_LICENCE_ENTRY "")
endif()
string(TIMESTAMP QUILLABY_COPYRIGHT_YEAR "%Y" UTC)
configure_file(dist/windows/LICENSE.txt.in generated/LICENSE.txt @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/generated/LICENSE.txt dist/windows/qt.conf
        DESTINATION .)
install(DIRECTORY ${quillaby_qt_prefix}/licenses/ DESTINATION licenses/qt)
install(FILES ${quillaby_curl_prefix}/licenses/COPYING DESTINATION licenses/curl)
install(FILES ${quillaby_curl_prefix}/licenses/OpenSSL-LICENSE.txt DESTINATION licenses/openssl
        RENAME LICENSE.txt)
install(FILES ${QUILLABY_FORM_FONT_LICENCE} DESTINATION licenses/fonts)
install(FILES /usr/share/doc/gcc-mingw-w64-base/copyright DESTINATION licenses/gcc)
install(FILES /usr/share/doc/mingw-w64-common/copyright DESTINATION licenses/mingw-w64)

set(CPACK_GENERATOR "NSIS;ZIP")
set(CPACK_PACKAGE_NAME "quillaby-calculator")
set(CPACK_PACKAGE_VENDOR "Quillaby")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Credit-card payoff calculator for minimum payments")
set(CPACK_PACKAGE_FILE_NAME "quillaby-calculator-${PROJECT_VERSION}-win64")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Quillaby Calculator")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Quillaby Calculator")
set(CPACK_PACKAGE_EXECUTABLES "quillaby" "Quillaby Calculator")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_BINARY_DIR}/generated/LICENSE.txt)
set(CPACK_NSIS_DISPLAY_NAME "Quillaby Calculator")
set(CPACK_NSIS_PACKAGE_NAME "Quillaby Calculator")
set(CPACK_NSIS_MUI_ICON ${QUILLABY_ICO})
set(CPACK_NSIS_MUI_UNIICON ${QUILLABY_ICO})
set(CPACK_NSIS_INSTALLED_ICON_NAME "quillaby.exe")
# A 64-bit installer, as the program is: NSIS makes 32-bit ones unless told.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_QUILLABY_COPYRIGHT_YEAR ${QUILLABY_COPYRIGHT_YEAR})
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_SOURCE_DIR}/release/pack) # NSIS.template.in
# Stripped and, for a signed release, signed before they are packed; the installer's own
# signing is decided when CPack runs, from what scripts/windows gives it.
set(CPACK_QUILLABY_STRIP ${CMAKE_STRIP})
set(CPACK_QUILLABY_SIGN_COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/release/sign/run)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/release/sign/binaries.cmake
                            ${CMAKE_CURRENT_SOURCE_DIR}/release/pack/staged.cmake)
# Folders of this machine that no shipped binary may name, checked there before anything is
# signed or packed: the source, the build, and the toolchain's cache with its folders.
set(quillaby_toolchain_folders)
foreach(prefix ${CMAKE_PREFIX_PATH})
    get_filename_component(cache ${prefix} DIRECTORY)
    list(APPEND quillaby_toolchain_folders ${cache} ${prefix})
endforeach()
list(REMOVE_DUPLICATES quillaby_toolchain_folders)
set(CPACK_QUILLABY_PATH_CHECK ${Python3_EXECUTABLE}
    ${CMAKE_CURRENT_SOURCE_DIR}/release/sign/machine_paths.py)
set(CPACK_QUILLABY_MACHINE_FOLDERS ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_BINARY_DIR} --pieces
    ${quillaby_toolchain_folders})
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/release/pack/zip.cmake)
set(CPACK_QUILLABY_ZIP_COMMAND ${Python3_EXECUTABLE}
    ${CMAKE_CURRENT_SOURCE_DIR}/release/pack/reproducible_zip.py)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_SOURCE_DIR}/release/sign/installer.cmake)
include(CPack)
