# A Debian package of what `cmake --install` installs, made with CPack
# (scripts/package.sh). The libraries it needs are found by dpkg-shlibdeps;
# the Qt platform plugins are loaded at run time, so they are named here.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ravelmoor)
set(CPACK_PACKAGE_VENDOR KVOLT)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compare two folder trees and bring them into agreement")
set(CPACK_PACKAGE_DESCRIPTION
    "Ravelmoor compares a Source folder tree with a Target folder tree, pairs\n"
    "every file and folder by its path and tells which are the same, newer,\n"
    "older or only on one side. One of six sync methods then copies and\n"
    "deletes to bring the two into agreement; every sync can be undone. One\n"
    "side may be a folder on an FTP or SFTP server. A desktop program and a\n"
    "command line.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Ravelmoor developers <ravelmoor@kvolt.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${RAVELMOOR_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# ssh reads ~/.ssh/config for an SFTP side exactly as every other SSH tool does.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme, openssh-client")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
