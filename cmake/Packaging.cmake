# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: 2026 Clockdeck developers
#
# Install rules for the desktop (programs, menu entry, AppStream metadata, icons, manual page) and the Debian
# package. Included last from the top-level CMakeLists.txt, when every program target exists.

set(CLOCKDECK_APP_ID net.tarnwick.Clockdeck)

# The programs. Their own folders may install them too; installing a file twice is harmless.
foreach(program clockdeck clockdeck-cli)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    endif()
endforeach()

if(TARGET clockdeck)
    install(FILES ${PROJECT_SOURCE_DIR}/assets/${CLOCKDECK_APP_ID}.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${PROJECT_SOURCE_DIR}/assets/${CLOCKDECK_APP_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

    # Every drawn size, assets/icons/<N>/<id>.png, goes to hicolor/<N>x<N>/apps; the SVG to hicolor/scalable.
    file(GLOB clockdeck_icon_sizes LIST_DIRECTORIES true RELATIVE ${PROJECT_SOURCE_DIR}/assets/icons
         ${PROJECT_SOURCE_DIR}/assets/icons/*)
    foreach(size IN LISTS clockdeck_icon_sizes)
        set(png ${PROJECT_SOURCE_DIR}/assets/icons/${size}/${CLOCKDECK_APP_ID}.png)
        if(size MATCHES "^[0-9]+$" AND EXISTS ${png})
            install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
        endif()
    endforeach()
    if(EXISTS ${PROJECT_SOURCE_DIR}/assets/${CLOCKDECK_APP_ID}.svg)
        install(FILES ${PROJECT_SOURCE_DIR}/assets/${CLOCKDECK_APP_ID}.svg
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    endif()
endif()

# One manual page per program, compressed, as Debian ships manual pages.
find_program(CLOCKDECK_GZIP gzip)
set(clockdeck_man_dir ${CMAKE_CURRENT_BINARY_DIR}/man)
file(MAKE_DIRECTORY ${clockdeck_man_dir})
set(clockdeck_man_pages)
foreach(page clockdeck clockdeck-cli)
    set(source ${PROJECT_SOURCE_DIR}/docs/${page}.1)
    if(CLOCKDECK_GZIP)
        add_custom_command(OUTPUT ${clockdeck_man_dir}/${page}.1.gz
                           COMMAND ${CLOCKDECK_GZIP} -9 -n -c ${source} > ${clockdeck_man_dir}/${page}.1.gz
                           DEPENDS ${source} VERBATIM)
        list(APPEND clockdeck_man_pages ${clockdeck_man_dir}/${page}.1.gz)
    else()
        list(APPEND clockdeck_man_pages ${source})
    endif()
endforeach()
if(CLOCKDECK_GZIP)
    add_custom_target(clockdeck_man ALL DEPENDS ${clockdeck_man_pages})
endif()
install(FILES ${clockdeck_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Debian's two files beside every package's documentation: the licence in its machine-readable form and the
# changelog, compressed as Debian ships it.
install(FILES ${PROJECT_SOURCE_DIR}/docs/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/clockdeck)
if(CLOCKDECK_GZIP)
    set(clockdeck_changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
    add_custom_command(OUTPUT ${clockdeck_changelog}
                       COMMAND ${CLOCKDECK_GZIP} -9 -n -c ${PROJECT_SOURCE_DIR}/docs/changelog > ${clockdeck_changelog}
                       DEPENDS ${PROJECT_SOURCE_DIR}/docs/changelog VERBATIM)
    add_custom_target(clockdeck_changelog ALL DEPENDS ${clockdeck_changelog})
    install(FILES ${clockdeck_changelog} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/clockdeck)
endif()

# The Debian package: cpack -G DEB in the build folder. dpkg-shlibdeps works out the library dependencies.
set(CPACK_PACKAGE_NAME clockdeck)
set(CPACK_PACKAGE_VENDOR "Tarnwick Software")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "overclocking calculator for Athlon 64 family processors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Clockdeck developers <clockdeck@tarnwick.net>")
set(CPACK_PACKAGE_INSTALL_DIRECTORY clockdeck)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${CPACK_PACKAGE_CONTACT})
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Opening the results file and the link pages goes through xdg-open; the icon theme holds the hicolor folders.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, hicolor-icon-theme")
# The native Wayland platform; without it the window runs through XWayland.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tarnwick.net/clockdeck/")
# Debian shows each line of the long description as it stands: keep them short.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Clockdeck reads the processor, its boot clock and the firmware dates of the"
    "machine, fills in the stock values and shows the processor, HyperTransport"
    "and memory clocks and the voltages for every setting stepped with its"
    "arrows. It appends a plain-text report to Results.txt or copies it to the"
    "clipboard, and keeps an icon in the system tray. clockdeck-cli prints the"
    "same report in a terminal.")
include(CPack)
