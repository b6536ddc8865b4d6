// Where a translation writes each of its streams: a string (the in-memory
// entry point) or a stream (the streaming one). Writing to a string needs no
// stream object at all: a translation takes a few microseconds, and setting
// up standard streams is a good part of that.
#ifndef TESSEL_RUNTIME_OUTPUT_H
#define TESSEL_RUNTIME_OUTPUT_H

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <ostream>
#include <string>
#include <string_view>

namespace tessel::runtime {

// Thrown by a write that would take a translation's output past its limit.
struct OutputLimitExceeded {};

// What a translation may still write to its three streams together (no
// limit: as many bytes as memory can hold).
struct OutputBudget {
    size_t left = SIZE_MAX;
};

class Output {
public:
    explicit Output(std::string& text) : text_(&text) {}
    explicit Output(std::ostream& stream) : stream_(&stream) {}
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    // Shares a budget with the other streams of the translation (null: its
    // own, without limit).
    void set_budget(OutputBudget* budget) { budget_ = budget ? budget : &unlimited_; }

    // Writes all of it, or, past the budget, nothing and throws
    // OutputLimitExceeded.
    void write(const char* data, size_t size)
    {
        if (size > budget_->left)
            throw OutputLimitExceeded();
        budget_->left -= size;
        if (text_) {
            text_->append(data, size);
            return;
        }
        pending_ = true;
        if (stream_->rdbuf()->sputn(data, static_cast<std::streamsize>(size)) != static_cast<std::streamsize>(size))
            stream_->setstate(std::ios::badbit);
    }
    void write(std::string_view text) { write(text.data(), text.size()); }

    // Writes the parts one after the other (a line at once).
    void write(std::initializer_list<std::string_view> parts)
    {
        size_t size = 0;
        for (std::string_view part : parts)
            size += part.size();
        if (!text_) {
            for (std::string_view part : parts)
                write(part);
            return;
        }
        if (size > budget_->left)
            throw OutputLimitExceeded();
        budget_->left -= size;
        // Geometrically: libc++'s reserve() takes exactly what it is asked
        // for, and growing by each line's size copied all of it every time.
        if (text_->capacity() - text_->size() < size)
            text_->reserve(std::max(text_->size() + size, 2 * text_->capacity()));
        for (std::string_view part : parts)
            text_->append(part.data(), part.size());
    }

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
    OutputBudget unlimited_;
    OutputBudget* budget_ = &unlimited_;
    bool pending_ = false;
};

}  // namespace tessel::runtime

#endif
