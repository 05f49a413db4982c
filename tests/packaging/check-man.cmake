# Renders the manual pages with every groff warning enabled and fails on any
# warning, and checks that every diagnostic the command can print is
# documented.
#   cmake -DGROFF=groff -DMAN_DIR=build/man -DSOURCE_DIR=. -P check-man.cmake
if(NOT GROFF)
  message(FATAL_ERROR "groff is missing: install groff-base (scripts/deps.sh groff-base)")
endif()

foreach(page man1/test.1 man1/[.1)
  foreach(device ps utf8)
    # From the man directory, as man does, so that the ".so" of [.1 resolves.
    execute_process(COMMAND ${GROFF} -man -T${device} -ww -z ${page}
      WORKING_DIRECTORY ${MAN_DIR} ERROR_VARIABLE warnings RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR warnings)
      message(FATAL_ERROR "groff -T${device} on ${page}: status ${status}\n${warnings}")
    endif()
  endforeach()
endforeach()

execute_process(COMMAND ${GROFF} -man -Tascii -P-cbou man1/test.1
  WORKING_DIRECTORY ${MAN_DIR} OUTPUT_VARIABLE page RESULT_VARIABLE status)
# Joins the lines, so that a diagnostic broken across lines still matches.
string(REGEX REPLACE "[ \n]+" " " page "${page}")
file(GLOB sources ${SOURCE_DIR}/command/*.cpp)
set(documented 0)
foreach(source ${sources})
  file(STRINGS ${source} calls REGEX "syntax_error\\(\"")
  foreach(call ${calls})
    string(REGEX MATCH "syntax_error\\(\"([^\"]*)\"" call "${call}")
    string(STRIP "test: ${CMAKE_MATCH_1}" diagnostic)
    string(FIND "${page}" "${diagnostic}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "the manual page does not mention the diagnostic \"${diagnostic}\"")
    endif()
    math(EXPR documented "${documented} + 1")
  endforeach()
endforeach()
if(documented LESS 4)
  message(FATAL_ERROR "found ${documented} diagnostics in ${SOURCE_DIR}/command, expected at least 4")
endif()
message(STATUS "test(1) and [(1) render clean; ${documented} diagnostics documented")
