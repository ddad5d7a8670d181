# What `cmake --install` puts where, and the release packages CPack makes from it
# (scripts/package): from a Windows build a zip of both programs, from a Linux build a Debian
# package and a tarball of quorvel-batch.

set(QUORVEL_MAINTAINER "The Quorvel developers <quorvel@users.noreply.example.org>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_PACKAGE_VENDOR "The Quorvel developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_SOURCE_DIR}/dist)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/cpack)
set(CPACK_STRIP_FILES ON)
set(CPACK_ARCHIVE_THREADS 1)

if(WIN32)
  # Unzip and run: both programs and the two documents side by side, nothing else.
  install(TARGETS quorvel quorvel-batch RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)

  set(CPACK_PACKAGE_NAME quorvel)
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_GENERATOR ZIP)
  include(CPack)
  return()
endif()

include(GNUInstallDirs)
# Not CMAKE_INSTALL_DOCDIR: that one is named after the project, capital letter and all.
set(quorvel_docdir ${CMAKE_INSTALL_DATAROOTDIR}/doc/quorvel)

configure_file(${PROJECT_SOURCE_DIR}/src/cli/quorvel-batch.1 ${PROJECT_BINARY_DIR}/man/quorvel-batch.1 @ONLY)

install(TARGETS quorvel-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_BINARY_DIR}/man/quorvel-batch.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${PROJECT_SOURCE_DIR}/src/cli/quorvel-batch.bash
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions RENAME quorvel-batch)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${quorvel_docdir})

# Debian asks every package for its copyright and changelog under its own name, and for
# compressed manual pages; the packaging step adds them to what is installed.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license_text)
string(REGEX REPLACE "\n+$" "" license_text "${license_text}")
string(REGEX REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REGEX REPLACE "\n" "\n " license_text "${license_text}")
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" copyright_line "${license_text}")
set(QUORVEL_COPYRIGHT_HOLDER "${CMAKE_MATCH_1}")
set(QUORVEL_LICENSE_TEXT "${license_text}")
string(TIMESTAMP QUORVEL_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0000" UTC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/copyright.in ${PROJECT_BINARY_DIR}/debian/copyright @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog @ONLY)

set(CPACK_PACKAGE_NAME quorvel-batch)
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageStage.cmake)
set(CPACK_QUORVEL_DEBIAN_DIR ${PROJECT_BINARY_DIR}/debian)

set(CPACK_PACKAGE_CONTACT "${QUORVEL_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUORVEL_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS wine)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS bash-completion)
# The summary is the package list's one line; CPack indents the text below it for the control file.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "batch encode lists for TMPGEnc, many video files at once")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "quorvel-batch writes a batch encode list (.tbe) for TMPGEnc, an MPEG encoder
for Windows that runs under Wine, with one job per video file: every clip of
a folder, or the files named, each converted to an MPEG file of the same name.
The encoding settings come from a TMPGEnc template or from built-in Super
Video CD (PAL) settings; aspect ratio, clipping, de-interlacing and noise
reduction apply to every job.

Linux paths are written the way Wine names them, and the encoder can be
started on the finished list. The Windows program of the same project,
quorvel.exe, is distributed separately.")

include(CPack)
