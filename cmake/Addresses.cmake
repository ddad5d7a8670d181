# The addresses the program and the packages name, set once for a build. Empty means none: the
# web picture opens the shipped manual, Donate says there is no donation page, and the packages
# leave out their homepage, bug address and metainfo links.
set(QUORVEL_WEB_PAGE "" CACHE STRING "The program's web page, opened by the WEB picture")
set(QUORVEL_DONATION_PAGE "" CACHE STRING "The donation page the About window's Donate button opens")
set(QUORVEL_HOMEPAGE "" CACHE STRING "The project's homepage, named in the packages")
set(QUORVEL_BUGS "" CACHE STRING "Where to report bugs: a web address, named in the manual pages")
set(QUORVEL_DOWNLOADS "" CACHE STRING "Where a release's packages are published: the winget and Scoop manifests' base address")

foreach(address QUORVEL_WEB_PAGE QUORVEL_DONATION_PAGE QUORVEL_HOMEPAGE QUORVEL_BUGS QUORVEL_DOWNLOADS)
  # Written into a C++ string, a manual page and XML: no quote, blank, backslash or angle bracket.
  if(NOT "${${address}}" MATCHES "^(https?://[^\"'\\\\<> ]+)?$")
    message(FATAL_ERROR "${address} is not a web address: '${${address}}'")
  endif()
  if("${${address}}" MATCHES "example\\.(org|com|net)")
    message(FATAL_ERROR "${address} names an example domain: '${${address}}'")
  endif()
endforeach()

configure_file(${CMAKE_CURRENT_LIST_DIR}/ConfiguredAddresses.h.in
               ${PROJECT_BINARY_DIR}/generated/resources/resources/ConfiguredAddresses.h @ONLY)
