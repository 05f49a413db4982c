# cmake -DCOMPILERS=g++,clang++ -DSOURCE_DIR=... -DGENERATED_DIR=... -P check-strict-headers.cmake
# Compiles strict_headers.cpp with each compiler, as C++17 and as C++20,
# with the warnings a strict user's build turns on and -Werror, the headers
# included with a plain -I as pkg-config gives them.
string(REPLACE "," ";" COMPILERS "${COMPILERS}")
foreach(compiler IN LISTS COMPILERS)
  foreach(standard 17 20)
    execute_process(COMMAND ${compiler} -std=c++${standard} -fsyntax-only -Wall -Wextra -Wpedantic -Wconversion
        -Wsign-conversion -Wshadow -Werror -I${SOURCE_DIR} -I${GENERATED_DIR}
        ${SOURCE_DIR}/tests/packaging/strict_headers.cpp
      RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "${compiler} -std=c++${standard} finds fault with the public headers:\n${output}")
    endif()
    message(STATUS "${compiler} -std=c++${standard}: no warning")
  endforeach()
endforeach()
