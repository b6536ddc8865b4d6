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

# The web build's compiler (emscripten) sees its own system headers only:
# the scanners get flex's FlexLexer.h from the build machine, copied.
if(EMSCRIPTEN)
  get_filename_component(flex_bin ${FLEX_EXECUTABLE} DIRECTORY)
  find_file(TESSEL_FLEX_LEXER_H FlexLexer.h HINTS ${flex_bin}/../include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  configure_file(${TESSEL_FLEX_LEXER_H} ${PROJECT_BINARY_DIR}/flex/FlexLexer.h COPYONLY)
  set(TESSEL_FLEX_INCLUDE ${PROJECT_BINARY_DIR}/flex)
endif()

# tessel_grammar(<kind> <sources-var>)
#
# Generates <kind>'s scanner from <kind>/lex.<kind>.l and its parser from
# <kind>/<kind>parser.y into the build tree, and appends the generated
# sources to <sources-var>. The scanner class is <kind>FlexLexer and the
# parser's names carry the kind as prefix (<kind>parse, <kind>lex, ...).
# The names and spellings of the grammar's tokens, from its %token lines,
# go to <kind>_tokens.h, which the grammar's automaton is built with.
function(tessel_grammar kind sources_var)
  set(src ${PROJECT_SOURCE_DIR}/${kind})
  set(gen ${PROJECT_BINARY_DIR}/${kind})
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
        COMMAND awk -v name=${scanner} -v out=${scanner}.lines -f ${PROJECT_SOURCE_DIR}/cmake/scanner-lines.awk ${scanner}
        COMMAND ${CMAKE_COMMAND} -E rename ${scanner}.lines ${scanner}
        DEPENDS ${PROJECT_SOURCE_DIR}/cmake/scanner-lines.awk)
  endif()

  # The tokens in the order of their codes (258 upward): bison numbers them
  # in the order of the %token lines, each of which names one token. (The
  # semicolons and square brackets of spellings are kept out of CMake's lists.)
  file(READ ${src}/${kind}parser.y grammar)
  string(REPLACE ";" "<semicolon>" grammar "${grammar}")
  string(REPLACE "[" "<open>" grammar "${grammar}")
  string(REPLACE "]" "<close>" grammar "${grammar}")
  string(REGEX MATCHALL "\n%token[^\n]*" token_lines "${grammar}")
  set(names "// Made by the build from ${kind}parser.y: its tokens, in the order of their codes.\n")
  string(APPEND names "static const tessel::runtime::TokenName ${kind}_tokens[] = {\n")
  foreach(line ${token_lines})
    if(NOT line MATCHES "^\n%token +([A-Z_0-9]+) +(\"[^\"]*\")")
      message(FATAL_ERROR "${kind}parser.y: one token with its spelling per %token line: ${line}")
    endif()
    string(REPLACE "\\" "\\\\" spelling "${CMAKE_MATCH_2}")
    string(APPEND names "    {\"${CMAKE_MATCH_1}\", ${spelling}},\n")
  endforeach()
  string(APPEND names "};\n")
  string(REPLACE "<semicolon>" ";" names "${names}")
  string(REPLACE "<open>" "[" names "${names}")
  string(REPLACE "<close>" "]" names "${names}")
  file(CONFIGURE OUTPUT ${gen}/${kind}_tokens.h CONTENT "${names}" @ONLY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${src}/${kind}parser.y)

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
      COMPILE_OPTIONS "${scanner_options}" INCLUDE_DIRECTORIES "${gen};${TESSEL_FLEX_INCLUDE}")
  set_source_files_properties(${BISON_${kind}_parser_OUTPUTS} PROPERTIES
      COMPILE_OPTIONS "${parser_options}" INCLUDE_DIRECTORIES "${gen}")

  set(${sources_var} ${${sources_var}}
      ${BISON_${kind}_parser_OUTPUTS} ${FLEX_${kind}_scanner_OUTPUTS} PARENT_SCOPE)
endfunction()
