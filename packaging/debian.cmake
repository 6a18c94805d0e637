# The Debian package, built by CPack's DEB generator (`make package`, or `cpack` in the build
# folder). The package installs under /usr; its dependencies are read from the shared libraries
# the program links (dpkg-shlibdeps), plus what it needs at run time and cannot link: a Japanese
# font for the window's layout and xdg-utils for the mail client and the browser.

# Debian's own documents beside the README the manual page points to.
set(doc_folder ${CMAKE_INSTALL_DATAROOTDIR}/doc/zelvora)
zelvora_gzip(${CMAKE_CURRENT_LIST_DIR}/changelog ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz)
add_custom_target(zelvora_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_CURRENT_LIST_DIR}/copyright
    ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz
    DESTINATION ${doc_folder})
# The two lintian warnings that do not apply to a package published outside Debian, with why.
install(FILES ${CMAKE_CURRENT_LIST_DIR}/lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides RENAME zelvora)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelvora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR TavrinSoft)
set(CPACK_PACKAGE_CONTACT "TavrinSoft <support@tavrinsoft.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "mail magazine editor that sends through sendmail")
set(CPACK_PACKAGE_DESCRIPTION
    "Zelvora is a small desktop tool for writing mail magazines, periodic plain-text\n"
    "e-mail newsletters. It joins the title, homepage, e-mail and issue lines, a\n"
    "signature, the body and a closing line into one document, lets the user edit it\n"
    "and choose its display font, and sends it to one recipient through the system's\n"
    "sendmail-compatible mail transport.\n"
    "\n"
    "Its window is in Japanese (メールマガジン作成支援ソフト).")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "TavrinSoft <support@tavrinsoft.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.tavrinsoft.example/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic | fonts-japanese-gothic, xdg-utils")
# A transport is recommended, not required: the user may send through a mail client instead.
# msmtp-mta comes first, being the one a desktop user can set up alone; any installed MTA
# satisfies the alternative, so none is replaced. A Wayland session draws Qt 6 programs through
# qt6-wayland.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "msmtp-mta | mail-transport-agent, qt6-translations-l10n, qt6-wayland")
# Japanese is typed through an input method that reaches Qt 6 programs: fcitx5 through its Qt 6
# module, or ibus, which Qt talks to by itself. uim cannot: Qt 6 has no XIM.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "fcitx5-frontend-qt6 | ibus")

include(CPack)
