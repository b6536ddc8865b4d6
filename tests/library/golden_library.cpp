// Runs golden cases through the library instead of the programs: each must
// give the case's standard output, standard error, status and trace file.
//
//   golden_library ROOT...    (ROOT: a folder of cases named after a kind)
#include <iostream>

#include "golden_cases.h"

int main(int argc, char* argv[])
{
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
        }
    }
    std::cout << cases << " cases, " << failures << " differences\n";
    return failures == 0 && cases > 0 ? 0 : 1;
}
