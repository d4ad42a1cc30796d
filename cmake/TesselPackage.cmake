# The Debian package (`cpack -G DEB` in a release build, or scripts/package): the installed
# layout under /usr, dependencies computed from the binaries plus the programs the viewer
# starts, the desktop entry, icon, AppStream metainfo and the copyright file.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessel-viewer)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tessel Viewer developers")
set(CPACK_PACKAGE_CONTACT "Tessel Viewer developers <maintainers@tessel-viewer.example>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION text)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Pages reach the desktop's browser through xdg-open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "chromium | www-browser")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer for patent document packages")
# The long description; cpack puts the summary above it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Tessel Viewer opens patent document packages (ZIP archives with a patent
document's XML or SGML full text, its sequence listing, TIFF drawings and
forms) and loose XML files. It lists a package's entries, prepares the
documents and shows them as formatted pages in the desktop's web browser,
with drawings as pictures and tables laid out.

It also turns a typed patent or publication number into the form online
patent services take and looks it up there. Settings and recently opened
files are kept per user.")

set(TESSEL_DOC_DIR share/doc/tessel-viewer)
install(FILES ${PROJECT_SOURCE_DIR}/data/debian/copyright DESTINATION ${TESSEL_DOC_DIR})
# Debian wants the changelog and the manual pages compressed, reproducibly (no name or
# time in the gzip header).
set(TESSEL_GZIPPED)
foreach(pair "data/debian/changelog|changelog.gz" "data/man/tessel-viewer.1|tessel-viewer.1.gz"
        "data/man/tessel-setup.1|tessel-setup.1.gz")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 gz)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/${gz}
    COMMAND gzip -n -9 -c ${PROJECT_SOURCE_DIR}/${source} > ${CMAKE_BINARY_DIR}/${gz}
    DEPENDS ${PROJECT_SOURCE_DIR}/${source}
    VERBATIM)
  list(APPEND TESSEL_GZIPPED ${CMAKE_BINARY_DIR}/${gz})
endforeach()
add_custom_target(tessel_gzipped_docs ALL DEPENDS ${TESSEL_GZIPPED})
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${TESSEL_DOC_DIR})
install(FILES ${CMAKE_BINARY_DIR}/tessel-viewer.1.gz ${CMAKE_BINARY_DIR}/tessel-setup.1.gz
        DESTINATION share/man/man1)
install(FILES ${PROJECT_SOURCE_DIR}/data/desktop/example.tessel_office.TesselViewer.metainfo.xml
        DESTINATION share/metainfo)

include(CPack)
