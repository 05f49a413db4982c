# cmake -DSOURCE_DIR=... -DBINARY_DIR=... -DCXX=... -P run-tsan.cmake
# Builds the threads test under ThreadSanitizer and runs it; any report
# fails the test (the sanitizer's exit code).
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/tests/format/threads -B ${BINARY_DIR}
    -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBRACKET_SOURCE_DIR=${SOURCE_DIR}
  RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "configuring the ThreadSanitizer build failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY_DIR} -j 2 RESULT_VARIABLE status OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "building the ThreadSanitizer build failed:\n${output}")
endif()
set(ENV{TSAN_OPTIONS} "halt_on_error=1 exitcode=66")
execute_process(COMMAND ${BINARY_DIR}/threads_test RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the threads test failed under ThreadSanitizer (status ${status})")
endif()
