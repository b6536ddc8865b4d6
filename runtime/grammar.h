// Settings and value helpers shared by every translator's grammar. Included
// from the prologue of each .y file.
#ifndef TESSEL_RUNTIME_GRAMMAR_H
#define TESSEL_RUNTIME_GRAMMAR_H

#include <cstring>
#include <initializer_list>
#include <string>

#include "script.h"
#include "translation.h"

// The engine's stacks may grow to this many entries.
#define YYMAXDEPTH 20000000
// The engine's own messages, mapped onto ours.
#define YY_(msgid) tessel::runtime::engine_message(msgid)

namespace tessel::runtime {

// "memory exhausted" becomes "parser stack overflow".
inline const char* engine_message(const char* text)
{
    return std::strcmp(text, "memory exhausted") == 0 ? "parser stack overflow" : text;
}

// A piece of a value being built: either literal text, or a value of the
// rule's right side, which the builder consumes (releases) once copied.
class Piece {
public:
    Piece(const char* text) : owned_(nullptr), text_(text) {}
    Piece(std::string* value) : owned_(value), text_(nullptr) {}
    size_t size() const;
    void append_to(std::string& out) const;
    std::string* owned() const { return owned_; }

private:
    std::string* owned_;
    const char* text_;
};

// Joins the pieces into a new value and releases the values consumed.
std::string* build(Translation& t, std::initializer_list<Piece> pieces);

// Appends the pieces to a value in place and releases the values consumed.
std::string* extend(Translation& t, std::string* value, std::initializer_list<Piece> pieces);

// A new value holding the scanner's current token text.
std::string* token_text(Translation& t);

}  // namespace tessel::runtime

#endif
