# The user's manual: docs/manual.md and its pictures made into one HTML page, manual.html,
# beside the programs (where quorvel.exe looks for it when the build has no web page).
# Python only when the manual is built: running the program from source does not need it.
find_program(QUORVEL_MANUAL_PYTHON NAMES python3 HINTS /usr/bin)
set(make_manual ${QUORVEL_MANUAL_PYTHON} ${CMAKE_CURRENT_LIST_DIR}/make-manual)
if(NOT QUORVEL_MANUAL_PYTHON)
  message(STATUS "No python3: the manual (target quorvel_manual) cannot be built; scripts/setup test installs it")
  set(make_manual ${CMAKE_COMMAND} -E false)
endif()
file(GLOB quorvel_manual_pictures CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/*.png)
set(QUORVEL_MANUAL ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/manual.html)
add_custom_command(OUTPUT ${QUORVEL_MANUAL}
  COMMAND ${make_manual} ${PROJECT_SOURCE_DIR}/docs/manual.md ${QUORVEL_MANUAL} ${PROJECT_VERSION}
  DEPENDS ${PROJECT_SOURCE_DIR}/docs/manual.md ${quorvel_manual_pictures} ${CMAKE_CURRENT_LIST_DIR}/make-manual
  VERBATIM)
add_custom_target(quorvel_manual ALL DEPENDS ${QUORVEL_MANUAL})
