// One translation in progress: its input, its output streams, its scanner,
// how and where it stopped. Each grammar derives its own state from
// Translation (the parts of a label, the names of a chart's macro and
// constellation) and receives it as the parse parameter, so that no two
// translations share anything; what one leaves for the next of the same
// translator (a scanner to restart, spare values) is in its Resources.
//
// A translation ends early in one of two ways. An error that the parser or
// an action finds is reported, and the parser returns through its own
// clean-up. Anything that must stop it at once, wherever it stands (a token
// too long for the scanner, the output limit, memory running out) is thrown
// and caught around the parse (run, below); the values and the parser's
// stacks belong to the translation and its resources, so nothing is lost.
#ifndef TESSEL_RUNTIME_TRANSLATION_H
#define TESSEL_RUNTIME_TRANSLATION_H

#include <utility>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <tessel/translate.h>

#include "automaton.h"
#include "output.h"

namespace tessel::runtime {

// The scanners' buffer, which flex never enlarges (scanner.h): a token that
// ends where no rule can go on may fill all of it but one character, one
// that needs a look-ahead character one less.
constexpr long scanner_buffer = 16384;

// Where the scanner's characters come from.
class Input {
public:
    virtual ~Input() = default;
    // Stores at most max_size characters in buf; returns how many, 0 at the
    // end of the text, -1 when the text cannot be read.
    virtual int read(char* buf, int max_size) = 0;
    // The text as far as it was read, when the input keeps it (for the
    // diagnostics, which show the place in its line).
    virtual std::string_view kept() const { return {}; }
};

// A text in memory, handed over as the scanner asks for it.
class TextInput : public Input {
public:
    explicit TextInput(std::string_view text) : text_(text), rest_(text) {}
    int read(char* buf, int max_size) override
    {
        size_t n = rest_.size() < static_cast<size_t>(max_size) ? rest_.size() : static_cast<size_t>(max_size);
        rest_.copy(buf, n);
        rest_.remove_prefix(n);
        return static_cast<int>(n);
    }
    std::string_view kept() const override { return text_; }

private:
    std::string_view text_;
    std::string_view rest_;
};

// A fatal scanner error ("input buffer overflow, ..."): thrown by the
// scanner, caught around the parse.
class ScannerFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Translation;
struct Language;

// A place in the text: a token (its offset, its length, its first byte's
// line and column, its bytes) or the end of the text (length 0).
struct Place {
    long offset = 0;
    long length = 0;
    int line = 1;
    int column = 1;
    std::string text;
};

// A token a translation read: where it stands in the text.
struct Span {
    long offset;
    long length;
};

// What a translation needs of its scanner (see scanner.h).
class TokenSource {
public:
    // How many of the last tokens read a scanner keeps the places of (a power of two).
    static constexpr long recent_count = 8;
    virtual ~TokenSource() = default;
    // The next token's code, 0 at the end of the text. May throw ScannerFailure.
    virtual int next() = 0;
    // The current token's text (NUL-terminated) and length.
    virtual const char* text() const = 0;
    virtual int length() const = 0;
    // Where the current token stands, given the number of characters the
    // scanner has been handed so far; when it failed, the token it was
    // scanning; after the end, the end of the text.
    enum class Token { current, failed, end };
    virtual Place place(long delivered, Token which) const = 0;
    // The byte offset of the current token, given the characters handed over.
    virtual long offset(long delivered) const = 0;
    // The places of the last tokens read (at most recent_count, the end of
    // the text included), added to spans; returns the index of the first.
    virtual long recent(std::vector<Span>& spans) const = 0;
    // Makes the scanner start anew for another translation, as if new.
    virtual void restart(Translation& translation) = 0;
};

// What translations made one after the other keep between them: a scanner
// per language (made on first use), the values of the grammars' symbols,
// and the tokens the last translation read (their codes and places, when
// it keeps them for its diagnostic).
class Resources {
public:
    Resources();
    Resources(const Resources&) = delete;
    Resources& operator=(const Resources&) = delete;
    ~Resources();

    std::vector<unsigned short> tokens;
    std::vector<Span> spans;  // the places of the last of them (recent_places)
    long spans_from = 0;      // the index among the tokens of the first

    // The language's scanner, or null before its first translation.
    std::unique_ptr<TokenSource>& scanner(const Language& language);

    // A value: a spare one (with its capacity), or a new one.
    std::string* value();
    void release(std::string* value) { spare_.push_back(value); }
    // After a translation was stopped at once: every value is spare again.
    void reclaim_values();

private:
    std::vector<std::pair<const Language*, std::unique_ptr<TokenSource>>> scanners_;
    std::vector<std::unique_ptr<std::string>> values_;  // every value made
    std::vector<std::string*> spare_;
};

// The streams of one translation.
struct Streams {
    Input& in;
    Output& out;    // standard output
    Output& err;    // standard error
    Output& trace;  // the trace file
};

// Why a translation stopped before its end.
enum class Stop {
    none,
    syntax_error,  // a token the grammar does not allow where it stands
    action_error,  // an action's error (a label without trigger, an unknown symbol ...)
    scanner,       // a token too long for the scanner's buffer, or input that cannot be read
    stack,         // the parser's stack is full
    output_limit,  // the output would pass Options::max_output
    memory,        // memory ran out
};

// How a translation ended: its outcome, and, when it stopped, why and where.
struct Ending {
    int status = 0;
    long error_offset = -1;
    Stop stop = Stop::none;
    std::string message;  // the error's own words: the report's message, or the scanner's
    std::string advice;   // an action's words for the person who typed the text
    std::string code;     // the action's name for its error ("trigger-missing")
    Place place;
};

class Translation {
public:
    Translation(const Language& language, const Streams& streams, const Options& options,
                std::vector<Command>* commands, Resources& resources);
    Translation(const Translation&) = delete;
    Translation& operator=(const Translation&) = delete;
    virtual ~Translation();

    // Command lines, trace lines, declaration text.
    Output& out;
    // The trace file.
    Output& trace_file;

    // False when the caller wants no trace: no "#debug:" record is made.
    bool tracing() const { return options_.trace; }
    // The trace record of a rule: a "#debug:" line on standard output, or
    // in the trace file for a language whose trace goes there (when tracing).
    void trace_record(const char* text, std::string_view value);

    // Binds the scanner, which the resources own.
    void attach(TokenSource& scanner);

    // The parser's token function: the scanner's next token.
    int next_token();

    // The scanner's current token text (up to its first NUL byte), and all
    // of it (NUL bytes included).
    const char* token() const { return scanner_->text(); }
    std::string_view whole_token() const;

    // Characters handed to the scanner (see Input), and how many so far.
    int read(char* buf, int max_size);
    long delivered() const { return delivered_; }

    // The parser's error routine: "syntax error", or "memory exhausted" when
    // its stack is full (reported as "parser stack overflow").
    void parser_error(const char* message);
    // An action's error report: the banner and the message on standard
    // error, no newline; the translation fails with status 1. The advice
    // tells the person who typed the text what is wrong (its diagnostic).
    // The caller ends the parse (YYABORT).
    // The code names the error for programs ("trigger-missing").
    void action_error(const char* message, const char* code, std::string advice);
    // An action's failure that writes text of its own to standard error.
    void action_failure(int status, std::string_view text, const char* code, std::string advice);
    // Writes text to standard error once everything written to out and
    // trace_file is out.
    void write_err(std::string_view text);
    bool ended() const { return ending_.status != 0; }

    // Ends the translation at once, wherever it stands (see run).
    void stop(Stop why, std::string_view message);

    // The values of the grammar's symbols: heap strings owned by the parser's
    // stack until an action consumes them, recycled (a value released is the
    // next one made, with its capacity).
    std::string* value(std::string_view text = {});
    void release(std::string* value);

    // The parser's stacks once they outgrow their first Options::least_depth
    // entries (never null: out of memory throws), and their capacity.
    void* parser_stack(size_t bytes);
    void free_parser_stack(void* stack);
    long max_depth() const { return options_.max_depth; }

    // The command lines as data, or null when the caller does not want them.
    std::vector<Command>* commands() const { return commands_; }

    // How the translation ended, once the parser has returned.
    Ending take_ending() { return std::move(ending_); }

private:
    void fail(Stop why, int status, std::string_view text);

    const Language& language_;
    Options options_;
    Input& in_;
    Output& err_;
    std::vector<Command>* commands_;
    Resources& resources_;
    TokenSource* scanner_ = nullptr;
    long delivered_ = 0;
    bool at_end_ = false;
    OutputBudget budget_;
    std::vector<std::unique_ptr<char[]>> parser_stacks_;
    Ending ending_;
};

// A language's translator (defined with its grammar, TESSEL_GRAMMAR): runs
// one translation on the streams and tells how it ended.
using Translate = Ending (*)(const Language&, const Streams&, const Options&, std::vector<Command>*, Resources&);

// The places of the last tokens the last translation read, as its scanner
// kept them, into resources.spans, for the diagnostic of a failed
// translation (resources.tokens holds the codes of all).
void recent_places(const Language& language, Resources& resources);

// Runs a grammar: builds its state, takes the language's scanner (made now,
// or restarted), parses, and tells how it ended. What stops a translation at
// once is caught here.
template <class Grammar>
Ending run(const Language& language, const Streams& streams, const Options& options, std::vector<Command>* commands,
           Resources& resources, std::unique_ptr<TokenSource> (*make_scanner)(Translation&), int (*parse)(Grammar&))
{
    Grammar grammar(language, streams, options, commands, resources);
    try {
        std::unique_ptr<TokenSource>& scanner = resources.scanner(language);
        if (scanner)
            scanner->restart(grammar);
        else
            scanner = make_scanner(grammar);
        grammar.attach(*scanner);
        parse(grammar);
    } catch (const ScannerFailure& failure) {
        grammar.stop(Stop::scanner, failure.what());
    } catch (const OutputLimitExceeded&) {
        grammar.stop(Stop::output_limit, "output limit exceeded");
    } catch (const std::bad_alloc&) {
        grammar.stop(Stop::memory, "memory exhausted");
    }
    return grammar.take_ending();
}

}  // namespace tessel::runtime

#endif
