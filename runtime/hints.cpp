#include "hints.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace tessel::runtime {

namespace {

// True when every word of the list (blank-separated) passes the test.
template <class Test>
bool every_word(const char* list, Test test)
{
    std::string_view rest = list ? list : "";
    while (!rest.empty()) {
        const size_t blank = rest.find(' ');
        if (blank != 0 && !test(rest.substr(0, blank)))
            return false;
        if (blank == std::string_view::npos)
            break;
        rest.remove_prefix(blank + 1);
    }
    return true;
}

std::vector<std::string_view> words_of(const char* list)
{
    std::vector<std::string_view> words;
    every_word(list, [&](std::string_view word) {
        words.push_back(word);
        return true;
    });
    return words;
}

bool starts_with(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// (A hint's text, without measuring it first.)
bool starts_with(std::string_view text, const char* prefix)
{
    size_t i = 0;
    while (prefix[i] && i < text.size() && text[i] == prefix[i])
        ++i;
    return !prefix[i];
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool same_but_case(std::string_view word, std::string_view keyword)
{
    return word.size() == keyword.size() && word != keyword &&
           std::equal(word.begin(), word.end(), keyword.begin(), [](char a, char b) { return lower(a) == lower(b); });
}

// One letter added, left out or changed, or two neighbours swapped.
bool one_slip_from(std::string_view word, std::string_view keyword)
{
    if (keyword.size() < 3 || word == keyword)
        return false;
    std::string w(word);
    std::transform(w.begin(), w.end(), w.begin(), lower);
    if (w == keyword)
        return false;
    const size_t n = w.size(), m = keyword.size();
    if (n == m) {
        size_t first = 0;
        while (w[first] == keyword[first])
            ++first;
        if (w.compare(first + 1, std::string::npos, keyword, first + 1) == 0)
            return true;  // one changed
        return first + 1 < n && w[first] == keyword[first + 1] && w[first + 1] == keyword[first] &&
               w.compare(first + 2, std::string::npos, keyword, first + 2) == 0;  // two swapped
    }
    const std::string_view longer = n > m ? std::string_view(w) : keyword;
    const std::string_view shorter = n > m ? keyword : std::string_view(w);
    if (longer.size() != shorter.size() + 1)
        return false;
    size_t first = 0;
    while (first < shorter.size() && longer[first] == shorter[first])
        ++first;
    return longer.substr(first + 1) == shorter.substr(first);  // one added or left out
}

// A token spelled as its own lower-case word; "name" and "number" spell
// kinds of tokens, not words of the language.
bool is_keyword(std::string_view spelling)
{
    return !spelling.empty() && spelling != "name" && spelling != "number" &&
           std::all_of(spelling.begin(), spelling.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

// The place a hint looks at.
struct Token {
    long offset = 0, length = 0;
    int symbol = -1;  // -1: the end of the text, or what the scanner could not read
    long index = -1;  // its place among the tokens read
};

class Matcher {
public:
    Matcher(const Scene& scene, const Diagnostic& d) : s_(scene), d_(d)
    {
        std::fill(&shapes_[0][0], &shapes_[0][0] + sizeof shapes_, -1);
        found_ = {d.offset, d.length, -1, -1};
        // (The places of the last tokens read; a scanner that failed has
        // none for the token it was reading.)
        const size_t n = scene.codes.size();
        const Span* last = n > 0 ? scene.span(n - 1) : nullptr;
        if (last && scene.codes[n - 1] != 0 && last->offset == d.offset)
            found_ = {d.offset, d.length, symbol(scene.codes[n - 1]), static_cast<long>(n) - 1};
        for (size_t i = n; i-- > 0 && scene.span(i);) {
            const Span& at = *scene.span(i);
            if (scene.codes[i] != 0 && at.offset + at.length <= d.offset && static_cast<long>(i) != found_.index) {
                before_ = {at.offset, at.length, symbol(scene.codes[i]), static_cast<long>(i)};
                break;
            }
        }
        const std::string_view from_found = text_at(found_);
        found_first_ = from_found.empty() ? 0 : from_found[0];
    }

    // The first character of the text from the found token on (0: none).
    char found_first() const { return found_first_; }

    bool holds(const Hint& h)
    {
        word_.clear();
        if (!shaped_once(true, h.found, h.found_text) || !shaped_once(false, h.before, h.before_text))
            return false;
        const std::vector<std::string>& expected = d_.expected;
        const auto may_come = [&](std::string_view name) {
            return std::find(expected.begin(), expected.end(), name) != expected.end();
        };
        if (!every_word(h.expects, may_come) ||
            !every_word(h.lacks, [&](std::string_view name) { return !may_come(name); }))
            return false;
        if (h.count && !counted(h.count))
            return false;
        if (h.next && !followed(h.next))
            return false;
        word_end_ = {};
        if (h.through && !split(h.through))
            return false;
        if (h.word && !(h.through ? spelled_like(h.word) : resembles(h.at == 'b' ? before_ : found_, h.word)))
            return false;
        if (h.unclosed && !unclosed(h.unclosed))
            return false;
        if (h.comment && !swallowed(h.comment, h.swallowed))
            return false;
        // No blank between the token before and the found one, or the
        // comment's mark.
        const long at = h.comment ? mark_.offset : found_.offset;
        if (h.joined && (before_.index < 0 || before_.offset + before_.length != at))
            return false;
        return true;
    }

    // Where the hint points, its text, and the token it names (-1: none).
    Token pointed(const Hint& h) const
    {
        if (h.at == 'b')
            return before_;
        if (mark_.length)
            return mark_;
        if (word_end_.length)
            return word_end_;
        Token t = found_;
        if (h.found == Shape::text)
            t.length = static_cast<long>(std::strlen(h.found_text));
        return t;
    }
    const std::string& word() const { return word_; }

private:
    int symbol(int code) const { return s_.automaton.symbol(code); }
    std::string_view text_at(const Token& t) const
    {
        return t.offset <= static_cast<long>(s_.text.size()) ? s_.text.substr(static_cast<size_t>(t.offset))
                                                             : std::string_view();
    }
    std::string_view spelling(const Token& t) const { return t.symbol < 0 ? std::string_view() : std::string_view(s_.automaton.spelling(t.symbol)); }

    // The found token's or the one before's shape; those without a text of
    // their own the same for every hint: worked out once.
    bool shaped_once(bool found, Shape shape, const char* literal)
    {
        const Token& t = found ? found_ : before_;
        if (shape == Shape::any)
            return true;
        if (shape == Shape::text || shape == Shape::token) {
            const std::string_view at = text_at(t);  // most differ at the first character
            return !(*literal && (at.empty() || at[0] != *literal)) && shaped(t, shape, literal, found);
        }
        signed char& known = shapes_[found][static_cast<size_t>(shape)];
        if (known < 0)
            known = shaped(t, shape, literal, found);
        return known;
    }

    bool shaped(const Token& t, Shape shape, const char* literal, bool found) const
    {
        switch (shape) {
        case Shape::any:
            return true;
        case Shape::text:
            return (found || t.index >= 0) && starts_with(text_at(t), literal);
        case Shape::token:
            return (found || t.index >= 0) && text_at(t).substr(0, static_cast<size_t>(t.length)) == literal;
        case Shape::name:
            return spelling(t) == "name";
        case Shape::number:
            return spelling(t) == "number";
        case Shape::end:
            return found && d_.length == 0 && t.symbol < 0;
        case Shape::keyword:
            return is_keyword(spelling(t));
        case Shape::foreign:
            return !text_at(t).empty() && static_cast<unsigned char>(text_at(t)[0]) >= 0x80;
        case Shape::digit:
            return (found || t.index >= 0) && !text_at(t).empty() && text_at(t)[0] >= '0' && text_at(t)[0] <= '9';
        case Shape::none:
            return t.index < 0;
        }
        return false;
    }

    bool counted(const char* count) const
    {
        const std::vector<std::string_view> words = words_of(count);
        if (words.size() != 2)
            return false;
        long n = 0;
        const size_t read = found_.index >= 0 ? static_cast<size_t>(found_.index) : s_.codes.size();
        for (size_t i = 0; i < read; ++i)
            if (s_.codes[i] != 0 && s_.automaton.name(symbol(s_.codes[i])) == words[0])
                ++n;
        return std::to_string(n) == words[1];
    }

    // The text right after the found token starts with a digit, a letter,
    // or holds nothing but blanks.
    bool followed(std::string_view what) const
    {
        const std::string_view rest = text_at({found_.offset + found_.length, 0, -1, -1});
        if (what == "end")
            return rest.find_first_not_of(" \t\r\n") == std::string_view::npos;
        const char c = rest.empty() ? 0 : rest[0];
        if (what == "digit")
            return c >= '0' && c <= '9';
        return what == "letter" && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'));
    }

    // The tokens that may come where the token of that index stands (the
    // automaton replayed once for each, whatever the number of hints).
    const std::vector<int>& expected_through(long index)
    {
        auto known = expected_at_.find(index);
        if (known != expected_at_.end())
            return known->second;
        const std::vector<unsigned short> read(s_.codes.begin(), s_.codes.begin() + index + 1);
        return expected_at_[index] = s_.automaton.analyse(read).expected;
    }

    // A name that stands for a keyword that may come where it stands.
    bool resembles(const Token& t, char how)
    {
        if (t.index < 0 || spelling(t) != "name")
            return false;
        const std::string_view word = s_.text.substr(static_cast<size_t>(t.offset), static_cast<size_t>(t.length));
        for (int symbol : expected_through(t.index)) {
            const std::string keyword = s_.automaton.spelling(symbol);
            if (is_keyword(keyword) && (how == 'c' ? same_but_case(word, keyword) : one_slip_from(word, keyword)) &&
                (t.index == found_.index || followed_as(t, symbol))) {
                word_ = keyword;
                return true;
            }
        }
        return false;
    }

    // The token found is the start of a longer word, up to the first
    // blank or through the closing mark: the scanner read it in pieces.
    bool split(const char* close)
    {
        if (found_.index < 0)
            return false;
        const std::string_view rest = text_at(found_);
        const size_t blank = std::min(rest.find_first_of(" \t\r\n"), rest.size());
        const size_t closed = rest.substr(0, blank).find(close);
        const size_t length = closed == std::string_view::npos ? blank : closed + std::strlen(close);
        if (static_cast<long>(length) <= found_.length)
            return false;
        word_end_ = {found_.offset, static_cast<long>(length), found_.symbol, found_.index};
        return true;
    }

    // The split word stands for a token that may come there, in other
    // capitals or misspelled.
    bool spelled_like(char how)
    {
        const std::string word(text_at(word_end_).substr(0, static_cast<size_t>(word_end_.length)));
        for (int symbol : expected_through(found_.index)) {
            const std::string spelling = s_.automaton.spelling(symbol);
            std::string lowered = spelling;
            std::transform(lowered.begin(), lowered.end(), lowered.begin(), lower);
            if (how == 'c' ? same_but_case(word, spelling) : one_slip_from(word, lowered)) {
                word_ = spelling;
                return true;
            }
        }
        return false;
    }

    // Whether the token found may follow the keyword (a symbol) put in the
    // place of the word t: a word before the error is the keyword meant
    // only when the text goes on as it would after that keyword.
    bool followed_as(const Token& t, int keyword) const
    {
        int code = -1;
        for (int c = 1; c < 258 + s_.automaton.token_symbols() && code < 0; ++c)
            if (s_.automaton.symbol(c) == keyword)
                code = c;
        const size_t next = static_cast<size_t>(t.index) + 1;
        if (code < 0 || next >= s_.codes.size())
            return false;
        std::vector<unsigned short> read(s_.codes.begin(), s_.codes.begin() + t.index);
        read.push_back(static_cast<unsigned short>(code));
        read.push_back(s_.codes[next]);
        const std::vector<int> may = s_.automaton.analyse(read).expected;
        return std::find(may.begin(), may.end(), symbol(s_.codes[next])) != may.end();
    }

    bool unclosed(const char* marks)
    {
        const std::vector<std::string_view> m = words_of(marks);
        if (m.size() != 2 || !starts_with(text_at(found_), m[0]))
            return false;
        if (s_.text.find(m[1], static_cast<size_t>(found_.offset) + m[0].size()) != std::string_view::npos)
            return false;
        mark_ = {found_.offset, static_cast<long>(m[0].size()), -1, -1};
        return true;
    }

    // The text ended early, inside a comment after its last token that has
    // more than blanks on its line; or, when the comment must hold a given
    // text, the token found comes on a later line than that comment.
    bool swallowed(const char* mark, const char* holding)
    {
        if (d_.length != 0 && !holding)
            return false;
        const size_t from = static_cast<size_t>(before_.index >= 0 ? before_.offset + before_.length : 0);
        const size_t at = s_.text.find(mark, from);
        if (at == std::string_view::npos || s_.text.substr(from, at - from).find('\n') != std::string_view::npos)
            return false;
        if (d_.length != 0 && (at > static_cast<size_t>(found_.offset) ||
                               s_.text.substr(at, static_cast<size_t>(found_.offset) - at).find('\n') ==
                                   std::string_view::npos))
            return false;
        std::string_view rest = s_.text.substr(at + std::strlen(mark));
        rest = rest.substr(0, rest.find('\n'));
        if (rest.find_first_not_of(" \t\r") == std::string_view::npos ||
            (holding && rest.find(holding) == std::string_view::npos))
            return false;
        mark_ = {static_cast<long>(at), static_cast<long>(std::strlen(mark)), -1, -1};
        return true;
    }

    const Scene& s_;
    const Diagnostic& d_;
    Token found_, before_, mark_, word_end_;
    std::string word_;
    std::map<long, std::vector<int>> expected_at_;
    signed char shapes_[2][static_cast<size_t>(Shape::none) + 1];  // -1: not yet known
    char found_first_ = 0;  // the first character of the text from the found token on, or 0
};

}  // namespace

long apply_hint(const Hints& hints, const Scene& scene, Diagnostic& d)
{
    Matcher matcher(scene, d);
    const Hints::Tried* tried = hints.tried;
    const char first = matcher.found_first();
    while (tried->first && tried->first != first)
        ++tried;
    for (const unsigned short* i = tried->hints; *i != Hints::end; ++i) {
        const Hint& h = hints.hints[*i];
        if (!matcher.holds(h))
            continue;
        const Token t = matcher.pointed(h);
        d.offset = t.offset;
        d.length = t.length;
        d.found.assign(scene.text.substr(static_cast<size_t>(t.offset), static_cast<size_t>(t.length)));
        d.message = expanded(h.message, d.found, matcher.word(), d.expecting);
        d.code = h.code;
        if (h.unclosed)
            d.incomplete = true;
        return h.at == 'b' ? t.index : -1;
    }
    return -2;
}

namespace {

bool control(char c)
{
    return (static_cast<unsigned char>(c) < 0x20 && c != '\t') || c == 0x7F;
}

// Appends a word as a message quotes it: a long one, or one of several lines (a
// verbatim text), by the start of its first line and "..."; a control
// character (a line break, a NUL byte, which would end the message as a
// C string) by its number.
void append_quoted(std::string& text, const std::string& found)
{
    const size_t longest = 40, shown = 30;
    const size_t line_end = static_cast<size_t>(std::find_if(found.begin(), found.end(), control) - found.begin());
    if (line_end == 0) {
        static const char digits[] = "0123456789ABCDEF";
        const auto c = static_cast<unsigned char>(found[0]);
        text.append("the control character U+00").append(1, digits[c >> 4]).append(1, digits[c & 0xF]);
        return;
    }
    if (found.size() <= longest && line_end == found.size()) {
        text.append(1, '`').append(found).append(1, '`');
        return;
    }
    size_t cut = std::min({found.size(), line_end, shown});
    while (cut > 0 && cut < found.size() && (static_cast<unsigned char>(found[cut]) & 0xC0) == 0x80)
        --cut;  // not inside a character
    if (cut < found.size() && found[cut] != ' ' && !control(found[cut])) {
        const size_t blank = found.rfind(' ', cut);
        if (blank != std::string::npos && blank > 2)
            cut = blank;  // after a whole word
    }
    while (cut > 0 && (found[cut - 1] == ' ' || found[cut - 1] == '\t' || found[cut - 1] == '\r'))
        --cut;
    text.append(1, '`').append(found, 0, cut).append(" ...`");
}

}  // namespace

std::string expanded(const char* message, const std::string& found, const std::string& word,
                     const std::vector<std::string>& expecting)
{
    std::string text;
    text.reserve(std::strlen(message) + 64);
    for (const char* p = message; *p;) {
        const char* dollar = std::strchr(p, '$');
        if (!dollar) {
            text += p;
            break;
        }
        text.append(p, static_cast<size_t>(dollar - p));
        p = dollar;
        if (std::strncmp(p, "$found", 6) == 0) {
            const size_t n = text.size();
            const bool starts_sentence = n == 0 || (n >= 2 && text[n - 2] == '.' && text[n - 1] == ' ');
            if (!found.empty())
                append_quoted(text, found);
            else
                text += starts_sentence ? "The end of the text" : "the end of the text";
            p += 6;
        } else if (std::strncmp(p, "$word", 5) == 0) {
            text += word;
            p += 5;
        } else if (std::strncmp(p, "$expecting", 10) == 0) {
            for (size_t i = 0; i < expecting.size(); ++i)
                text.append(i == 0 ? "" : i + 1 == expecting.size() ? " or " : ", ").append(expecting[i]);
            p += 10;
        } else {
            text += *p++;
        }
    }
    return text;
}

}  // namespace tessel::runtime
