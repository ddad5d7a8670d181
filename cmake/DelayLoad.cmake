# System DLLs the start screen does not use are loaded at their first call, not with the program:
# under Wine each DLL loaded at start costs server requests and time, and again to unload it at
# exit. quorvel_delay_load(NAME) makes the target quorvel::delayload::NAME, a delay-load import
# library for NAME.dll made from the system import library's own list of functions, so any
# function called through it is covered without being listed here.
function(quorvel_delay_load name)
  set(target quorvel_delayload_${name})
  if(TARGET ${target})
    return()
  endif()
  find_library(QUORVEL_IMPORT_LIB_${name} NAMES lib${name}.a ${name} REQUIRED)
  set(out ${CMAKE_BINARY_DIR}/delayload)
  file(MAKE_DIRECTORY ${out})
  execute_process(COMMAND ${CMAKE_NM} -g --defined-only ${QUORVEL_IMPORT_LIB_${name}}
                  OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX MATCHALL "I __imp_[A-Za-z0-9_@?$]+" imports "${symbols}")
  list(TRANSFORM imports REPLACE "^I __imp_" "")
  list(REMOVE_DUPLICATES imports)
  list(SORT imports)
  list(JOIN imports "\n" exports)
  file(CONFIGURE OUTPUT ${out}/${name}.def CONTENT "LIBRARY ${name}.dll\nEXPORTS\n${exports}\n")
  set(library ${out}/lib${name}_delay.a)
  if(NOT EXISTS ${library} OR ${out}/${name}.def IS_NEWER_THAN ${library})
    # Relative names: dlltool names its symbols after the output path, and the program's bytes
    # must not depend on where it was built.
    execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${name}.def --output-delaylib lib${name}_delay.a
                            --dllname ${name}.dll
                    WORKING_DIRECTORY ${out} COMMAND_ERROR_IS_FATAL ANY)
  endif()
  add_library(${target} INTERFACE)
  # delayimp holds the loader the delay-load thunks call.
  target_link_libraries(${target} INTERFACE ${library} delayimp)
  add_library(quorvel::delayload::${name} ALIAS ${target})
endfunction()
