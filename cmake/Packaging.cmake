# The Debian package: `cpack -G DEB` in the build folder (or
# `cmake --build build --target package`). It holds whatever the build
# installs — the window, the command line and its Qt module, the converter
# in the program's private library folder, icons, menu entry, AppStream
# metadata, manual pages, bash completion, copyright and changelog — and
# depends on the Debian packages of the libraries they link (dpkg-shlibdeps).
# `lintian` finds nothing to report on it (tests/packaging/CheckPackage.cmake).
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "zebrix")
set(CPACK_PACKAGE_VENDOR "Zebrix")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "one-dimensional barcodes: Code 39, Interleaved 2 of 5, Code 128, Codabar")
# Lines of at most 80 characters; cpack indents them.
set(CPACK_PACKAGE_DESCRIPTION
    "Zebrix draws a one-dimensional barcode from a line of text while you
type, and copies it, saves it as BMP or JPEG, or prints it at its true
size. Its user interface is in French.

zebrix-cli draws the same pictures from the command line, one or thousands
from a list, as BMP, PNG, JPEG or SVG files, and can read each one back.")
set(CPACK_PACKAGE_CONTACT "The Zebrix team <contact@zebrix.example.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zebrix.example.org")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Labels need a sans-serif font close to the window's (Qt's JPEG and
# offscreen plugins come with libqt6gui6, found by dpkg-shlibdeps); Qt's own
# texts (standard buttons, file and print dialogs) are in French only with
# Qt's translations.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation | fonts-dejavu-core, qt6-translations-l10n")
# On a Wayland session the window runs natively only with Qt's Wayland
# platform; without it Qt falls back to XWayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
include(CPack)
