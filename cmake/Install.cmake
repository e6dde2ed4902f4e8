# What `cmake --install` and the Debian package put on the system: the program, its desktop
# entry, icons in the hicolor theme, AppStream metainfo and the man page.
include(GNUInstallDirs)
install(TARGETS quillhaven RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(data ${CMAKE_CURRENT_SOURCE_DIR}/data)
install(FILES ${data}/${QUILLHAVEN_APP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${data}/icons/${QUILLHAVEN_APP_ID}.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size IN ITEMS 16 22 24 32 48 64 128 256 512)
    install(FILES ${data}/icons/${size}/${QUILLHAVEN_APP_ID}.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

configure_file(${data}/${QUILLHAVEN_APP_ID}.metainfo.xml.in
    ${CMAKE_CURRENT_BINARY_DIR}/${QUILLHAVEN_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${QUILLHAVEN_APP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

configure_file(${data}/quillhaven.1.in ${CMAKE_CURRENT_BINARY_DIR}/quillhaven.1 @ONLY)
find_program(GZIP_PROGRAM gzip)
if(GZIP_PROGRAM)
    # Debian policy wants manual pages compressed.
    add_custom_command(OUTPUT quillhaven.1.gz
        COMMAND ${GZIP_PROGRAM} -9nc quillhaven.1 > quillhaven.1.gz
        DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/quillhaven.1)
    add_custom_target(quillhaven_manpage ALL DEPENDS quillhaven.1.gz)
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/quillhaven.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
    install(FILES ${CMAKE_CURRENT_BINARY_DIR}/quillhaven.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quillhaven RENAME copyright)

# The Debian package (scripts/package): its Depends come from the binary's real shared
# libraries through dpkg-shlibdeps, plus the Qt plugins it loads at run time, which no
# library dependency names.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillhaven)
set(CPACK_PACKAGE_VENDOR "The Quillhaven developers")
set(CPACK_PACKAGE_CONTACT "The Quillhaven developers <quillhaven@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sticky notes that tuck away at the top of the screen")
set(CPACK_PACKAGE_DESCRIPTION "A small black pad hangs at the top centre of the screen and \
your notes are tucked behind it. Pull a note down and it peels off as a floating sheet of \
coloured paper; flick it back up to tuck it away. A dashboard lists every note with \
folders, colours, tags and search.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://quillhaven.github.io/")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The SVG icon engine draws the hicolor icon at any size. Recommended: Qt's own texts
# translated, the platform themes that give the desktop's own dialogs, palette and icons, and
# a dictionary to check spelling with (Hunspell itself comes in through its library).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-translations-l10n, qt6-gtk-platformtheme, qt6-xdgdesktopportal-platformtheme, \
hunspell-en-us")
set(CPACK_STRIP_FILES ON)
include(CPack)
