#include "golden_cases.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "language.h"

namespace fs = std::filesystem;

std::string read_file(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<GoldenCase> load_golden_cases(const std::string& root)
{
    std::vector<GoldenCase> cases;
    tessel::Kind kind;
    if (!tessel::kind_from_name(fs::path(root).lexically_normal().filename().string(), kind))
        return cases;
    for (const auto& entry : fs::directory_iterator(root)) {
        const fs::path dir = entry.path();
        if (!entry.is_directory() || fs::exists(dir / "args") || fs::exists(dir / "program"))
            continue;
        GoldenCase c;
        c.path = dir.string();
        c.kind = kind;
        c.trace_in_file = tessel::runtime::language(kind).trace_in_file;
        c.text = read_file((dir / "stdin").string());
        c.out = read_file((dir / "stdout").string());
        c.err = read_file((dir / "stderr").string());
        c.diagnostic = read_file((dir / "diagnostic").string());
        std::string status = read_file((dir / "status").string());
        c.status = status.empty() ? 0 : std::stoi(status);
        if (fs::exists(dir / "files" / "log")) {
            c.has_trace = true;
            c.trace = read_file((dir / "files" / "log").string());
        } else {
            c.has_trace = !c.trace_in_file;
        }
        cases.push_back(std::move(c));
    }
    std::sort(cases.begin(), cases.end(),
              [](const GoldenCase& a, const GoldenCase& b) { return a.path < b.path; });
    return cases;
}

std::vector<GoldenCase> load_all_golden_cases(const std::string& source_dir)
{
    std::vector<GoldenCase> all;
    for (tessel::Kind kind : tessel::kinds())
        for (const char* root : {"/tests/golden/", "/examples/"}) {
            std::vector<GoldenCase> cases = load_golden_cases(source_dir + root + tessel::kind_name(kind));
            all.insert(all.end(), cases.begin(), cases.end());
        }
    return all;
}

tessel::Diagnostic from_c(const tessel_diagnostic& c)
{
    tessel::Diagnostic d;
    d.offset = c.offset;
    d.length = c.length;
    d.line = c.line;
    d.column = c.column;
    d.found.assign(c.found, c.found_size);
    for (size_t i = 0; i < c.expected_count; ++i)
        d.expected.push_back(c.expected[i]);
    for (size_t i = 0; i < c.expecting_count; ++i)
        d.expecting.push_back(c.expecting[i]);
    d.message = c.message;
    d.code = c.code;
    d.incomplete = c.incomplete != 0;
    d.rule = c.rule;
    return d;
}

std::string diagnostic_text(const tessel::Diagnostic& d)
{
    std::string found;
    for (unsigned char c : d.found) {
        char hex[8];
        if (c == '\\')
            found += "\\\\";
        else if (c == '\n')
            found += "\\n";
        else if (c == '\r')
            found += "\\r";
        else if (c == '\t')
            found += "\\t";
        else if (c < 32 || c > 126) {
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            found += hex;
        } else {
            found += static_cast<char>(c);
        }
    }
    std::string expected, shown;
    for (const std::string& name : d.expected)
        expected += " " + name;
    for (size_t i = 0; i < d.expecting.size(); ++i)
        shown += (i ? ", " : " ") + d.expecting[i];
    return "offset " + std::to_string(d.offset) + "\nlength " + std::to_string(d.length) + "\nline " +
           std::to_string(d.line) + "\ncolumn " + std::to_string(d.column) + "\nfound " + found +
           "\nexpected" + expected + "\nexpecting" + shown + "\ncode " + d.code + "\nincomplete " +
           (d.incomplete ? "yes" : "no") + (d.rule.empty() ? "" : "\nrule " + d.rule) + "\nmessage " +
           d.message + "\n";
}

// A script without its "#debug:" records: a record ends at the first newline
// that does not follow an odd number of backslashes.
std::string without_records(const std::string& script)
{
    std::string kept;
    size_t at = 0;
    while (at < script.size()) {
        size_t end = at;
        if (script.compare(at, 7, "#debug:") == 0) {
            size_t backslashes = 0;
            for (; end < script.size(); ++end) {
                if (script[end] == '\n' && backslashes % 2 == 0)
                    break;
                backslashes = script[end] == '\\' ? backslashes + 1 : 0;
            }
            at = end + 1;
            continue;
        }
        end = script.find('\n', at);
        end = end == std::string::npos ? script.size() : end + 1;
        kept.append(script, at, end - at);
        at = end;
    }
    return kept;
}

// What ic3's trace file keeps without its records.
std::string variable_lines(const std::string& trace)
{
    std::string kept;
    size_t at = 0;
    while (at < trace.size()) {
        size_t end = trace.find('\n', at);
        end = end == std::string::npos ? trace.size() : end + 1;
        if (trace.compare(at, 21, "addElement lvariable ") == 0)
            kept.append(trace, at, end - at);
        at = end;
    }
    return kept;
}

static std::string shown(const std::string& text, size_t at)
{
    std::ostringstream out;
    for (size_t i = at; i < text.size() && i < at + 40; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n')
            out << "\\n";
        else if (c < 32 || c > 126)
            out << "\\x" << std::hex << int(c) << std::dec;
        else
            out << text[i];
    }
    return "\"" + out.str() + "\"";
}

std::string first_difference(const std::string& expected, const std::string& actual)
{
    size_t at = 0;
    while (at < expected.size() && at < actual.size() && expected[at] == actual[at])
        ++at;
    return "byte " + std::to_string(at) + ": expected " + shown(expected, at) + " (" +
           std::to_string(expected.size()) + " bytes), got " + shown(actual, at) + " (" +
           std::to_string(actual.size()) + " bytes)";
}
