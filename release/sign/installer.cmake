# CPack's project configuration for the Windows packages (CPACK_PROJECT_CONFIG_FILE), read
# when CPack runs: for a signed release (scripts/windows exports QUILLABY_SIGN_KEY), makensis
# signs the uninstaller as it writes it into the installer, and the installer once it is made.
set(CPACK_QUILLABY_NSIS_SIGNING "")
if(CPACK_GENERATOR STREQUAL "NSIS" AND NOT "$ENV{QUILLABY_SIGN_KEY}$ENV{QUILLABY_SIGN_ATTACH}" STREQUAL "")
    set(sign "'\"${CPACK_QUILLABY_SIGN_COMMAND}\" --name")
    set(CPACK_QUILLABY_NSIS_SIGNING "!uninstfinalize ${sign} Uninstall.exe \"%1\"' = 0
!finalize ${sign} ${CPACK_PACKAGE_FILE_NAME}.exe \"%1\"' = 0")
endif()
