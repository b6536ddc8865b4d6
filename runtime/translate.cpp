// The library's entry points: a text in memory, or a stream read as the
// translation goes.
#include <tessel/translate.h>

#include <algorithm>
#include <istream>

#include "translation.h"

namespace tessel {

namespace {

using runtime::Input;
using runtime::Output;
using runtime::Streams;
using runtime::TextInput;

struct KindInfo {
    const char* name;
    const char* title;
    runtime::Translate translate;
};

const KindInfo kinds[] = {
    {"pure21", "Pure21", runtime::translate_pure21},
    {"valued21", "Valued21", runtime::translate_valued21},
    {"decl", "Decl", runtime::translate_decl},
    {"ic3", "Ic3", runtime::translate_ic3},
};

const KindInfo& info(Kind kind)
{
    return kinds[static_cast<int>(kind)];
}

// A stream: whatever it holds or can deliver without waiting, or, when that
// is nothing, one character, for which it may wait; everything written so
// far is flushed before that wait.
class StreamInput : public Input {
public:
    StreamInput(std::istream& in, Output& out, Output& trace) : in_(in), out_(out), trace_(trace) {}

    int read(char* buf, int max_size) override
    {
        if (in_.eof() || in_.fail() || max_size <= 0)
            return 0;
        std::streambuf* source = in_.rdbuf();
        try {
            std::streamsize ready = source->in_avail();
            if (ready <= 0) {
                out_.flush();
                trace_.flush();
                if (source->sgetc() == std::char_traits<char>::eof()) {
                    in_.setstate(std::ios::eofbit);
                    return 0;
                }
                ready = source->in_avail();
            }
            std::streamsize wanted = ready < max_size ? ready : max_size;
            std::streamsize got = source->sgetn(buf, wanted < 1 ? 1 : wanted);
            if (got <= 0) {
                in_.setstate(std::ios::eofbit);
                return 0;
            }
            return static_cast<int>(got);
        } catch (...) {
            // A failed read (a folder given as input, an I/O error).
            return -1;
        }
    }

private:
    std::istream& in_;
    Output& out_;
    Output& trace_;
};

}  // namespace

Translator::Translator() : resources_(std::make_unique<runtime::Resources>()) {}
Translator::~Translator() = default;
Translator::Translator(Translator&&) noexcept = default;
Translator& Translator::operator=(Translator&&) noexcept = default;

Result Translator::translate(Kind kind, std::string_view text, const Options& options)
{
    Result result;
    // A label's script is some hundred bytes, a chart's text several times
    // its own size: room for both saves the first growth steps.
    result.out.reserve(std::max<size_t>(1024, text.size()));
    if (options.commands)
        result.commands.reserve(16);
    TextInput in(text);
    Output out(result.out), err(result.err), trace(result.trace);
    Outcome outcome = info(kind).translate(Streams{in, out, err, trace},
                                           options.commands ? &result.commands : nullptr, *resources_);
    result.status = outcome.status;
    result.error_offset = outcome.error_offset;
    return result;
}

Outcome Translator::translate(Kind kind, std::istream& in, std::ostream& out, std::ostream& err,
                              std::ostream& trace)
{
    Output out_output(out), err_output(err), trace_output(trace);
    StreamInput input(in, out_output, trace_output);
    Outcome outcome = info(kind).translate(Streams{input, out_output, err_output, trace_output}, nullptr,
                                           *resources_);
    if (outcome.status != 0)
        return outcome;
    // Output that did not reach its file is no success.
    out.flush();
    trace.flush();
    const char* failure = !out ? "write error on standard output" : !trace ? "write error on trace file" : nullptr;
    if (failure) {
        std::string report = error_report(kind, failure);
        err.write(report.data(), static_cast<std::streamsize>(report.size()));
        err.flush();
        outcome.status = 1;
    }
    return outcome;
}

Result translate(Kind kind, std::string_view text)
{
    return Translator().translate(kind, text);
}

Result translate(Kind kind, std::string_view text, const Options& options)
{
    return Translator().translate(kind, text, options);
}

Outcome translate(Kind kind, std::istream& in, std::ostream& out, std::ostream& err, std::ostream& trace)
{
    return Translator().translate(kind, in, out, err, trace);
}

bool kind_from_name(std::string_view name, Kind& kind)
{
    for (int i = 0; i < 4; ++i)
        if (name == kinds[i].name) {
            kind = static_cast<Kind>(i);
            return true;
        }
    return false;
}

const char* kind_name(Kind kind)
{
    return info(kind).name;
}

const char* kind_title(Kind kind)
{
    return info(kind).title;
}

std::string error_report(Kind kind, std::string_view message)
{
    std::string report = "Tessel intermediate code (";
    report += kind_title(kind);
    report += ") Parser:";
    report += message;
    return report;
}

const char* version()
{
    return TESSEL_VERSION;
}

}  // namespace tessel
