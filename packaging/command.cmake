# Installs the command (cmake/musl-command.cmake says which build is
# shipped) under both of its names.
install(PROGRAMS ${BRACKET_SHIPPED_COMMAND} DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)
# The installed program goes without symbols, debug information and the
# compiler's notes, whether or not the install was asked to strip: the build
# tree's program keeps them for debuggers.
if(CMAKE_STRIP)
  install(CODE "
    set(program \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:bracket_test>\")
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-all --remove-section=.comment --remove-section=.note
      \"\${program}\" RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR \"cannot strip \${program}\")
    endif()"
    COMPONENT runtime)
endif()
# The second name: a symbolic link to test, which the shell starts under the
# name "[", or on Windows a copy of the installed (stripped) test.exe.
if(WIN32)
  set(bracket_link_command "configure_file(\${bin}/$<TARGET_FILE_NAME:bracket_test> \${link} COPYONLY)")
else()
  set(bracket_link_command "file(CREATE_LINK $<TARGET_FILE_NAME:bracket_test> \${link} SYMBOLIC)")
endif()
install(CODE "
  set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  set(link \"\${bin}/[${CMAKE_EXECUTABLE_SUFFIX}\")
  message(STATUS \"Installing: \${link}\")
  ${bracket_link_command}
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \${link})"
  COMPONENT runtime)
