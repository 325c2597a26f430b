# The Debian package (cpack -G DEB). It holds what the install rules
# install: the program and the files in data/, never tests or benchmarks.
set(CPACK_PACKAGE_NAME wellenschau)
set(CPACK_PACKAGE_VENDOR "Wellenschau developers")
# The project has no domain of its own yet: the address is a reserved
# placeholder and the package names no homepage.
set(CPACK_PACKAGE_CONTACT "Wellenschau developers <wellenschau@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sound-card oscilloscope and spectrum analyser")
set(CPACK_PACKAGE_DESCRIPTION
  "Wellenschau records from the sound card or plays a sound file and shows a
triggered waveform, a spectrum and a scrolling spectrogram. It also analyses
sound files without a window and writes PNG and CSV files. Its user
interface is German or English, after the locale.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/StripComment.cmake)
set(CPACK_WELLENSCHAU_STRIP ${CMAKE_STRIP})

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# dpkg-shlibdeps names the packages of every library the program links
# (Qt 6 Widgets, Gui and Core, PortAudio, ALSA, JACK, libsndfile, libsoxr,
# the C and C++ runtime), with the versions it needs. Qt's xcb and offscreen
# platform plugins come with libqt6gui6 on Debian 12. What the program uses
# without linking it is named here: the ALSA plugins through which PortAudio
# reaches PulseAudio and PipeWire, and the chart font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libasound2-plugins, fonts-liberation2")

include(CPack)
