# The installed layout, under CMAKE_INSTALL_PREFIX:
#   bin/tessel-viewer, bin/tessel-setup
#   lib/tessel-viewer/            the application folder (AppPath): tessel-open, Perl/ (the
#                                 preparation tools), XslShelf/cals.xsl, help/
#   share/tessel-viewer/          the data folder (AppDataPath): DTDs/ with the catalogs,
#                                 DTDs and document stylesheets; demo/ with the demo package
#   share/applications, share/icons, share/mime: desktop integration
# The DTD folder and XslShelf/cals.xsl come from the build tree (cmake/TesselData.cmake).
set(TESSEL_APP_DIR lib/tessel-viewer)
set(TESSEL_DATA_DIR share/tessel-viewer)

if(TARGET tessel-viewer)
  install(TARGETS tessel-viewer RUNTIME DESTINATION bin)
endif()
install(TARGETS tessel-setup RUNTIME DESTINATION bin)
install(TARGETS tessel-open RUNTIME DESTINATION ${TESSEL_APP_DIR})
install(TARGETS PathMend DtdStrip RUNTIME DESTINATION ${TESSEL_APP_DIR}/Perl)
if(TARGET SgmlLift24)  # GCC builds only
  install(TARGETS SgmlLift24 RUNTIME DESTINATION ${TESSEL_APP_DIR}/Perl)
endif()
install(FILES ${TESSEL_BUILD_CALS_XSL} DESTINATION ${TESSEL_APP_DIR}/XslShelf)
install(DIRECTORY ${PROJECT_SOURCE_DIR}/help DESTINATION ${TESSEL_APP_DIR})
install(DIRECTORY ${TESSEL_BUILD_DTD_DIR} DESTINATION ${TESSEL_DATA_DIR})
install(FILES ${TESSEL_DEMO_PACKAGE} DESTINATION ${TESSEL_DATA_DIR}/demo)
install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/tessel-viewer.desktop
        DESTINATION share/applications)
# The about box's icon is the application's icon too.
install(FILES ${PROJECT_SOURCE_DIR}/shell/resources/tessel_icon.svg
        DESTINATION share/icons/hicolor/scalable/apps RENAME tessel-viewer.svg)
