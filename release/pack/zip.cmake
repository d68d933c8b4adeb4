# Run by CPack (CPACK_POST_BUILD_SCRIPTS) once the Windows packages are made: the zip written
# again in name order, dated SOURCE_DATE_EPOCH, with fixed permissions and no owner
# (reproducible_zip.py here), so that the same files give the same bytes; then its deflate
# streams made again by advzip's stronger deflate (about 4 % smaller, and still the plain
# deflate that Windows' own Extract All reads).
foreach(package ${CPACK_PACKAGE_FILES})
    if(package MATCHES "\\.zip$")
        execute_process(COMMAND ${CPACK_QUILLABY_ZIP_COMMAND} ${package} RESULT_VARIABLE written)
        if(NOT written EQUAL 0)
            message(FATAL_ERROR "${package} could not be written again.")
        endif()
        execute_process(COMMAND advzip --recompress -3 --quiet ${package} RESULT_VARIABLE packed)
        if(NOT packed EQUAL 0)
            message(FATAL_ERROR "advzip could not pack ${package} again.")
        endif()
    endif()
endforeach()
