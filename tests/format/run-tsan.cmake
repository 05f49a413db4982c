# cmake -DSOURCE_DIR=... -DBINARY_DIR=... -DCXX=... -P run-tsan.cmake
# Builds the threads test under ThreadSanitizer, in a build of this project
# whose flags instrument everything, and runs it; any report fails the test
# (the sanitizer's exit code). Only the test and the libraries it links are
# built, so the check stays quick.
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BINARY_DIR} -DCMAKE_CXX_COMPILER=${CXX}
    -DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_CXX_FLAGS=-fsanitize=thread -fno-omit-frame-pointer"
    -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread -DBRACKET_BUILD_TESTS=ON
  RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "configuring the ThreadSanitizer build failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BINARY_DIR} -j 2 --target format_threads_test
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "building the ThreadSanitizer build failed:\n${output}")
endif()
set(ENV{TSAN_OPTIONS} "halt_on_error=1 exitcode=66")
execute_process(COMMAND ${BINARY_DIR}/tests/format/format_threads_test RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the threads test failed under ThreadSanitizer (status ${status})")
endif()
