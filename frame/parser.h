// Settings and value helpers shared by every translator's grammar. Included
// from the prologue of each .y file.
#ifndef TESSEL_PARSER_H
#define TESSEL_PARSER_H

#include <initializer_list>
#include <string>

#include "frame.h"

// The engine's stacks may grow to this many entries.
#define YYMAXDEPTH 20000000
// The engine's own messages, mapped onto ours.
#define YY_(msgid) engine_message(msgid)

// A piece of a value being built: either literal text, or a value of the
// rule's right side, which the builder consumes (releases) once copied.
class Piece {
public:
    Piece(const char* text) : owned_(nullptr), text_(text) {}
    Piece(std::string* value) : owned_(value), text_(nullptr) {}
    size_t size() const;
    void append_to(std::string& out) const;
    void release() const { delete owned_; }

private:
    std::string* owned_;
    const char* text_;
};

// Joins the pieces into a new heap string and releases the values consumed.
std::string* build(std::initializer_list<Piece> pieces);

// The scanner's current token text (up to its first NUL byte).
const char* current_token();

// A new heap string holding the scanner's current token text.
std::string* token_text();

// Writes a trace line: the rule's text, the value and a newline.
void trace(std::ostream& out, const char* text, const std::string& value);

// Writes a line of an editor list: "addElement <list> <name>".
void list_line(const char* list, const std::string& name);
void list_line_quoted(const char* list, const std::string& name);

// Writes one whole line (text and newline) to os.
void out_line(const std::string& text);

#endif
