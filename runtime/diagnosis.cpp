#include "diagnosis.h"

#include <algorithm>
#include <string_view>

#include "columns.h"

namespace tessel::runtime {

namespace {

// The longest tokens the scanner's buffer holds (translation.h).
constexpr long closed_token_limit = scanner_buffer - 1;
constexpr long open_token_limit = scanner_buffer - 2;

// 16383 as "16,383".
std::string grouped(long n)
{
    std::string digits = std::to_string(n);
    for (long i = static_cast<long>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<size_t>(i), ",");
    return digits;
}

bool starts(const std::string& text, const char* prefix)
{
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

std::vector<std::string> expecting(const Automaton& automaton, const std::vector<int>& symbols)
{
    // Each shown symbol's place in the list: its order, then its place among the symbols.
    std::vector<std::pair<int, int>> places;
    places.reserve(symbols.size());
    for (size_t i = 0; i < symbols.size(); ++i)
        if (const Automaton::Shown& shown = automaton.shown(symbols[i]); !shown.words.empty())
            places.push_back({shown.order * 1000 + static_cast<int>(i), symbols[i]});
    std::sort(places.begin(), places.end());
    std::vector<std::string> words;
    words.reserve(places.size());
    for (const auto& place : places)
        words.push_back(automaton.shown(place.second).words);
    return words;
}

std::string scanner_failure(const Ending& ending, const Language& language, std::string& code)
{
    if (starts(ending.message, "input buffer overflow")) {
        code = "too-long";
        return too_long(language, ending.place.text);
    }
    code = "unreadable";
    if (starts(ending.message, "input in flex scanner failed"))
        return "The text could not be read to its end.";
    return "The scanner failed: " + ending.message + ".";
}

// What may come where the last of the tokens stands.
Analysis expect(const std::vector<unsigned short>& tokens, const Automaton& automaton, Diagnostic& d)
{
    Analysis analysis = automaton.analyse(tokens);
    d.expected.clear();
    d.expected.reserve(analysis.expected.size());
    for (int symbol : analysis.expected)  // in the order of their names
        d.expected.push_back(automaton.name(symbol));
    d.expecting = expecting(automaton, analysis.expected);
    d.rule = automaton.rule(analysis.arrival_state);
    return analysis;
}

// The message entry of the situation where the parser stopped (its error
// state and what may come there), or null; sets the diagnostic's code.
const Messages::Entry* situation(const Analysis& analysis, const Messages& messages, Diagnostic& d)
{
    const Messages::Entry* entry = message_of(messages, analysis.error_state, d.expected);
    d.code = entry ? entry->code : "syntax-error";
    return entry;
}

// Its message (made only when no hint or unfinished word says more).
std::string situation_message(const Ending& ending, const Messages::Entry* entry, const Diagnostic& d)
{
    if (entry)
        return expanded(entry->message, ending.place.length ? d.found : std::string(), "", d.expecting);
    // Every error state has its message (the messages test sees to it);
    // this is for a grammar changed without its messages.
    std::string text = ending.place.length == 0 ? "The text cannot end here." : "This cannot stand here.";
    if (!d.expecting.empty()) {
        text += " Expected: ";
        for (size_t i = 0; i < d.expecting.size(); ++i)
            text += (i ? ", " : "") + d.expecting[i];
        text += ".";
    }
    return text;
}

// A text that ends inside a word that may come there is only unfinished:
// "3;a an" (typing `and`), ":<ma" (typing `:<main>`), a text's opening
// mark cut short (":" of `:{`), a comment's mark cut short ("-" of "--"),
// or the start of a longer name where a name may come (";a or tick",
// typing `ticks`).
bool unfinished_word(const Language& language, std::string_view text, const std::vector<int>& expected, Diagnostic& d)
{
    const Automaton& automaton = language.automaton();
    if (d.length == 0 || d.offset >= static_cast<long>(text.size()))
        return false;
    const std::string_view rest = text.substr(static_cast<size_t>(d.offset));
    auto unfinished = [&](std::string message) {
        d.incomplete = true;
        d.code = "unfinished";
        d.message = std::move(message);
        return true;
    };
    // The mark of a comment, which may stand between any two tokens ("--").
    for (const LongToken& token : language.long_tokens) {
        if (!token.comment || rest[0] != token.first[0])
            continue;
        const std::string_view then = token.then;  // the mark: its first character, then this
        if (rest.size() <= then.size() && then.compare(0, rest.size() - 1, rest.substr(1)) == 0)
            return unfinished("The text ends in the middle of `" + std::string(1, token.first[0]) + std::string(then) +
                              "`, the mark of a comment: go on typing.");
    }
    const bool word = std::all_of(rest.begin(), rest.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
    });
    for (int symbol : expected) {
        const std::string& spelling = automaton.spelling(symbol);
        const int order = automaton.shown(symbol).order;
        // A fixed text, or the opening mark of a text ("`", "!", ":{").
        const std::string start = order >= 3 ? spelling : order == 2 ? spelling.substr(0, spelling.find("text")) : "";
        if (start.size() > rest.size() && start.compare(0, rest.size(), rest) == 0)
            return unfinished("The text ends in the middle of `" + start + "`: go on typing.");
        if (order == 0 && word && d.offset + d.length == static_cast<long>(text.size()) && !(rest[0] >= '0' && rest[0] <= '9') &&
            spelling == "name")
            return unfinished("The text ends in the middle of a word: a name may come here.");
    }
    return false;
}

// A text that ends too early is shown where it ends for the person who
// reads it: just after its last token, not past the blanks, line breaks
// and comments after it.
void point_after_last_token(Diagnostic& d, const Resources& resources)
{
    if (resources.spans.size() < 2)
        return;
    const Span& last = resources.spans[resources.spans.size() - 2];
    d.offset = last.offset + last.length;
}

// A token of one byte of a character written in several (a letter with
// an accent read as a character no rule wants) is shown as that character.
void widen_to_characters(Diagnostic& d, std::string_view text)
{
    const size_t end = static_cast<size_t>(d.offset + d.length);
    if (d.length == 0 || end > text.size())
        return;
    size_t start = static_cast<size_t>(d.offset);
    while (start > 0 && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80 && static_cast<long>(start) > d.offset - 3)
        --start;
    char32_t code;
    const size_t length = static_cast<size_t>(utf8_char(text.substr(start), code));
    if (length > 1 && start + length > end) {
        d.offset = static_cast<long>(start);
        d.length = static_cast<long>(length);
        d.found.assign(text.substr(start, length));
    }
}

}  // namespace

const Messages::Entry* message_of(const Messages& messages, int state, const std::vector<std::string>& expected)
{
    // The entry's names, blank-separated, are those names in that order.
    auto same = [&](std::string_view joined) {
        for (size_t i = 0; i < expected.size(); ++i) {
            if (i > 0 && (joined.empty() || joined[0] != ' '))
                return false;
            joined.remove_prefix(i > 0 ? 1 : 0);
            if (joined.substr(0, expected[i].size()) != expected[i])
                return false;
            joined.remove_prefix(expected[i].size());
        }
        return joined.empty();
    };
    for (size_t i = 0; i < messages.count; ++i)
        if (messages.entries[i].state == state && same(messages.entries[i].expected))
            return &messages.entries[i];
    return nullptr;
}

std::string too_long(const Language& language, const std::string& start)
{
    for (const LongToken& token : language.long_tokens) {
        const std::string_view first = token.first, then = token.then;
        if (start.empty() || first.find(start[0]) == first.npos || start.compare(1, then.size(), then) != 0)
            continue;
        std::string message = token.message;
        const size_t limit = message.find("{}");
        if (limit != message.npos)
            message.replace(limit, 2, grouped(token.closed ? closed_token_limit : open_token_limit));
        return message;
    }
    return "This token is too long: a token may have at most " + grouped(open_token_limit) + " characters.";
}

Diagnostic diagnose(const Language& language, const Ending& ending, const Resources& resources,
                    std::string_view text, const Options& options)
{
    const Automaton& automaton = language.automaton();
    Diagnostic d;
    d.offset = ending.place.offset;
    d.length = ending.place.length;
    d.line = ending.place.line;
    d.column = ending.place.column;
    d.found = ending.place.text;
    // The token at which an action stopped, when it was the last one read
    // (a character no rule wants, taken by a rule that rejects it).
    const bool at_last_token = !resources.spans.empty() && resources.spans.back().offset == d.offset &&
                               resources.tokens.back() != 0;
    // The messages quote what was found: a whole character, never one of its bytes.
    widen_to_characters(d, text);
    bool hinted = true;
    Analysis analysis;  // of a syntax error
    const Messages::Entry* entry = nullptr;
    bool worded = true;  // a syntax error's message waits for the hints
    switch (ending.stop) {
    case Stop::none:
        break;
    case Stop::syntax_error:
        analysis = expect(resources.tokens, automaton, d);
        entry = situation(analysis, language.messages, d);
        worded = false;
        if (d.length == 0) {
            d.incomplete = true;
            point_after_last_token(d, resources);
        }
        break;
    case Stop::action_error:
        d.message = ending.advice;
        d.code = ending.code;
        if (at_last_token)
            expect(resources.tokens, automaton, d);
        break;
    case Stop::scanner: {
        d.message = scanner_failure(ending, language, d.code);
        // What may come where the token the scanner could not read stands.
        std::vector<unsigned short> read = resources.tokens;
        read.push_back(0);
        expect(read, automaton, d);
        break;
    }
    case Stop::stack:
        hinted = false;
        d.code = "too-deep";
        d.message = "The text is nested too deeply: the parser's stack holds at most " +
                    grouped(options.max_depth) + " entries.";
        break;
    case Stop::output_limit:
        hinted = false;
        d.code = "output-limit";
        d.message = "The translation would write more than " + grouped(static_cast<long>(options.max_output)) +
                    " bytes, the limit set for it.";
        break;
    case Stop::memory:
        hinted = false;
        d.code = "out-of-memory";
        d.message = "The translation ran out of memory.";
        break;
    }
    if (ending.stop == Stop::syntax_error && unfinished_word(language, text, analysis.expected, d)) {
        worded = true;
    } else if (hinted) {
        const Scene scene{text, resources.tokens, resources.spans, resources.spans_from, automaton};
        const long pointed = apply_hint(language.hints, scene, d);
        worded = worded || pointed != -2;
        if (pointed >= 0)  // what may come at the token it points at
            expect(std::vector<unsigned short>(resources.tokens.begin(), resources.tokens.begin() + pointed + 1),
                   automaton, d);
    }
    if (!worded)
        d.message = situation_message(ending, entry, d);
    d.code = std::string(language.name) + "." + d.code;
    if (d.offset <= static_cast<long>(text.size())) {
        const LineColumn place = line_column(text, d.offset);
        d.line = place.line;
        d.column = place.column;
    }
    return d;
}

}  // namespace tessel::runtime
