// tessel-batch: translates any number of texts of any kind in one process,
// answering each request in order (see batch.h and tessel-batch(1)).
#include <cstdlib>
#include <malloc.h>
#include <cstring>
#include <iostream>
#include <string>
#include <thread>
#include <unistd.h>

#include "batch.h"
#include "outfile.h"

namespace {

const char usage_text[] =
    "Usage: tessel-batch [-j N] [-h]\n"
    "Translates texts read from standard input, each given as a header line\n"
    "\"<kind> <size>\" (kind: pure21, valued21, decl or ic3) and size bytes of text,\n"
    "and answers each with \"<status> <error-offset> <out-size> <err-size> <trace-size>\",\n"
    "the output, error and trace bytes, and a newline.\n"
    "\t-j N\ttranslate in N threads (answers stay in request order)\n"
    "\t-h\tthis text\n";

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
    int jobs = 1;
    int option;
    opterr = 0;
    while ((option = getopt(argc, argv, "hj:")) != -1) {
        switch (option) {
        case 'h':
            std::cout << usage_text;
            return 0;
        case 'j': {
            char* end;
            long n = std::strtol(optarg, &end, 10);
            if (*end != '\0' || n < 1 || n > 256) {
                std::cerr << "tessel-batch: -j takes a number of threads from 1 to 256\n" << usage_text;
                return 2;
            }
            jobs = static_cast<int>(n);
            break;
        }
        default:
            std::cerr << "tessel-batch: unknown option -" << static_cast<char>(optopt) << "\n" << usage_text;
            return 2;
        }
    }
    if (optind < argc) {
        std::cerr << "tessel-batch: unexpected argument " << argv[optind] << "\n" << usage_text;
        return 2;
    }
    OutputFile out(STDOUT_FILENO);
    int status = tessel::batch::serve(std::cin, out, jobs);
    out.flush();
    if (!out) {
        std::cerr << "tessel-batch: write error on standard output\n";
        return 2;
    }
    return status;
}
