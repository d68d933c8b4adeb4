# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) after ../sign/binaries.cmake, once the staged binaries
# are stripped and signed, before they are packed.
#
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
