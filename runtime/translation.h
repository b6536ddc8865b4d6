// One translation in progress: its input, its output streams, its scanner,
// how it ended. Each grammar derives its own state from Translation (the
// parts of a label, the counters of a chart) and receives it as the parse
// parameter, so that no two translations share anything; what one leaves
// for the next of the same translator (a scanner to restart, spare values)
// is in its Resources.
#ifndef TESSEL_RUNTIME_TRANSLATION_H
#define TESSEL_RUNTIME_TRANSLATION_H

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <tessel/translate.h>

#include "output.h"

namespace tessel::runtime {

// Where the scanner's characters come from.
class Input {
public:
    virtual ~Input() = default;
    // Stores at most max_size characters in buf; returns how many, 0 at the
    // end of the text, -1 when the text cannot be read.
    virtual int read(char* buf, int max_size) = 0;
};

// A text in memory, handed over as the scanner asks for it.
class TextInput : public Input {
public:
    explicit TextInput(std::string_view text) : rest_(text) {}
    int read(char* buf, int max_size) override
    {
        size_t n = rest_.size() < static_cast<size_t>(max_size) ? rest_.size() : static_cast<size_t>(max_size);
        rest_.copy(buf, n);
        rest_.remove_prefix(n);
        return static_cast<int>(n);
    }

private:
    std::string_view rest_;
};

// A fatal scanner error ("input buffer overflow, ..."): thrown by the
// scanner, caught where the parser asks for its next token.
class ScannerFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class Translation;

// What a translation needs of its scanner (see scanner.h).
class TokenSource {
public:
    virtual ~TokenSource() = default;
    // The next token's code, 0 at the end of the text. May throw ScannerFailure.
    virtual int next() = 0;
    // The current token's text and length (the text is NUL-terminated).
    virtual const char* text() const = 0;
    virtual int length() const = 0;
    // The offset of the current token, given the number of characters the
    // scanner has been handed so far.
    virtual long offset(long delivered) const = 0;
    // Makes the scanner start anew for another translation, as if new.
    virtual void restart(Translation& translation) = 0;
};

// What translations made one after the other keep between them: a scanner
// per kind (made on first use) and the spare values. Translations in memory
// take and give back the same few large blocks, otherwise.
struct Resources {
    Resources();
    Resources(const Resources&) = delete;
    Resources& operator=(const Resources&) = delete;
    ~Resources();

    std::unique_ptr<TokenSource> scanners[4];
    std::vector<std::string*> spare_values;
};

// The streams of one translation.
struct Streams {
    Input& in;
    Output& out;    // standard output
    Output& err;    // standard error
    Output& trace;  // the trace file
};

class Translation {
public:
    Translation(Kind kind, const Streams& streams, std::vector<Command>* commands, Resources& resources);
    Translation(const Translation&) = delete;
    Translation& operator=(const Translation&) = delete;
    virtual ~Translation();

    // Command lines, trace lines, declaration text.
    Output& os;
    // The trace file.
    Output& f_log;

    Kind kind() const { return kind_; }

    // Binds the scanner, which the resources own.
    void attach(TokenSource& scanner);
    Resources& resources() { return resources_; }

    // The parser's token function: the scanner's next token, or, after a
    // fatal scanner error (which ends the translation with status 2),
    // error_token, which sends the parser straight to its clean-up.
    int next_token(int error_token);

    // The scanner's current token text (up to its first NUL byte), and all
    // of it (NUL bytes included).
    const char* token() const { return scanner_->text(); }
    std::string_view whole_token() const;

    // Characters handed to the scanner (see Input).
    int read(char* buf, int max_size);

    // The error routine: the banner and the message on standard error, no
    // newline; the translation fails with status 1. The caller ends the
    // parse (the parser itself after a syntax error, YYABORT in an action).
    void report_error(const char* message);
    // Ends the translation with status after writing text to standard error.
    void fail(int status, std::string_view text);
    // Writes text to standard error once everything written to os and f_log
    // is out.
    void write_err(std::string_view text);
    bool ended() const { return status_ != 0; }

    // The values of the grammar's symbols: heap strings owned by the parser's
    // stack until an action consumes them, recycled (a value released is the
    // next one made, with its capacity).
    std::string* value(std::string_view text = {});
    void release(std::string* value);

    // The command lines as data, or null when the caller does not want them.
    std::vector<Command>* commands() const { return commands_; }

    // How the translation ended, once the parser has returned.
    Outcome outcome() const;

private:
    Kind kind_;
    Input& in_;
    Output& err_;
    std::vector<Command>* commands_;
    Resources& resources_;
    TokenSource* scanner_ = nullptr;
    long delivered_ = 0;
    bool at_end_ = false;
    int status_ = 0;
    long error_offset_ = -1;
};

// The translators, one per kind (defined with each grammar): each runs one
// translation on the streams and returns how it ended.
using Translate = Outcome (*)(const Streams&, std::vector<Command>*, Resources&);
Outcome translate_pure21(const Streams& streams, std::vector<Command>* commands, Resources& resources);
Outcome translate_valued21(const Streams& streams, std::vector<Command>* commands, Resources& resources);
Outcome translate_decl(const Streams& streams, std::vector<Command>* commands, Resources& resources);
Outcome translate_ic3(const Streams& streams, std::vector<Command>* commands, Resources& resources);

// The scanners, one per kind (defined with each scanner).
std::unique_ptr<TokenSource> pure21_scanner(Translation& translation);
std::unique_ptr<TokenSource> valued21_scanner(Translation& translation);
std::unique_ptr<TokenSource> decl_scanner(Translation& translation);
std::unique_ptr<TokenSource> ic3_scanner(Translation& translation);

// Runs a grammar: builds its state, takes the kind's scanner (made now, or
// restarted), parses, reports the outcome.
template <class Grammar>
Outcome run(const Streams& streams, std::vector<Command>* commands, Resources& resources,
            std::unique_ptr<TokenSource> (*make_scanner)(Translation&), int (*parse)(Grammar&))
{
    Grammar grammar(streams, commands, resources);
    std::unique_ptr<TokenSource>& scanner = resources.scanners[static_cast<int>(grammar.kind())];
    if (scanner)
        scanner->restart(grammar);
    else
        scanner = make_scanner(grammar);
    grammar.attach(*scanner);
    parse(grammar);
    return grammar.outcome();
}

}  // namespace tessel::runtime

#endif
