# Where everything is installed (GNUInstallDirs), and the manual pages.
#
# On Debian and its derivatives the libraries go into the multiarch folder
# lib/<triplet>, as in Debian's own packages, under any prefix: the loader,
# pkg-config and find_package look there under /usr/local too (alone,
# GNUInstallDirs chooses it for the prefix /usr only). Chosen at the first
# configuration, as GNUInstallDirs chooses; a folder configured before had
# GNUInstallDirs' "lib", and moves once. CMAKE_INSTALL_LIBDIR given on the
# command line is kept.
if(TESSEL_TOP_LEVEL AND CMAKE_LIBRARY_ARCHITECTURE AND EXISTS /etc/debian_version
   AND NOT TESSEL_LIBDIR_CHOSEN)
  set(TESSEL_LIBDIR_CHOSEN ON CACHE INTERNAL "CMAKE_INSTALL_LIBDIR has had its default")
  if(NOT DEFINED CMAKE_INSTALL_LIBDIR
     OR (DEFINED _GNUInstallDirs_LAST_CMAKE_INSTALL_PREFIX AND CMAKE_INSTALL_LIBDIR STREQUAL "lib"))
    set(CMAKE_INSTALL_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE} CACHE PATH "Object code libraries (LIBDIR)" FORCE)
  endif()
endif()
include(GNUInstallDirs)

# tessel_manual_page(<page> <section> <component> [EXCLUDE_FROM_ALL])
#
# Installs docs/man/<page> compressed (gzip -9n, as Debian has them) as
# man<s>/<name>.<section>.gz, <s> being the section's first character. A
# page installed in another section than its own (tessel.n as 3tcl) says so
# in its .TH line.
function(tessel_manual_page page section component)
  get_filename_component(name ${page} NAME_WLE)
  set(source ${PROJECT_SOURCE_DIR}/docs/man/${page})
  set(compressed ${PROJECT_BINARY_DIR}/man/${name}.${section}.gz)
  add_custom_command(OUTPUT ${compressed}
      COMMAND ${CMAKE_COMMAND} -Dsource=${source} -Doutput=${compressed} -Dsection=${section}
              -P ${PROJECT_SOURCE_DIR}/cmake/gzip.cmake
      DEPENDS ${source} ${PROJECT_SOURCE_DIR}/cmake/gzip.cmake
      COMMENT "Compressing the manual page ${name}(${section})")
  add_custom_target(tessel-man-${name}.${section} ALL DEPENDS ${compressed})
  string(SUBSTRING ${section} 0 1 folder)
  install(FILES ${compressed} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${folder} COMPONENT ${component} ${ARGN})
endfunction()
