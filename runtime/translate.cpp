// The library's entry points: a text in memory, or a stream read as the
// translation goes.
#include <tessel/translate.h>

#include <algorithm>
#include <istream>
#include <iterator>

#include "diagnosis.h"
#include "language.h"
#include "translation.h"

namespace tessel {

namespace {

using runtime::Input;
using runtime::Language;
using runtime::Output;
using runtime::Streams;
using runtime::TextInput;

// The options as a translation keeps them: the parser's stack has room
// for its first entries whatever the capacity asked for.
Options effective(const Options& options)
{
    Options o = options;
    o.max_depth = std::max(options.max_depth, Options::least_depth);
    return o;
}

// The diagnostic of a translation that failed, when the caller wants it.
std::optional<Diagnostic> diagnostic_of(const Language& language, const runtime::Ending& ending,
                                        runtime::Resources& resources, const Input& input, const Options& options)
{
    if (ending.status == 0 || !options.diagnostic)
        return std::nullopt;
    runtime::recent_places(language, resources);
    return runtime::diagnose(language, ending, resources, input.kept(), options);
}

// A stream: whatever it holds or can deliver without waiting, or, when that
// is nothing, one character, for which it may wait; everything written so
// far is flushed before that wait. When asked, it keeps what it delivered.
class StreamInput : public Input {
public:
    StreamInput(std::istream& in, Output& out, Output& trace, bool keep)
        : in_(in), out_(out), trace_(trace), keep_(keep)
    {
    }

    std::string_view kept() const override { return kept_; }

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
            if (keep_)
                kept_.append(buf, static_cast<size_t>(got));
            return static_cast<int>(got);
        } catch (const std::bad_alloc&) {
            throw;
        } catch (...) {
            // A failed read (a folder given as input, an I/O error).
            return -1;
        }
    }

private:
    std::istream& in_;
    Output& out_;
    Output& trace_;
    bool keep_;
    std::string kept_;
};

}  // namespace

Translator::Translator() : resources_(std::make_unique<runtime::Resources>()) {}
Translator::~Translator() = default;
Translator::Translator(Translator&&) noexcept = default;
Translator& Translator::operator=(Translator&&) noexcept = default;

Result Translator::translate(Kind kind, std::string_view text, const Options& asked)
{
    const Options options = effective(asked);
    Result result;
    // A label's script is some hundred bytes, a chart's text several times
    // its own size: room for both saves the first growth steps.
    result.out.reserve(std::max<size_t>(1024, text.size()));
    if (options.commands)
        result.commands.reserve(16);
    TextInput in(text);
    Output out(result.out), err(result.err), trace(result.trace);
    const Language& language = runtime::language(kind);
    runtime::Ending ending = language.translate(language, Streams{in, out, err, trace}, options,
                                                options.commands ? &result.commands : nullptr, *resources_);
    result.status = ending.status;
    result.error_offset = ending.error_offset;
    result.diagnostic = diagnostic_of(language, ending, *resources_, in, options);
    return result;
}

Outcome Translator::translate(Kind kind, std::istream& in, std::ostream& out, std::ostream& err,
                              std::ostream& trace, const Options& asked)
{
    const Options options = effective(asked);
    Output out_output(out), err_output(err), trace_output(trace);
    StreamInput input(in, out_output, trace_output, options.diagnostic);
    const Language& language = runtime::language(kind);
    runtime::Ending ending =
        language.translate(language, Streams{input, out_output, err_output, trace_output}, options, nullptr, *resources_);
    Outcome outcome{ending.status, ending.error_offset, diagnostic_of(language, ending, *resources_, input, options)};
    if (outcome.status != 0)
        return outcome;
    // Output that did not reach its file is no success.
    out.flush();
    trace.flush();
    const char* failure = !out ? "write error on standard output" : !trace ? "write error on trace file" : nullptr;
    if (failure) {
        std::string report = runtime::error_report(language, failure);
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

Outcome translate(Kind kind, std::istream& in, std::ostream& out, std::ostream& err, std::ostream& trace,
                  const Options& options)
{
    return Translator().translate(kind, in, out, err, trace, options);
}

const char* version()
{
    return TESSEL_VERSION;
}

}  // namespace tessel
