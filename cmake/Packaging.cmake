# The Debian package of the installed program: cpack -G DEB in the build folder gives
# vorla_VERSION_ARCH.deb, its library dependencies found by dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME vorla)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Vorla")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small skinnable desktop mail monitor for POP3 mailboxes")
set(CPACK_PACKAGE_DESCRIPTION
    "Vorla watches up to ten POP3 mailboxes one after the other, shows the number of waiting
messages and a scrolling status line in a borderless window whose look comes from a skin,
and plays a sound when mail arrives. It pages through the waiting messages on the server,
answers them over SMTP and starts the user's mail program.")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vorla developers <vorla@vorla.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Started by name, not linked: the desktop's opener and mailto lookup; loaded at their first
# use, not linked: libcurl (the news) and libcanberra (the sound).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, libcurl4, libcanberra0")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "sound-theme-freedesktop")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
