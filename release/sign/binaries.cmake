# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) once the Windows program is installed into its staging
# folder and before it is packed: strips every .exe and .dll, which keep their symbols as
# they are built or as the toolchain ships them, checks that none names a folder of this
# machine, and, for a signed release (scripts/windows exports QUILLABY_SIGN_KEY), signs each
# of them with ./run: once for the zip and the installer alike, where
# QUILLABY_SIGN_CACHE keeps what was signed.
# Then ../pack/staged.cmake dates the staged files and lists them for the installer.
file(GLOB_RECURSE binaries LIST_DIRECTORIES false
     "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*.exe" "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*.dll")
if(NOT binaries)
    message(FATAL_ERROR "No program in ${CPACK_TEMPORARY_INSTALL_DIRECTORY} to strip.")
endif()
execute_process(COMMAND ${CPACK_QUILLABY_STRIP} --strip-unneeded ${binaries}
                RESULT_VARIABLE stripped)
if(NOT stripped EQUAL 0)
    message(FATAL_ERROR "${CPACK_QUILLABY_STRIP} could not strip the Windows binaries.")
endif()
# No binary names a folder of this machine (machine_paths.py here), before any is signed.
execute_process(COMMAND ${CPACK_QUILLABY_PATH_CHECK} ${CPACK_TEMPORARY_INSTALL_DIRECTORY}
                        ${CPACK_QUILLABY_MACHINE_FOLDERS} RESULT_VARIABLE clean)
if(NOT clean EQUAL 0)
    message(FATAL_ERROR "A Windows binary names a folder of this machine.")
endif()
if(NOT "$ENV{QUILLABY_SIGN_KEY}$ENV{QUILLABY_SIGN_ATTACH}" STREQUAL "")
    execute_process(COMMAND ${CPACK_QUILLABY_SIGN_COMMAND} --base ${CPACK_TEMPORARY_INSTALL_DIRECTORY}
                            ${binaries} RESULT_VARIABLE signed)
    if(NOT signed EQUAL 0)
        message(FATAL_ERROR "The Windows binaries could not be signed.")
    endif()
endif()
