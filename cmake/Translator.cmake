# The translators' kinds, in the order of tessel::Kind, read from the one
# list of them (runtime/kinds.h): TESSEL_KINDS.
file(READ ${PROJECT_SOURCE_DIR}/runtime/kinds.h kinds_header)
string(REGEX MATCHALL "X\\([a-z0-9]+, [A-Za-z0-9]+\\)" kind_entries "${kinds_header}")
set(TESSEL_KINDS)
foreach(entry ${kind_entries})
  string(REGEX REPLACE "X\\(([a-z0-9]+), .*" "\\1" kind "${entry}")
  list(APPEND TESSEL_KINDS ${kind})
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/runtime/kinds.h)

# tessel_grammar(<kind> <sources-var>)
#
# Generates <kind>'s scanner from <kind>/lex.<kind>.l and its parser from
# <kind>/<kind>parser.y into the build tree, and appends the generated
# sources to <sources-var>. The scanner class is <kind>FlexLexer and the
# parser's names carry the kind as prefix (<kind>parse, <kind>lex, ...).
# Bison's report on the grammar (<kind>parser.xml) is read once, by
# tools/grammar_report.py, for every consumer: <kind>_grammar.h holds the
# names and spellings of the tokens and the rule of each state, which the
# grammar's automaton is built with; <kind>_grammar.json the same facts and
# the rules, for other tools.
function(tessel_grammar kind sources_var)
  set(src ${PROJECT_SOURCE_DIR}/${kind})
  set(gen ${PROJECT_BINARY_DIR}/${kind})
  file(MAKE_DIRECTORY ${gen})

  set(parser ${gen}/${kind}parser.cc)
  set(parser_header ${gen}/${kind}parser.hh)
  set(report ${gen}/${kind}parser.xml)
  add_custom_command(OUTPUT ${parser} ${parser_header} ${report}
      COMMAND ${BISON_EXECUTABLE} -Wall -Werror --defines=${parser_header} --xml=${report} -o ${parser}
              ${src}/${kind}parser.y
      DEPENDS ${src}/${kind}parser.y
      COMMENT "[BISON] Building the parser of ${kind}"
      VERBATIM)
  set(facts ${gen}/${kind}_grammar.h)
  add_custom_command(OUTPUT ${facts} ${gen}/${kind}_grammar.json
      COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/grammar_report.py ${report}
              --header ${parser_header} --prefix ${kind} --code ${facts} --json ${gen}/${kind}_grammar.json
      DEPENDS ${report} ${parser_header} ${PROJECT_SOURCE_DIR}/tools/grammar_report.py
      COMMENT "Reading bison's report on ${kind}'s grammar"
      VERBATIM)
  set(parser_outputs ${parser} ${parser_header} ${facts})

  flex_target(${kind}_scanner ${src}/lex.${kind}.l ${gen}/lex.${kind}.cc
              COMPILE_FLAGS "--prefix=${kind}")
  # The scanner includes the parser's header.
  set_source_files_properties(${FLEX_${kind}_scanner_OUTPUTS} PROPERTIES OBJECT_DEPENDS ${parser_header})
  if(TESSEL_COVERAGE)
    # So that gcov counts each rule's action on the rule's own line.
    set(scanner ${FLEX_${kind}_scanner_OUTPUTS})
    add_custom_command(OUTPUT ${scanner} APPEND
        COMMAND awk -v name=${scanner} -v out=${scanner}.lines -f ${PROJECT_SOURCE_DIR}/cmake/scanner-lines.awk ${scanner}
        COMMAND ${CMAKE_COMMAND} -E rename ${scanner}.lines ${scanner}
        DEPENDS ${PROJECT_SOURCE_DIR}/cmake/scanner-lines.awk)
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
  set_source_files_properties(${parser} PROPERTIES
      COMPILE_OPTIONS "${parser_options}" INCLUDE_DIRECTORIES "${gen}")

  set(${sources_var} ${${sources_var}} ${parser_outputs} ${FLEX_${kind}_scanner_OUTPUTS} PARENT_SCOPE)
endfunction()
