# Writes one edition's help from the shared sources in bundle/help:
#   cmake -DEDITION=windows|linux -DSOURCE_DIR=... -DOUTPUT_DIR=... -P render_help.cmake
#
# One source serves both editions. Text that only one edition says is marked
# inside the pages, inline or around whole paragraphs:
#   <!--windows-->data\data.sfc beside tessaly.exe<!--/windows-->
#   <!--linux-->~/.config/tessaly/data.sfc<!--/linux-->
# Each edition keeps its own marked text, without the marks, and loses the
# other's. Marks do not nest; one left open or closed alone stops the build.
#
# The Windows edition gets every source file: the pages, the style sheet,
# and the project, contents and index that the help compiler reads. The
# Linux edition opens the pages in the browser and reads only the project's
# map from help context numbers to pages: it gets the pages, the style sheet
# and a project cut down to that map. Its pages declare UTF-8, the encoding
# of Linux text; the sources are plain ASCII, so either declaration is true.

cmake_policy(VERSION 3.25)

foreach(var EDITION SOURCE_DIR OUTPUT_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "render_help.cmake: ${var} is not set")
  endif()
endforeach()
if(NOT EDITION MATCHES "^(windows|linux)$")
  message(FATAL_ERROR "render_help.cmake: EDITION is '${EDITION}', not windows or linux")
endif()

# `text` with this edition's marked passages kept and the other's dropped.
function(keep_edition_text file text result_var)
  set(kept "")
  set(rest "${text}")
  while(TRUE)
    string(REGEX MATCH "<!--(/?)(windows|linux)-->" mark "${rest}")
    if(NOT mark)
      break()
    endif()
    set(edition ${CMAKE_MATCH_2})
    if(CMAKE_MATCH_1)
      message(FATAL_ERROR "${file}: ${mark} closes a passage that was not opened")
    endif()
    string(FIND "${rest}" "${mark}" start)
    string(SUBSTRING "${rest}" 0 ${start} before)
    string(APPEND kept "${before}")
    string(LENGTH "${mark}" mark_length)
    math(EXPR inner_start "${start} + ${mark_length}")
    string(SUBSTRING "${rest}" ${inner_start} -1 rest)

    set(close "<!--/${edition}-->")
    string(FIND "${rest}" "${close}" end)
    if(end EQUAL -1)
      message(FATAL_ERROR "${file}: ${mark} is never closed with ${close}")
    endif()
    string(SUBSTRING "${rest}" 0 ${end} inner)
    if(inner MATCHES "<!--/?(windows|linux)-->")
      message(FATAL_ERROR "${file}: a ${mark} passage holds another mark; marks do not nest")
    endif()
    if(edition STREQUAL EDITION)
      string(APPEND kept "${inner}")
    endif()
    string(LENGTH "${close}" close_length)
    math(EXPR after "${end} + ${close_length}")
    string(SUBSTRING "${rest}" ${after} -1 rest)
  endwhile()
  string(APPEND kept "${rest}")
  set(${result_var} "${kept}" PARENT_SCOPE)
endfunction()

# The project as the Linux edition reads it: the default topic, the pages,
# and the map from context numbers to pages; no compiler or window options.
function(linux_project text result_var)
  string(REPLACE "\r" "" text "${text}")
  set(kept "")
  set(section "")
  while(NOT text STREQUAL "")
    string(FIND "${text}" "\n" end)
    if(end EQUAL -1)
      set(line "${text}")
      set(text "")
    else()
      string(SUBSTRING "${text}" 0 ${end} line)
      math(EXPR next "${end} + 1")
      string(SUBSTRING "${text}" ${next} -1 text)
    endif()
    if(line MATCHES "^\\[(.*)\\]$")
      set(section "${CMAKE_MATCH_1}")
    endif()
    if(section STREQUAL "WINDOWS" OR
       (section STREQUAL "OPTIONS" AND line MATCHES "=" AND NOT line MATCHES "^(Default topic|Title|Language)="))
      continue()
    endif()
    string(APPEND kept "${line}\n")
  endwhile()
  set(${result_var} "${kept}" PARENT_SCOPE)
endfunction()

get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
get_filename_component(OUTPUT_DIR "${OUTPUT_DIR}" ABSOLUTE)
file(GLOB sources RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
list(SORT sources)
file(MAKE_DIRECTORY ${OUTPUT_DIR})
foreach(name IN LISTS sources)
  set(source ${SOURCE_DIR}/${name})
  if(EDITION STREQUAL "linux" AND name MATCHES "\\.(hhc|hhk)$")
    continue()  # contents and index belong to the compiled help file
  endif()
  file(READ ${source} text)
  # Plain ASCII keeps both editions' declared encodings true.
  if(text MATCHES "[^\t\r\n -~]")
    message(FATAL_ERROR "${source}: holds a character outside ASCII; write it as an HTML character reference")
  endif()
  if(name MATCHES "\\.(htm|hhc|hhk)$")
    keep_edition_text(${source} "${text}" text)
  endif()
  if(EDITION STREQUAL "linux")
    if(name MATCHES "\\.htm$")
      string(REPLACE "charset=windows-1252" "charset=utf-8" text "${text}")
    elseif(name MATCHES "\\.hhp$")
      linux_project("${text}" text)
    endif()
  endif()
  file(WRITE ${OUTPUT_DIR}/${name} "${text}")
endforeach()
