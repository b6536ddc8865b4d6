// One declaration of a module interface, ended by a semicolon, as the
// runtime sees it.
#include "language.h"

namespace tessel::runtime {

TESSEL_LANGUAGE_PARTS(decl)

namespace {

const TokenExample examples[] = {{"OTHER", "$"}};
const LongToken long_tokens[] = {long_blanks, long_comment("%", ""), long_name};

}  // namespace

const Language decl_language{
    "decl",
    "Decl",
    "parseDecl",
    translate_decl,
    decl_automaton,
    decl_messages,
    decl_hints,
    false,  // the trace: "#debug:" lines of the script
    examples,
    long_tokens,
};

}  // namespace tessel::runtime
