# Packages: one ZIP archive per Windows build, holding the program's folder as
# the user unpacks it: tessaly.exe, help\help.chm, quotes\ and samples\. There
# is no data\ folder: the program's first save creates it.
#
# Included at the end of the top-level CMakeLists.txt, once the program's
# target exists; the data and the help file are installed by bundle/.
if(WIN32)
  if(TARGET tessaly)
    install(TARGETS tessaly RUNTIME DESTINATION .)
  endif()

  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_SYSTEM_NAME win64)
  else()
    set(CPACK_SYSTEM_NAME win32)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME Tessaly)
  set(CPACK_PACKAGE_VENDOR Brindlewick)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keeps an e-mail signature file fresh")
  set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
  set(CPACK_PACKAGE_FILE_NAME Tessaly-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
  # The files sit at the top of the archive: Windows' "Extract All" already
  # makes a folder named after the archive.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  include(CPack)
endif()
