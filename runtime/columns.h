// Places in a text as a person sees them: the line of a byte offset, and
// its display column, counted as editors and compilers count it for the
// screen: one per character (UTF-8), a tab to the next multiple of 8, a
// wide character (CJK, emoji) two, a combining mark none. A byte that is
// not part of a UTF-8 character counts as one character.
#ifndef TESSEL_RUNTIME_COLUMNS_H
#define TESSEL_RUNTIME_COLUMNS_H

#include <string_view>

namespace tessel::runtime {

struct LineColumn {
    int line = 1;
    int column = 1;
    long line_start = 0;  // the byte offset of the line's first character
};

// The line and display column of the byte at offset (at most text.size()).
LineColumn line_column(std::string_view text, long offset);

// The display width of a piece of one line that starts at display column
// `column` (1-based); tabs advance to the next multiple of 8.
int display_width(std::string_view piece, int column = 1);

// The length in bytes of the UTF-8 character that starts text (1 for a
// byte that starts none), and its code point (the byte itself then).
int utf8_char(std::string_view text, char32_t& code);

}  // namespace tessel::runtime

#endif
