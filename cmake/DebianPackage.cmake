# The Linux installation and the Debian package (scripts/package): the program, its desktop
# entry, icons, AppStream metadata and manual page, all under the one application id.
set(QUILLABY_APP_ID "org.quillaby.Calculator")
include(GNUInstallDirs)
# Bound at start-up rather than on first call, and without the compiler's .comment note,
# as Debian's checks ask.
target_link_options(quillaby PRIVATE LINKER:-z,now)
install(TARGETS quillaby RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(CODE "execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
    \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/quillaby\"
    COMMAND_ERROR_IS_FATAL ANY)")
install(FILES dist/${QUILLABY_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES dist/${QUILLABY_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 128)
    install(FILES resources/quillaby-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME ${QUILLABY_APP_ID}.png)
endforeach()
install(FILES resources/quillaby.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${QUILLABY_APP_ID}.svg)

# The manual page states the service settings the program was built with ("-" written as
# "\-", so that a host copied from the page keeps its plain hyphens).
string(REPLACE "-" "\\-" QUILLABY_MAN_HOST "${QUILLABY_SERVICE_HOST}")
if(quillaby_service_ca)
    get_filename_component(ca_name "${quillaby_service_ca}" NAME)
    string(REPLACE "-" "\\-" ca_name "${ca_name}")
    set(QUILLABY_MAN_CA "the certificates of ${ca_name}, built into the program")
else()
    set(QUILLABY_MAN_CA "none: the system's CA certificates are trusted")
endif()
configure_file(dist/quillaby.1.in generated/quillaby.1 @ONLY)
configure_file(dist/changelog generated/changelog COPYONLY)
set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/quillaby-calculator)
foreach(file quillaby.1 changelog)
    # gzip -n: the same sources make the same package.
    execute_process(COMMAND gzip -9nc ${file}
                    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/generated
                    OUTPUT_FILE ${CMAKE_CURRENT_BINARY_DIR}/generated/${file}.gz
                    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/generated/quillaby.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/generated/changelog.gz dist/copyright
        DESTINATION ${doc_dir})

set(CPACK_PACKAGE_NAME "quillaby-calculator")
set(CPACK_PACKAGE_VENDOR "Quillaby")
set(CPACK_PACKAGE_CONTACT "Quillaby <help@quillaby.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Credit-card payoff calculator for minimum payments")
set(CPACK_PACKAGE_DESCRIPTION [[
Quillaby Calculator tells you how long it takes to pay off up to ten
credit-card debts when you only ever make the minimum payment, and what that
costs you: the interest and the total paid, month by month and to the cent.
From the results it can send your details and debts to a consultation service
that offers help, but only when you fill in its contact form and press OK; it
sends nothing otherwise, and reads and writes no files.]])
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "utils")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# libcurl is loaded at run time, so the binary does not name it; the fonts are no libraries.
# The forms' face, Liberation Sans Narrow, came with fonts-liberation up to Debian 12 and is
# a package of its own since 13, whose fonts-liberation (version 2) lacks it; the message
# boxes' sans is in fonts-liberation on both.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libcurl4, fonts-liberation, fonts-liberation-sans-narrow | fonts-liberation (<< 1:2)")
if(QUILLABY_SERVICE_SCHEME STREQUAL "https" AND NOT quillaby_service_ca)
    # https trusts the system's CA store, which libcurl4 only recommends.
    string(APPEND CPACK_DEBIAN_PACKAGE_DEPENDS ", ca-certificates")
endif()
# Qt's Wayland platform plugin, so that the window runs natively under Wayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)
