# The Debian package, made by scripts/package.sh: the install rules under /usr, with the
# libraries' packages found from the binaries themselves (dpkg-shlibdeps) plus the converter and
# the fonts.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME clipforge)
set(CPACK_PACKAGE_VENDOR Norvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "convert a queue of video files into other formats")
set(CPACK_PACKAGE_DESCRIPTION "Norvane Clipforge converts video files in a queue with FFmpeg, one file after
another, showing each file's state, a progress bar and a run clock. It never overwrites a
file. clipforge-batch converts list files from scripts, without a window.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Norvane Clipforge developers <clipforge@norvane.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The fonts the window's drawing asks for, so that it looks the same on a minimal system; a program
# to open the user guide and web pages with is recommended.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "ffmpeg, fonts-liberation2, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
include(CPack)
