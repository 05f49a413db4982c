# The command that Linux packages and installs ship: the same sources linked
# statically against musl (cmake/musl.cmake), built in musl/ of this build,
# for its short start-up (the README's Performance section measures it).
# Without musl-gcc, or with -DBRACKET_MUSL=OFF, the glibc build is shipped
# instead. Sets BRACKET_SHIPPED_COMMAND to the program that is installed,
# and BRACKET_MUSL_COMMAND to the musl one, or empty without it.
option(BRACKET_MUSL "Ship the command linked statically against musl, when musl-gcc is there" ON)
set(BRACKET_MUSL_COMMAND "")
set(BRACKET_SHIPPED_COMMAND $<TARGET_FILE:bracket_test>)
if(BRACKET_MUSL AND NOT WIN32 AND NOT CMAKE_CROSSCOMPILING AND NOT BRACKET_INSTRUMENTED)
  find_program(BRACKET_MUSL_GCC musl-gcc DOC "musl's compiler wrapper, for the shipped command (Debian: musl-tools)")
  if(BRACKET_MUSL_GCC)
    include(ExternalProject)
    set(musl_dir ${PROJECT_BINARY_DIR}/musl)
    # Through make, the sub-build shares the jobs this build was given.
    if(CMAKE_GENERATOR MATCHES "Makefiles")
      set(musl_build $(MAKE) bracket_test)
    else()
      set(musl_build ${CMAKE_COMMAND} --build ${musl_dir} --target bracket_test)
    endif()
    ExternalProject_Add(bracket_musl
      SOURCE_DIR ${PROJECT_SOURCE_DIR}
      BINARY_DIR ${musl_dir}
      PREFIX ${PROJECT_BINARY_DIR}/musl-stamps
      CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/musl.cmake -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
        -DBRACKET_BUILD_TESTS=OFF -DBRACKET_MUSL_GCC=${BRACKET_MUSL_GCC}
      BUILD_COMMAND ${musl_build}
      BUILD_ALWAYS ON
      BUILD_BYPRODUCTS ${musl_dir}/command/test
      INSTALL_COMMAND "")
    set(BRACKET_MUSL_COMMAND ${musl_dir}/command/test)
    set(BRACKET_SHIPPED_COMMAND ${BRACKET_MUSL_COMMAND})
  else()
    message(WARNING "musl-gcc not found (Debian: musl-tools): the shipped command is linked statically against glibc")
  endif()
endif()
