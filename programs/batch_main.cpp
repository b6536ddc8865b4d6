// tessel-batch: translates any number of texts of any kind in one process,
// answering each request in order (see batch.h and tessel-batch(1)).
#include <cctype>
#include <cerrno>
#include <cstdio>
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

// The kinds' names: "a, b, c or d".
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
           "\t-h, --help\t\tthis text\n";
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

// The long options, and what the options with a value take.
enum { no_trace = 256, max_output, max_depth, kinds };
const option long_options[] = {{"no-trace", no_argument, nullptr, no_trace},
                               {"max-output", required_argument, nullptr, max_output},
                               {"max-depth", required_argument, nullptr, max_depth},
                               {"kinds", no_argument, nullptr, kinds},
                               {"help", no_argument, nullptr, 'h'},
                               {nullptr, 0, nullptr, 0}};

std::string option_name(int option)
{
    for (const struct option& o : long_options)
        if (o.name && o.val == option)
            return std::string("--") + o.name;
    return std::string("-") + static_cast<char>(option);
}

std::string value_wanted(int option)
{
    switch (option) {
    case 'j':
        return "a number of threads from 1 to 256";
    case max_output:
        return "a number of bytes (0: no limit)";
    default:
        return "a number of entries from " + std::to_string(tessel::Options::least_depth);
    }
}

// The complaint about an option getopt_long refused: it returned what, the
// option's word on the command line being word.
std::string refused(int what, const char* word)
{
    if (what == ':')  // an option without its value
        return option_name(optopt) + " needs a value: " + value_wanted(optopt);
    if (optopt >= no_trace)  // a long option without a value given one
        return option_name(optopt) + " takes no value";
    if (optopt == 0)  // an unknown long option, as written
        return std::string("unknown option ") + word;
    if (std::isprint(optopt))
        return std::string("unknown option -") + static_cast<char>(optopt);
    char text[32];
    std::snprintf(text, sizeof text, "unknown option character \\x%02x", static_cast<unsigned>(optopt & 0xff));
    return text;
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
    int option;
    long n;
    opterr = 0;
    // (":" first: an option without its value is told from an unknown one.)
    while ((option = getopt_long(argc, argv, ":dhj:", long_options, nullptr)) != -1) {
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
                return bad_usage("-j takes " + value_wanted('j'));
            settings.jobs = static_cast<int>(n);
            break;
        case no_trace:
            settings.trace = false;
            break;
        case max_output:
            if (!number(optarg, 0, LONG_MAX, n))
                return bad_usage("--max-output takes " + value_wanted(max_output));
            settings.max_output = static_cast<size_t>(n);
            break;
        case max_depth:
            if (!number(optarg, tessel::Options::least_depth, LONG_MAX, n))
                return bad_usage("--max-depth takes " + value_wanted(max_depth));
            settings.max_depth = n;
            break;
        default:
            return bad_usage(refused(option, argv[optind - 1]));
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
