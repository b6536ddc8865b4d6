#include "script.h"

#include <cstring>
#include <initializer_list>

namespace tessel::runtime {

namespace {

bool contains(std::string_view text, char c)
{
    return std::memchr(text.data(), c, text.size()) != nullptr;
}

// The command line as data, its words made in place.
void record(Translation& t, std::initializer_list<std::string_view> words)
{
    if (!t.commands())
        return;
    Command& command = t.commands()->emplace_back();
    command.reserve(words.size());
    for (std::string_view word : words)
        command.emplace_back(word);
}

// The editor's interpreter substitutes these inside double quotes; written
// with a backslash before them, they stand for themselves.
bool substituted(char c)
{
    return c == '\\' || c == '"' || c == '[' || c == ']' || c == '$';
}

// The words of head, then value between double quotes, read back by the
// interpreter as exactly value: every other byte (newlines, braces, NUL,
// bytes above 127) stands for itself there.
void quoted_line(Translation& t, std::string_view command, std::string_view name, std::string_view gap,
                 std::string_view value)
{
    size_t start = 0;
    while (start < value.size() && !substituted(value[start]))
        ++start;
    if (start == value.size()) {  // as it stands: the whole line at once
        t.out.write({command, name, gap, "\"", value, "\"\n"});
        return;
    }
    t.out.write({command, name, gap, "\"", value.substr(0, start)});
    for (size_t i = start; i < value.size(); ++i)
        if (substituted(value[i])) {
            t.out.write({value.substr(start, i - start), "\\"});
            start = i;
        }
    t.out.write({value.substr(start), "\"\n"});
}

}  // namespace

void set_line(Translation& t, std::string_view name, std::string_view value, std::string_view gap)
{
    quoted_line(t, "set ", name, gap, value);
    record(t, {"set", name, value});
}

void list_line(Translation& t, std::string_view list, std::string_view name)
{
    t.out.write({"addElement ", list, " ", name, "\n"});
    record(t, {"addElement", list, name});
}

void list_line_quoted(Translation& t, std::string_view list, std::string_view name)
{
    quoted_line(t, "addElement ", list, " ", name);
    record(t, {"addElement", list, name});
}

void error_report_line(Translation& t, std::string_view message)
{
    quoted_line(t, "errorReport ", "", "", message);
    record(t, {"errorReport", message});
}

void break_line(Translation& t)
{
    t.out.write("break\n");
    record(t, {"break"});
}

// A record stays one comment for the interpreter when each newline inside it
// follows an odd number of backslashes (a backslash-newline continues a
// comment) and its closing newline an even number. A carriage return counts
// as a newline, since the interpreter's channels read it as one by default.
// Where the record as built breaks that, one more backslash is written;
// nothing else changes.
void debug_line(Translation& t, const char* text, std::string_view value)
{
    const size_t text_size = std::strlen(text);
    t.out.write(text, text_size);
    if (!contains(value, '\\') && !contains(value, '\n') && !contains(value, '\r')) {
        t.out.write(value);
        t.out.write("\n", 1);
        return;
    }
    size_t backslashes = 0;  // the run of backslashes before the current byte
    while (backslashes < text_size && text[text_size - 1 - backslashes] == '\\')
        ++backslashes;
    size_t start = 0;
    for (size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if ((c == '\n' || c == '\r') && backslashes % 2 == 0) {
            t.out.write(value.substr(start, i - start));
            t.out.write("\\", 1);
            start = i;
        }
        backslashes = 0;
    }
    t.out.write(value.substr(start));
    if (backslashes % 2 == 1)
        t.out.write("\\", 1);
    t.out.write("\n", 1);
}

void trace(Output& out, const char* text, std::string_view value)
{
    out.write(text, std::strlen(text));
    out.write(value);
    out.write("\n", 1);
}

}  // namespace tessel::runtime
