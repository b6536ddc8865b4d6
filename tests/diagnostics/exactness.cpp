// The tokens a syntax error's diagnostic names as expected, checked against
// the parser itself (and its place, against the text): for texts that fail with a syntax error, a token of
// every kind is put in place of the offending one (on a line of its own, so
// that a comment before it ends), and the parser must shift it there (go
// past it, or stop later, or have an action reject it) exactly when the
// diagnostic names that kind. And each such text gets the message of its
// situation (the error state and those tokens), unless a hint names its
// slip: there is one for every situation reached, and it proposes no token
// that cannot come there (one the text holds may be quoted).
//
//   diagnostics_exactness SOURCE_DIR
//
// The failing texts: the samples of the messages files, and the golden
// inputs with a piece cut out, a token put in, or their end cut off (a fixed
// seed). Prints the figures, and for comparison how often the tokens that
// have an action in the state where the parser finds the error (what a
// parser reports without lookahead correction) differ.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <set>
#include <string>
#include <vector>

#include <tessel/translate.h>

#include "golden_cases.h"
#include "diagnosis.h"
#include "language.h"
#include "search.h"
#include "translation.h"

namespace fs = std::filesystem;
using tessel::Kind;
using tessel::runtime::Automaton;
using tessel::runtime::Search;

namespace {

tessel::Result translate(Kind kind, const std::string& text)
{
    tessel::Options options;
    options.commands = false;
    options.trace = false;
    return tessel::translate(kind, text, options);
}

bool syntax_error(const tessel::Result& r)
{
    const std::string report = "Parser:syntax error";
    return r.status == 1 && r.err.size() >= report.size() && r.err.compare(r.err.size() - report.size(), report.size(), report) == 0;
}

std::vector<std::string> sample_texts(const std::string& file)
{
    std::vector<std::string> texts;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] == '>')
            texts.push_back(line.size() > 2 ? line.substr(2) : "");
    return texts;
}

// Golden inputs changed at random, that fail with a syntax error.
std::vector<std::string> mutated_texts(Kind kind, const std::vector<std::string>& inputs, size_t count)
{
    std::mt19937 random(20261208);
    const Search s(tessel::runtime::language(kind));
    const Automaton& a = s.automaton();
    std::set<std::string> texts;
    for (size_t tries = 0; texts.size() < count && tries < count * 40; ++tries) {
        std::string text = inputs[random() % inputs.size()];
        const size_t at = text.empty() ? 0 : random() % (text.size() + 1);
        switch (random() % 3) {
        case 0:  // a piece cut out
            text.erase(at, 1 + random() % 6);
            break;
        case 1:  // a token put in
            text.insert(at, " " + s.example(3 + static_cast<int>(random() % static_cast<unsigned>(a.token_symbols() - 3))) + " ");
            break;
        default:  // the end cut off
            text.resize(at);
            break;
        }
        if (syntax_error(translate(kind, text)))
            texts.insert(text);
    }
    return std::vector<std::string>(texts.begin(), texts.end());
}

struct Figures {
    long texts = 0, substitutions = 0, undecided = 0, mismatches = 0, tables_differ = 0, hinted = 0;
};

// The diagnostic's place agrees with the text: its token's bytes, line and
// display column (a tab to the next multiple of 8, a character of several
// bytes one column, a byte that is not part of one a column of its own).
bool consistent(const std::string& text, const tessel::Diagnostic& d)
{
    if (d.offset < 0 || d.length < 0 || d.offset + d.length > static_cast<long>(text.size()))
        return false;
    const size_t newline = d.offset == 0 ? std::string::npos : text.rfind('\n', static_cast<size_t>(d.offset - 1));
    const long line_start = newline == std::string::npos ? 0 : static_cast<long>(newline) + 1;
    int column = 1;
    for (long i = line_start; i < d.offset; ++column) {
        const auto byte = [&](long at) { return static_cast<unsigned char>(text[static_cast<size_t>(at)]); };
        const unsigned char c = byte(i);
        const long size = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 1;
        bool whole = i + size <= d.offset;
        for (long k = 1; whole && k < size; ++k)
            whole = (byte(i + k) & 0xC0) == 0x80;
        if (c == '\t')
            column = (column - 1) / 8 * 8 + 8;
        i += whole ? size : 1;
    }
    return d.found == text.substr(static_cast<size_t>(d.offset), static_cast<size_t>(d.length)) &&
           d.line == 1 + std::count(text.begin(), text.begin() + d.offset, '\n') && d.column == column;
}

// The tokens a message quotes (in backquotes) that are tokens of the
// grammar with a fixed spelling.
std::vector<std::string> quoted_tokens(const Search& search, const std::string& message)
{
    const Automaton& a = search.automaton();
    std::set<std::string> fixed;
    for (int symbol = 3; symbol < a.token_symbols(); ++symbol)
        if (search.example(symbol) == a.spelling(symbol) && a.spelling(symbol) != "name")
            fixed.insert(a.spelling(symbol));
    std::vector<std::string> quoted;
    for (size_t at = message.find('`'); at != std::string::npos;) {
        const size_t end = message.find('`', at + 1);
        if (end == std::string::npos)
            break;
        if (fixed.count(message.substr(at + 1, end - at - 1)))
            quoted.push_back(message.substr(at + 1, end - at - 1));
        at = message.find('`', end + 1);
    }
    return quoted;
}

void check_text(Kind kind, const std::string& text, Figures& f)
{
    const tessel::Result r = translate(kind, text);
    if (!syntax_error(r) || !r.diagnostic)
        return;
    ++f.texts;
    const tessel::runtime::Language& language = tessel::runtime::language(kind);
    const Search search(language);
    const Automaton& a = search.automaton();
    const tessel::Diagnostic& d = *r.diagnostic;
    // The situation the parser found the error in, and its message.
    tessel::runtime::Resources resources;
    std::string out, err, trace;
    tessel::runtime::Output o(out), e(err), t(trace);
    tessel::runtime::TextInput in(text);
    tessel::Options options;
    options.trace = false;
    language.translate(language, tessel::runtime::Streams{in, o, e, t}, options, nullptr, resources);
    const tessel::runtime::Analysis analysis = a.analyse(resources.tokens);
    std::vector<std::string> may_come;
    std::string names;
    for (int symbol : analysis.expected) {
        may_come.push_back(a.name(symbol));
        names += (names.empty() ? "" : " ") + a.name(symbol);
    }
    const auto* entry = tessel::runtime::message_of(language.messages, analysis.error_state, may_come);
    if (!entry) {
        ++f.mismatches;
        std::cout << "NO MESSAGE " << tessel::kind_name(kind) << " \"" << text << "\": state "
                  << analysis.error_state << " expecting " << names << "\n";
        return;
    }
    if (d.code != std::string(tessel::kind_name(kind)) + "." + entry->code) {
        ++f.hinted;  // a hint's place and words: checked by diagnostics/hints
        return;
    }
    for (const std::string& token : quoted_tokens(search, entry->message))
        if (!std::any_of(analysis.expected.begin(), analysis.expected.end(),
                         [&](int symbol) { return a.spelling(symbol) == token; }) &&
            text.find(token) == std::string::npos) {
            ++f.mismatches;
            std::cout << "PROPOSES " << tessel::kind_name(kind) << " \"" << text << "\": `" << token
                      << "` cannot come there (" << entry->code << ")\n";
        }
    if (!consistent(text, d)) {
        ++f.mismatches;
        std::cout << "PLACE " << tessel::kind_name(kind) << " \"" << text << "\": offset " << d.offset << ", line "
                  << d.line << ", column " << d.column << ", found \"" << d.found << "\"\n";
    }
    const std::set<std::string> expected(d.expected.begin(), d.expected.end());
    std::set<std::string> in_error_state;
    for (int symbol = 0; symbol < a.token_symbols(); ++symbol) {
        if (symbol == 1 || symbol == 2)  // bison's "error" and "invalid token"
            continue;
        const std::string before = text.substr(0, static_cast<size_t>(d.offset));
        const bool at_end = symbol == 0;
        const std::string changed =
            at_end ? before : before + "\n" + search.example(symbol) + " " + text.substr(static_cast<size_t>(d.offset + d.length));
        const long where = at_end ? d.offset : d.offset + 1;
        const tessel::Result s = translate(kind, changed);
        bool shifted = true;
        if (s.status != 0 && s.error_offset == where) {
            if (syntax_error(s))
                shifted = false;
            else if (s.err.find("rigger missing") != std::string::npos) {
                ++f.undecided;  // a label rule's action, before the token is shifted or not
                continue;
            }
        }
        ++f.substitutions;
        if (shifted != (expected.count(a.name(symbol)) > 0)) {
            ++f.mismatches;
            if (f.mismatches <= 20)
                std::cout << "MISMATCH " << tessel::kind_name(kind) << " \"" << text << "\": " << a.name(symbol)
                          << (shifted ? " is shifted but not expected\n" : " is expected but not shifted\n");
        }
    }
    // What the state that finds the error alone would say.
    for (int symbol = 0; symbol < a.token_symbols(); ++symbol)
        if (symbol != 1 && symbol != 2 && !search.has_error(analysis.error_state, symbol))
            in_error_state.insert(a.name(symbol));
    if (in_error_state != expected)
        ++f.tables_differ;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::cerr << "usage: diagnostics_exactness SOURCE_DIR\n";
        return 2;
    }
    const std::string top = argv[1];
    long mismatches = 0;
    for (Kind kind : tessel::kinds()) {
        const std::string name = tessel::kind_name(kind);
        std::vector<std::string> inputs;
        for (const char* root : {"/tests/golden/", "/examples/"})
            for (const GoldenCase& c : load_golden_cases(top + root + name))
                inputs.push_back(c.text);
        std::vector<std::string> texts = sample_texts(top + "/" + name + "/" + name + ".messages");
        const std::vector<std::string> mutated = mutated_texts(kind, inputs, 600);
        texts.insert(texts.end(), mutated.begin(), mutated.end());
        Figures f;
        for (const std::string& text : texts)
            check_text(kind, text, f);
        std::cout << name << ": " << f.texts << " failing texts, " << f.substitutions << " substitutions, "
                  << f.mismatches << " mismatches, " << f.undecided << " left undecided by an action, " << f.hinted
                  << " given a hint; "
                  << "the error state's own tokens differ from the exact set for " << f.tables_differ << " texts\n";
        mismatches += f.mismatches;
    }
    return mismatches == 0 ? 0 : 1;
}
