# Renders a manual page as plain text with CR LF line ends, for Windows.
#   cmake -DGROFF=groff -DINPUT=test.1 -DOUTPUT=test.txt -P render-text.cmake
# grotty's -c -b -o -u: no escape sequences, no overstriking.
execute_process(COMMAND ${GROFF} -man -Tascii -P-cbou ${INPUT}
  OUTPUT_VARIABLE text ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0 OR errors)
  message(FATAL_ERROR "groff failed on ${INPUT}: ${errors}")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUTPUT} "${text}")
