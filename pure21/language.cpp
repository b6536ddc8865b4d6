// Transition labels over pure signals, "factor;trigger;effect.", as the
// runtime sees them.
#include "language.h"

namespace tessel::runtime {

TESSEL_LANGUAGE_PARTS(pure21)

namespace {

const TokenExample examples[] = {{"INT", "1"}, {"OTHER", "$"}};
const LongToken long_tokens[] = {long_blanks, long_name, long_number, long_backquoted};

}  // namespace

const Language pure21_language{
    "pure21",
    "Pure21",
    "parsePure21",
    translate_pure21,
    pure21_automaton,
    pure21_messages,
    pure21_hints,
    false,  // the trace: "#debug:" lines of the script
    examples,
    long_tokens,
};

}  // namespace tessel::runtime
