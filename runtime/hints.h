// Slips a person commonly makes, recognised before the message of the
// parser's situation: an operator of another language (`&&`), a keyword in
// capitals or misspelled, a text never closed, a name with an accent. Each
// language has a table of them (<kind>/<kind>.hints), which the build turns
// into a table of Hint (tools/messages.cpp). A hint is given only where it
// is true: its pattern matches the tokens around the error, and its
// conditions hold there (what may come, what was read).
#ifndef TESSEL_RUNTIME_HINTS_H
#define TESSEL_RUNTIME_HINTS_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <tessel/translate.h>

#include "automaton.h"
#include "translation.h"

namespace tessel::runtime {

// What a pattern says of a token (the one found, or the one before it).
enum class Shape {
    any,       // no condition
    text,      // the text there starts with a given text
    token,     // the token there is a given text, whole ("xor", not "xorb")
    name,      // a name (a token the grammar spells "name")
    number,    // a number
    end,       // the end of the text
    keyword,   // a keyword (a token spelled in lower-case letters, other than
               // the words that describe a kind of token: "name", "number")
    foreign,   // a character outside ASCII
    digit,     // a token that starts with a digit (`2nd` where no number may stand)
    none,      // (before) no token: the error is at the first
};

struct Hint {
    const char* code;       // the hint's name ("and-for-ampersands")
    Shape found;            // the token at which the translation stopped
    const char* found_text; // ... its text, for Shape::text and Shape::token
    Shape before;           // the token before it
    const char* before_text;
    bool joined;            // no blank between the two (or between the token
                            // before and the comment's mark)
    // The token the hint points at ('f' found, 'b' before) may be a word
    // that stands for a keyword that may come there: 'c' the keyword in
    // other capitals, 't' the keyword misspelled (one letter added, left
    // out, changed or two swapped); 0: no such condition.
    char at;
    char word;
    const char* unclosed;   // "OPEN CLOSE": the found text opens a text never closed
    const char* comment;    // a comment mark: the text ended inside a comment that
                            // swallowed what followed on its line
    const char* expects;    // token names that may all come there (blank-separated)
    const char* lacks;      // token names none of which may come there
    const char* count;      // "NAME N": exactly N such tokens were read before
    const char* next;       // what the text right after the found token starts
                            // with: "digit", "letter", or "end" (only blanks up
                            // to the end of the text)
    const char* through;    // a closing mark: the token found is the start of a word the
                            // scanner split (a tag misspelled, `:<endstar>`), which runs
                            // through that mark, or to the next blank; the hint points
                            // at the whole word, and `word` compares it with every token
                            // that may come there, whatever its spelling
    const char* swallowed;  // with `comment`: the comment's rest holds this text, and the
                            // comment may also stand before the token found, on an
                            // earlier line (a tag written after a `%` on its line)
    const char* message;    // with $found, $word and $expecting (see expanded)
};

struct Hints {
    // The hints worth trying when the text from the found token on starts
    // with `first`: their indices, in order, up to `end`. The last list
    // (first 0) is for any other character.
    struct Tried {
        char first;
        const unsigned short* hints;
    };
    static constexpr unsigned short end = 0xFFFF;

    const Hint* hints;
    const Tried* tried;
};

// What the hints see of a failed translation.
struct Scene {
    std::string_view text;                  // the text as far as it was read
    const std::vector<unsigned short>& codes;  // the tokens read, the last where it stopped
    const std::vector<Span>& spans;            // the places of the last of them,
    long spans_from;                           // from this one on
    const Automaton& automaton;

    // The place of the token of that index, or null when it is not kept.
    const Span* span(size_t index) const
    {
        const long i = static_cast<long>(index) - spans_from;
        return i >= 0 && i < static_cast<long>(spans.size()) ? &spans[static_cast<size_t>(i)] : nullptr;
    }
};

// Applies the first hint that holds to the diagnostic: its message and
// code, and the place it points at (the token before, the opening mark of
// a text, the comment). Returns -2 when none holds; else the index of the
// token read before the error that it now points at, or -1.
long apply_hint(const Hints& hints, const Scene& scene, Diagnostic& d);

// A message with its places filled: $found, the text found (in backquotes)
// or "the end of the text" (capitalised where a sentence starts); $word, a keyword a hint found meant;
// $expecting, what may come there ("a name, `not` or `(`").
std::string expanded(const char* message, const std::string& found, const std::string& word,
                     const std::vector<std::string>& expecting);

}  // namespace tessel::runtime

#endif
