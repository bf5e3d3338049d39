# The Debian package: `make package` runs CPack's DEB generator on the build. Everything the
# package holds comes from the install rules, so `make install` and the package agree.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME keyrack)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Keyrack developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "password keeper for one person at one desktop")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Keyrack shows a tree of groups and entries (what a password is for, its web\n"
    "address or program, the user name and the password) after you log in. It\n"
    "generates passwords, empties the clipboard after copying one, locks itself\n"
    "when idle, backs up its data file and imports and exports CSV files.\n"
    "The values in the data file are scrambled, not encrypted.")
set(KEYRACK_MAINTAINER "The Keyrack developers <keyrack@example.org>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${KEYRACK_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
if(KEYRACK_HOME_URL)
    set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KEYRACK_HOME_URL}")
endif()
# keyrack_<version>_<arch>.deb; the dependencies are read from the binary by dpkg-shlibdeps.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
# The install prefix is /usr itself, not the staging folder, so that the desktop entry written
# at install time names /usr/bin/keyrack.
set(CPACK_SET_DESTDIR ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_INSTALL_PREFIX /usr)
include(CPack)
