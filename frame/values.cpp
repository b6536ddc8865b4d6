// Building the grammar actions' values and writing their lines.
#include "parser.h"

#include <FlexLexer.h>

#include <cstring>
#include <ostream>

size_t Piece::size() const
{
    if (text_)
        return std::strlen(text_);
    return owned_ ? owned_->size() : 0;
}

void Piece::append_to(std::string& out) const
{
    if (text_)
        out += text_;
    else if (owned_)
        out += *owned_;
}

std::string* build(std::initializer_list<Piece> pieces)
{
    size_t size = 0;
    for (const Piece& p : pieces)
        size += p.size();
    auto* value = new std::string;
    value->reserve(size);
    for (const Piece& p : pieces)
        p.append_to(*value);
    for (const Piece& p : pieces)
        p.release();
    return value;
}

const char* current_token()
{
    return translator_lexer().YYText();
}

std::string* token_text()
{
    return new std::string(current_token());
}

// Puts text straight into the stream's buffer: trace lines are the bulk of
// all output, and need none of the formatting machinery.
static void put(std::ostream& out, const char* text, size_t size)
{
    if (out.rdbuf()->sputn(text, static_cast<std::streamsize>(size)) != static_cast<std::streamsize>(size))
        out.setstate(std::ios::badbit);
}

void trace(std::ostream& out, const char* text, const std::string& value)
{
    put(out, text, std::strlen(text));
    put(out, value.data(), value.size());
    put(out, "\n", 1);
}

void list_line(const char* list, const std::string& name)
{
    os << "addElement " << list << ' ' << name << '\n';
}

void list_line_quoted(const char* list, const std::string& name)
{
    os << "addElement " << list << " \"" << name << "\"\n";
}

void out_line(const std::string& text)
{
    os << text << '\n';
}
