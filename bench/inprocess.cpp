// In-process measurements of the library, for bench/run.sh:
//
//   tessel-bench rate KIND FILE N      N translations of FILE's text: translations
//                                      per second and ns per input byte, then the
//                                      time of one with a tessel::Translator kept
//   tessel-bench memory N1 N2 FILE...  translations of the files' texts in turn (each
//                                      named KIND.txt, or KIND-*): peak resident
//                                      memory after N1 and after N2 translations
//   tessel-bench scan FILE             the ic3 scanner alone over FILE: seconds
//   tessel-bench trace KIND FILE N     N translations with a Translator kept, with
//                                      and without trace: us each, and the ratio
//   tessel-bench failing KIND FILE N [with|without]
//                                      N translations of a failing text with and
//                                      without their diagnostic: us each, and the ratio
//                                      (or only those with, or without)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>
#include <sys/resource.h>

#include <tessel/translate.h>

#include "language.h"
#include "translation.h"

namespace tessel::runtime {
// The scanner of ic3 (ic3/lex.ic3.l).
std::unique_ptr<TokenSource> ic3_scanner(Translation& translation);
}  // namespace tessel::runtime

namespace {

using Clock = std::chrono::steady_clock;

std::string read_file(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "cannot read " << path << "\n";
        std::exit(2);
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

tessel::Kind kind_of(const std::string& name)
{
    tessel::Kind kind;
    if (!tessel::kind_from_name(name, kind)) {
        std::cerr << "unknown kind " << name << "\n";
        std::exit(2);
    }
    return kind;
}

// The kind a file is named after: "pure21.txt", "decl-long", ...
tessel::Kind kind_of_file(const std::string& path)
{
    std::string base = path.substr(path.find_last_of('/') + 1);
    return kind_of(base.substr(0, base.find_first_of(".-")));
}

long peak_kb()
{
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

double seconds_since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

int rate(const char* kind_name, const char* path, long n)
{
    tessel::Kind kind = kind_of(kind_name);
    std::string text = read_file(path);
    size_t sink = 0;
    auto start = Clock::now();
    for (long i = 0; i < n; ++i)
        sink += tessel::translate(kind, text).out.size();
    double s = seconds_since(start);
    tessel::Translator translator;
    start = Clock::now();
    for (long i = 0; i < n; ++i)
        sink += translator.translate(kind, text).out.size();
    double reused = seconds_since(start);
    std::printf("%.0f translations/s, %.2f us each, %.2f ns per input byte (%zu output bytes); "
                "%.2f us each with one tessel::Translator\n",
                n / s, s / n * 1e6, s / n / static_cast<double>(text.size()) * 1e9, sink / n / 2,
                reused / n * 1e6);
    return 0;
}

// Microseconds per translation with a kept Translator and these options:
// the best of five runs of n.
double us_each(tessel::Kind kind, const std::string& text, long n, const tessel::Options& options)
{
    tessel::Translator translator;
    double best = 1e30;
    size_t sink = 0;
    for (int run = 0; run < 5; ++run) {
        auto start = Clock::now();
        for (long i = 0; i < n; ++i)
            sink += translator.translate(kind, text, options).out.size();
        best = std::min(best, seconds_since(start) / static_cast<double>(n) * 1e6);
    }
    if (sink == 0)  // so that the results are made and used
        std::printf("no output\n");
    return best;
}

int trace(const char* kind_name, const char* path, long n)
{
    tessel::Kind kind = kind_of(kind_name);
    std::string text = read_file(path);
    tessel::Options untraced;
    untraced.trace = false;
    const double with = us_each(kind, text, n, tessel::Options()), without = us_each(kind, text, n, untraced);
    std::printf("%.3f us with trace, %.3f us without: %.2f times as fast\n", with, without, with / without);
    return 0;
}

// MODE "both", or "with" / "without" alone (for counting instructions).
int failing(const char* kind_name, const char* path, long n, const std::string& mode)
{
    tessel::Kind kind = kind_of(kind_name);
    std::string text = read_file(path);
    if (tessel::translate(kind, text).status == 0) {
        std::cerr << path << " does not fail\n";
        return 2;
    }
    tessel::Options plain;
    plain.diagnostic = false;
    if (mode != "both") {
        std::printf("%.3f us %s the diagnostic\n", us_each(kind, text, n, mode == "with" ? tessel::Options() : plain),
                    mode.c_str());
        return 0;
    }
    const double with = us_each(kind, text, n, tessel::Options()), without = us_each(kind, text, n, plain);
    std::printf("%.3f us with the diagnostic, %.3f us without: %.2f times the cost\n", with, without, with / without);
    return 0;
}

int memory(long n1, long n2, int files, char** paths)
{
    std::vector<std::pair<tessel::Kind, std::string>> texts;
    for (int i = 0; i < files; ++i)
        texts.emplace_back(kind_of_file(paths[i]), read_file(paths[i]));
    long done = 0;
    for (long target : {n1, n2}) {
        for (; done < target; ++done) {
            const auto& [kind, text] = texts[static_cast<size_t>(done) % texts.size()];
            tessel::translate(kind, text);
        }
        std::printf("%ld translations: peak RSS %ld KB\n", done, peak_kb());
    }
    return 0;
}

// The scanner alone: every token of the text, nothing parsed or written.
int scan(const char* path)
{
    std::string text = read_file(path);
    tessel::runtime::TextInput in(text);
    std::string unused;
    tessel::runtime::Output none(unused);
    auto start = Clock::now();
    tessel::runtime::Resources resources;
    tessel::Options options;
    options.diagnostic = false;
    tessel::runtime::Translation t(tessel::runtime::language(tessel::Kind::ic3), {in, none, none, none}, options,
                                   nullptr, resources);
    std::unique_ptr<tessel::runtime::TokenSource> scanner = tessel::runtime::ic3_scanner(t);
    t.attach(*scanner);
    long tokens = 0;
    while (t.next_token() > 0)
        ++tokens;
    std::printf("%ld tokens in %.3f s\n", tokens, seconds_since(start));
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "rate" && argc == 5)
        return rate(argv[2], argv[3], std::atol(argv[4]));
    if (mode == "memory" && argc >= 5)
        return memory(std::atol(argv[2]), std::atol(argv[3]), argc - 4, argv + 4);
    if (mode == "scan" && argc == 3)
        return scan(argv[2]);
    if (mode == "trace" && argc == 5)
        return trace(argv[2], argv[3], std::atol(argv[4]));
    if (mode == "failing" && (argc == 5 || (argc == 6 && (std::string(argv[5]) == "with" || std::string(argv[5]) == "without"))))
        return failing(argv[2], argv[3], std::atol(argv[4]), argc == 6 ? argv[5] : "both");
    std::cerr << "usage: tessel-bench rate KIND FILE N | memory N1 N2 FILE... | scan FILE | trace KIND FILE N"
                 " | failing KIND FILE N [with|without]\n";
    return 2;
}
