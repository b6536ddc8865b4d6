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

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#if defined(__GNUC__)
#define TESSEL_API __attribute__((visibility("default")))
#else
#define TESSEL_API
#endif

namespace tessel {

enum class Kind { pure21, valued21, decl, ic3 };

// One command line of the editor's script, as data: its words, the values
// raw (never escaped). {"set", NAME, VALUE}, {"addElement", LIST, NAME},
// {"errorReport", MESSAGE} or {"break"}.
using Command = std::vector<std::string>;

struct Result {
    int status = 0;          // 0, 1 or 2, as the program's exit status
    long error_offset = -1;  // -1 on success; else the byte offset in the text of the token at which
                             // the translation stopped (the text's length when it stopped at its end)
    std::string out;         // what the program writes to standard output
    std::string err;         // ... to standard error
    std::string trace;       // ... to its trace file
    std::vector<Command> commands;  // the command lines of `out`, in order (none for ic3)
};

TESSEL_API Result translate(Kind kind, std::string_view text);

// What a translation gathers beside the bytes.
struct Options {
    bool commands = true;  // Result::commands (left empty when false)
};

TESSEL_API Result translate(Kind kind, std::string_view text, const Options& options);

// The streaming form, for programs: reads the text from `in` only as far as
// the translation needs it, and writes as it goes. Everything written to
// `out` and `trace` is flushed before a read that may wait and before
// anything is written to `err`. A successful translation whose output could
// not be written (a stream in a failed state) ends as the program does, with
// status 1 and the error report "write error on standard output" or "write
// error on trace file".
struct Outcome {
    int status = 0;
    long error_offset = -1;
};

TESSEL_API Outcome translate(Kind kind, std::istream& in, std::ostream& out, std::ostream& err,
                             std::ostream& trace);

namespace runtime {
struct Resources;
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
    Outcome translate(Kind kind, std::istream& in, std::ostream& out, std::ostream& err, std::ostream& trace);

private:
    std::unique_ptr<runtime::Resources> resources_;
};

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
