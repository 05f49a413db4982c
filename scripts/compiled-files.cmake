# cmake -DDATABASE=compile_commands.json -P scripts/compiled-files.cmake
# Prints the source file of every entry of a compile database, one a line.
file(READ ${DATABASE} database)
string(JSON count LENGTH "${database}")
if(count EQUAL 0)
  return()
endif()
math(EXPR last "${count} - 1")
set(files)
foreach(index RANGE ${last})
  string(JSON file GET "${database}" ${index} file)
  string(APPEND files "${file}\n")
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E echo_append "${files}")
