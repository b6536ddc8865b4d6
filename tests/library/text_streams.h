// Input streams over a text for the streaming entry point: the whole text at
// once, or one byte per read (the reference for the scanner's buffer
// boundaries).
#ifndef TESSEL_TESTS_TEXT_STREAMS_H
#define TESSEL_TESTS_TEXT_STREAMS_H

#include <sstream>
#include <streambuf>
#include <string>

#include <tessel/translate.h>

// Hands out one byte per read and never tells that more is ready.
class OneByteBuffer : public std::streambuf {
public:
    explicit OneByteBuffer(const std::string& text) : text_(text) {}

protected:
    int_type underflow() override
    {
        if (next_ >= text_.size())
            return traits_type::eof();
        current_ = text_[next_++];
        setg(&current_, &current_, &current_ + 1);
        return traits_type::to_int_type(current_);
    }

private:
    const std::string& text_;
    size_t next_ = 0;
    char current_ = 0;
};

// A streamed translation's outcome and what it wrote, as a Result.
inline tessel::Result as_result(const tessel::Outcome& o, const std::ostringstream& out, const std::ostringstream& err,
                                const std::ostringstream& trace)
{
    tessel::Result r;
    r.status = o.status;
    r.error_offset = o.error_offset;
    r.out = out.str();
    r.err = err.str();
    r.trace = trace.str();
    r.diagnostic = o.diagnostic;
    return r;
}

// The streaming entry point's results, gathered like the in-memory ones
// (through translator when given).
inline tessel::Result translate_stream(tessel::Kind kind, std::istream& in, tessel::Translator* translator = nullptr)
{
    std::ostringstream out, err, trace;
    tessel::Outcome o = translator ? translator->translate(kind, in, out, err, trace)
                                   : tessel::translate(kind, in, out, err, trace);
    return as_result(o, out, err, trace);
}

inline tessel::Result translate_bytewise(tessel::Kind kind, const std::string& text,
                                         tessel::Translator* translator = nullptr)
{
    OneByteBuffer buffer(text);
    std::istream in(&buffer);
    return translate_stream(kind, in, translator);
}

#endif
