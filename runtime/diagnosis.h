// The diagnostic of a translation that stopped: where, what the grammar
// allowed there, and what to do, in the words of the person who typed it.
//
// A syntax error's words depend on where the parser stood: each grammar has
// a file of sample texts and their messages (<kind>/<kind>.messages), which
// the build turns into a table from the automaton's error states to their
// messages (tools/messages.cpp). The other errors have words of their own:
// an action's come with its error, the rest are here.
#ifndef TESSEL_RUNTIME_DIAGNOSIS_H
#define TESSEL_RUNTIME_DIAGNOSIS_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <tessel/translate.h>

#include "automaton.h"
#include "hints.h"
#include "language.h"
#include "translation.h"

namespace tessel::runtime {

// The messages of a grammar's syntax errors, one for each situation in
// which the parser can find one: the error state and the exact set of
// tokens that could have come instead (their names, sorted, separated by
// blanks). Each has a code, the language's name for it ("trigger-ends").
struct Messages {
    struct Entry {
        int state;
        const char* expected;
        const char* code;
        const char* message;
    };
    const Entry* entries;
    std::size_t count;
};

// The entry of a situation: its error state and the names of the tokens
// that may come there, in the order of their names (null when the table
// has none).
const Messages::Entry* message_of(const Messages& messages, int state, const std::vector<std::string>& expected);

// The diagnostic of a translation in the language that ended as `ending`
// after reading the tokens kept in `resources` (the last one where it
// stopped), from `text` (as far as it was read; empty when it was not kept).
Diagnostic diagnose(const Language& language, const Ending& ending, const Resources& resources,
                    std::string_view text, const Options& options);

// What is wrong with a token of the language that outgrew the scanner's
// buffer, from its first characters: how long such a token may be.
std::string too_long(const Language& language, const std::string& start);

}  // namespace tessel::runtime

#endif
