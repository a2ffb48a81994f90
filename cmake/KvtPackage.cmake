# The Debian package (./package.sh runs `cpack -G DEB`). The desktop's file
# triggers of shared-mime-info, desktop-file-utils and the icon cache pick up
# the installed files, so the package needs no maintainer scripts.
set(CPACK_PACKAGE_NAME kvteditor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for KVT files, typed hierarchical binary containers")
set(CPACK_PACKAGE_DESCRIPTION
    "KVT Editor shows a KVT file as a tree of typed, labelled fields and lets the user edit values, labels and struct IDs, add, delete, copy and paste subtrees, and save or export the document. kvttool opens, checks, dumps and resaves KVT files from the command line.")
set(CPACK_PACKAGE_CONTACT "KVT Editor developers <kvteditor@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Library dependencies come from dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "shared-mime-info, desktop-file-utils, hicolor-icon-theme")

include(CPack)
