# cpack -G DEB: the Debian packages, split as Debian splits a library:
#
#   libtessel<major>    component library: the shared library
#   libtessel-dev       component development: headers, libtessel.so and
#                       libtessel.a, the CMake package, tessel.pc
#   tcl-tessel          component tcl_debian: the Tcl package and its page
#                       in Debian's layout (Tcl/Tk policy)
#   tessel-translators  component programs: the programs and their pages
#   tk-tessel           component tk_debian: the Tk widget tessel::tk (pure
#                       Tcl, architecture all) and its page
#
# each with its copyright, changelog.Debian.gz and the lintian overrides
# that say why a tag stays (packaging/debian/). Only when the tree is built
# on its own.
set(debian ${PROJECT_SOURCE_DIR}/packaging/debian)

# Debian's Tcl/Tk policy: a binary extension goes in /usr/lib/tcltk/<triplet>/
# (tcl/).
set(TESSEL_DEBIAN_TCL_DIR lib/tcltk)
if(CMAKE_LIBRARY_ARCHITECTURE)
  string(APPEND TESSEL_DEBIAN_TCL_DIR /${CMAKE_LIBRARY_ARCHITECTURE})
endif()

set(CPACK_PACKAGE_NAME tessel)
set(CPACK_DEBIAN_PACKAGE_SOURCE tessel)
set(CPACK_PACKAGE_VENDOR "Tessel")
set(CPACK_PACKAGE_CONTACT "Tessel developers <tessel@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL library development programs)
if(TESSEL_TCL)
  list(APPEND CPACK_COMPONENTS_ALL tcl_debian tk_debian)
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The Debian revision: the packages' version is <version>-<revision>, the
# version of the changelog's first entry.
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies on shared libraries from dpkg-shlibdeps; programs built
# against libtessel depend on the version they were built with, or later.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

# Each package's description: its synopsis, what the translators do, then
# what the package holds.
set(about "The Tessel translators read a transition label, an interface declaration
or the intermediate code of a compiled chart, check it against its grammar
and write its translation for the Tessel editor.
.")

set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME libtessel${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_LIBRARY_DESCRIPTION "translators of Tessel state chart texts - shared library
${about}
This package holds the shared library, which translates in-process.")
# ldconfig runs once at the end of an installation (a trigger), not from
# maintainer scripts: CPack writes such scripts unless postinst and postrm
# are named here, and names that are not files are left out of the package.
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA ${debian}/triggers ${debian}/no/postinst ${debian}/no/postrm)

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libtessel-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS library)
set(CPACK_COMPONENT_DEVELOPMENT_DESCRIPTION "translators of Tessel state chart texts - development files
${about}
This package holds what building against the library takes: the headers
of its C++ and C interfaces, the static library, the CMake package
(find_package(Tessel)) and the pkg-config file.")

set(CPACK_DEBIAN_TCL_DEBIAN_PACKAGE_NAME tcl-tessel)
set(CPACK_DEBIAN_TCL_DEBIAN_PACKAGE_SECTION interpreters)
# Built against Tcl's stubs for Tcl 8.6 (its pkgIndex.tcl asks for 8.6).
set(CPACK_DEBIAN_TCL_DEBIAN_PACKAGE_DEPENDS "tcl (>= 8.6), tcl (<< 9)")
set(CPACK_COMPONENT_TCL_DEBIAN_DESCRIPTION "translators of Tessel state chart texts - Tcl package
${about}
This package holds the Tcl package tessel: the editor translates
in-process with tessel::translate and gets the command lines as data.")

set(CPACK_DEBIAN_TK_DEBIAN_PACKAGE_NAME tk-tessel)
set(CPACK_DEBIAN_TK_DEBIAN_PACKAGE_SECTION interpreters)
# Pure Tcl: the same on every architecture, nothing for dpkg-shlibdeps. It
# needs Tk and the package tessel of its own version (tcl-tessel, from the
# component's dependency).
set(CPACK_DEBIAN_TK_DEBIAN_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_TK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_TK_DEBIAN_PACKAGE_DEPENDS "tk (>= 8.6)")
set(CPACK_COMPONENT_TK_DEBIAN_DEPENDS tcl_debian)
set(CPACK_COMPONENT_TK_DEBIAN_DESCRIPTION "translators of Tessel state chart texts - Tk entry widget
${about}
This package holds the Tk widget tessel::tk::entry: an entry for a label
or a declaration that checks the text as it is typed, marks the exact
range of a mistake with its message, says what may come next and
completes from the grammar.")

set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME tessel-translators)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION devel)
set(CPACK_COMPONENT_PROGRAMS_DESCRIPTION "translators of Tessel state chart texts - programs
${about}
This package holds the four translators, one text per process, and
tessel-batch, any number of texts per process over a pipe.")

include(CPack)

# Every package's copyright and changelog, and its lintian overrides: those
# of every package (lintian-overrides), then its own (<component>.lintian-overrides).
set(changelog ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz)
add_custom_command(OUTPUT ${changelog}
    COMMAND ${CMAKE_COMMAND} -Dsource=${debian}/changelog -Doutput=${changelog} -P ${PROJECT_SOURCE_DIR}/cmake/gzip.cmake
    DEPENDS ${debian}/changelog ${PROJECT_SOURCE_DIR}/cmake/gzip.cmake
    COMMENT "Compressing the Debian changelog")
add_custom_target(tessel-debian-changelog ALL DEPENDS ${changelog})
foreach(component ${CPACK_COMPONENTS_ALL})
  string(TOUPPER ${component} upper)
  set(package ${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
  install(FILES ${debian}/copyright ${changelog} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
          COMPONENT ${component} EXCLUDE_FROM_ALL)
  file(READ ${debian}/lintian-overrides overrides)
  if(EXISTS ${debian}/${component}.lintian-overrides)
    file(READ ${debian}/${component}.lintian-overrides own)
    string(APPEND overrides "${own}")
  endif()
  file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/debian/overrides/${package} CONTENT "${overrides}" @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/debian/overrides/${package} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
          COMPONENT ${component} EXCLUDE_FROM_ALL)
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${debian}/lintian-overrides ${debian}/programs.lintian-overrides)
