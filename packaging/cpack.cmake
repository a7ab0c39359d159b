# The Debian package: `cpack --config build/CPackConfig.cmake` (or
# `cmake --build build --target package`) writes build/vork_VERSION_ARCH.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vork)
set(CPACK_PACKAGE_VENDOR "VORK")
set(CPACK_PACKAGE_CONTACT "VORK maintainers <vork@localhost>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "development environment for building compilers the lex/yacc way")
set(CPACK_PACKAGE_DESCRIPTION "VORK keeps a lex specification, a yacc grammar and C files in a project,
generates the scanner and the parser with its own generators DUQ-Lex and
DUQ-yacc, compiles them with vork-cc, runs the result and steps through it
in debug mode. It also assembles Jal sources into JVM class files.
The user interface is in Slovak.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries (Qt 6, the C++ runtime) are found by dpkg-shlibdeps;
# vork-cc needs a C++ compiler at run time, which no library names, and the
# toolbar's SVG pictures need Qt's SVG plugin, which is loaded, not linked.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "g++, qt6-translations-l10n, libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "default-jre-headless")
include(CPack)
