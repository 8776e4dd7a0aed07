# Packages. Windows: one ZIP archive per build, holding the program's folder
# as the user unpacks it: tessaly.exe, tessaly-compose.exe, help\help.chm,
# quotes\ and samples\. There is no data\ folder: the program's first save
# creates it. Elsewhere: a Debian package that installs under /usr. (The
# Windows installer, an MSI of the same folder, is made by bundle/installer
# as part of the build.)
#
# Included at the end of the top-level CMakeLists.txt, once the programs'
# targets exist; the data, manual pages and help are installed by bundle/.
set(CPACK_PACKAGE_VENDOR Brindlewick)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})

if(WIN32)
  if(TARGET tessaly)
    install(TARGETS tessaly RUNTIME DESTINATION .)
  endif()
  install(TARGETS tessaly_compose_cli RUNTIME DESTINATION .)

  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(CPACK_SYSTEM_NAME win64)
  else()
    set(CPACK_SYSTEM_NAME win32)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME Tessaly)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Keeps an e-mail signature file fresh")
  set(CPACK_PACKAGE_FILE_NAME Tessaly-${PROJECT_VERSION}-${CPACK_SYSTEM_NAME})
  # The files sit at the top of the archive: Windows' "Extract All" already
  # makes a folder named after the archive.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  include(CPack)
  return()
endif()

# The Linux edition comes from its own platform folder when Qt is there.
if(TARGET tessaly_linux)
  install(TARGETS tessaly_linux RUNTIME DESTINATION bin)
endif()
install(TARGETS tessaly_compose_cli RUNTIME DESTINATION bin)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaly)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TESSALY_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Brindlewick <tessaly@brindlewick.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION mail)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.brindlewick.example/tessaly)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION [=[keeps an e-mail signature file fresh
Tessaly composes a signature file from a template, two quote files and two
folders of HTML fragments: the words quote1 and quote2 in the template become
a line drawn at random from a quote file, and htmPath1 and htmPath2 the text
of a file drawn at random from a folder.

The desktop program lives in the notification area and rewrites the signature
every three seconds while it runs. The command tessaly-compose composes once
and prints the signature, for mail clients such as mutt, NeoMutt and
Evolution that run a command for every new message.]=])
# Dependencies as dpkg-shlibdeps finds them in the programs. Help pages,
# files, folders and the credits' web address open with xdg-open; without it
# the program says so, so it is recommended rather than required.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
set(CPACK_STRIP_FILES ON)
# Folders as Debian has them (0755), whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
