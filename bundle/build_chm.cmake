# Compiles bundle/help into help.chm with chmcmd:
#   cmake -DCHMCMD=... -DSOURCE_DIR=... -DSTAGE_DIR=... -DOUTPUT=... -P build_chm.cmake
#
# chmcmd 3.2 records each context-mapped topic under its absolute path on the
# build machine (the project folder followed by the file name) instead of the
# topic's name inside the help file, so the help viewer, asked for a context
# number, looks for e.g. "/home/b/help-stage/stop.htm" and finds nothing. The
# topics are therefore also stored under that very path: a copy of every file
# in the [FILES] list goes below the stage folder at <stage>/<stage>/, and is
# listed in the project. Their relative links keep working, since all files
# are copied. The table of contents and the default topic use the plain names.

cmake_policy(VERSION 3.25)

foreach(var CHMCMD SOURCE_DIR STAGE_DIR OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "build_chm.cmake: ${var} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE ${STAGE_DIR})
file(MAKE_DIRECTORY ${STAGE_DIR})
file(GLOB sources ${SOURCE_DIR}/*.htm ${SOURCE_DIR}/*.css ${SOURCE_DIR}/*.hhc)
file(COPY ${sources} DESTINATION ${STAGE_DIR})

file(READ ${SOURCE_DIR}/help.hhp project)

# The [FILES] section: the lines after its header up to the next section,
# comments (lines starting with ";") left out.
string(REGEX REPLACE "\n[ \t]*;[^\n]*" "" uncommented "${project}")
string(REGEX MATCH "\n\\[FILES\\]\n([^[]*)" files_section "${uncommented}")
if(NOT files_section)
  message(FATAL_ERROR "help.hhp has no [FILES] section")
endif()
string(REGEX REPLACE "\n" ";" files "${CMAKE_MATCH_1}")
list(FILTER files EXCLUDE REGEX "^[ \t]*$")

if(NOT STAGE_DIR MATCHES "^/")
  message(FATAL_ERROR "build_chm.cmake: the stage folder must be an absolute POSIX path, not ${STAGE_DIR}")
endif()
string(REGEX REPLACE "^/+" "" mirror "${STAGE_DIR}/")
set(mirror_entries "")
foreach(file IN LISTS files)
  string(STRIP "${file}" file)
  if(NOT EXISTS ${STAGE_DIR}/${file})
    message(FATAL_ERROR "help.hhp lists ${file}, which is not in ${SOURCE_DIR}")
  endif()
  file(COPY ${STAGE_DIR}/${file} DESTINATION ${STAGE_DIR}/${mirror})
  string(APPEND mirror_entries "${mirror}${file}\n")
endforeach()
string(REPLACE "\n[FILES]\n" "\n[FILES]\n${mirror_entries}" project "${project}")
file(WRITE ${STAGE_DIR}/help.hhp "${project}")

execute_process(
  COMMAND ${CHMCMD} ${STAGE_DIR}/help.hhp
  WORKING_DIRECTORY ${STAGE_DIR}
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
# chmcmd reports a link to a missing file as a warning and still succeeds; a
# help file with dead links is a broken build here.
if(NOT result EQUAL 0 OR output MATCHES "[Ww]arning|[Ee]rror")
  message(FATAL_ERROR "chmcmd failed (${result}):\n${output}")
endif()

get_filename_component(output_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${output_dir})
file(COPY_FILE ${STAGE_DIR}/help.chm ${OUTPUT})
