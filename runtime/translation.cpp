#include "translation.h"

namespace tessel::runtime {

Resources::Resources() = default;

Resources::~Resources()
{
    for (std::string* v : spare_values)
        delete v;
}

Translation::Translation(Kind kind, const Streams& streams, std::vector<Command>* commands,
                         Resources& resources)
    : os(streams.out), f_log(streams.trace), kind_(kind), in_(streams.in), err_(streams.err),
      commands_(commands), resources_(resources)
{
}

Translation::~Translation() = default;

std::string* Translation::value(std::string_view text)
{
    std::vector<std::string*>& spare = resources_.spare_values;
    if (spare.empty())
        return new std::string(text);
    std::string* v = spare.back();
    spare.pop_back();
    v->assign(text.data(), text.size());
    return v;
}

void Translation::release(std::string* value)
{
    if (value)
        resources_.spare_values.push_back(value);
}

void Translation::attach(TokenSource& scanner)
{
    scanner_ = &scanner;
}

int Translation::next_token(int error_token)
{
    try {
        int code = scanner_->next();
        at_end_ = code <= 0;
        return code;
    } catch (const ScannerFailure& failure) {
        fail(2, std::string(failure.what()) + "\n");
        return error_token;
    }
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
    os.flush();
    f_log.flush();
    err_.write(text);
    err_.flush();
}

void Translation::fail(int status, std::string_view text)
{
    if (ended())
        return;
    write_err(text);
    status_ = status;
    error_offset_ = at_end_ || !scanner_ ? delivered_ : scanner_->offset(delivered_);
}

void Translation::report_error(const char* message)
{
    fail(1, error_report(kind_, message));
}

Outcome Translation::outcome() const
{
    return Outcome{status_, error_offset_};
}

}  // namespace tessel::runtime
