// Memory running out inside a translation, at every allocation in turn: for
// texts that together reach every action of every grammar, both output
// paths (a text in memory, streams) and the C interface, the n-th
// allocation fails, for every n up to the number a translation makes. Each
// time nothing may crash or leak, the translation must end with status 2
// and the report "memory exhausted" (or, when even its result cannot be
// made, std::bad_alloc reaches the caller; the C interface returns NULL),
// and the Translator that ran it must then give what a new one gives. Then
// the same with every allocation failing from the n-th on.
//
//   allocation_failures SOURCE_DIR [STEP [NAME]]
//
// (By hand: STEP, every STEP-th n only; NAME, the texts whose name holds
// it.) Prints how many allocation points were walked through.
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <tessel/translate.h>
#include <tessel/translate_c.h>

#include "failing_allocator.h"
#include "golden_cases.h"
#include "text_streams.h"

using tessel::Kind;

namespace {

int failures = 0;
// How the translations with one failing allocation ended.
long exhausted = 0, no_result = 0, write_errors = 0;

void fail(const std::string& what)
{
    if (++failures <= 30)
        std::cout << "FAIL: " << what << "\n";
}

bool ends_with(const std::string& text, const std::string& end)
{
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool same(const tessel::Result& a, const tessel::Result& b)
{
    return a.status == b.status && a.error_offset == b.error_offset && a.out == b.out && a.err == b.err &&
           a.trace == b.trace && a.commands == b.commands && a.diagnostic.has_value() == b.diagnostic.has_value() &&
           (!a.diagnostic || diagnostic_text(*a.diagnostic) == diagnostic_text(*b.diagnostic));
}

struct Text {
    Kind kind;
    std::string text;
    tessel::Options options;
    std::string name;
};

// One way to translate a text; returns what it gives as a Result, or throws
// std::bad_alloc. `whole` is false when the path could not make its result.
struct Path {
    const char* name;
    tessel::Result (*run)(tessel::Translator&, const Text&, bool& whole);
};

tessel::Result in_memory(tessel::Translator& translator, const Text& t, bool&)
{
    return translator.translate(t.kind, t.text, t.options);
}

tessel::Result streamed(tessel::Translator& translator, const Text& t, bool&)
{
    std::istringstream in(t.text);
    std::ostringstream out, err, trace;
    tessel::Outcome o = translator.translate(t.kind, in, out, err, trace, t.options);
    failing_allocator::disarm();  // what follows is the test's, not the library's
    return as_result(o, out, err, trace);
}

// The C interface's result as a Result (whole: there is one).
tessel::Result from_c(tessel_result* c, bool& whole)
{
    tessel::Result r;
    whole = c != nullptr;
    if (c) {
        r.status = c->status;
        r.error_offset = c->error_offset;
        r.out.assign(c->out, c->out_size);
        r.err.assign(c->err, c->err_size);
        r.trace.assign(c->trace, c->trace_size);
        if (c->diagnostic)
            r.diagnostic = from_c(*c->diagnostic);
    }
    tessel_result_free(c);
    return r;
}

tessel_options options_record(const Text& t)
{
    tessel_options options;
    tessel_options_init(&options);
    options.trace = t.options.trace;
    options.max_output = t.options.max_output;
    options.max_depth = t.options.max_depth;
    return options;
}

tessel::Result through_c(tessel::Translator&, const Text& t, bool& whole)
{
    const tessel_options options = options_record(t);
    tessel_result* c = tessel_translate_with(static_cast<tessel_kind>(t.kind), t.text.data(), t.text.size(), &options);
    failing_allocator::disarm();  // what follows is the test's, not the library's
    return from_c(c, whole);
}

// A C translator made, used and released: memory may run out at any step.
tessel::Result through_c_translator(tessel::Translator&, const Text& t, bool& whole)
{
    const tessel_options options = options_record(t);
    tessel_translator* translator = tessel_translator_new();
    tessel_translator_set_options(translator, &options);
    tessel_result* c = tessel_translator_translate(translator, static_cast<tessel_kind>(t.kind), t.text.data(),
                                                   t.text.size());
    tessel_translator_free(translator);
    failing_allocator::disarm();
    return from_c(c, whole);
}

const Path paths[] = {{"in memory", in_memory},
                      {"streams", streamed},
                      {"C interface", through_c},
                      {"C translator", through_c_translator}};

// How a translation with a failing allocation ended.
enum class Ending { exhausted, write_error, no_result, unacceptable };

Ending ending_of(const Path& path, const tessel::Result& r, bool whole, const std::string& report)
{
    const bool streams = std::strcmp(path.name, "streams") == 0;
    if (!whole)  // the C interface's NULL: its result could not be made
        return Ending::no_result;
    if (r.status == 2 && ends_with(r.err, report) &&
        (!r.diagnostic || r.diagnostic->message == "The translation ran out of memory."))
        return Ending::exhausted;
    // A stream whose buffer could not grow fails, as a full disk does.
    if (streams && r.status == 1 && r.err.find("write error") != std::string::npos)
        return Ending::write_error;
    return Ending::unacceptable;
}

// Fails the n-th allocation of one translation (and every later one when
// persistent); returns false when the translation made fewer than n.
bool fail_at(const Path& path, const Text& t, long n, bool persistent, const tessel::Result& expected)
{
    const std::string what = t.name + " (" + path.name + ", allocation " + std::to_string(n) +
                             (persistent ? " and after" : "") + ")";
    const long held = failing_allocator::held();
    bool reached = true;
    Ending ending = Ending::no_result;
    {
        tessel::Translator translator;
        bool whole = true;
        failing_allocator::arm(n, persistent);
        try {
            tessel::Result r = path.run(translator, t, whole);
            failing_allocator::disarm();
            reached = failing_allocator::failed();
            ending = ending_of(path, r, whole, tessel::error_report(t.kind, "memory exhausted"));
            if (reached && ending == Ending::unacceptable)
                fail(what + ": status " + std::to_string(r.status) + ", err \"" + r.err.substr(0, 120) + "\"");
        } catch (const std::bad_alloc&) {
            failing_allocator::disarm();  // std::bad_alloc: its result could not be made
        }
        bool whole_again = true;
        if (!same(expected, path.run(translator, t, whole_again)))
            fail(what + ": the translator's next translation differs from a new one's");
    }
    if (failing_allocator::held() != held)
        fail(what + ": " + std::to_string(failing_allocator::held() - held) + " blocks leaked");
    if (reached && !persistent)
        ++(ending == Ending::exhausted ? exhausted : ending == Ending::write_error ? write_errors : no_result);
    return reached;
}

std::vector<Text> texts(const std::string& top)
{
    std::vector<Text> all;
    for (const GoldenCase& c : load_all_golden_cases(top))
        all.push_back({c.kind, c.text, tessel::Options(), c.path.substr(top.size() + 1)});
    tessel::Options untraced;
    untraced.trace = false;
    tessel::Options limited;
    limited.max_output = 100;
    all.push_back({Kind::valued21, ";a;?v > 3;o(1),`x y`.", untraced, "a label without trace"});
    all.push_back({Kind::ic3, load_golden_cases(top + "/examples/ic3").front().text, untraced, "a chart without trace"});
    all.push_back({Kind::pure21, ";" + std::string(300, '(') + "a" + std::string(300, ')') + ";b.", tessel::Options(),
                   "a label whose parser stack grows"});
    all.push_back({Kind::pure21, ";" + std::string(16383, 'a') + ";b.", tessel::Options(), "a name too long"});
    all.push_back({Kind::valued21, ";a;;o,p,q,r,s,t,u,v,w.", limited, "a label past its output limit"});
    return all;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (argc < 2) {
        std::cerr << "usage: allocation_failures SOURCE_DIR [STEP]\n";
        return 2;
    }
    const long step = argc > 2 ? std::atol(argv[2]) : 1;
    // Each grammar's tables, made the first time a diagnostic needs them,
    // stay for the process: made now, they are not counted as leaked.
    for (Kind kind : tessel::kinds())
        tessel::translate(kind, "\x01");
    const std::string only = argc > 3 ? argv[3] : "";
    long points = 0, translations = 0;
    for (const Text& t : texts(argv[1]))
        for (const Path& path : paths) {
            if (t.name.find(only) == std::string::npos)
                continue;
            tessel::Translator counting;
            bool whole = true;
            const tessel::Result expected = path.run(counting, t, whole);
            tessel::Translator fresh;
            failing_allocator::arm(0);
            path.run(fresh, t, whole);
            const long made = failing_allocator::made();
            failing_allocator::disarm();
            for (long n = 1; n <= made; n += step) {
                if (!fail_at(path, t, n, false, expected))
                    fail(t.name + " (" + path.name + "): allocation " + std::to_string(n) + " of " +
                         std::to_string(made) + " did not happen");
                ++points;
                if (n % 5 == 1)
                    fail_at(path, t, n, true, expected);
            }
            translations += made;
        }
    std::cout << points << " allocation points failed in turn, each once and from there on; the translations with "
              << "one allocation failing ended with \"memory exhausted\" " << exhausted << " times, a stream's "
              << "write error " << write_errors << " times, and could not make their result " << no_result
              << " times\n";
    if (failures)
        std::cout << failures << " failure(s)\n";
    return failures == 0 ? 0 : 1;
}
