# Writes a sample text file as the Linux edition ships it:
#   cmake -DSOURCE=... -DOUTPUT=... -DLINE_ENDS=lf|keep -P linux_text.cmake
#
# The sources are the Windows program's: windows-1252 with CR LF line ends,
# and an HTML template declares windows-1252. Linux text is UTF-8 with LF
# line ends, so the copy is re-encoded (iconv), its declaration says UTF-8,
# and with LINE_ENDS=lf its CR LF become LF.

cmake_policy(VERSION 3.25)

foreach(var SOURCE OUTPUT LINE_ENDS)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "linux_text.cmake: ${var} is not set")
  endif()
endforeach()

find_program(ICONV iconv REQUIRED)
execute_process(
  COMMAND ${ICONV} -f WINDOWS-1252 -t UTF-8 ${SOURCE}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE text
  ERROR_VARIABLE error)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${SOURCE}: cannot convert it to UTF-8: ${error}")
endif()

string(REGEX REPLACE "charset=[Ww][Ii][Nn][Dd][Oo][Ww][Ss]-1252" "charset=UTF-8" text "${text}")
if(LINE_ENDS STREQUAL "lf")
  string(REPLACE "\r\n" "\n" text "${text}")
elseif(NOT LINE_ENDS STREQUAL "keep")
  message(FATAL_ERROR "linux_text.cmake: LINE_ENDS is '${LINE_ENDS}', not lf or keep")
endif()
file(WRITE ${OUTPUT} "${text}")
