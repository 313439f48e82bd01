# The Debian package: `cpack -G DEB` in a Release build folder makes
# quorbix_<version>-<release>_<arch>.deb from what `cmake --install` puts in
# place under /usr, with the dependencies dpkg-shlibdeps reads from the
# binaries. scripts/build-deb.sh runs the whole sequence from a clean clone.

include(GNUInstallDirs)

# The README goes with every installation, packaged or not.
install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(QUORBIX_DEB_RELEASE 1 CACHE STRING "Debian revision of the package")
set(QUORBIX_DEB_MAINTAINER "Vellumora Software <quorbix@vellumora.com>"
  CACHE STRING "Maintainer field of the Debian package and its changelog")

# What only the package holds (copyright, Debian changelog, lintian
# overrides) is added to CPack's staging folder by DebianStaging.cmake, which
# also compresses the man pages and the long documents the way Debian wants.
set(QUORBIX_DEB_FILES ${CMAKE_CURRENT_BINARY_DIR}/deb)
configure_file(${PROJECT_SOURCE_DIR}/packaging/deb/changelog.in
  ${QUORBIX_DEB_FILES}/changelog @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/deb/copyright
  ${QUORBIX_DEB_FILES}/copyright COPYONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/deb/lintian-overrides
  ${QUORBIX_DEB_FILES}/lintian-overrides COPYONLY)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorbix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vellumora Software")
set(CPACK_PACKAGE_CONTACT ${QUORBIX_DEB_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch converter of Kodak PhotoCD pictures to TIFF")
# CPack puts the summary line first and indents these lines itself.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
"quorbix takes a PhotoCD picture, a list file or a whole folder tree,
extracts each image at its best resolution, passes it through a fixed
chain of operations (rotation, resizing, flips, tonal corrections,
greyscale, threshold, a frame, a text or picture watermark) and writes
TIFF files named by a filename mask.

The package includes the program's own PhotoCD decoder, which quorbix
runs as its converter.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${QUORBIX_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${QUORBIX_DEB_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.vellumora.com/quorbix")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Text is drawn with fontconfig, which finds these at run time only.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebianStaging.cmake)
set(CPACK_QUORBIX_DEB_FILES ${QUORBIX_DEB_FILES})
set(CPACK_QUORBIX_DOCDIR ${CMAKE_INSTALL_DOCDIR})
set(CPACK_QUORBIX_MANDIR ${CMAKE_INSTALL_MANDIR})
set(CPACK_QUORBIX_STRIP ${CMAKE_STRIP})

include(CPack)
