// The golden cases as data, for the tests that run them in-process: the
// text of each case and what the program is expected to give for it.
#ifndef TESSEL_TESTS_GOLDEN_CASES_H
#define TESSEL_TESTS_GOLDEN_CASES_H

#include <string>
#include <vector>

#include <tessel/translate.h>
#include <tessel/translate_c.h>

struct GoldenCase {
    std::string path;  // the case's folder
    tessel::Kind kind;
    bool trace_in_file = false;  // the kind writes its trace records to the trace file
    std::string text;  // stdin
    std::string out, err;
    int status = 0;
    bool has_trace = false;  // a trace file is expected (files/log), or
    std::string trace;       // known to be empty (its records are lines of the script)
    std::string diagnostic;  // the file "diagnostic": where and why it failed
};

// A diagnostic as the golden cases keep it ("diagnostic"): a line per field,
// "offset 8", ..., "expected ID LPAR", "message ...", the found bytes with a
// backslash before backslashes and \n, \r, \t or \xHH for other bytes
// below 32 or above 126.
std::string diagnostic_text(const tessel::Diagnostic& diagnostic);
// The diagnostic of the C interface, as the C++ one.
tessel::Diagnostic from_c(const tessel_diagnostic& c);

// The cases below root (a folder named after a kind, as tests/golden/pure21
// or examples/ic3) that a text alone decides: cases with arguments or run by
// another program are left out. Sorted by name.
std::vector<GoldenCase> load_golden_cases(const std::string& root);

// Those of every kind: the golden cases and the examples under the tree at
// source_dir.
std::vector<GoldenCase> load_all_golden_cases(const std::string& source_dir);

// What a translation without trace writes: a script without its "#debug:"
// records (each ends at the first newline that does not follow an odd
// number of backslashes); ic3's trace file without its records, that is its
// "addElement lvariable" lines.
std::string without_records(const std::string& script);
std::string variable_lines(const std::string& trace);

// The whole content of a file ("" when it does not exist).
std::string read_file(const std::string& path);

// Where two texts first differ, for messages: "byte N: expected ... got ...".
std::string first_difference(const std::string& expected, const std::string& actual);

#endif
