# `cpack -G DEB` in the build folder: torvi-quillbook_<version>_<arch>.deb.
set(CPACK_PACKAGE_NAME torvi-quillbook)
set(CPACK_PACKAGE_VENDOR "Torvi")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "note organizer: short texts in a tree of folders and notes")
set(CPACK_PACKAGE_DESCRIPTION_FILE ${CMAKE_CURRENT_LIST_DIR}/package-description.txt)
set(CPACK_PACKAGE_CONTACT "Torvi Quillbook <support@torvi-quillbook.example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The SVG icon engine is a plugin, but it comes with libqt6svg6, which
# dpkg-shlibdeps names already (the program links QtSvg). Not loaded as
# libraries at all: the icon theme, Qt's own German texts and the shell
# that reads the Tab completion.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "adwaita-icon-theme, qt6-translations-l10n, bash-completion")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# The package needs the programs built, not the tests and benchmarks that
# `all` holds: installing (the preinstall step of CPack too) does not build
# `all`, and CPack builds the programs itself, on every core, saying so.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackageBuild.cmake)
set(CPACK_TQB_BUILD_DIR ${CMAKE_BINARY_DIR})
set(CPACK_TQB_CMAKE ${CMAKE_COMMAND})
set(CPACK_TQB_PROGRAMS ${TQB_PROGRAMS})

include(CPack)
