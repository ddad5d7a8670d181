# Run by CPack after packing. Every package is made again so that two builds of one commit, in
# any folder, give the same bytes: files dated SOURCE_DATE_EPOCH (the last commit's time, set by
# scripts/package), owned by root, in name order. The Debian packages also get the control field
# CPack cannot write yet: Multi-Arch: foreign, since neither offers a library.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  message(FATAL_ERROR "SOURCE_DATE_EPOCH is not set: scripts/package sets it from the last commit")
endif()
set(epoch $ENV{SOURCE_DATE_EPOCH})

function(quorvel_run)
  execute_process(COMMAND ${ARGN} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# The unpacked tree as the archive will hold it: one time, modes from the owner's alone.
function(quorvel_normalise tree)
  quorvel_run(chmod -R u+rwX,go=rX ${tree})
  quorvel_run(find ${tree} -exec touch -h -d @${epoch} {} +)
endfunction()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  set(tree ${package}.tree)
  file(REMOVE_RECURSE ${tree})
  file(MAKE_DIRECTORY ${tree})
  if(package MATCHES "\\.deb$")
    quorvel_run(dpkg-deb -R ${package} ${tree})
    file(READ ${tree}/DEBIAN/control control)
    string(REGEX REPLACE "(Architecture: [^\n]*\n)" "\\1Multi-Arch: foreign\n" control "${control}")
    file(WRITE ${tree}/DEBIAN/control "${control}")
    quorvel_normalise(${tree})
    # dpkg-deb dates its members and clamps the files' times to SOURCE_DATE_EPOCH, in name order.
    quorvel_run(dpkg-deb --root-owner-group -Zxz -b ${tree} ${package} OUTPUT_QUIET)
  elseif(package MATCHES "\\.zip$")
    quorvel_run(unzip -q ${package} -d ${tree})
    quorvel_normalise(${tree})
    file(REMOVE ${package})
    # Zip stores local times: UTC, so that the time zone of the build does not show. -X leaves
    # out owners and extra times.
    file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE ${tree} ${tree}/*)
    list(SORT entries)
    quorvel_run(${CMAKE_COMMAND} -E env TZ=UTC zip -X -q -9 ${package} ${entries} WORKING_DIRECTORY ${tree})
  elseif(package MATCHES "\\.tar\\.gz$")
    quorvel_run(tar -xzf ${package} -C ${tree})
    file(GLOB top LIST_DIRECTORIES true ${tree}/*)
    # A README and the licence at the top, where someone who unpacked it looks first.
    file(COPY ${CPACK_QUORVEL_TARBALL_TOP} DESTINATION ${top})
    quorvel_normalise(${tree})
    get_filename_component(top_name ${top} NAME)
    quorvel_run(tar --sort=name --mtime=@${epoch} --owner=0 --group=0 --numeric-owner --format=gnu
                -cf ${package}.tar -C ${tree} ${top_name})
    quorvel_run(gzip -9nf ${package}.tar)
    file(RENAME ${package}.tar.gz ${package})
  endif()
  file(REMOVE_RECURSE ${tree})
endforeach()
