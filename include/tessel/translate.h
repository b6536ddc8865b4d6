// The Tessel translators as a library: a transition label, an interface
// declaration or the intermediate code of a chart, translated in-process.
//
// Every call is independent: any number of translations may run at once, in
// any threads; nothing is shared between them and nothing is left behind.
// The results are byte for byte what the programs <kind>-translator write
// for the same text on standard input (standard output, standard error, the
// trace file, the exit status).
#ifndef TESSEL_TRANSLATE_H
#define TESSEL_TRANSLATE_H

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// enum class Kind { pure21, valued21, decl, ic3 }, made by the build from
// its list of kinds.
#include <tessel/kinds.h>

#if defined(__GNUC__)
#define TESSEL_API __attribute__((visibility("default")))
#else
#define TESSEL_API
#endif

namespace tessel {

// One command line of the editor's script, as data: its words, the values
// raw (never escaped). {"set", NAME, VALUE}, {"addElement", LIST, NAME},
// {"errorReport", MESSAGE} or {"break"}.
using Command = std::vector<std::string>;

// Where a failed translation stopped and why, for the person who typed the
// text: the place to underline, what was found there, what belongs there.
struct Diagnostic {
    long offset = 0;    // = error_offset: the byte offset of the token at which it stopped
                        // (after the last token when the text ended too early)
    long length = 0;    // that token's length in bytes (0 at the end of the text)
    int line = 1;       // 1-based
    int column = 1;     // 1-based display column, as editors count it: one per character
                        // (UTF-8), a tab to the next multiple of 8, a wide character two
    std::string found;  // the token's text ("" at the end of the text)
    std::vector<std::string> expected;  // after a syntax error, the tokens the grammar allows
                        // there, by name (ID, SEMICOLON, ..., END for the end of the text),
                        // sorted; empty for any other error
    std::vector<std::string> expecting;  // the same as a person reads them, in the order
                        // shown: a fixed text between backquotes ("`;`", "`and`"), any other
                        // token in words ("a name", "a number", "the end of the text")
    std::string message;  // one or two sentences for the person who typed the text
    std::string code;     // the message's stable code, "<kind>.<what>" ("pure21.trigger-ends")
    bool incomplete = false;  // the text is a correct beginning: it stopped only because the
                        // text ended, or inside a quoted or verbatim text not closed yet
    std::string rule;     // the grammar rule the parser was in ("trigger", "expr"), or ""
};

struct Result {
    int status = 0;          // 0, 1 or 2, as the program's exit status
    long error_offset = -1;  // -1 on success; else the byte offset in the text of the token at which
                             // the translation stopped (the text's length when it stopped at its end)
    std::string out;         // what the program writes to standard output
    std::string err;         // ... to standard error
    std::string trace;       // ... to its trace file
    std::vector<Command> commands;  // the command lines of `out`, in order (none for ic3)
    std::optional<Diagnostic> diagnostic;  // when the translation failed (and diagnostics are on)
};

TESSEL_API Result translate(Kind kind, std::string_view text);

// What a translation gathers beside the bytes, and what it may cost.
struct Options {
    bool commands = true;    // Result::commands (left empty when false)
    bool diagnostic = true;  // Result::diagnostic when the translation fails
    // False: no trace at all. The label and declaration translators write
    // their command lines without the "#debug:" lines; ic3's trace file
    // keeps only its "addElement lvariable" lines.
    bool trace = true;
    // Bytes of out, err and trace together (0: no limit). A translation
    // that would write more stops there, with status 2 and the error report
    // "output limit exceeded" (which is written whatever the limit).
    std::size_t max_output = 0;
    // The capacity of the parser's stack, in entries: a translation nested
    // so deep that it fills it stops with "parser stack overflow". The
    // parser's first least_depth entries are always there: a smaller value
    // counts as least_depth.
    static constexpr long least_depth = 200;
    long max_depth = 20000000;

    // The defaults for a program that translates on behalf of a person and
    // must stay in charge of its memory (the editor's Tcl package; the
    // output limit of tessel-batch, whose stack is the programs'): at most
    // 64 MiB of output and a parser stack of 100,000 entries, a trace,
    // commands and diagnostics.
    static Options embedded();
};

inline Options Options::embedded()
{
    Options options;
    options.max_output = std::size_t{64} << 20;
    options.max_depth = 100000;
    return options;
}

TESSEL_API Result translate(Kind kind, std::string_view text, const Options& options);

// The streaming form, for programs: reads the text from `in` only as far as
// the translation needs it, and writes as it goes. Everything written to
// `out` and `trace` is flushed before a read that may wait and before
// anything is written to `err`. A successful translation whose output could
// not be written (a stream in a failed state) ends as the program does, with
// status 1 and the error report "write error on standard output" or "write
// error on trace file". (Options::commands does not apply.)
struct Outcome {
    int status = 0;
    long error_offset = -1;
    std::optional<Diagnostic> diagnostic;
};

TESSEL_API Outcome translate(Kind kind, std::istream& in, std::ostream& out, std::ostream& err,
                             std::ostream& trace, const Options& options = Options());

// Memory running out inside a translation ends it with status 2 and the
// error report "memory exhausted"; only when even that result cannot be
// made does std::bad_alloc reach the caller.

namespace runtime {
class Resources;
}

// Translates text after text, keeping what the last translation set up (its
// scanner's buffers, its spare values) for the next: for many texts, a
// good part faster than the free functions, which make everything anew.
// The results are the same. One object serves one thread at a time.
class TESSEL_API Translator {
public:
    Translator();
    ~Translator();
    Translator(Translator&&) noexcept;
    Translator& operator=(Translator&&) noexcept;

    Result translate(Kind kind, std::string_view text, const Options& options = Options());
    Outcome translate(Kind kind, std::istream& in, std::ostream& out, std::ostream& err, std::ostream& trace,
                      const Options& options = Options());

private:
    std::unique_ptr<runtime::Resources> resources_;
};

// The place of a diagnostic as compilers show it below their message: the
// line of the text it stands in, then a line with `^` under its first
// character and `~` along the rest of its token, each line after a gutter
// with the line's number ("    1 | ;a b;c.\n      |    ^\n"). Tabs are
// shown as blanks to their display column, other control characters as
// `?`. Empty when the text does not reach the place.
TESSEL_API std::string excerpt(std::string_view text, const Diagnostic& diagnostic);

// Every kind the library translates, in the order of Kind.
TESSEL_API std::vector<Kind> kinds();

// "pure21", "valued21", "decl", "ic3": the names used on command lines and
// in the batch protocol. False for any other name.
TESSEL_API bool kind_from_name(std::string_view name, Kind& kind);
TESSEL_API const char* kind_name(Kind kind);

// The kind as the messages show it: "Pure21", "Valued21", "Decl", "Ic3".
TESSEL_API const char* kind_title(Kind kind);

// An error report as the translators write it to standard error: the banner
// "Tessel intermediate code (<Title>) Parser:" and the message, no newline.
TESSEL_API std::string error_report(Kind kind, std::string_view message);

// The library's version, "MAJOR.MINOR.PATCH".
TESSEL_API const char* version();

}  // namespace tessel

#endif
