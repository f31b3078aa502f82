# The Debian package (scripts/package): CPack's DEB generator over the
# install rules, with the files under /usr and the dependencies computed
# by dpkg-shlibdeps from the libraries the programs link.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME spindrel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR Tolvane)
set(CPACK_PACKAGE_CONTACT "Tolvane <support@tolvane.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "casual puzzle game of matching pictures on rolling balls")
set(CPACK_PACKAGE_DESCRIPTION
"Balls roll in a chain along a curved track towards a gate. Every ball
hides one of 13 pictures: click two balls to turn them over, and when their
pictures match they leave the track and score. Quick pairs build combos;
bonus balls show every picture, roll the chain back, stop it, clear one
picture from the track or blow up their neighbours.
.
100 levels on 30 tracks in 18 stages, with player profiles, saved games,
best times and a high-score table.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
# The fonts the game's system-font texts and the crash viewer read at run
# time, which no linked library brings.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")

# What Debian asks of a game's package beyond the installed files: the
# program in /usr/games, the copyright file, the compressed changelog and
# manual page.
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebianFiles.cmake)
set(CPACK_SPINDREL_DIST_DIR ${PROJECT_SOURCE_DIR}/dist)

include(CPack)
