# The Debian package of the installed layout (cmake/Install.cmake): cpack -G DEB in the build
# tree, or scripts/package, makes kestrel-suite_<version>_amd64.deb.
set(KESTREL_PACKAGE_MAINTAINER "Kestrel suite developers <kestrel-suite@example.org>"
    CACHE STRING "The Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrel-suite)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Kestrel suite")
set(CPACK_PACKAGE_CONTACT "${KESTREL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Tools for administrators of NetWare networks with a directory")
# The long description in lines of a terminal's width, as Debian's tools show it.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "kestrelscope and kestrelscope-classic browse the directory (NDS) and its"
  "workstation objects and start remote-management functions on them. quillbox"
  "logs every remote-control session. setup installs products described by a"
  "Setup.inf script into a Wine prefix. nwdir is the directory client on the"
  "command line. With the directory client libraries and a sample directory.")
# The install step writes quillbox's absolute library folder (cmake/InstalledRunPath.cmake):
# it must see the package's own prefix, /usr, with the staging folder as DESTDIR.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# Dependencies from what the programs and libraries actually link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# setup runs the Windows programs of a prefix, and registers what it installed there, through
# Wine when it is installed.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS wine)

include(CPack)
