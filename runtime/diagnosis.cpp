#include "diagnosis.h"

#include <algorithm>

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

std::string scanner_failure(const Ending& ending)
{
    if (starts(ending.message, "input buffer overflow"))
        return too_long(ending.place.text);
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

std::string too_long(const std::string& start)
{
    const std::string closed = grouped(closed_token_limit), open = grouped(open_token_limit);
    const unsigned char first = start.empty() ? 0 : static_cast<unsigned char>(start[0]);
    if (first == ' ' || first == '\t' || first == '\r' || first == '\n')
        return "This run of blanks and line breaks is too long: white space may run for at most " + open +
               " characters.";
    if ((first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z'))
        return "This name is too long: a name may have at most " + open + " characters.";
    if (first >= '0' && first <= '9')
        return "This number is too long: a number may have at most " + open + " digits.";
    if (first == '`')
        return "This backquoted text is too long, or its closing backquote is missing: with its backquotes "
               "it may have at most " + closed + " characters.";
    if (first == '!')
        return "This text between exclamation marks is too long, or its closing mark is missing: with its "
               "marks it may have at most " + closed + " characters.";
    if (starts(start, ":{"))
        return "This verbatim text is too long, or its closing brace is missing: from `:{` to `}` it may "
               "have at most " + closed + " characters.";
    if (starts(start, "--") || first == '%')
        return "This comment is too long: a comment may have at most " + open + " characters.";
    return "This token is too long: a token may have at most " + open + " characters.";
}

Diagnostic diagnose(const Ending& ending, const std::vector<unsigned short>& tokens, const Automaton& automaton,
                    const Messages& messages, const Options& options)
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
        d.message = syntax_error(ending, tokens, automaton, messages, d);
        break;
    case Stop::action_error:
        d.message = ending.advice;
        break;
    case Stop::scanner:
        d.message = scanner_failure(ending);
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
