// The tagged intermediate code of a compiled chart, as the runtime sees it.
#include "language.h"

namespace tessel::runtime {

TESSEL_LANGUAGE_PARTS(ic3)

namespace {

const TokenExample examples[] = {{"INT", "1"}, {"OTHER", "$"}};
const LongToken long_tokens[] = {
    {":", "{",
     "This verbatim text is too long, or its closing brace is missing: from `:{` to `}` it may have at most {} "
     "characters.",
     true},
    long_blanks, long_comment("%", ""), long_marked, long_name, long_number,
};

}  // namespace

const Language ic3_language{
    "ic3",
    "Ic3",
    "parseIc3",
    translate_ic3,
    ic3_automaton,
    ic3_messages,
    ic3_hints,
    true,  // the trace: records in the trace file
    examples,
    long_tokens,
};

}  // namespace tessel::runtime
