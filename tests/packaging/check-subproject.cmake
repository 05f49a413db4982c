# Takes the source tree into a project of its own with add_subdirectory, as
# a user's build would, with GoogleTest out of reach: the configure must
# succeed, give the library targets and register none of our tests.
#   cmake -DSOURCE_DIR=... -DWORK_DIR=... -P check-subproject.cmake
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/source)
file(WRITE ${WORK_DIR}/source/CMakeLists.txt "
cmake_minimum_required(VERSION 3.21)
project(user LANGUAGES CXX)
add_subdirectory(${SOURCE_DIR} bracket)
foreach(target bracket::format bracket::portability bracket_test)
  if(NOT TARGET \${target})
    message(FATAL_ERROR \"no target \${target}\")
  endif()
endforeach()
if(TARGET bracket_test_support)
  message(FATAL_ERROR \"the test support was configured\")
endif()
")
execute_process(
  COMMAND ${CMAKE_COMMAND} -S ${WORK_DIR}/source -B ${WORK_DIR}/build -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "configuring a project that takes bracket in failed:\n${output}")
endif()
if(EXISTS ${WORK_DIR}/build/bracket/tests)
  message(FATAL_ERROR "the tests were configured in a project that takes bracket in")
endif()
file(STRINGS ${WORK_DIR}/build/CMakeCache.txt build_type REGEX "^CMAKE_BUILD_TYPE:")
if(NOT build_type STREQUAL "CMAKE_BUILD_TYPE:STRING=")
  message(FATAL_ERROR "the user's build type was overridden: ${build_type}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
