# What `cmake --install` puts where (GNUInstallDirs), and the Debian package CPack makes of it.
set(VARDEKO_APP_ID org.sarquel.Vardeko)
set(vardeko_data "${PROJECT_SOURCE_DIR}/data")

install(TARGETS vardeko RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET vardeko-player)
    install(TARGETS vardeko-player RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# Help pages and the sample publication, where the program looks for them.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/src/shell/help/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/vardeko/help)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/sample/
        DESTINATION ${CMAKE_INSTALL_DATADIR}/vardeko/sample)

# The desktop's view of the program: menu entry, file type, icons, software-centre data.
install(FILES ${vardeko_data}/${VARDEKO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${vardeko_data}/vardeko-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME vardeko.xml)
install(FILES ${vardeko_data}/${VARDEKO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${vardeko_data}/icons/hicolor
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${PROJECT_BINARY_DIR}/vardeko.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Debian package: scripts/package builds it; the dependencies come from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vardeko)
set(CPACK_PACKAGE_VENDOR Sarquel)
set(CPACK_PACKAGE_CONTACT "Vardeko maintainers <vardeko@sarquel.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "authoring tool for multimedia publications")
set(CPACK_PACKAGE_DESCRIPTION
    "Vardeko builds electronic books, kiosk presentations and catalogues page by page:
shapes, titles, articles, pictures and buttons with action scripts, tried in a run
mode inside the editor.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Images and sounds the program opens through plug-ins that no library links.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "qt6-image-formats-plugins, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, timgm6mb-soundfont, xdg-utils, hunspell-en-us | hunspell-dictionary")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
