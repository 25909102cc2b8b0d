# The Debian package that scripts/package builds with `cpack -G DEB`: everything `cmake --install`
# puts in place, below /usr. dpkg-shlibdeps finds the libraries the programs link. The pictures'
# glyphs come from the installed glyph sheet; the two bitmap fonts it was written from are only
# recommended (Debian's X font packages are not for depending on), and are used once installed.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morvane)
set(CPACK_PACKAGE_VERSION ${MORVANE_VERSION})
set(CPACK_PACKAGE_CONTACT "The Morvane developers <morvane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer and converter for bulletin-board text art")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Morvane shows bulletin-board text art: pictures made of characters,\n"
    "coloured with ANSI escape sequences or with a colour file beside the text,\n"
    "in GB2312/GBK or Big5. It browses folders of art, shows each file in\n"
    "colour, saves it as text, a colour document, an HTML page or a GIF, BMP or\n"
    "PNG picture, and deletes, renames, copies and moves files.\n"
    "\n"
    "The package also holds morvane-convert, which converts whole archives at\n"
    "once, and morvane-thumbnailer, which draws the thumbnails of art files for\n"
    "file managers.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "hicolor-icon-theme")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "xfonts-unifont, xfonts-wqy, adwaita-icon-theme, shared-mime-info, desktop-file-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
