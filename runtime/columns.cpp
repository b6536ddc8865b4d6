#include "columns.h"

#include <tessel/translate.h>

#include <string>
#include <vector>

#include <algorithm>
#include <iterator>

namespace tessel::runtime {

namespace {

struct Range {
    char32_t first, last;
};

// Characters two columns wide: the East Asian wide and fullwidth blocks
// and the emoji, as terminals draw them.
constexpr Range wide[] = {
    {0x1100, 0x115F},   {0x231A, 0x231B},   {0x2329, 0x232A},   {0x23E9, 0x23EC},   {0x23F0, 0x23F0},
    {0x23F3, 0x23F3},   {0x25FD, 0x25FE},   {0x2614, 0x2615},   {0x2648, 0x2653},   {0x267F, 0x267F},
    {0x2693, 0x2693},   {0x26A1, 0x26A1},   {0x26AA, 0x26AB},   {0x26BD, 0x26BE},   {0x26C4, 0x26C5},
    {0x26CE, 0x26CE},   {0x26D4, 0x26D4},   {0x26EA, 0x26EA},   {0x26F2, 0x26F3},   {0x26F5, 0x26F5},
    {0x26FA, 0x26FA},   {0x26FD, 0x26FD},   {0x2705, 0x2705},   {0x270A, 0x270B},   {0x2728, 0x2728},
    {0x274C, 0x274C},   {0x274E, 0x274E},   {0x2753, 0x2755},   {0x2757, 0x2757},   {0x2795, 0x2797},
    {0x27B0, 0x27B0},   {0x27BF, 0x27BF},   {0x2B1B, 0x2B1C},   {0x2B50, 0x2B50},   {0x2B55, 0x2B55},
    {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
    {0xA960, 0xA97F},   {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},
    {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x16FE0, 0x16FE4}, {0x17000, 0x18CFF}, {0x1AFF0, 0x1B2FF},
    {0x1F004, 0x1F004}, {0x1F0CF, 0x1F0CF}, {0x1F18E, 0x1F18E}, {0x1F191, 0x1F19A}, {0x1F200, 0x1F251},
    {0x1F300, 0x1F64F}, {0x1F680, 0x1F6FF}, {0x1F7E0, 0x1F7EB}, {0x1F90C, 0x1F9FF}, {0x1FA70, 0x1FAFF},
    {0x20000, 0x3FFFD},
};

// Characters that take no column of their own: combining marks, joiners,
// variation selectors.
constexpr Range zero[] = {
    {0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05BD}, {0x0610, 0x061A}, {0x064B, 0x065F},
    {0x200B, 0x200F}, {0x202A, 0x202E}, {0x2060, 0x2064}, {0x20D0, 0x20FF}, {0xFE00, 0xFE0F},
    {0xFE20, 0xFE2F}, {0xFEFF, 0xFEFF}, {0xE0100, 0xE01EF},
};

template <size_t N>
bool in(const Range (&ranges)[N], char32_t c)
{
    const Range* r = std::upper_bound(std::begin(ranges), std::end(ranges), c,
                                      [](char32_t value, const Range& range) { return value < range.first; });
    return r != std::begin(ranges) && c <= (r - 1)->last;
}

int columns_of(char32_t c)
{
    if (in(zero, c))
        return 0;
    return in(wide, c) ? 2 : 1;
}

}  // namespace

int utf8_char(std::string_view text, char32_t& code)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char first = byte(0);
    code = first;
    int length = first >= 0xF0 && first <= 0xF4 ? 4 : first >= 0xE0 ? 3 : first >= 0xC2 && first <= 0xDF ? 2 : 1;
    if (first < 0x80 || length == 1 || text.size() < static_cast<size_t>(length))
        return 1;
    char32_t c = first & (0x3F >> (length - 1));
    for (int i = 1; i < length; ++i) {
        if ((byte(static_cast<size_t>(i)) & 0xC0) != 0x80)
            return 1;
        c = (c << 6) | (byte(static_cast<size_t>(i)) & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are no characters.
    const char32_t least = length == 3 ? 0x800 : length == 4 ? 0x10000 : 0x80;
    if (c < least || (c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        return 1;
    code = c;
    return length;
}

int display_width(std::string_view piece, int column)
{
    int start = column;
    while (!piece.empty()) {
        if (piece[0] == '\t') {
            column = (column - 1) / 8 * 8 + 9;
            piece.remove_prefix(1);
            continue;
        }
        if (static_cast<unsigned char>(piece[0]) < 0x80) {  // one column, as most are
            ++column;
            piece.remove_prefix(1);
            continue;
        }
        char32_t c;
        const int length = utf8_char(piece, c);
        column += columns_of(c);
        piece.remove_prefix(static_cast<size_t>(length));
    }
    return column - start;
}

LineColumn line_column(std::string_view text, long offset)
{
    LineColumn place;
    const std::string_view before = text.substr(0, static_cast<size_t>(std::max(0L, offset)));
    const size_t last_break = before.rfind('\n');
    if (last_break != std::string_view::npos) {
        place.line += static_cast<int>(std::count(before.begin(), before.begin() + static_cast<long>(last_break) + 1, '\n'));
        place.line_start = static_cast<long>(last_break) + 1;
    }
    place.column = 1 + display_width(before.substr(static_cast<size_t>(place.line_start)));
    return place;
}

}  // namespace tessel::runtime

namespace tessel {

std::string excerpt(std::string_view text, const Diagnostic& d)
{
    using runtime::display_width;
    if (d.offset < 0 || d.offset > static_cast<long>(text.size()))
        return "";
    const runtime::LineColumn place = runtime::line_column(text, d.offset);
    const size_t start = static_cast<size_t>(place.line_start);
    const size_t end = std::min(text.find('\n', start), text.size());
    // The line's characters as shown, each with its column.
    struct Shown {
        std::string text;
        int column;
    };
    std::vector<Shown> line;
    int column = 1;
    for (size_t i = start; i < end;) {
        char32_t c;
        const size_t length = static_cast<size_t>(runtime::utf8_char(text.substr(i, end - i), c));
        const int width = display_width(text.substr(i, length), column);
        line.push_back({text[i] == '\t' ? std::string(static_cast<size_t>(width), ' ')
                        : c < 0x20 || c == 0x7F ? std::string("?")
                                                : std::string(text.substr(i, length)),
                        column});
        column += width;
        i += length;
    }
    // The token's width on its first line (a token may go on past it).
    const size_t token_end = std::min(static_cast<size_t>(d.offset + d.length), end);
    const int width = display_width(text.substr(static_cast<size_t>(d.offset), token_end - static_cast<size_t>(d.offset)),
                                    place.column);
    // A long line is shown around the place, what is left out marked "...".
    constexpr int room = 100, before = 40;
    const int first = column - 1 > room && place.column > before ? place.column - before : 1;
    const int last = std::max(first + room, place.column + std::min(width, room - before));
    std::string shown_line = first > 1 ? "..." : "";
    int left = first > 1 ? 3 : 0;
    for (const Shown& s : line)
        if (s.column >= first && s.column < last)
            shown_line += s.text;
    if (column > last)
        shown_line += "...";
    const std::string number = std::to_string(place.line);
    const std::string gutter = std::string(std::max<size_t>(5, number.size() + 1) - number.size(), ' ');
    std::string shown = gutter + number + " | " + shown_line + "\n";
    const int mark = std::max(1, std::min(width, last - place.column));
    shown += std::string(gutter.size() + number.size(), ' ') + " | " +
             std::string(static_cast<size_t>(left + place.column - first), ' ') + "^" +
             std::string(static_cast<size_t>(mark - 1), '~') + "\n";
    return shown;
}

}  // namespace tessel
