// Transition labels whose signals may carry values,
// "factor;trigger;condition;effect.", as the runtime sees them.
#include "language.h"

namespace tessel::runtime {

TESSEL_LANGUAGE_PARTS(valued21)

namespace {

const TokenExample examples[] = {{"INT", "1"}, {"OTHER", "$"}};
const LongToken long_tokens[] = {
    long_blanks, long_comment("-", "-"), long_backquoted, long_marked, long_name, long_number,
};

}  // namespace

const Language valued21_language{
    "valued21",
    "Valued21",
    "parseValued21",
    translate_valued21,
    valued21_automaton,
    valued21_messages,
    valued21_hints,
    false,  // the trace: "#debug:" lines of the script
    examples,
    long_tokens,
};

}  // namespace tessel::runtime
