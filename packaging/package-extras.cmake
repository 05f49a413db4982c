# Run by cpack for each package, after it has installed the tree into its
# staging directory and before it packs it.

# The static libraries lose their debug information, as Debian strips them:
# the programs built on them stay debuggable in their own code, and the
# packages lose two thirds of their size.
file(GLOB_RECURSE libraries "${CPACK_TEMPORARY_DIRECTORY}/*.a")
foreach(library IN LISTS libraries)
  execute_process(COMMAND "${CPACK_BRACKET_STRIP}" --strip-debug --remove-section=.comment --remove-section=.note
      --enable-deterministic-archives "${library}"
    RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot strip ${library}")
  endif()
endforeach()

set(file_mode OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

# What Debian expects of every package, in the one place it looks for it
# (outside /opt/bracket): the copyright file, the changelog, compressed
# without a time stamp, and the overrides for what the package does on
# purpose, each with its reason.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(doc "${CPACK_TEMPORARY_DIRECTORY}/usr/share/doc/bracket")
  file(MAKE_DIRECTORY "${doc}")
  configure_file("${CPACK_BRACKET_DEBIAN_DIR}/copyright" "${doc}/copyright" COPYONLY FILE_PERMISSIONS ${file_mode})
  configure_file("${CPACK_BRACKET_DEBIAN_DIR}/changelog" "${doc}/changelog" COPYONLY FILE_PERMISSIONS ${file_mode})
  execute_process(COMMAND gzip -9nf "${doc}/changelog" RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cannot compress the changelog")
  endif()
  set(overrides "${CPACK_TEMPORARY_DIRECTORY}/usr/share/lintian/overrides")
  file(MAKE_DIRECTORY "${overrides}")
  configure_file("${CPACK_BRACKET_DEBIAN_DIR}/lintian-overrides" "${overrides}/bracket" COPYONLY
    FILE_PERMISSIONS ${file_mode})
endif()

# The install rules set the files' modes; directories, which the install
# and the lines above make with the builder's umask, are made 0755 here (by
# find: a CMake list of the tree's paths would be broken up by the file "[").
execute_process(COMMAND find "${CPACK_TEMPORARY_DIRECTORY}" -type d -exec chmod 0755 {} +
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot set the directories' modes")
endif()
