// A language as a value: everything the shared runtime, the programs and the
// tools know of a translator, given by its own folder (<kind>/language.cpp)
// and gathered by the registry that the build makes from the list of kinds
// (runtime/kinds.list). Shared code asks the language; it names none.
#ifndef TESSEL_RUNTIME_LANGUAGE_H
#define TESSEL_RUNTIME_LANGUAGE_H

#include <cstddef>
#include <string>
#include <string_view>

#include <tessel/translate.h>

#include "automaton.h"
#include "hints.h"
#include "translation.h"

namespace tessel::runtime {

// A table of a language: a constant array, or nothing.
template <class T>
class List {
public:
    constexpr List() = default;
    template <std::size_t N>
    constexpr List(const T (&items)[N]) : items_(items), size_(N)
    {
    }
    const T* begin() const { return items_; }
    const T* end() const { return items_ + size_; }
    std::size_t size() const { return size_; }

private:
    const T* items_ = nullptr;
    std::size_t size_ = 0;
};

// A token that stands for a class of texts (a number, any other character),
// with a text the scanner reads as one of them: the tools write such
// examples where a sentence of tokens needs a text. The other tokens are
// examples of themselves: their spelling ("name", ";", "`text`").
struct TokenExample {
    const char* token;  // its name in the grammar (INT)
    const char* text;   // "1"
};

// A kind of token that may outgrow the scanner's buffer, told by its first
// characters, and what the diagnostic says of one that did.
struct LongToken {
    const char* first;    // the characters it may start with
    const char* then;     // what follows the first ("": anything)
    const char* message;  // "{}" stands for the longest such token
    bool closed;          // it ends with a mark of its own, which needs no look-ahead: one more character
    bool comment = false; // a comment to the end of its line: `first` (one character) and `then` are its
                          // mark, which may stand between any two tokens
};

// The characters that start the tokens of the usual classes.
constexpr const char* blanks = " \t\r\n";
constexpr const char* letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr const char* digits = "0123456789";

// The usual long tokens, in their words.
constexpr LongToken long_blanks{
    blanks, "", "This run of blanks and line breaks is too long: white space may run for at most {} characters.",
    false};
constexpr LongToken long_name{letters, "", "This name is too long: a name may have at most {} characters.", false};
constexpr LongToken long_number{digits, "", "This number is too long: a number may have at most {} digits.", false};
constexpr LongToken long_backquoted{
    "`", "",
    "This backquoted text is too long, or its closing backquote is missing: with its backquotes it may have at most "
    "{} characters.",
    true};
constexpr LongToken long_marked{
    "!", "",
    "This text between exclamation marks is too long, or its closing mark is missing: with its marks it may have at "
    "most {} characters.",
    true};
// A comment that runs to the end of its line, after its mark: its first
// character, then the rest ("-", "-" for "--").
constexpr LongToken long_comment(const char* first, const char* then)
{
    return {first, then, "This comment is too long: a comment may have at most {} characters.", false, true};
}

struct Messages;

struct Language {
    const char* name;        // the kind as programs, folders, files and the batch name it (runtime/kinds.list)
    const char* title;       // the kind as its error reports show it, capitalised
    const char* usage_name;  // the program's name in its usage text
    Translate translate;     // one translation (TESSEL_GRAMMAR)
    const Automaton& (*automaton)();  // its parser's tables, for the diagnostics
    const Messages& messages;         // the messages of its syntax errors (<kind>/<kind>.messages)
    const Hints& hints;               // the slips it recognises (<kind>/<kind>.hints)
    // Its trace records go to the trace file (else they are "#debug:" lines
    // of its script, on standard output).
    bool trace_in_file;
    List<TokenExample> examples;
    List<LongToken> long_tokens;  // its comments' marks among them
};

// What a language's folder defines beside its descriptor (<kind>_language):
// its translator and automaton (TESSEL_GRAMMAR, in its grammar) and the
// messages of its syntax errors (made from <kind>.messages).
#define TESSEL_LANGUAGE_PARTS(kind)                                                                        \
    Ending translate_##kind(const Language&, const Streams&, const Options&, std::vector<Command>*, Resources&); \
    const Automaton& kind##_automaton();                                                                   \
    extern const Messages kind##_messages;                                                                 \
    extern const Hints kind##_hints;                                                                       \
    extern const Language kind##_language;

// The languages, in the order of tessel::Kind (the registry, which the build
// makes from runtime/kinds.list), and the language of a kind.
List<const Language*> languages();
const Language& language(Kind kind);

// An error report as the translators write it to standard error: the banner
// "Tessel intermediate code (<Title>) Parser:" and the message, no newline.
std::string error_report(const Language& language, std::string_view message);

}  // namespace tessel::runtime

#endif
