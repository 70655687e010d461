# The Debian package: both programs, the desktop entry, the icons and the
# AppStream metainfo, with library dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR "DEB")
set(CPACK_PACKAGE_NAME "tamrel")
set(CPACK_PACKAGE_VENDOR "ruma-SELVO")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "ruma-SELVO <tamrel@ruma-selvo.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "tone curves and gamma tables for scanners")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "Tamrel tunes four curve parameters (Black, White, Alpha and Gamma) for each\n"
    "of red, green and blue, plots the three tone curves, and exports them as\n"
    "gamma tables for the scanner. A linear scan (gamma 1.0) is shown through\n"
    "the tables with pixel readout and panning. tamrel-cli applies the same\n"
    "tables in scripts.")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION "graphics")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
include(CPack)

# Everything the install rules above take from the build folder, so that the
# package is complete from any build state: cmake --build ... --target
# tamrel_package_contents, then cpack.
add_custom_target(tamrel_package_contents)
add_dependencies(tamrel_package_contents tamrel tamrel-cli tamrel_changelog tamrel_man_pages)
