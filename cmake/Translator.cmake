# add_translator(<kind>)
#
# Builds <kind>-translator from <kind>/lex.<kind>.l and <kind>/<kind>parser.y.
# The scanner class is <kind>FlexLexer and the parser's names carry the kind as
# prefix (<kind>parse, <kind>lex, <kind>error, ...). Generated sources stay in
# the build tree.
function(add_translator kind)
  set(src ${CMAKE_CURRENT_SOURCE_DIR})
  set(gen ${CMAKE_CURRENT_BINARY_DIR})

  bison_target(${kind}_parser ${src}/${kind}parser.y ${gen}/${kind}parser.cc
               DEFINES_FILE ${gen}/${kind}parser.hh
               COMPILE_FLAGS "-Wall -Werror")
  flex_target(${kind}_scanner ${src}/lex.${kind}.l ${gen}/lex.${kind}.cc
              COMPILE_FLAGS "--prefix=${kind}")
  add_flex_bison_dependency(${kind}_scanner ${kind}_parser)

  add_executable(${kind}-translator
                 ${BISON_${kind}_parser_OUTPUTS}
                 ${FLEX_${kind}_scanner_OUTPUTS}
                 ${ARGN})
  target_include_directories(${kind}-translator PRIVATE ${gen} ${src})
  target_link_libraries(${kind}-translator PRIVATE tessel_frame Stringpp)
  target_compile_options(${kind}-translator PRIVATE ${TESSEL_WARNINGS})
  if(TESSEL_STATIC)
    target_link_options(${kind}-translator PRIVATE -static)
  endif()

  install(TARGETS ${kind}-translator RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  set(page ${CMAKE_SOURCE_DIR}/docs/man/${kind}-translator.1)
  if(EXISTS ${page})
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  endif()

  # The skeletons' own code trips a few warnings that are not ours to fix.
  set_source_files_properties(${FLEX_${kind}_scanner_OUTPUTS} PROPERTIES
      COMPILE_OPTIONS "-Wno-sign-compare;-Wno-unused-parameter;-Wno-unused-function;-Wno-implicit-fallthrough;-Wno-unused-label;-Wno-misleading-indentation;-Wno-maybe-uninitialized")
  set_source_files_properties(${BISON_${kind}_parser_OUTPUTS} PROPERTIES
      COMPILE_OPTIONS "-Wno-unused-but-set-variable;-Wno-free-nonheap-object")
endfunction()
