# The generated data, written into the build tree and installed from there:
#   data/DTDs/          the data folder's DTD folder: data/DTDs of the sources and the four
#                       catalogs scripts/make-catalogs writes from their template
#   XslShelf/cals.xsl   the table page stylesheet with the shared table templates
# TESSEL_BUILD_DTD_DIR and TESSEL_BUILD_CALS_XSL name them for the tests; target tessel_data
# writes them.
set(TESSEL_BUILD_DTD_DIR ${CMAKE_BINARY_DIR}/data/DTDs)
set(TESSEL_BUILD_CALS_XSL ${CMAKE_BINARY_DIR}/XslShelf/cals.xsl)

set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/data/catalog-variants.txt)
file(STRINGS ${PROJECT_SOURCE_DIR}/data/catalog-variants.txt variants REGEX "^[^#]")
set(catalogs)
foreach(line IN LISTS variants)
  string(REGEX REPLACE "\\|.*" "" file "${line}")
  list(APPEND catalogs ${TESSEL_BUILD_DTD_DIR}/${file})
endforeach()

# Staged afresh, so a file removed from the sources leaves the installation too.
file(GLOB_RECURSE dtd_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/data/DTDs/*)
add_custom_command(
  OUTPUT ${catalogs}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${TESSEL_BUILD_DTD_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/data/DTDs ${TESSEL_BUILD_DTD_DIR}
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/make-catalogs ${TESSEL_BUILD_DTD_DIR}
  DEPENDS ${dtd_sources} ${PROJECT_SOURCE_DIR}/scripts/make-catalogs
          ${PROJECT_SOURCE_DIR}/data/catalog-template.txt
          ${PROJECT_SOURCE_DIR}/data/catalog-variants.txt
  COMMENT "Writing the DTD folder and its catalogs"
  VERBATIM)
add_custom_command(
  OUTPUT ${TESSEL_BUILD_CALS_XSL}
  COMMAND ${PROJECT_SOURCE_DIR}/XslShelf/make-cals.sh ${TESSEL_BUILD_CALS_XSL}
  DEPENDS ${PROJECT_SOURCE_DIR}/XslShelf/make-cals.sh ${PROJECT_SOURCE_DIR}/XslShelf/cals.xsl.in
          ${PROJECT_SOURCE_DIR}/data/DTDs/xsl/cals-common.xsl
  COMMENT "Writing XslShelf/cals.xsl"
  VERBATIM)
add_custom_target(tessel_data ALL DEPENDS ${catalogs} ${TESSEL_BUILD_CALS_XSL})
