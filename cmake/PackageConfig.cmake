# Read by CPack for each generator: the tarball is quorvel-batch's alone, in a folder of its
# own name; the window program needs Wine's package to come with it.
if(CPACK_GENERATOR STREQUAL "TGZ")
  set(CPACK_COMPONENTS_ALL batch)
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()
