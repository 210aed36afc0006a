# The Debian package: the programs and their helpers in /usr/lib/tarragon,
# the per-user launcher and panelrest on the PATH, the console service, the
# desktop entry, the icon, the manual pages and the documents Debian asks
# for. Built with CPack's DEB generator; scripts/package.sh adds the library
# dependencies.
set(dist ${PROJECT_SOURCE_DIR}/dist)

install(PROGRAMS ${dist}/tarragon.sh DESTINATION bin RENAME tarragon)
file(CREATE_LINK ../lib/tarragon/panelrest ${CMAKE_CURRENT_BINARY_DIR}/panelrest-on-path SYMBOLIC)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/panelrest-on-path DESTINATION bin RENAME panelrest)
install(FILES ${dist}/tarragon.desktop DESTINATION share/applications)
install(FILES ${dist}/tarragon.svg DESTINATION share/icons/hicolor/scalable/apps)
install(FILES ${dist}/copyright DESTINATION share/doc/tarragon)
install(FILES ${dist}/keymaps/pad ${dist}/keymaps/opendingux ${dist}/keymaps/miyoo
        DESTINATION share/tarragon/keymaps)
# Where systemd finds a package's units; enabled per user, never by the package.
install(FILES ${dist}/tarragon@.service DESTINATION lib/systemd/system)

# Compressed without names or times, so the same sources give the same bytes.
set(compressed)
foreach(document tarragon.1 panelrest.1 changelog)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/${document}.gz)
    add_custom_command(OUTPUT ${output}
        COMMAND gzip -9 -n -c ${dist}/${document} > ${output}
        DEPENDS ${dist}/${document}
        VERBATIM)
    list(APPEND compressed ${output})
endforeach()
add_custom_target(compressed_documents ALL DEPENDS ${compressed})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/tarragon.1.gz ${CMAKE_CURRENT_BINARY_DIR}/panelrest.1.gz
        DESTINATION share/man/man1)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz DESTINATION share/doc/tarragon)

# Debian's name for the architecture the compiler builds for.
execute_process(
    COMMAND dpkg-architecture -qDEB_HOST_ARCH -t${CMAKE_LIBRARY_ARCHITECTURE}
    OUTPUT_VARIABLE debianArchitecture
    OUTPUT_STRIP_TRAILING_WHITESPACE
    ERROR_QUIET)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarragon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "phone-style media player front-end for MPlayer")
set(CPACK_PACKAGE_DESCRIPTION
    "Tarragon is the media player of a 240x320 Linux phone: it lists folders for
media files, keeps playlists and playback options, and runs MPlayer in slave
mode, steering it with the phone's keys. On a desktop it is a phone-sized
window with a soft-key bar, the picture playing inside it.

The package also holds panelrest, which sets how long the display stays lit.")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tarragon developers <devel@tarragon.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${debianArchitecture})
set(CPACK_DEBIAN_PACKAGE_DEPENDS mplayer)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
