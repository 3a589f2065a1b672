# `cmake --install` and `cpack -G DEB`: the programs, our shared libraries, the desktop entry
# with its icon and file types, the man pages and the bash completion.
install(TARGETS pelmora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
foreach(library quorlib pelmora-aspi)
    if(TARGET ${library})
        install(TARGETS ${library} LIBRARY DESTINATION ${PELMORA_INSTALL_LIBDIR}
                                   NAMELINK_SKIP)
    endif()
endforeach()
if(EXISTS ${PROJECT_SOURCE_DIR}/resources/udev/60-pelmora-sg.rules)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/udev/60-pelmora-sg.rules
            DESTINATION lib/udev/rules.d)
endif()

set(desktop ${PROJECT_SOURCE_DIR}/resources/desktop)
install(FILES ${desktop}/pelmora.1 ${desktop}/pelmora-cli.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/cli/pelmora-cli.bash
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME pelmora-cli)

if(TARGET pelmora)
    install(TARGETS pelmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES ${desktop}/pelmora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/pelmora.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
    foreach(size ${PELMORA_ICON_SIZES})
        install(FILES ${CMAKE_BINARY_DIR}/icons/${size}/pelmora.png
                DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
endif()

set(CPACK_PACKAGE_NAME pelmora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Pelmora developers <pelmora@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Sample editor for hardware samplers")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded as plugins, so not seen by the library scan: the SVG icons' renderer.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "desktop-file-utils, sox")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
