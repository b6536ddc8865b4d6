// Included from the first section of every scanner (.l), after the
// generated code has declared its yyFlexLexer class: the scanner of one
// translation. It reads the translation's input, writes unmatched characters
// to its standard output, keeps the lines for the diagnostics, and turns the
// scanner's fatal errors into ScannerFailure, so that they end the
// translation instead of the process.
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

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "translation.h"

// One state per character of the longest possible match: the buffer and its
// two end marks, 16,386 entries. (The generated code counts the entries as
// bytes and so takes four times that: a quarter of a megabyte per scanner.)
static_assert(YY_BUF_SIZE == tessel::runtime::scanner_buffer, "the buffer the diagnostics speak of");

#undef YY_STATE_BUF_SIZE
#define YY_STATE_BUF_SIZE (YY_BUF_SIZE + 2)

// Before each rule's action, skipped text included: the lines it holds.
#define YY_USER_ACTION static_cast<tessel::runtime::Scanner<yyFlexLexer>*>(this)->matched();

// The scanner's memory comes from operator new, as everything else of a
// translation does (option noyyalloc): running out of it throws, and the
// translation ends with "memory exhausted" (see run).
void* yyalloc(yy_size_t size)
{
    return ::operator new(size);
}

void yyfree(void* block)
{
    ::operator delete(block);
}

// Flex grows a buffer only when it may (never with "reject") and its stack
// of buffers only when one is pushed (never): this is never called.
void* yyrealloc(void*, yy_size_t)
{
    throw std::bad_alloc();
}

namespace tessel::runtime {

template <class Lexer>
class Scanner final : public Lexer, public TokenSource {
public:
    // The buffer is made here, each part held until it is handed over, so
    // that running out of memory leaks nothing (flex's own yy_create_buffer
    // would lose its record if the characters could not be had).
    explicit Scanner(Translation& translation) : translation_(&translation)
    {
        this->yyensure_buffer_stack();
        std::unique_ptr<char, void (*)(void*)> chars(static_cast<char*>(yyalloc(YY_BUF_SIZE + 2)), yyfree);
        auto* buffer = static_cast<yy_buffer_state*>(yyalloc(sizeof(yy_buffer_state)));
        chars_ = buffer->yy_ch_buf = chars.release();
        buffer->yy_buf_size = YY_BUF_SIZE;
        buffer->yy_is_our_buffer = 1;
        this->yy_buffer_stack[this->yy_buffer_stack_top] = buffer;
        this->yy_init_buffer(buffer, this->yyin);
    }

    int next() override
    {
        const int code = this->yylex();
        // Where it stands, kept for the last few tokens (a diagnostic's).
        Span& place = recent_[read_++ & (recent_count - 1)];
        const long delivered = translation_->delivered();
        place.offset = code > 0 ? offset(delivered) : delivered;
        place.length = code > 0 ? this->yyleng : 0;
        return code;
    }

    long recent(std::vector<Span>& spans) const override
    {
        const long kept = std::min<long>(read_, recent_count);
        for (long i = read_ - kept; i < read_; ++i)
            spans.push_back(recent_[i & (recent_count - 1)]);
        return read_ - kept;
    }

    // Whatever the last translation left (unread text, a refill cut short
    // by a fatal error) goes with the buffer's contents.
    void restart(Translation& translation) override
    {
        translation_ = &translation;
        this->yyrestart(this->yyin);
        read_ = 0;
        this->yylineno = line_ = token_line_ = 1;
        line_start_ = token_line_start_ = 0;
    }
    const char* text() const override { return this->YYText(); }
    int length() const override { return this->YYLeng(); }

    Place place(long delivered, Token which) const override
    {
        Place p;
        if (which == Token::end || (which == Token::current && read_ == 0)) {
            p.offset = delivered;
            p.line = line_;
            p.column = static_cast<int>(delivered - line_start_ + 1);
            return p;
        }
        p.offset = offset(delivered);
        if (which == Token::current) {
            p.length = this->YYLeng();
            p.line = token_line_;
            p.column = static_cast<int>(p.offset - token_line_start_ + 1);
        } else {  // the characters scanned so far, not yet a token
            p.length = std::max(0L, static_cast<long>(this->yy_n_chars - (this->yytext - chars_)));
            p.line = line_;
            p.column = static_cast<int>(p.offset - line_start_ + 1);
        }
        p.text.assign(this->yytext, static_cast<size_t>(p.length));
        return p;
    }

    // A match, before its action (YY_USER_ACTION), after flex has counted
    // its newlines (yylineno): the line of its first character is the
    // current token's, and a newline in it starts a new one.
    void matched()
    {
        token_line_ = line_;
        token_line_start_ = line_start_;
        if (this->yylineno == line_)
            return;
        line_ = this->yylineno;
        const char* text = this->yytext;
        const char* last = text + this->yyleng - 1;
        while (*last != '\n')
            --last;
        line_start_ = offset(translation_->delivered()) + (last - text) + 1;
    }

protected:
    int LexerInput(char* buf, int max_size) override { return translation_->read(buf, max_size); }
    void LexerOutput(const char* buf, int size) override { translation_->out.write(buf, static_cast<size_t>(size)); }
    [[noreturn]] void LexerError(const char* message) override { throw ScannerFailure(message); }

public:
    // The offset of the current token: the buffer holds the last characters
    // handed over, the current token among them; this holds during a refill
    // too, when a fatal error may interrupt it.
    long offset(long delivered) const override
    {
        return delivered - this->yy_n_chars + (this->yytext - chars_);
    }

private:
    Translation* translation_;
    const char* chars_;       // the buffer's characters (never moved: the buffer never grows)
    long read_ = 0;           // the tokens read
    Span recent_[recent_count] = {};  // the places of the last of them
    int line_ = 1;            // the line of the next character to match (yylineno, as last seen)
    long line_start_ = 0;     // the offset of its first character
    int token_line_ = 1;      // the same for the current token's first character
    long token_line_start_ = 0;
};

}  // namespace tessel::runtime

// The end of a scanner file: the scanner of a translation, made with the
// class flex generated for the kind (<kind>FlexLexer), for its grammar
// (TESSEL_GRAMMAR).
#define TESSEL_SCANNER(kind)                                                         \
    namespace tessel::runtime {                                                      \
    std::unique_ptr<TokenSource> kind##_scanner(Translation& translation)            \
    {                                                                                \
        return std::make_unique<Scanner<kind##FlexLexer>>(translation);              \
    }                                                                                \
    }

#endif
