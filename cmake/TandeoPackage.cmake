# The Debian package: `cpack -G DEB` in a build folder (make package uses its
# own release build) installs the build into a staging tree and packs it.
# Included from the top-level CMakeLists.txt after src/ (which sets where the
# machine-wide store goes); cpack installs every rule, also those added later.

set(TANDEO_PACKAGE_NAME velmora-tandeo)
set(TANDEO_APP_ID org.velmora.Tandeo)
set(TANDEO_HOMEPAGE https://velmora.example/tandeo)
set(TANDEO_SCREENSHOT_URL https://velmora.example/tandeo/docs/screenshot.png)
set(TANDEO_MAINTAINER "Velmora <tandeo@velmora.example>")
set(TANDEO_DEBIAN_REVISION 1)
set(TANDEO_DEBIAN_VERSION ${PROJECT_VERSION}-${TANDEO_DEBIAN_REVISION})
# The day PROJECT_VERSION was released; the metainfo and the changelog carry it.
set(TANDEO_RELEASE_DATE 2026-12-09)
set(TANDEO_RELEASE_DATE_RFC2822 "Wed, 09 Dec 2026 12:00:00 +0000")
set(TANDEO_ICON_SIZES 16 22 24 32 48 64 128 256)

add_subdirectory(${CMAKE_SOURCE_DIR}/packaging ${CMAKE_BINARY_DIR}/packaging)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${TANDEO_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR Velmora)
set(CPACK_PACKAGE_CONTACT ${TANDEO_MAINTAINER})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "identity photographs with a webcam")
set(CPACK_PACKAGE_DESCRIPTION
    "Velmora Tandeo takes identity photographs of pupils for a school's records.\n"
    "It shows the webcam's live picture, takes a photo, lets the user place and\n"
    "size a crop frame over it (one button sets the 105 x 120 pixel size of the\n"
    "school administration system) and saves the framed part as a numbered JPEG,\n"
    "GIF or BMP file. A photo browser, a camera window and a BMP, JPEG and GIF\n"
    "converter (also as the command velmora-convert) come with it.\n"
    "The interface is Turkish.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGE_HOMEPAGE_URL ${TANDEO_HOMEPAGE})
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TANDEO_DEBIAN_REVISION})
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not found by dpkg-shlibdeps because they are loaded as plugins: the SVG icon
# engine draws every toolbar icon, and without a platform plugin no window opens.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6, qt6-qpa-plugins")
# Qt's Turkish texts for its own buttons ("Evet", "Hayır", "Tamam"), and
# dlib's face landmark model: the automatic frame placement works without it
# (eyes estimated from the face's box) but places the frame better with it.
# libdlib itself is a Depends that dpkg-shlibdeps finds (libdlib19.1's shlibs).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n, libdlib-data")
# The about box's "Sistem Bilgisi..." starts one of these when it finds one.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "hardinfo | gnome-system-monitor")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/packaging/conffiles)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
