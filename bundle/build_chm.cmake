# Compiles the Windows edition's help pages into help.chm:
#   cmake -DCOMPILER=... -DSTAGE_DIR=... -DOUTPUT=... -P build_chm.cmake
#
# STAGE_DIR holds the pages as render_help.cmake wrote them for Windows,
# with the help project, contents and index; COMPILER is compile_chm (see
# compile_chm.pas), which records the context topics under their plain names,
# so that nothing of the stage folder's path goes into the file.

cmake_policy(VERSION 3.25)

foreach(var COMPILER STAGE_DIR OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "build_chm.cmake: ${var} is not set")
  endif()
endforeach()

# A help file built by an earlier run must not pass for this one's.
file(REMOVE ${STAGE_DIR}/help.chm)
execute_process(
  COMMAND ${COMPILER} help.hhp
  WORKING_DIRECTORY ${STAGE_DIR}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT EXISTS ${STAGE_DIR}/help.chm)
  message(FATAL_ERROR "compiling the help failed (${result}):\n${output}")
endif()

get_filename_component(output_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${output_dir})
file(COPY_FILE ${STAGE_DIR}/help.chm ${OUTPUT})
