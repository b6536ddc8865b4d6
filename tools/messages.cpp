// tessel-messages: the messages of the syntax errors, kept complete.
//
// Each grammar has a file of messages (<kind>/<kind>.messages): sample texts
// that fail where the parser finds a syntax error, each followed by the
// message for the person who typed such a text. The samples are texts, not
// state numbers, so that the file survives changes to the grammar: this
// tool finds the state of each sample by translating it.
//
//   tessel-messages list KIND
//       every state of KIND's automaton that can find a syntax error, with
//       a shortest token sentence that ends in an error there
//   tessel-messages check KIND FILE
//       fails (status 1) when a state is reached by no sample, when a
//       sample does not fail at its end with a syntax error, or when two
//       samples of one state carry different messages; prints the counts
//   tessel-messages compile KIND FILE OUTPUT
//       writes the table from states to messages (C++) that the library
//       is built with; samples in error are left out with a warning
//
// The file: lines starting with "#" are comments; an entry is one or more
// sample lines ("> " and the text; ">" alone is the empty text), each of
// which fails at its end (its last token, or the end of the text), then the
// message, on one or more lines, up to a blank line or the next sample.
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
        if (e.message.empty()) {
            std::cerr << path << ":" << e.samples.front().line << ": samples without a message\n";
            return false;
        }
    return true;
}

// Where a sample stops: the error state, or an explanation of what is wrong.
struct Outcome {
    int state = -1;
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
    else
        r.state = g.automaton().analyse(resources.tokens).error_state;
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

int list(const Grammar& g)
{
    const Automaton& a = g.automaton();
    const std::vector<std::vector<int>> sentences = g.search.error_sentences();
    for (int state : g.search.error_states()) {
        const std::vector<int>& sentence = sentences[static_cast<size_t>(state)];
        std::cout << "state " << state << ":";
        if (sentence.empty())
            std::cout << " (no sentence found)";
        for (int symbol : sentence)
            std::cout << " " << a.name(symbol);
        std::cout << "\n> " << spelled(g.search, sentence) << "\n";
    }
    return 0;
}

// Maps every sample to its state; reports the problems (false when any).
bool map_samples(const Grammar& g, const std::string& path, const std::vector<Entry>& entries,
                 std::map<int, const Entry*>& by_state, std::map<int, int>& first_line)
{
    bool ok = true;
    for (const Entry& e : entries)
        for (const Sample& s : e.samples) {
            const Outcome o = run(g, s.text);
            if (o.state < 0) {
                std::cerr << path << ":" << s.line << ": the sample \"" << s.text << "\": " << o.problem << "\n";
                ok = false;
                continue;
            }
            auto known = by_state.find(o.state);
            if (known == by_state.end()) {
                by_state[o.state] = &e;
                first_line[o.state] = s.line;
            } else if (known->second->message != e.message) {
                std::cerr << path << ":" << s.line << ": the sample \"" << s.text << "\" ends in state " << o.state
                          << ", as the sample of line " << first_line[o.state] << ", with another message\n";
                ok = false;
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
    std::map<int, const Entry*> by_state;
    std::map<int, int> first_line;
    bool ok = map_samples(g, path, entries, by_state, first_line);
    const Automaton& a = g.automaton();
    const std::vector<int> states = g.search.error_states();
    const std::vector<std::vector<int>> sentences = g.search.error_sentences();
    int covered = 0;
    const int unreachable = ends_before_end_state(g) ? g.search.end_state() : -1;
    for (int state : states) {
        if (by_state.count(state)) {
            ++covered;
            continue;
        }
        if (state == unreachable)
            continue;
        std::cerr << path << ": state " << state << " is reached by no sample; one ending in an error there:";
        for (int symbol : sentences[static_cast<size_t>(state)])
            std::cerr << " " << a.name(symbol);
        std::cerr << "\n";
        ok = false;
    }
    size_t samples = 0;
    for (const Entry& e : entries)
        samples += e.samples.size();
    std::cout << g.name() << ": " << states.size() << " error states";
    if (unreachable >= 0)
        std::cout << " (" << states.size() - 1 << " reachable: the translation ends with the text's last token)";
    std::cout << ", " << covered << " covered by " << samples << " samples with " << entries.size() << " messages\n";
    return ok ? 0 : 1;
}

int compile(const Grammar& g, const std::string& path, const std::string& output)
{
    std::vector<Entry> entries;
    if (!read_entries(path, entries))
        return 1;
    std::map<int, const Entry*> by_state;
    std::map<int, int> first_line;
    if (!map_samples(g, path, entries, by_state, first_line))
        std::cerr << path << ": warning: the samples above are left out (see tessel-messages check)\n";
    std::ostringstream code;
    code << "// Made by tessel-messages from " << g.name() << ".messages: the message of each\n"
         << "// error state of the " << g.name() << " automaton.\n"
         << "#include \"diagnosis.h\"\n\n"
         << "namespace tessel::runtime {\n\n";
    if (!by_state.empty()) {
        code << "namespace {\n\n"
             << "const Messages::Entry entries[] = {\n";
        for (const auto& [state, entry] : by_state)
            code << "    {" << state << ", " << c_string(entry->message) << "},\n";
        code << "};\n\n"
             << "}  // namespace\n\n";
    }
    code << "extern const Messages " << g.name() << "_messages;\n"
         << "const Messages " << g.name() << "_messages = {" << (by_state.empty() ? "nullptr" : "entries") << ", "
         << by_state.size() << "};\n\n"
         << "}  // namespace tessel::runtime\n";
    std::ofstream out(output, std::ios::binary);
    out << code.str();
    return out.good() ? 0 : 1;
}

int usage()
{
    std::cerr << "usage: tessel-messages list KIND | check KIND FILE | compile KIND FILE OUTPUT\n";
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
        return usage();
    }
    std::cerr << "tessel-messages: unknown kind " << kind << "\n";
    return 2;
}
