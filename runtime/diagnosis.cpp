#include "diagnosis.h"

#include <algorithm>
#include <string_view>

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

std::string scanner_failure(const Ending& ending, const Language& language)
{
    if (starts(ending.message, "input buffer overflow"))
        return too_long(language, ending.place.text);
    if (starts(ending.message, "input in flex scanner failed"))
        return "The text could not be read to its end.";
    return "The scanner failed: " + ending.message + ".";
}

std::string syntax_error(const Ending& ending, const std::vector<unsigned short>& tokens,
                         const Automaton& automaton, const Messages& messages, Diagnostic& d)
{
    const Analysis analysis = automaton.analyse(tokens);
    d.expected.reserve(analysis.expected.size());
    for (int symbol : analysis.expected)  // in the order of their names
        d.expected.push_back(automaton.name(symbol));
    if (const char* message = message_of(messages, analysis.error_state))
        return message;
    // Every error state has its message (the messages test sees to it);
    // this is for a grammar changed without its messages.
    std::string text = ending.place.length == 0 ? "The text cannot end here." : "This cannot stand here.";
    if (!analysis.expected.empty()) {
        text += " Expected: ";
        for (size_t i = 0; i < analysis.expected.size(); ++i)
            text += (i ? ", " : "") + ("`" + automaton.spelling(analysis.expected[i]) + "`");
        text += ".";
    }
    return text;
}

}  // namespace

const char* message_of(const Messages& messages, int state)
{
    for (size_t i = 0; i < messages.count; ++i)
        if (messages.entries[i].state == state)
            return messages.entries[i].message;
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

Diagnostic diagnose(const Ending& ending, const std::vector<unsigned short>& tokens, const Language& language,
                    const Options& options)
{
    Diagnostic d;
    d.offset = ending.place.offset;
    d.length = ending.place.length;
    d.line = ending.place.line;
    d.column = ending.place.column;
    d.found = ending.place.text;
    switch (ending.stop) {
    case Stop::none:
        break;
    case Stop::syntax_error:
        d.message = syntax_error(ending, tokens, language.automaton(), language.messages, d);
        break;
    case Stop::action_error:
        d.message = ending.advice;
        break;
    case Stop::scanner:
        d.message = scanner_failure(ending, language);
        break;
    case Stop::stack:
        d.message = "The text is nested too deeply: the parser's stack holds at most " +
                    grouped(options.max_depth) + " entries.";
        break;
    case Stop::output_limit:
        d.message = "The translation would write more than " + grouped(static_cast<long>(options.max_output)) +
                    " bytes, the limit set for it.";
        break;
    case Stop::memory:
        d.message = "The translation ran out of memory.";
        break;
    }
    return d;
}

}  // namespace tessel::runtime
