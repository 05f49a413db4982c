# Runs each test of a GoogleTest program in a process of its own under Wine,
# for suites whose tests change state that lasts for the process:
#   cmake -DWINE=wine-run.sh -DPROGRAM=suite.exe -P run-each-test.cmake
# WINE runs a Windows program: wine itself, or a script around it.
execute_process(COMMAND ${WINE} ${PROGRAM} --gtest_list_tests
  OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} could not list its tests (exit status ${status})")
endif()

# The listing: "Suite." on a line of its own, then "  Test" for each of its
# tests; parameterised ones add a comment after the name. Wine's console
# output may end lines in CR LF.
string(REPLACE "\r" "" listing "${listing}")
string(REPLACE "\n" ";" lines "${listing}")
set(tests)
foreach(line IN LISTS lines)
  if(line MATCHES "^([A-Za-z0-9_/]+\\.)")
    set(suite ${CMAKE_MATCH_1})
  elseif(line MATCHES "^  ([A-Za-z0-9_/]+)")
    list(APPEND tests ${suite}${CMAKE_MATCH_1})
  endif()
endforeach()
if(NOT tests)
  message(FATAL_ERROR "${PROGRAM} lists no tests:\n${listing}")
endif()

set(failed)
foreach(test IN LISTS tests)
  execute_process(COMMAND ${WINE} ${PROGRAM} --gtest_brief=1 --gtest_filter=${test} RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    list(APPEND failed ${test})
  endif()
endforeach()
list(LENGTH tests count)
if(failed)
  list(JOIN failed ", " names)
  message(FATAL_ERROR "failed in a process of its own: ${names}")
endif()
message(STATUS "${count} tests passed, each in a process of its own")
