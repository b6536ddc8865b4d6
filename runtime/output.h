// Where a translation writes each of its streams: a string (the in-memory
// entry point) or a stream (the streaming one). Writing to a string needs no
// stream object at all: a translation takes a few microseconds, and setting
// up standard streams is a good part of that.
#ifndef TESSEL_RUNTIME_OUTPUT_H
#define TESSEL_RUNTIME_OUTPUT_H

#include <ostream>
#include <string>
#include <string_view>

namespace tessel::runtime {

class Output {
public:
    explicit Output(std::string& text) : text_(&text) {}
    explicit Output(std::ostream& stream) : stream_(&stream) {}

    void write(const char* data, size_t size)
    {
        if (text_) {
            text_->append(data, size);
            return;
        }
        pending_ = true;
        if (stream_->rdbuf()->sputn(data, static_cast<std::streamsize>(size)) != static_cast<std::streamsize>(size))
            stream_->setstate(std::ios::badbit);
    }
    void write(std::string_view text) { write(text.data(), text.size()); }

    Output& operator<<(std::string_view text)
    {
        write(text);
        return *this;
    }
    Output& operator<<(char c)
    {
        write(&c, 1);
        return *this;
    }

    // Pushes what was written to a stream since the last flush to its file.
    // (Before every read that may wait: often nothing.)
    void flush()
    {
        if (pending_) {
            stream_->flush();
            pending_ = false;
        }
    }

private:
    std::string* text_ = nullptr;
    std::ostream* stream_ = nullptr;
    bool pending_ = false;
};

}  // namespace tessel::runtime

#endif
