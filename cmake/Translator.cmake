# tessel_grammar(<kind> <sources-var>)
#
# Generates <kind>'s scanner from <kind>/lex.<kind>.l and its parser from
# <kind>/<kind>parser.y into the build tree, and appends the generated
# sources to <sources-var>. The scanner class is <kind>FlexLexer and the
# parser's names carry the kind as prefix (<kind>parse, <kind>lex, ...).
function(tessel_grammar kind sources_var)
  set(src ${CMAKE_SOURCE_DIR}/${kind})
  set(gen ${CMAKE_BINARY_DIR}/${kind})
  file(MAKE_DIRECTORY ${gen})

  bison_target(${kind}_parser ${src}/${kind}parser.y ${gen}/${kind}parser.cc
               DEFINES_FILE ${gen}/${kind}parser.hh
               COMPILE_FLAGS "-Wall -Werror")
  flex_target(${kind}_scanner ${src}/lex.${kind}.l ${gen}/lex.${kind}.cc
              COMPILE_FLAGS "--prefix=${kind}")
  add_flex_bison_dependency(${kind}_scanner ${kind}_parser)
  if(TESSEL_COVERAGE)
    # So that gcov counts each rule's action on the rule's own line.
    set(scanner ${FLEX_${kind}_scanner_OUTPUTS})
    add_custom_command(OUTPUT ${scanner} APPEND
        COMMAND awk -v name=${scanner} -v out=${scanner}.lines -f ${CMAKE_SOURCE_DIR}/cmake/scanner-lines.awk ${scanner}
        COMMAND ${CMAKE_COMMAND} -E rename ${scanner}.lines ${scanner}
        DEPENDS ${CMAKE_SOURCE_DIR}/cmake/scanner-lines.awk)
  endif()

  # The skeletons' own code trips a few warnings that are not ours to fix.
  set(scanner_options -Wno-sign-compare -Wno-unused-parameter -Wno-unused-function -Wno-implicit-fallthrough
                      -Wno-unused-label -Wno-misleading-indentation)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    list(APPEND scanner_options -Wno-maybe-uninitialized)
  endif()
  set(parser_options -Wno-unused-but-set-variable -Wno-free-nonheap-object)
  if(TESSEL_FUZZ)
    # The tables' comparisons are of state numbers: tracing them tells the
    # fuzzer nothing its dictionaries do not, and took a quarter of its time.
    list(APPEND scanner_options -fno-sanitize-coverage=trace-cmp)
    list(APPEND parser_options -fno-sanitize-coverage=trace-cmp)
  endif()
  set_source_files_properties(${FLEX_${kind}_scanner_OUTPUTS} PROPERTIES
      COMPILE_OPTIONS "${scanner_options}" INCLUDE_DIRECTORIES "${gen}")
  set_source_files_properties(${BISON_${kind}_parser_OUTPUTS} PROPERTIES
      COMPILE_OPTIONS "${parser_options}" INCLUDE_DIRECTORIES "${gen}")

  set(${sources_var} ${${sources_var}}
      ${BISON_${kind}_parser_OUTPUTS} ${FLEX_${kind}_scanner_OUTPUTS} PARENT_SCOPE)
endfunction()
