# The translators' kinds, in the order of tessel::Kind, read from the one
# list of them (runtime/kinds.list): TESSEL_KINDS.
file(STRINGS ${PROJECT_SOURCE_DIR}/runtime/kinds.list kind_lines)
set(TESSEL_KINDS)
foreach(line ${kind_lines})
  string(STRIP "${line}" line)
  if(line STREQUAL "" OR line MATCHES "^#")
    continue()
  endif()
  if(NOT line MATCHES "^[a-z][a-z0-9_]*$")
    message(FATAL_ERROR "runtime/kinds.list: a kind is a lower-case name: ${line}")
  endif()
  list(APPEND TESSEL_KINDS ${line})
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/runtime/kinds.list)

# tessel_kinds(<headers-dir> <registry-var> <no-messages-var>)
#
# Makes from the list the public enumerations of the kinds,
# <headers-dir>/tessel/kinds.h (tessel::Kind) and kinds_c.h (tessel_kind),
# and the registry of languages (a source, whose path goes to
# <registry-var>): each kind's descriptor, <kind>_language, defined in its
# folder (<kind>/language.cpp), in the list's order. <no-messages-var> gets
# a source that defines every kind's messages as none, for the tool that
# makes them (tools/messages.cpp).
function(tessel_kinds headers registry_var no_messages_var)
  set(made "Made by the build from runtime/kinds.list")
  set(cxx "// ${made}: the kinds the library\n// translates, in the list's order (tessel::kinds() lists them).\n")
  string(APPEND cxx "#ifndef TESSEL_KINDS_H\n#define TESSEL_KINDS_H\n\nnamespace tessel {\n\nenum class Kind {\n")
  set(c "/* ${made}: the kinds the library\n   translates, in the list's order (tessel_kind_count() counts them). */\n")
  string(APPEND c "#ifndef TESSEL_KINDS_C_H\n#define TESSEL_KINDS_C_H\n\ntypedef enum tessel_kind {\n")
  set(declarations "")
  set(entries "")
  set(checks "")
  set(no_messages "")
  set(index 0)
  list(LENGTH TESSEL_KINDS count)
  foreach(kind ${TESSEL_KINDS})
    string(TOUPPER ${kind} upper)
    math(EXPR index "${index} + 1")
    set(comma ",")
    if(index EQUAL count)
      set(comma "")
    endif()
    string(APPEND cxx "    ${kind}${comma}\n")
    math(EXPR number "${index} - 1")
    string(APPEND c "    TESSEL_${upper} = ${number}${comma}\n")
    string(APPEND declarations "extern const Language ${kind}_language;\n")
    string(APPEND entries "    &${kind}_language,\n")
    string(APPEND checks "static_assert(static_cast<int>(Kind::${kind}) == TESSEL_${upper} && TESSEL_${upper} == ${number}, \"${kind}\");\n")
    string(APPEND no_messages "extern const Messages ${kind}_messages;\nconst Messages ${kind}_messages = {nullptr, 0};\n")
    string(APPEND no_messages "extern const Hints ${kind}_hints;\nconst Hints ${kind}_hints = {nullptr, 0};\n")
  endforeach()
  string(APPEND cxx "};\n\n}  // namespace tessel\n\n#endif\n")
  string(APPEND c "} tessel_kind;\n\n#endif\n")
  file(CONFIGURE OUTPUT ${headers}/tessel/kinds.h CONTENT "${cxx}" @ONLY)
  file(CONFIGURE OUTPUT ${headers}/tessel/kinds_c.h CONTENT "${c}" @ONLY)

  set(registry ${CMAKE_CURRENT_BINARY_DIR}/registry.cpp)
  file(CONFIGURE OUTPUT ${registry} CONTENT "// ${made}: the languages, in the
// order of tessel::Kind, each defined in its own folder (<kind>/language.cpp).
#include <tessel/translate.h>
#include <tessel/translate_c.h>

#include \"language.h\"

namespace tessel::runtime {

${declarations}
namespace {

const Language* const registry[] = {
${entries}};

}  // namespace

// The two enumerations agree with the list and with each other.
${checks}
List<const Language*> languages()
{
    return registry;
}

}  // namespace tessel::runtime
" @ONLY)
  set(${registry_var} ${registry} PARENT_SCOPE)

  set(none ${CMAKE_CURRENT_BINARY_DIR}/no_messages.cpp)
  file(CONFIGURE OUTPUT ${none} CONTENT "// ${made}: no messages for any
// language, and no hints, for tessel-messages, which makes them.
#include \"diagnosis.h\"

namespace tessel::runtime {

${no_messages}
}  // namespace tessel::runtime
" @ONLY)
  set(${no_messages_var} ${none} PARENT_SCOPE)
endfunction()

# The web build's compiler (emscripten) sees its own system headers only:
# the scanners get flex's FlexLexer.h from the build machine, copied. The
# copy and each scanner name the stand-ins of web/flex/flex_streams.h
# instead of the standard streams, whose locales would double the module's
# code (web/flex/flex_streams.cmake).
if(EMSCRIPTEN)
  get_filename_component(flex_bin ${FLEX_EXECUTABLE} DIRECTORY)
  find_file(TESSEL_FLEX_LEXER_H FlexLexer.h HINTS ${flex_bin}/../include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  set(TESSEL_FLEX_STREAMS ${PROJECT_SOURCE_DIR}/web/flex/flex_streams.cmake)
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/flex)
  execute_process(COMMAND ${CMAKE_COMMAND} -DIN=${TESSEL_FLEX_LEXER_H} -DOUT=${PROJECT_BINARY_DIR}/flex/FlexLexer.h
                          -P ${TESSEL_FLEX_STREAMS}
                  COMMAND_ERROR_IS_FATAL ANY)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TESSEL_FLEX_LEXER_H} ${TESSEL_FLEX_STREAMS})
  set(TESSEL_FLEX_INCLUDE ${PROJECT_BINARY_DIR}/flex ${PROJECT_SOURCE_DIR}/web/flex)
endif()

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
  if(EMSCRIPTEN)
    # The web build's streams (see above).
    set(scanner ${FLEX_${kind}_scanner_OUTPUTS})
    add_custom_command(OUTPUT ${scanner} APPEND
        COMMAND ${CMAKE_COMMAND} -DIN=${scanner} -DOUT=${scanner} -P ${TESSEL_FLEX_STREAMS}
        DEPENDS ${TESSEL_FLEX_STREAMS})
  endif()
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
      COMPILE_OPTIONS "${scanner_options}" INCLUDE_DIRECTORIES "${gen};${TESSEL_FLEX_INCLUDE}")
  set_source_files_properties(${parser} PROPERTIES
      COMPILE_OPTIONS "${parser_options}" INCLUDE_DIRECTORIES "${gen}")

  set(${sources_var} ${${sources_var}} ${parser_outputs} ${FLEX_${kind}_scanner_OUTPUTS} PARENT_SCOPE)
endfunction()
