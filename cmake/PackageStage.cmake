# Run by CPack on the staged install of a Linux package, before it is packed. Debian wants
# manual pages compressed and each package's copyright and changelog under its own name; the
# tarball gets the same files.
file(GLOB_RECURSE pages "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/quorvel-batch.1")
file(GLOB_RECURSE readmes "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/README.md")
if(NOT pages OR NOT readmes)
  message(FATAL_ERROR "The staged install lacks the manual page or the README")
endif()

# -n keeps the packed file free of a name and a time, so the same sources pack the same.
foreach(page IN LISTS pages)
  execute_process(COMMAND gzip -9nf ${page} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "gzip ${page} failed")
  endif()
endforeach()

list(GET readmes 0 readme)
get_filename_component(doc_root ${readme} DIRECTORY)
get_filename_component(doc_root ${doc_root} DIRECTORY)
set(package_doc ${doc_root}/${CPACK_PACKAGE_NAME})
file(COPY ${CPACK_QUORVEL_DEBIAN_DIR}/copyright ${CPACK_QUORVEL_DEBIAN_DIR}/changelog DESTINATION ${package_doc}
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
execute_process(COMMAND gzip -9nf ${package_doc}/changelog RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "gzip ${package_doc}/changelog failed")
endif()
