# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) once the Windows program is installed into its staging
# folder and before it is packed: strips every .exe and .dll, which keep their symbols as
# they are built or as the toolchain ships them, checks that none names a folder of this
# machine, and, for a signed release (scripts/windows exports QUILLABY_SIGN_KEY), signs each
# of them with scripts/windows-sign: once for the zip and the installer alike, where
# QUILLABY_SIGN_CACHE keeps what was signed.
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
# No binary names a folder of this machine (scripts/windows_paths.py), before any is signed.
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

# The same bytes from the same files: every staged file dated SOURCE_DATE_EPOCH (makensis and
# the zip store each file's time), and the installer's lists of files to install and to remove
# written in a fixed order (File /r and CPack's own lists take a folder's files in the order
# the file system gives them).
if(DEFINED ENV{SOURCE_DATE_EPOCH})
    file(GLOB_RECURSE staged LIST_DIRECTORIES true "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
    execute_process(COMMAND touch -h -d "@$ENV{SOURCE_DATE_EPOCH}" ${staged}
                            ${CPACK_TEMPORARY_INSTALL_DIRECTORY} RESULT_VARIABLE dated)
    if(NOT dated EQUAL 0)
        message(FATAL_ERROR "The staged files could not be dated.")
    endif()
endif()
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${CPACK_TEMPORARY_INSTALL_DIRECTORY}"
     "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
file(GLOB_RECURSE folders LIST_DIRECTORIES true RELATIVE "${CPACK_TEMPORARY_INSTALL_DIRECTORY}"
     "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
list(REMOVE_ITEM folders ${files})
list(SORT files)
list(SORT folders)
list(REVERSE folders) # the deepest first, for RMDir
set(install "")
set(remove "")
set(folder_now "-")
foreach(file ${files})
    get_filename_component(folder "${file}" DIRECTORY)
    string(REPLACE "/" "\\" windows_file "${file}")
    string(REPLACE "/" "\\" windows_folder "${folder}")
    if(NOT folder STREQUAL folder_now)
        if(folder STREQUAL "")
            string(APPEND install "  SetOutPath \"$INSTDIR\"\n")
        else()
            string(APPEND install "  SetOutPath \"$INSTDIR\\${windows_folder}\"\n")
        endif()
        set(folder_now "${folder}")
    endif()
    string(APPEND install "  File \"\${INST_DIR}\\${windows_file}\"\n")
    string(APPEND remove "  Delete \"$INSTDIR\\${windows_file}\"\n")
endforeach()
foreach(folder ${folders})
    string(REPLACE "/" "\\" windows_folder "${folder}")
    string(APPEND remove "  RMDir \"$INSTDIR\\${windows_folder}\"\n")
endforeach()
set(CPACK_QUILLABY_NSIS_INSTALL "${install}  SetOutPath \"$INSTDIR\"")
set(CPACK_QUILLABY_NSIS_REMOVE "${remove}")
