# What `cmake --install` puts where, and the release packages CPack makes from it
# (scripts/package): from a Windows build a zip of both programs; from a Linux build the Debian
# package and tarball of quorvel-batch and, given the Windows build's quorvel.exe, the Debian
# package of the window program with its launcher.

# The maintainer, when not given: DEBFULLNAME and DEBEMAIL as Debian's tools take them, otherwise
# the author of the commit built, so that every build of one commit names the same person.
set(QUORVEL_MAINTAINER "" CACHE STRING "Maintainer named in the Debian packages: Name <address>")
set(maintainer "${QUORVEL_MAINTAINER}")
if(NOT maintainer AND DEFINED ENV{DEBEMAIL})
  set(maintainer "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
elseif(NOT maintainer)
  execute_process(COMMAND git -C ${PROJECT_SOURCE_DIR} log -1 "--format=%an <%ae>"
                  OUTPUT_VARIABLE maintainer OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT maintainer MATCHES "^[^<>]+ <[^<> ]+@[^<> ]+>$")
  set(maintainer "The Quorvel developers")
  if(NOT WIN32)
    message(WARNING "No maintainer address for the Debian packages: set QUORVEL_MAINTAINER or DEBEMAIL")
  endif()
endif()
set(QUORVEL_MAINTAINER "${maintainer}")
# The desktop entry's and metainfo's name: reverse DNS of a domain the publisher holds.
set(QUORVEL_APP_ID "local.quorvel.quorvel" CACHE STRING "Desktop application id (reverse DNS)")

set(CPACK_PACKAGE_VENDOR "The Quorvel developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# Left out of the packages when there is none.
set(CPACK_PACKAGE_HOMEPAGE_URL "${QUORVEL_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QUORVEL_HOMEPAGE}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_OUTPUT_FILE_PREFIX ${PROJECT_SOURCE_DIR}/dist)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/cpack)
set(CPACK_STRIP_FILES ON)
set(CPACK_ARCHIVE_THREADS 1)
# Archives made again with fixed times, owners and order (PackageFields.cmake).
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/PackageFields.cmake)

# Text files for Windows users: CR LF line ends, a name Notepad opens.
function(quorvel_windows_text source target)
  file(READ ${source} text)
  string(CONFIGURE "${text}" text @ONLY)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE ${target} "${text}")
endfunction()

# SOURCE, @-configured when asked, gzip-compressed into TARGET.gz: the form Debian wants for
# manual pages and documents. -n keeps out a name and a time, so the same sources pack the same.
function(quorvel_compressed source target)
  configure_file(${source} ${target} ${ARGN})
  execute_process(COMMAND gzip -9nf ${target} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

if(WIN32)
  # Unzip and run: both programs and the user's two documents side by side, nothing else.
  quorvel_windows_text(${PROJECT_SOURCE_DIR}/docs/windows/README.txt ${PROJECT_BINARY_DIR}/zip/README.txt)
  quorvel_windows_text(${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_BINARY_DIR}/zip/LICENSE.txt)
  install(TARGETS quorvel quorvel-batch RUNTIME DESTINATION .)
  install(FILES ${PROJECT_BINARY_DIR}/zip/README.txt ${PROJECT_BINARY_DIR}/zip/LICENSE.txt ${QUORVEL_MANUAL}
          DESTINATION .)

  set(CPACK_PACKAGE_NAME quorvel)
  set(CPACK_SYSTEM_NAME win64)
  set(CPACK_GENERATOR ZIP)
  include(CPack)
  return()
endif()

include(GNUInstallDirs)
set(QUORVEL_WINDOWS_PROGRAM "" CACHE FILEPATH
    "quorvel.exe of the Windows build; given, the window program is installed and packaged too")

# The release notes give the date of each release: the manual pages' and the packages'
# changelogs.
file(STRINGS ${PROJECT_SOURCE_DIR}/NEWS news_headings REGEX "^Quorvel [0-9.]+, [0-9-]+$")
list(GET news_headings 0 latest)
if(NOT latest MATCHES "^Quorvel ${PROJECT_VERSION}, ([0-9-]+)$")
  message(FATAL_ERROR "NEWS begins with '${latest}', not with release ${PROJECT_VERSION}")
endif()
set(QUORVEL_RELEASE_DATE ${CMAKE_MATCH_1})
set(QUORVEL_METAINFO_RELEASES "")
foreach(heading IN LISTS news_headings)
  string(REGEX REPLACE "^Quorvel ([0-9.]+), ([0-9-]+)$" "    <release version=\"\\1\" date=\"\\2\"/>" release
                       "${heading}")
  string(APPEND QUORVEL_METAINFO_RELEASES "${release}\n")
endforeach()
string(REGEX REPLACE "\n$" "" QUORVEL_METAINFO_RELEASES "${QUORVEL_METAINFO_RELEASES}")

# Debian asks every package for its copyright (DEP-5) and changelog in its own doc folder, and
# for compressed manual pages and documents; source installs get the same files.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license_text)
string(REGEX REPLACE "\n+$" "" license_text "${license_text}")
string(REGEX REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REGEX REPLACE "\n" "\n " license_text "${license_text}")
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" copyright_line "${license_text}")
set(QUORVEL_COPYRIGHT_HOLDER "${CMAKE_MATCH_1}")
set(QUORVEL_LICENSE_TEXT "${license_text}")
if(QUORVEL_HOMEPAGE)
  set(QUORVEL_COPYRIGHT_SOURCE "\nSource: ${QUORVEL_HOMEPAGE}")
endif()
# The manual pages' BUGS section, and the metainfo's links: only the addresses the build has.
if(QUORVEL_BUGS)
  set(QUORVEL_MAN_BUGS "Report bugs at\n.UR ${QUORVEL_BUGS}\nQuorvel's bug tracker\n.UE .")
else()
  set(QUORVEL_MAN_BUGS "Report bugs to whoever gave you this copy of Quorvel.")
endif()
set(QUORVEL_METAINFO_URLS "")
if(QUORVEL_HOMEPAGE)
  string(APPEND QUORVEL_METAINFO_URLS "\n  <url type=\"homepage\">${QUORVEL_HOMEPAGE}</url>")
endif()
if(QUORVEL_BUGS)
  string(APPEND QUORVEL_METAINFO_URLS "\n  <url type=\"bugtracker\">${QUORVEL_BUGS}</url>")
endif()

# quorvel-batch: the program, its manual page, three shells' completions, the README and the
# manual. The tarball also has a README and the licence at its top (PackageFields.cmake).
configure_file(${PROJECT_SOURCE_DIR}/docs/tarball/README ${PROJECT_BINARY_DIR}/tarball/README @ONLY)
set(CPACK_QUORVEL_TARBALL_TOP ${PROJECT_BINARY_DIR}/tarball/README ${PROJECT_SOURCE_DIR}/LICENSE)
quorvel_compressed(${PROJECT_SOURCE_DIR}/src/cli/quorvel-batch.1 ${PROJECT_BINARY_DIR}/man/quorvel-batch.1 @ONLY)
quorvel_compressed(${PROJECT_SOURCE_DIR}/README.md ${PROJECT_BINARY_DIR}/doc/quorvel-batch/README.md COPYONLY)
install(TARGETS quorvel-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT batch)
install(FILES ${QUORVEL_MANUAL} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/quorvel-batch COMPONENT batch)
install(FILES ${PROJECT_BINARY_DIR}/man/quorvel-batch.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT batch)
install(FILES ${PROJECT_SOURCE_DIR}/src/cli/quorvel-batch.bash
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/bash-completion/completions RENAME quorvel-batch COMPONENT batch)
install(FILES ${PROJECT_SOURCE_DIR}/src/cli/_quorvel-batch
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/zsh/vendor-completions COMPONENT batch)
install(FILES ${PROJECT_SOURCE_DIR}/src/cli/quorvel-batch.fish
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/fish/vendor_completions.d COMPONENT batch)
set(quorvel_packages quorvel-batch)
set(component_of_quorvel-batch batch)

# quorvel: the Windows program, its launcher, menu entry, icons and metainfo.
if(QUORVEL_WINDOWS_PROGRAM)
  find_program(QUORVEL_CONVERT convert REQUIRED)
  set(icon ${PROJECT_SOURCE_DIR}/src/resources/art/quorvel.ico)
  set(icon_sizes 16 24 32 48 64 128 256)
  set(icon_files)
  foreach(size IN LISTS icon_sizes)
    set(png ${PROJECT_BINARY_DIR}/icons/${size}x${size}/apps/quorvel.png)
    # From the icon's largest image, so every size is the same picture.
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icons/${size}x${size}/apps
      COMMAND ${QUORVEL_CONVERT} "${icon}[0]" -resize ${size}x${size} -strip PNG32:${png}
      DEPENDS ${icon} VERBATIM)
    list(APPEND icon_files ${png})
  endforeach()
  add_custom_target(quorvel_linux_icons ALL DEPENDS ${icon_files})

  quorvel_compressed(${PROJECT_SOURCE_DIR}/src/linux/quorvel.1 ${PROJECT_BINARY_DIR}/man/quorvel.1 @ONLY)
  set(metainfo ${PROJECT_BINARY_DIR}/linux/${QUORVEL_APP_ID}.metainfo.xml)
  configure_file(${PROJECT_SOURCE_DIR}/src/linux/quorvel.metainfo.xml.in ${metainfo} @ONLY)

  # Wine reads the program; nothing executes it directly.
  install(FILES ${QUORVEL_WINDOWS_PROGRAM} DESTINATION lib/quorvel RENAME quorvel.exe COMPONENT window)
  install(PROGRAMS ${PROJECT_SOURCE_DIR}/src/linux/quorvel DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT window)
  install(FILES ${QUORVEL_MANUAL} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/quorvel COMPONENT window)
  install(FILES ${PROJECT_BINARY_DIR}/man/quorvel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT window)
  install(FILES ${PROJECT_SOURCE_DIR}/src/linux/quorvel.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications
          RENAME ${QUORVEL_APP_ID}.desktop COMPONENT window)
  install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo COMPONENT window)
  install(DIRECTORY ${PROJECT_BINARY_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor
          COMPONENT window)
  list(APPEND quorvel_packages quorvel)
  set(component_of_quorvel window)
endif()

# Each NEWS release becomes a changelog entry: its points as they are, dated at noon UTC.
file(READ ${PROJECT_SOURCE_DIR}/NEWS news)
# A semicolon would split the list of releases; it comes back in each release's points.
string(REPLACE ";" "<semicolon>" news "${news}")
string(REGEX MATCHALL "Quorvel [0-9.]+, [0-9-]+\n\n(  [^\n]*\n)+" releases "${news}")
foreach(package IN LISTS quorvel_packages)
  set(changelog "")
  foreach(release IN LISTS releases)
    string(REGEX MATCH "^Quorvel ([0-9.]+), ([0-9-]+)\n\n(.*)$" ignored "${release}")
    set(version ${CMAKE_MATCH_1})
    string(REPLACE "<semicolon>" ";" points "${CMAKE_MATCH_3}")
    execute_process(COMMAND date -u -d "${CMAKE_MATCH_2} 12:00" "+%a, %d %b %Y %H:%M:%S +0000"
                    OUTPUT_VARIABLE day OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    string(APPEND changelog "${package} (${version}) unstable; urgency=medium\n\n${points}\n"
                            " -- ${QUORVEL_MAINTAINER}  ${day}\n\n")
  endforeach()
  string(REGEX REPLACE "\n\n$" "\n" changelog "${changelog}")
  set(docs ${PROJECT_BINARY_DIR}/doc/${package})
  file(WRITE ${docs}/changelog.new "${changelog}")
  # Rewritten only when changed, so that an unchanged NEWS costs no new install.
  file(COPY_FILE ${docs}/changelog.new ${docs}/changelog ONLY_IF_DIFFERENT)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/copyright.in ${docs}/copyright @ONLY)
  # The manual registered with doc-base, so that documentation browsers list it.
  configure_file(${CMAKE_CURRENT_LIST_DIR}/debian/doc-base.in ${PROJECT_BINARY_DIR}/doc-base/${package} @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/doc-base/${package} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc-base
          COMPONENT ${component_of_${package}})
  execute_process(COMMAND gzip -9nkf ${docs}/changelog COMMAND_ERROR_IS_FATAL ANY)
  install(DIRECTORY ${docs}/ DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
          COMPONENT ${component_of_${package}} FILES_MATCHING PATTERN "*.gz" PATTERN copyright)
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/NEWS)

set(CPACK_PACKAGE_NAME quorvel-batch)
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackageConfig.cmake)
set(CPACK_COMPONENTS_ALL batch)
if(QUORVEL_WINDOWS_PROGRAM)
  list(APPEND CPACK_COMPONENTS_ALL window)
endif()
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)
set(CPACK_ARCHIVE_BATCH_FILE_NAME quorvel-batch-${PROJECT_VERSION}-Linux)

set(CPACK_PACKAGE_CONTACT "${QUORVEL_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUORVEL_MAINTAINER}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)

# lintian --pedantic -I leaves one info tag, spelling-error-in-binary "mor more": the words
# " more" of a message, which the compiler stores as two immediate values, " mor" and "e".
set(CPACK_DEBIAN_BATCH_PACKAGE_NAME quorvel-batch)
set(CPACK_DEBIAN_BATCH_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_BATCH_PACKAGE_RECOMMENDS wine)
set(CPACK_DEBIAN_BATCH_PACKAGE_SUGGESTS "bash-completion, quorvel")
# The first line is the package list's summary; CPack indents the text below it.
set(CPACK_DEBIAN_BATCH_DESCRIPTION
    "batch encode lists for an MPEG encoder, many video files at once
quorvel-batch writes a batch encode list (.tbe) for an MPEG encoder for
Windows that runs under Wine, with one job per video file: every clip of a
folder, or the files named, each converted to an MPEG file of the same name.
The encoding settings come from an encoder template or from built-in Super
Video CD (PAL) settings; aspect ratio, clipping, de-interlacing and noise
reduction apply to every job.

Linux paths are written the way Wine names them, and the encoder can be
started on the finished list. The window program of the same project is
in the package quorvel.")

set(CPACK_DEBIAN_WINDOW_PACKAGE_NAME quorvel)
set(CPACK_DEBIAN_WINDOW_PACKAGE_SHLIBDEPS OFF)
# quorvel.exe is a 64-bit program: Wine's command alone may come with 32-bit Wine only.
set(CPACK_DEBIAN_WINDOW_PACKAGE_DEPENDS "wine, wine64")
set(CPACK_DEBIAN_WINDOW_PACKAGE_SUGGESTS quorvel-batch)
set(CPACK_DEBIAN_WINDOW_DESCRIPTION
    "batch encode lists for an MPEG encoder, in a window under Wine
Quorvel prepares work for an MPEG encoder for Windows that runs under Wine:
browse drives and folders, select many video files at once and it writes one
batch encode list (.tbe) with an encoding job for each, which the encoder
works through in one go; Quorvel can start it on the new list.

This package holds the Windows program quorvel.exe and the quorvel command,
which starts it under Wine, with a desktop menu entry. quorvel-batch, in its
own package, writes the same lists from the command line.")

include(CPack)
