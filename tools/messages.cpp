// tessel-messages: the messages of the syntax errors, kept complete.
//
// Each grammar has a file of messages (<kind>/<kind>.messages): sample texts
// that fail where the parser finds a syntax error, each followed by the
// message for the person who typed such a text. The samples are texts, not
// state numbers, so that the file survives changes to the grammar: this
// tool finds the state of each sample by translating it.
//
// A message is chosen by the situation in which the parser found the error:
// the state in which the offending token met it, and the exact set of
// tokens that could have come instead. Several situations share a state (a
// trigger that ended after `tick` and one that may go on with `and`), and
// the message of one must be true of every text that reaches it.
//
//   tessel-messages list KIND
//       every situation of KIND's automaton, with a shortest token sentence
//       that ends in it
//   tessel-messages check KIND FILE
//       fails (status 1) when a situation is reached by no sample, when a
//       sample does not fail at its end with a syntax error, when the
//       samples of one entry end in different sets of expected tokens, when
//       two entries claim one situation, or when a message proposes a token
//       that cannot come there; prints the counts
//   tessel-messages compile KIND FILE OUTPUT
//       writes the table from situations to messages (C++) that the library
//       is built with; samples in error are left out with a warning
//   tessel-messages hints KIND FILE OUTPUT
//       writes the table of the language's hints (<kind>/<kind>.hints, the
//       slips recognised before the situation's message), below
//
// The file: lines starting with "#" are comments; an entry is one or more
// sample lines ("> " and the text; ">" alone is the empty text), each of
// which fails at its end (its last token, or the end of the text), then its
// code in brackets ("[trigger-ends]", the message's name for programs),
// then the message, on one or more lines, up to a blank line or the next
// sample. A token the message quotes (`and`) must be one that may come
// there, or one the samples hold: a message proposes only what may come.
// In a message, $found stands for the token found (in backquotes) or "the
// end of the text", $expecting for what may come there ("a name, `not` or
// `(`").
#include <algorithm>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "diagnosis.h"
#include "language.h"
#include "search.h"
#include "translation.h"

using namespace tessel;
using namespace tessel::runtime;

namespace {

// A language and the search over its automaton.
struct Grammar {
    const Language& language;
    Search search;
    const char* name() const { return language.name; }
    const Automaton& automaton() const { return search.automaton(); }
};

struct Sample {
    int line;
    std::string text;
};

struct Entry {
    std::vector<Sample> samples;
    std::string code;
    std::string message;
};

bool read_entries(const std::string& path, std::vector<Entry>& entries)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << path << ": cannot be read\n";
        return false;
    }
    std::string line;
    int number = 0;
    bool in_message = false;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line[0] == '#')
            continue;
        if (!line.empty() && line[0] == '>') {
            if (entries.empty() || in_message || !entries.back().message.empty())
                entries.emplace_back();
            in_message = false;
            entries.back().samples.push_back({number, line.size() > 1 ? line.substr(line[1] == ' ' ? 2 : 1) : ""});
        } else if (line.empty()) {
            in_message = false;
        } else if (line[0] == '[' && !entries.empty() && entries.back().code.empty() && entries.back().message.empty()) {
            const size_t end = line.find(']');
            if (end == std::string::npos || end < 2 || end + 1 != line.size()) {
                std::cerr << path << ":" << number << ": a code is written [code]\n";
                return false;
            }
            entries.back().code = line.substr(1, end - 1);
        } else {
            if (entries.empty() || entries.back().samples.empty() || (!in_message && !entries.back().message.empty())) {
                std::cerr << path << ":" << number << ": a message without samples\n";
                return false;
            }
            std::string& message = entries.back().message;
            message += (message.empty() ? "" : " ") + line;
            in_message = true;
        }
    }
    for (const Entry& e : entries)
        if (e.message.empty() || e.code.empty()) {
            std::cerr << path << ":" << e.samples.front().line << ": samples without a code and a message\n";
            return false;
        }
    return true;
}

// Where a sample stops: its situation, or an explanation of what is wrong.
struct Outcome {
    int state = -1;
    std::vector<int> expected;
    std::string problem;
};

Outcome run(const Grammar& g, const std::string& text)
{
    Resources resources;
    std::string out, err, trace;
    Output o(out), e(err), tr(trace);
    TextInput in(text);
    Options options;
    options.trace = false;
    const Ending ending = g.language.translate(g.language, Streams{in, o, e, tr}, options, nullptr, resources);
    Outcome r;
    if (ending.status == 0)
        r.problem = "it does not fail";
    else if (ending.stop != Stop::syntax_error)
        r.problem = "it fails with another error: " + ending.message;
    else if (ending.place.offset + ending.place.length != static_cast<long>(text.size()))
        r.problem = "it fails before its end, at byte " + std::to_string(ending.place.offset);
    else {
        const Analysis analysis = g.automaton().analyse(resources.tokens);
        r.state = analysis.error_state;
        r.expected = analysis.expected;
    }
    return r;
}

std::string c_string(const std::string& text)
{
    std::string s = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\')
            s += '\\';
        if (c < 32 || c > 126) {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", c);
            s += octal;
        } else {
            s += static_cast<char>(c);
        }
    }
    return s + "\"";
}

// A sentence of tokens as a text the scanner reads back as those tokens.
std::string spelled(const Search& s, const std::vector<int>& sentence)
{
    std::string text;
    for (int symbol : sentence)
        if (symbol != 0)
            text += (text.empty() ? "" : " ") + s.example(symbol);
    return text;
}

// The names of the tokens, separated by blanks.
std::string names(const Automaton& a, const std::vector<int>& symbols)
{
    std::string text;
    for (int symbol : symbols)
        text += (text.empty() ? "" : " ") + a.name(symbol);
    return text;
}

// How deep the search for situations looks (it finds the same ones at
// depths 3 to 7 in every grammar).
constexpr size_t search_depth = 4;

int list(const Grammar& g)
{
    const Automaton& a = g.automaton();
    for (const Search::Situation& s : g.search.situations(search_depth))
        std::cout << "state " << s.error_state << ", expecting " << names(a, s.expected) << "\n> "
                  << spelled(g.search, s.sentence) << "\n";
    return 0;
}

using Situation = std::pair<int, std::string>;  // the error state, the expected tokens' names

// The spellings of the tokens that are fixed texts (`and`, `;`), by symbol.
std::map<std::string, int> fixed_spellings(const Search& search)
{
    const Automaton& a = search.automaton();
    std::map<std::string, int> fixed;
    for (int symbol = 3; symbol < a.token_symbols(); ++symbol)
        if (search.example(symbol) == a.spelling(symbol) && a.spelling(symbol) != "name")
            fixed[a.spelling(symbol)] = symbol;
    return fixed;
}

// The tokens a message quotes that cannot come there and that no sample
// holds: what it would wrongly propose.
std::vector<std::string> false_proposals(const Search& search, const Entry& e, const std::vector<int>& expected)
{
    const std::map<std::string, int> fixed = fixed_spellings(search);
    std::vector<std::string> wrong;
    for (size_t at = e.message.find('`'); at != std::string::npos;) {
        const size_t end = e.message.find('`', at + 1);
        if (end == std::string::npos)
            break;
        const std::string quoted = e.message.substr(at + 1, end - at - 1);
        at = e.message.find('`', end + 1);
        const auto token = fixed.find(quoted);
        if (token == fixed.end() || std::count(expected.begin(), expected.end(), token->second))
            continue;
        const bool held = std::all_of(e.samples.begin(), e.samples.end(),
                                      [&](const Sample& s) { return s.text.find(quoted) != std::string::npos; });
        if (!held)
            wrong.push_back(quoted);
    }
    return wrong;
}

// Maps every sample to its situation; reports the problems (false when any).
bool map_samples(const Grammar& g, const std::string& path, const std::vector<Entry>& entries,
                 std::map<Situation, const Entry*>& by_situation)
{
    bool ok = true;
    const Automaton& a = g.automaton();
    std::map<Situation, int> first_line;
    for (const Entry& e : entries) {
        const Sample* first = nullptr;
        std::vector<int> expected;
        for (const Sample& s : e.samples) {
            const Outcome o = run(g, s.text);
            if (o.state < 0) {
                std::cerr << path << ":" << s.line << ": the sample \"" << s.text << "\": " << o.problem << "\n";
                ok = false;
                continue;
            }
            if (!first) {
                first = &s;
                expected = o.expected;
                for (const std::string& quoted : false_proposals(g.search, e, expected)) {
                    std::cerr << path << ":" << s.line << ": the message proposes `" << quoted
                              << "`, which cannot come there (expected: " << names(a, expected) << ")\n";
                    ok = false;
                }
            } else if (o.expected != expected) {
                std::cerr << path << ":" << s.line << ": the sample \"" << s.text << "\" expects "
                          << names(a, o.expected) << ", the entry's first sample (line " << first->line << ") "
                          << names(a, expected) << "\n";
                ok = false;
                continue;
            }
            const Situation situation{o.state, names(a, o.expected)};
            auto known = by_situation.find(situation);
            if (known == by_situation.end()) {
                by_situation[situation] = &e;
                first_line[situation] = s.line;
            } else if (known->second != &e) {
                std::cerr << path << ":" << s.line << ": the sample \"" << s.text << "\" ends in the situation of "
                          << "the sample of line " << first_line[situation] << ", in another entry\n";
                ok = false;
            }
        }
    }
    return ok;
}

// The state after a whole text is never reached when the translation ends
// with the text's last token (the labels' period, the declarations'
// semicolon): a complete text with a token more still translates.
bool ends_before_end_state(const Grammar& g)
{
    const Search& s = g.search;
    const int end = s.end_state();
    for (const std::vector<int>& sentence : s.complete_sentences(200)) {
        const std::string text = spelled(s, sentence);
        if (run(g, text).problem != "it does not fail")
            continue;  // an action rejects it: try another
        for (int symbol = 1; symbol < s.automaton().token_symbols(); ++symbol)
            if (s.has_error(end, symbol) && !s.example(symbol).empty())
                return run(g, text + " " + s.example(symbol)).problem == "it does not fail";
    }
    return false;
}

int check(const Grammar& g, const std::string& path)
{
    std::vector<Entry> entries;
    if (!read_entries(path, entries))
        return 1;
    std::map<Situation, const Entry*> by_situation;
    bool ok = map_samples(g, path, entries, by_situation);
    const Automaton& a = g.automaton();
    const std::vector<Search::Situation> situations = g.search.situations(search_depth);
    int covered = 0, unreachable = 0;
    const int end = ends_before_end_state(g) ? g.search.end_state() : -1;
    for (const Search::Situation& s : situations) {
        if (by_situation.count({s.error_state, names(a, s.expected)})) {
            ++covered;
            continue;
        }
        if (s.error_state == end) {
            ++unreachable;
            continue;
        }
        std::cerr << path << ": no sample ends in state " << s.error_state << " expecting " << names(a, s.expected)
                  << "; a sentence that does: " << names(a, s.sentence) << " (\"" << spelled(g.search, s.sentence)
                  << "\")\n";
        ok = false;
    }
    size_t samples = 0;
    for (const Entry& e : entries)
        samples += e.samples.size();
    std::cout << g.name() << ": " << situations.size() << " situations";
    if (unreachable)
        std::cout << " (" << situations.size() - static_cast<size_t>(unreachable)
                  << " reachable: the translation ends with the text's last token)";
    std::cout << ", " << covered << " covered by " << samples << " samples with " << entries.size() << " messages\n";
    return ok ? 0 : 1;
}

int compile(const Grammar& g, const std::string& path, const std::string& output)
{
    std::vector<Entry> entries;
    if (!read_entries(path, entries))
        return 1;
    std::map<Situation, const Entry*> by_situation;
    if (!map_samples(g, path, entries, by_situation))
        std::cerr << path << ": warning: the samples above are left out (see tessel-messages check)\n";
    std::ostringstream code;
    code << "// Made by tessel-messages from " << g.name() << ".messages: the message of each\n"
         << "// situation in which the " << g.name() << " parser finds a syntax error.\n"
         << "#include \"diagnosis.h\"\n\n"
         << "namespace tessel::runtime {\n\n"
         << "namespace {\n\n"
         << "const Messages::Entry entries[] = {\n";
    for (const auto& [situation, entry] : by_situation)
        code << "    {" << situation.first << ", " << c_string(situation.second) << ", " << c_string(entry->code)
             << ",\n     " << c_string(entry->message) << "},\n";
    code << "    {-1, nullptr, nullptr, nullptr},\n"
         << "};\n\n"
         << "}  // namespace\n\n"
         << "extern const Messages " << g.name() << "_messages;\n"
         << "const Messages " << g.name() << "_messages = {entries, " << by_situation.size() << "};\n\n"
         << "}  // namespace tessel::runtime\n";
    std::ofstream out(output, std::ios::binary);
    out << code.str();
    return out.good() ? 0 : 1;
}

// The hints of a language (<kind>/<kind>.hints): blocks that start with the
// hint's code in brackets, then one setting a line ("found text &&", the
// token found starts with `&&`; "found token xor", it is `xor` whole;
// "before name", "joined", "at before", "word case", "unclosed ` `",
// "comment --", "expects AND", "lacks SEMICOLON", "count SEMICOLON 2",
// "next digit", "message ..."), and the samples of the texts it must be given for ("> ")
// and of nearby texts it must not ("! "), which the tests translate.
struct HintEntry {
    int line = 0;
    std::string code, found = "any", found_text, before = "any", before_text, at, word, unclosed, comment, expects,
                lacks, count, next, through, swallowed, message;
    bool joined = false;
};

bool read_hints(const std::string& path, std::vector<HintEntry>& hints)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << path << ": cannot be read\n";
        return false;
    }
    static const std::vector<std::string> shapes = {"any",     "text",    "token", "name", "number",
                                                    "end",     "keyword", "foreign", "digit", "none"};
    std::string line;
    int number = 0;
    bool ok = true;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#' || line[0] == '>' || line[0] == '!')
            continue;
        if (line[0] == '[') {
            hints.emplace_back();
            hints.back().line = number;
            hints.back().code = line.substr(1, line.find(']') - 1);
            continue;
        }
        const size_t blank = line.find(' ');
        const std::string key = line.substr(0, blank), value = blank == std::string::npos ? "" : line.substr(blank + 1);
        if (hints.empty()) {
            std::cerr << path << ":" << number << ": a setting before the first [code]\n";
            return false;
        }
        HintEntry& h = hints.back();
        auto shape = [&](std::string& kind, std::string& text) {
            kind = value.substr(0, value.find(' '));
            if (kind == "text" || kind == "token")
                text = value.size() > kind.size() + 1 ? value.substr(kind.size() + 1) : "";
            const bool literal = kind == "text" || kind == "token";
            if (std::find(shapes.begin(), shapes.end(), kind) == shapes.end() || (literal && text.empty())) {
                std::cerr << path << ":" << number << ": unknown shape \"" << value << "\"\n";
                ok = false;
            }
        };
        if (key == "found")
            shape(h.found, h.found_text);
        else if (key == "before")
            shape(h.before, h.before_text);
        else if (key == "joined")
            h.joined = true;
        else if (key == "at" && (value == "before" || value == "found"))
            h.at = value;
        else if (key == "word" && (value == "case" || value == "typo"))
            h.word = value;
        else if (key == "unclosed")
            h.unclosed = value;
        else if (key == "comment")
            h.comment = value;
        else if (key == "expects")  // (several lines add up)
            h.expects += (h.expects.empty() ? "" : " ") + value;
        else if (key == "lacks")
            h.lacks += (h.lacks.empty() ? "" : " ") + value;
        else if (key == "count")
            h.count = value;
        else if (key == "next" && (value == "digit" || value == "letter" || value == "end"))
            h.next = value;
        else if (key == "through")
            h.through = value;
        else if (key == "swallowed")
            h.swallowed = value;
        else if (key == "message")
            h.message += (h.message.empty() ? "" : " ") + value;
        else {
            std::cerr << path << ":" << number << ": unknown setting \"" << line << "\"\n";
            ok = false;
        }
    }
    for (const HintEntry& h : hints)
        if (h.code.empty() || h.message.empty()) {
            std::cerr << path << ":" << h.line << ": a hint needs a code and a message\n";
            ok = false;
        }
    return ok;
}

std::string c_or_null(const std::string& text)
{
    return text.empty() ? "nullptr" : c_string(text);
}

int compile_hints(const Grammar& g, const std::string& path, const std::string& output)
{
    std::vector<HintEntry> hints;
    if (!read_hints(path, hints))
        return 1;
    auto shape = [](const std::string& s) { return "Shape::" + s; };
    std::ostringstream code;
    code << "// Made by tessel-messages from " << g.name() << ".hints: the slips recognised\n"
         << "// before the message of the parser's situation.\n"
         << "#include \"hints.h\"\n\n"
         << "namespace tessel::runtime {\n\n"
         << "namespace {\n\n"
         << "const Hint hints[] = {\n";
    for (const HintEntry& h : hints)
        code << "    {" << c_string(h.code) << ", " << shape(h.found) << ", " << c_or_null(h.found_text) << ", "
             << shape(h.before) << ", " << c_or_null(h.before_text) << ", " << (h.joined ? "true" : "false") << ", "
             << (h.at == "before" ? "'b'" : "'f'") << ", "
             << (h.word == "case" ? "'c'" : h.word == "typo" ? "'t'" : "0") << ", " << c_or_null(h.unclosed) << ", "
             << c_or_null(h.comment) << ", " << c_or_null(h.expects) << ", " << c_or_null(h.lacks) << ", "
             << c_or_null(h.count) << ", " << c_or_null(h.next) << ", " << c_or_null(h.through) << ", "
             << c_or_null(h.swallowed) << ",\n     " << c_string(h.message) << "},\n";
    code << "    {nullptr, Shape::any, nullptr, Shape::any, nullptr, false, 0, 0, nullptr, nullptr, nullptr, nullptr,"
         << " nullptr, nullptr, nullptr, nullptr, nullptr},\n"
         << "};\n\n"
         << "// The hints to try when the text from the found token on starts with a\n"
         << "// given character: those whose found text starts with it, and those that\n"
         << "// ask for no such text; the last list for any other character.\n";
    auto first_of = [](const HintEntry& h) {
        return (h.found == "text" || h.found == "token") && !h.found_text.empty() ? h.found_text[0] : '\0';
    };
    std::vector<char> firsts;
    for (const HintEntry& h : hints)
        if (first_of(h) && std::find(firsts.begin(), firsts.end(), first_of(h)) == firsts.end())
            firsts.push_back(first_of(h));
    firsts.push_back('\0');
    auto char_literal = [](char c) {
        static const char hex[] = "0123456789abcdef";
        const auto u = static_cast<unsigned char>(c);
        return std::string("'\\x") + hex[u >> 4] + hex[u & 0xF] + "'";
    };
    for (size_t f = 0; f < firsts.size(); ++f) {
        code << "const unsigned short tried_" << f << "[] = {";
        for (size_t i = 0; i < hints.size(); ++i)
            if (!first_of(hints[i]) || first_of(hints[i]) == firsts[f])
                code << i << ", ";
        code << Hints::end << "};\n";
    }
    code << "const Hints::Tried tried[] = {";
    for (size_t f = 0; f < firsts.size(); ++f)
        code << "{" << char_literal(firsts[f]) << ", tried_" << f << "}" << (f + 1 < firsts.size() ? ", " : "");
    code << "};\n\n"
         << "}  // namespace\n\n"
         << "extern const Hints " << g.name() << "_hints;\n"
         << "const Hints " << g.name() << "_hints = {hints, tried};\n\n"
         << "}  // namespace tessel::runtime\n";
    std::ofstream out(output, std::ios::binary);
    out << code.str();
    return out.good() ? 0 : 1;
}

int usage()
{
    std::cerr << "usage: tessel-messages list KIND | check KIND FILE | compile KIND FILE OUTPUT"
                 " | hints KIND FILE OUTPUT\n";
    return 2;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 3)
        return usage();
    const std::string command = argv[1], kind = argv[2];
    for (const Language* language : languages()) {
        if (kind != language->name)
            continue;
        const Grammar g{*language, Search(*language)};
        if (command == "list" && argc == 3)
            return list(g);
        if (command == "check" && argc == 4)
            return check(g, argv[3]);
        if (command == "compile" && argc == 5)
            return compile(g, argv[3], argv[4]);
        if (command == "hints" && argc == 5)
            return compile_hints(g, argv[3], argv[4]);
        return usage();
    }
    std::cerr << "tessel-messages: unknown kind " << kind << "\n";
    return 2;
}
