# `make deb`: a Debian binary package made by CPack from the build tree.
#
# CPack packs what the install rules put in place, so the package holds
# exactly what `make install` installs, under /usr. What a Debian package has
# beyond that (programs stripped, gzipped manual pages, the copyright file and
# changelog.Debian.gz) is done in deb/Stage.cmake on CPack's staging tree.
# CPack rather than debhelper: it packs the tree `make test` has built, with
# no second build and nothing written outside the build folder.

set(TABRINO_DEB_MAINTAINER "TabrinoCE developers <dev@tabrinoce.invalid>" CACHE STRING
  "Maintainer field of the Debian package")
set(TABRINO_DEB_REVISION 1 CACHE STRING "Debian revision of the package version")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tabrino)
set(CPACK_PACKAGE_VENDOR "TabrinoCE")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TABRINO_DEB_MAINTAINER}")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/deb)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "skinned Standard MIDI File player")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[
TabrinoCE plays Standard MIDI Files (.mid, .midi, .kar) through its
built-in General MIDI synthesizer (FluidSynth with the TimGM6mb SoundFont),
an ALSA sequencer port, a serial MIDI interface or a USB MIDI cable. Its
window is the face of a pocket player: sixteen channel meters, the position
as bar.beat.tick and as time, a position slider, a volume slider, and
buttons for tempo and transposition. The desktop's media keys and media
controls (MPRIS) play, pause and seek.

The package also holds tabrino-play, which plays a song from the command
line or renders it into a WAV file, and tabrino-dump, which prints the
events of a Standard MIDI File.]=])

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TABRINO_DEB_REVISION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TABRINO_DEB_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link come from dpkg-shlibdeps. Named here:
# FluidSynth and ALSA, which the programs open at run time (the synthesizer,
# the sequencer and the port list), out of dpkg-shlibdeps' sight; the SoundFont it
# loads by default (/usr/share/sounds/sf2/TimGM6mb.sf2); Liberation, whose
# Liberation Sans has Arial's metrics, the face the skin's text is laid out
# for. (Qt's X11 platform plugin comes with libqt6gui6 on Debian 12.)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libfluidsynth3, libasound2, timgm6mb-soundfont, fonts-liberation2")

# The changelog's one entry is this build's version, dated now (or at
# SOURCE_DATE_EPOCH, for a reproducible package).
string(TIMESTAMP TABRINO_DEB_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(TABRINO_DEB_VERSION ${PROJECT_VERSION}-${TABRINO_DEB_REVISION})
configure_file(${CMAKE_CURRENT_LIST_DIR}/deb/changelog.Debian.in
  ${CMAKE_BINARY_DIR}/deb-files/changelog.Debian @ONLY)
# CPack hands its CPACK_* variables over to the staging script.
set(CPACK_TABRINO_DOC_FILES ${CMAKE_CURRENT_LIST_DIR}/deb/copyright
  ${CMAKE_BINARY_DIR}/deb-files/changelog.Debian)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb/Stage.cmake)

include(CPack)
