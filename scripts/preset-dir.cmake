# cmake -DPRESET=NAME -P scripts/preset-dir.cmake
# Prints the binary directory of the configure preset NAME, relative to the
# source tree: CMakePresets.json is the one place that names each build.
file(READ ${CMAKE_CURRENT_LIST_DIR}/../CMakePresets.json presets)
string(JSON count LENGTH "${presets}" configurePresets)
math(EXPR last "${count} - 1")
foreach(index RANGE ${last})
  string(JSON name GET "${presets}" configurePresets ${index} name)
  if(name STREQUAL PRESET)
    string(JSON directory ERROR_VARIABLE missing GET "${presets}" configurePresets ${index} binaryDir)
    if(missing)
      message(FATAL_ERROR "the preset ${PRESET} names no binaryDir of its own")
    endif()
    string(REPLACE "\${sourceDir}/" "" directory "${directory}")
    execute_process(COMMAND ${CMAKE_COMMAND} -E echo "${directory}")
    return()
  endif()
endforeach()
message(FATAL_ERROR "CMakePresets.json has no configure preset ${PRESET}")
