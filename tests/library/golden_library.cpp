// Runs golden cases through the library instead of the programs: each must
// give the case's standard output, standard error, status and trace file,
// and, when it fails, its diagnostic (the file "diagnostic"), through the
// C++ interface and the C interface alike (its free functions, and a
// translator kept from case to case).
//
//   golden_library ROOT...    (ROOT: a folder of cases named after a kind)
//
// With GOLDEN_ACCEPT=1 the diagnostics are written instead of compared.
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <tessel/translate_c.h>

#include "golden_cases.h"

namespace {

std::string c_diagnostic(const GoldenCase& c)
{
    tessel_result* r = tessel_translate(static_cast<tessel_kind>(c.kind), c.text.data(), c.text.size());
    std::string text = r && r->diagnostic ? diagnostic_text(from_c(*r->diagnostic)) : "";
    tessel_result_free(r);
    return text;
}

// The C interface without trace: {out, trace}.
std::pair<std::string, std::string> c_without_trace(const GoldenCase& c)
{
    tessel_options options;
    tessel_options_init(&options);
    options.trace = 0;
    tessel_result* r = tessel_translate_with(static_cast<tessel_kind>(c.kind), c.text.data(), c.text.size(), &options);
    std::pair<std::string, std::string> parts{r ? std::string(r->out, r->out_size) : "?",
                                              r ? std::string(r->trace, r->trace_size) : "?"};
    tessel_result_free(r);
    return parts;
}

// A C translator's result: {out, err, trace, status}.
std::vector<std::string> c_kept(tessel_translator* translator, const GoldenCase& c)
{
    tessel_result* r = tessel_translator_translate(translator, static_cast<tessel_kind>(c.kind), c.text.data(),
                                                   c.text.size());
    std::vector<std::string> parts{"?", "?", "?", "?"};
    if (r)
        parts = {std::string(r->out, r->out_size), std::string(r->err, r->err_size),
                 std::string(r->trace, r->trace_size), std::to_string(r->status)};
    tessel_result_free(r);
    return parts;
}

}  // namespace

int main(int argc, char* argv[])
{
    tessel_translator* translator = tessel_translator_new();
    const char* accept = std::getenv("GOLDEN_ACCEPT");
    const bool accepting = accept && std::string(accept) == "1";
    int cases = 0, failures = 0;
    for (int i = 1; i < argc; ++i) {
        for (const GoldenCase& c : load_golden_cases(argv[i])) {
            ++cases;
            tessel::Result r = tessel::translate(c.kind, c.text);
            auto check = [&](const char* what, const std::string& expected, const std::string& actual) {
                if (expected == actual)
                    return;
                std::cout << "FAIL " << c.path << ": " << what << " differs at "
                          << first_difference(expected, actual) << "\n";
                ++failures;
            };
            check("stdout", c.out, r.out);
            check("stderr", c.err, r.err);
            check("status", std::to_string(c.status), std::to_string(r.status));
            if (c.has_trace)
                check("trace file", c.trace, r.trace);
            const std::vector<std::string> kept = c_kept(translator, c);
            check("stdout (C translator)", c.out, kept[0]);
            check("stderr (C translator)", c.err, kept[1]);
            check("trace file (C translator)", r.trace, kept[2]);
            check("status (C translator)", std::to_string(c.status), kept[3]);
            const std::string diagnostic = r.diagnostic ? diagnostic_text(*r.diagnostic) : "";
            if (accepting) {
                const std::string file = c.path + "/diagnostic";
                if (diagnostic.empty())
                    std::remove(file.c_str());
                else
                    std::ofstream(file, std::ios::binary) << diagnostic;
                continue;
            }
            check("diagnostic", c.diagnostic, diagnostic);
            check("diagnostic (C interface)", c.diagnostic, c_diagnostic(c));
            const auto [out, trace] = c_without_trace(c);
            check("stdout without trace (C interface)", without_records(c.out), out);
            if (c.has_trace)
                check("trace without trace (C interface)", c.trace_in_file ? variable_lines(c.trace) : "", trace);
        }
    }
    tessel_translator_free(translator);
    std::cout << cases << " cases, " << failures << " differences\n";
    return failures == 0 && cases > 0 ? 0 : 1;
}
