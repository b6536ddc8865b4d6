// Included from the first section of every scanner (.l), after the
// generated code has declared its yyFlexLexer class: the scanner of one
// translation. It reads the translation's input, writes unmatched characters
// to its standard output, and turns the scanner's fatal errors into
// ScannerFailure, so that they end the translation instead of the process.
//
// Every scanner is generated with the option "reject", although no rule
// rejects a match: with it, the scanner's buffer of 16,384 characters is
// never enlarged, so a token that ends where no rule can go on may be 16,383
// characters long and one that needs a look-ahead character (a name, a
// number, a comment, white space) 16,382; a longer one ends the translation
// with "input buffer overflow, can't enlarge buffer because scanner uses
// REJECT". That limit and that message are the translators' own.
#ifndef TESSEL_RUNTIME_SCANNER_H
#define TESSEL_RUNTIME_SCANNER_H

#include <memory>

#include "translation.h"

// One state per character of the longest possible match: the buffer and its
// two end marks, 16,386 entries. (The generated code counts the entries as
// bytes and so takes four times that: a quarter of a megabyte per scanner.)
#undef YY_STATE_BUF_SIZE
#define YY_STATE_BUF_SIZE (YY_BUF_SIZE + 2)

namespace tessel::runtime {

template <class Lexer>
class Scanner final : public Lexer, public TokenSource {
public:
    explicit Scanner(Translation& translation) : translation_(&translation) {}

    int next() override { return this->yylex(); }

    // Whatever the last translation left (unread text, a refill cut short
    // by a fatal error) goes with the buffer's contents.
    void restart(Translation& translation) override
    {
        translation_ = &translation;
        this->yyrestart(this->yyin);
    }
    const char* text() const override { return this->YYText(); }
    int length() const override { return this->YYLeng(); }

    // The buffer holds the last characters handed over, the current token
    // among them; this holds during a refill too, when a fatal error may
    // interrupt it.
    long offset(long delivered) const override
    {
        if (!this->yy_buffer_stack || !this->yy_buffer_stack[this->yy_buffer_stack_top])
            return delivered;
        const char* buffer = this->yy_buffer_stack[this->yy_buffer_stack_top]->yy_ch_buf;
        return delivered - this->yy_n_chars + (this->yytext - buffer);
    }

protected:
    int LexerInput(char* buf, int max_size) override { return translation_->read(buf, max_size); }
    void LexerOutput(const char* buf, int size) override { translation_->os.write(buf, static_cast<size_t>(size)); }
    [[noreturn]] void LexerError(const char* message) override { throw ScannerFailure(message); }

private:
    Translation* translation_;
};

}  // namespace tessel::runtime

#endif
