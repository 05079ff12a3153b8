# Usage: cmake -DINPUT=FILE -DOUTPUT=FILE [-DGROFF=PROGRAM] -P windows_text.cmake
# Writes INPUT to OUTPUT with CRLF line ends, which every Windows editor shows as lines. With
# GROFF, INPUT is a manual page and OUTPUT gets its plain text: ASCII, no bold or underline.
if(GROFF)
  execute_process(COMMAND ${GROFF} -man -Tascii -P-cbou ${INPUT}
                  OUTPUT_VARIABLE text ERROR_VARIABLE messages RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR messages)
    message(FATAL_ERROR "groff failed on ${INPUT}: ${messages}")
  endif()
else()
  file(READ ${INPUT} text)
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUTPUT} "${text}")
