// tessel-batch: translates any number of texts of any kind in one process,
// answering each request in order (see batch.h and tessel-batch(1)).
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <getopt.h>
#include <malloc.h>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>
#include <vector>
#include <unistd.h>

#include "batch.h"
#include "outfile.h"

namespace {

// "pure21, valued21, decl or ic3"
std::string kind_names()
{
    const std::vector<tessel::Kind> kinds = tessel::kinds();
    std::string names;
    for (size_t i = 0; i < kinds.size(); ++i)
        names += (i == 0 ? "" : i + 1 == kinds.size() ? " or " : ", ") + std::string(tessel::kind_name(kinds[i]));
    return names;
}

std::string usage_text()
{
    const tessel::batch::Settings defaults;
    return "Usage: tessel-batch [-j N] [-d] [--no-trace] [--max-output BYTES] [--max-depth N] [--kinds] [-h]\n"
           "Translates texts read from standard input, each given as a header line\n"
           "\"<kind> <size>\" (kind: " + kind_names() + ") and size bytes of text,\n"
           "and answers each with \"<status> <error-offset> <out-size> <err-size> <trace-size>\",\n"
           "the output, error and trace bytes, and a newline.\n"
           "\t-j N\t\t\ttranslate in N threads (answers stay in request order)\n"
           "\t-d\t\t\teach answer carries its diagnostic (a sixth size)\n"
           "\t--no-trace\t\tno trace lines or records\n"
           "\t--max-output BYTES\tthe output of one text at most (default " + std::to_string(defaults.max_output) +
           "; 0: none)\n"
           "\t--max-depth N\t\tthe parser's stack (default " + std::to_string(defaults.max_depth) + " entries)\n"
           "\t--kinds\t\t\tlist the kinds, one a line\n"
           "\t-h\t\t\tthis text\n";
}

// A whole number from min to max, or false.
bool number(const char* text, long min, long max, long& value)
{
    char* end;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return *text != '\0' && *end == '\0' && errno == 0 && value >= min && value <= max;
}

int bad_usage(const std::string& complaint)
{
    std::cerr << "tessel-batch: " << complaint << "\n" << usage_text();
    return 2;
}

}  // namespace

int main(int argc, char* argv[])
{
    std::ios_base::sync_with_stdio(false);
    // Every translation, and every group of answers, takes and gives back
    // blocks of the same sizes; by default large ones are mapped and
    // unmapped each time and the threads' heaps hand freed memory back to
    // the system, so that it faults in again: a third of the time of a
    // batch in two threads.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    tessel::batch::Settings settings;
    enum { no_trace = 256, max_output, max_depth, kinds };
    const option long_options[] = {{"no-trace", no_argument, nullptr, no_trace},
                                   {"max-output", required_argument, nullptr, max_output},
                                   {"max-depth", required_argument, nullptr, max_depth},
                                   {"kinds", no_argument, nullptr, kinds},
                                   {nullptr, 0, nullptr, 0}};
    int option;
    long n;
    opterr = 0;
    while ((option = getopt_long(argc, argv, "dhj:", long_options, nullptr)) != -1) {
        switch (option) {
        case 'h':
            std::cout << usage_text();
            return 0;
        case kinds:
            for (tessel::Kind kind : tessel::kinds())
                std::cout << tessel::kind_name(kind) << '\n';
            return 0;
        case 'd':
            settings.diagnostics = true;
            break;
        case 'j':
            if (!number(optarg, 1, 256, n))
                return bad_usage("-j takes a number of threads from 1 to 256");
            settings.jobs = static_cast<int>(n);
            break;
        case no_trace:
            settings.trace = false;
            break;
        case max_output:
            if (!number(optarg, 0, LONG_MAX, n))
                return bad_usage("--max-output takes a number of bytes (0: no limit)");
            settings.max_output = static_cast<size_t>(n);
            break;
        case max_depth:
            if (!number(optarg, tessel::Options::least_depth, LONG_MAX, n))
                return bad_usage("--max-depth takes a number of entries from " + std::to_string(tessel::Options::least_depth));
            settings.max_depth = n;
            break;
        default:
            return bad_usage(optopt ? std::string("unknown option -") + static_cast<char>(optopt)
                                    : std::string("unknown option ") + argv[optind - 1]);
        }
    }
    if (optind < argc)
        return bad_usage(std::string("unexpected argument ") + argv[optind]);
    OutputFile out(STDOUT_FILENO);
    int status = tessel::batch::serve(std::cin, out, settings);
    out.flush();
    if (!out) {
        std::cerr << "tessel-batch: write error on standard output\n";
        return 2;
    }
    return status;
}
