# Installs the build tree into a scratch prefix and uses it as a user would:
# runs the installed command under both names, then builds programs against
# the libraries through find_package and through pkg-config and runs them.
#   cmake -DBUILD_DIR=build -DSOURCE_DIR=. -DWORK_DIR=/tmp/x -DCXX=c++
#         -DPKG_CONFIG=pkg-config -DVERSION=0.1.0 -P check-install.cmake
set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})

function(run)
  cmake_parse_arguments(RUN "" "EXPECT_STATUS;EXPECT_OUTPUT;EXPECT_ERROR" "COMMAND" ${ARGN})
  execute_process(COMMAND ${RUN_COMMAND} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE error)
  if(NOT DEFINED RUN_EXPECT_STATUS)
    set(RUN_EXPECT_STATUS 0)
  endif()
  set(failed OFF)
  if(NOT status STREQUAL RUN_EXPECT_STATUS)
    set(failed ON)
  endif()
  if(DEFINED RUN_EXPECT_OUTPUT AND NOT output STREQUAL RUN_EXPECT_OUTPUT)
    set(failed ON)
  endif()
  if(DEFINED RUN_EXPECT_ERROR AND NOT error STREQUAL RUN_EXPECT_ERROR)
    set(failed ON)
  endif()
  if(failed)
    string(REPLACE ";" " " shown "${RUN_COMMAND}")
    message(FATAL_ERROR "${shown}\nstatus: ${status} (expected ${RUN_EXPECT_STATUS})\n"
      "output:\n${output}\nexpected output:\n${RUN_EXPECT_OUTPUT}\nerror:\n${error}")
  endif()
endfunction()

run(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix})

# ---- The command, as the shell finds it on the PATH ----
run(COMMAND env PATH=${prefix}/bin [ abc = abc ] EXPECT_OUTPUT "" EXPECT_ERROR "")
run(COMMAND env PATH=${prefix}/bin [ abc = abc EXPECT_STATUS 1 EXPECT_ERROR "test: ] missing\n")
run(COMMAND env PATH=${prefix}/bin test -d ${prefix}/bin -a 0x10 -eq 16)
run(COMMAND env PATH=${prefix}/bin test 5 -a 3 EXPECT_STATUS 1 EXPECT_ERROR "test: unknown operator -a\n")

# ---- The libraries ----
set(consumer_output "bracket ${VERSION}\n[\"notes.txt\"   ]\ncannot open \"notes.txt\"\n")
set(format_only_output "00042|ff\n")
set(portability_only_output "no memory\n")

# Through find_package, as examples/consumer/CMakeLists.txt does.
run(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/consumer -B ${WORK_DIR}/find-package
  -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_CXX_COMPILER=${CXX} -DCMAKE_BUILD_TYPE=Release)
run(COMMAND ${CMAKE_COMMAND} --build ${WORK_DIR}/find-package)
run(COMMAND ${WORK_DIR}/find-package/consumer EXPECT_OUTPUT "${consumer_output}")

# Through pkg-config, with either library's file, for programs that call
# both libraries, the formatting library alone and the portability library
# alone: the libraries need each other, and a plain link must still work.
set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
foreach(library format portability)
  run(COMMAND ${PKG_CONFIG} --modversion bracket-${library} EXPECT_OUTPUT "${VERSION}\n")
  execute_process(COMMAND ${PKG_CONFIG} --cflags --libs bracket-${library}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  separate_arguments(flags UNIX_COMMAND "${flags}")
  foreach(program consumer format_only portability_only)
    if(program STREQUAL consumer)
      set(source ${SOURCE_DIR}/examples/consumer/consumer.cpp)
    else()
      set(source ${SOURCE_DIR}/tests/packaging/${program}.cpp)
    endif()
    set(binary ${WORK_DIR}/pkg-config-${library}-${program})
    run(COMMAND ${CXX} -std=c++17 ${source} -o ${binary} ${flags})
    run(COMMAND ${binary} EXPECT_OUTPUT "${${program}_output}")
  endforeach()
endforeach()
message(STATUS "the installed tree works through find_package and pkg-config")
