# cmake -DSOURCE_DIR=... -P run-tsan.cmake
# Builds the threads test under ThreadSanitizer (the preset tsan, whose
# flags instrument everything) and runs it there; any report fails the test.
# Only the test and the libraries it links are built, so the check stays quick.
foreach(step "--preset;tsan" "--build;--preset;tsan")
  execute_process(COMMAND ${CMAKE_COMMAND} ${step} WORKING_DIRECTORY ${SOURCE_DIR}
    RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake ${step} failed:\n${output}")
  endif()
endforeach()
execute_process(COMMAND ${CMAKE_CTEST_COMMAND} --preset tsan WORKING_DIRECTORY ${SOURCE_DIR}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the threads test failed under ThreadSanitizer:\n${output}")
endif()
