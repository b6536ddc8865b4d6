#include "translation.h"

#include <cstring>

#include "language.h"
#include "script.h"

namespace tessel::runtime {

Resources::Resources()
{
    // Room for a label's tokens and values: a translation grows them
    // only when its text is longer.
    tokens.reserve(64);
    values_.reserve(16);
    spare_.reserve(32);
}
Resources::~Resources() = default;

std::string* Resources::value()
{
    if (!spare_.empty()) {
        std::string* v = spare_.back();
        spare_.pop_back();
        return v;
    }
    // Room for every value among the spare ones, so that releasing and
    // reclaiming never need memory.
    if (spare_.capacity() <= values_.size())
        spare_.reserve(2 * (values_.size() + 1));
    values_.push_back(std::make_unique<std::string>());
    return values_.back().get();
}

std::unique_ptr<TokenSource>& Resources::scanner(const Language& language)
{
    for (auto& [owner, scanner] : scanners_)
        if (owner == &language)
            return scanner;
    return scanners_.emplace_back(&language, nullptr).second;
}

void Resources::reclaim_values()
{
    spare_.clear();
    for (const auto& v : values_)
        spare_.push_back(v.get());
}

Translation::Translation(const Language& language, const Streams& streams, const Options& options,
                         std::vector<Command>* commands, Resources& resources)
    : out(streams.out), trace_file(streams.trace), language_(language), options_(options), in_(streams.in),
      err_(streams.err), commands_(commands), resources_(resources)
{
    if (options.max_output > 0)
        budget_.left = options.max_output;
    for (Output* o : {&out, &err_, &trace_file})
        o->set_budget(&budget_);
    resources_.tokens.clear();
    resources_.spans.clear();
}

Translation::~Translation()
{
    for (Output* o : {&out, &err_, &trace_file})
        o->set_budget(nullptr);
}

void Translation::trace_record(const char* text, std::string_view value)
{
    if (language_.trace_in_file)
        trace(trace_file, text, value);
    else
        debug_line(*this, text, value);
}

std::string* Translation::value(std::string_view text)
{
    std::string* v = resources_.value();
    v->assign(text.data(), text.size());
    return v;
}

void Translation::release(std::string* value)
{
    if (value)
        resources_.release(value);
}

void* Translation::parser_stack(size_t bytes)
{
    parser_stacks_.reserve(parser_stacks_.size() + 1);
    parser_stacks_.push_back(std::make_unique<char[]>(bytes));
    return parser_stacks_.back().get();
}

void Translation::free_parser_stack(void* stack)
{
    for (auto& s : parser_stacks_)
        if (s.get() == stack) {
            s.swap(parser_stacks_.back());
            parser_stacks_.pop_back();
            return;
        }
}

void Translation::attach(TokenSource& scanner)
{
    scanner_ = &scanner;
}

int Translation::next_token()
{
    int code = scanner_->next();
    at_end_ = code <= 0;
    if (options_.diagnostic)
        resources_.tokens.push_back(static_cast<unsigned short>(at_end_ ? 0 : code));
    return code;
}

std::string_view Translation::whole_token() const
{
    return std::string_view(scanner_->text(), static_cast<size_t>(scanner_->length()));
}

int Translation::read(char* buf, int max_size)
{
    int got = in_.read(buf, max_size);
    if (got > 0)
        delivered_ += got;
    return got;
}

void Translation::write_err(std::string_view text)
{
    if (ended())
        return;
    out.flush();
    trace_file.flush();
    err_.write(text);
    err_.flush();
}

void Translation::fail(Stop why, int status, std::string_view text)
{
    if (ended())
        return;
    // Where it stopped first, while the scanner shows it: the report may
    // not fit (out of memory), and the place is its diagnostic.
    ending_.stop = why;
    if (scanner_) {
        TokenSource::Token which = why == Stop::scanner ? TokenSource::Token::failed
                                   : at_end_            ? TokenSource::Token::end
                                                        : TokenSource::Token::current;
        ending_.place = scanner_->place(delivered_, which);
    } else {
        ending_.place.offset = delivered_;
    }
    ending_.error_offset = ending_.place.offset;
    budget_.left = SIZE_MAX;  // the report is written whatever the limit
    write_err(text);
    ending_.status = status;
}

void Translation::parser_error(const char* message)
{
    if (std::strcmp(message, "syntax error") == 0) {
        ending_.message = message;
        fail(Stop::syntax_error, 1, error_report(language_, message));
    } else {  // the parser's stack is full
        ending_.message = "parser stack overflow";
        fail(Stop::stack, 1, error_report(language_, ending_.message));
    }
}

void Translation::action_error(const char* message, const char* code, std::string advice)
{
    ending_.message = message;
    ending_.code = code;
    ending_.advice = std::move(advice);
    fail(Stop::action_error, 1, error_report(language_, message));
}

void Translation::action_failure(int status, std::string_view text, const char* code, std::string advice)
{
    ending_.message = std::string(text);
    ending_.code = code;
    ending_.advice = std::move(advice);
    fail(Stop::action_error, status, text);
}

void Translation::stop(Stop why, std::string_view message)
{
    // Whatever values the parse held are spare again; then the report.
    resources_.reclaim_values();
    if (ended())
        return;
    ending_.message = std::string(message);
    if (why == Stop::scanner)
        fail(why, 2, ending_.message + "\n");
    else
        fail(why, 2, error_report(language_, message));
}

void recent_places(const Language& language, Resources& resources)
{
    resources.spans.clear();
    resources.spans_from = 0;
    if (const std::unique_ptr<TokenSource>& scanner = resources.scanner(language))
        resources.spans_from = scanner->recent(resources.spans);
}

}  // namespace tessel::runtime
