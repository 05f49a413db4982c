# cmake -DCXX=... -DSOURCE_DIR=... -DGENERATED_DIR=... [-DMISMATCH=N -DEXPECT=regex] [-DSTD=17] -P run-compile-fail.cmake
# Compiles tests/format/compile_fail.cpp as C++20 (or STD): without MISMATCH
# it must compile; with it the compiler must refuse, saying what EXPECT
# matches.
if(NOT DEFINED STD)
  set(STD 20)
endif()
set(command ${CXX} -std=c++${STD} -fsyntax-only -I${SOURCE_DIR} -I${GENERATED_DIR}
  ${SOURCE_DIR}/tests/format/compile_fail.cpp)
if(DEFINED MISMATCH)
  list(APPEND command -DBRACKET_TEST_MISMATCH=${MISMATCH})
endif()
execute_process(COMMAND ${command} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT DEFINED MISMATCH)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the calls that match their formats did not compile:\n${output}")
  endif()
  return()
endif()
if(status EQUAL 0)
  message(FATAL_ERROR "mismatch ${MISMATCH} compiled")
endif()
if(NOT output MATCHES "${EXPECT}")
  message(FATAL_ERROR "mismatch ${MISMATCH} failed without saying \"${EXPECT}\":\n${output}")
endif()
