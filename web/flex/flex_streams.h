// The streams of flex's C++ scanner classes, for the web build only.
//
// flex's scanner class keeps a std::istream and a std::ostream (yyin,
// yyout) and falls back on std::cin, std::cout and std::cerr. Making a
// standard stream makes a std::locale, and that brings in every facet of
// libc++'s locales (money, time, wide characters) and its standard streams:
// about 40 KB of the gzipped module, for streams that no translation uses,
// since the runtime's scanner (runtime/scanner.h) feeds the scanner and takes
// its output and its errors itself (LexerInput, LexerOutput, LexerError).
//
// The web build passes flex's FlexLexer.h and each generated scanner through
// flex_streams.cmake, which names these stand-ins instead of <iostream> and
// the standard streams: the scanners are still flex's, generated from the
// same .l files, and the native build keeps the standard ones. A stand-in
// holds a stream buffer as a standard stream does and reads and writes
// through it, for what flex itself does with yyin and yyout; the standard
// streams it names have no buffer here (a module has no console to read).
#ifndef TESSEL_WEB_FLEX_STREAMS_H
#define TESSEL_WEB_FLEX_STREAMS_H

#include <cstring>
#include <streambuf>

namespace tessel::flex_streams {

// A stream buffer and the state flex asks about.
class stream {
public:
    explicit stream(std::streambuf* buffer) : buffer_(buffer), state_(buffer ? 0 : badbit) {}

    std::streambuf* rdbuf() const { return buffer_; }
    std::streambuf* rdbuf(std::streambuf* buffer)
    {
        std::streambuf* old = buffer_;
        buffer_ = buffer;
        state_ = buffer ? 0 : badbit;
        return old;
    }

    bool operator!() const { return fail(); }
    bool eof() const { return state_ & eofbit; }
    bool fail() const { return state_ & (failbit | badbit); }
    bool bad() const { return state_ & badbit; }

protected:
    enum { eofbit = 1, failbit = 2, badbit = 4 };
    std::streambuf* buffer_;
    int state_;
};

class istream : public stream {
public:
    using stream::stream;

    istream& get(char& c)
    {
        read(&c, 1);
        return *this;
    }
    istream& read(char* s, std::streamsize n)
    {
        count_ = fail() ? 0 : buffer_->sgetn(s, n);
        if (count_ < n)
            state_ |= eofbit | failbit;
        return *this;
    }
    std::streamsize gcount() const { return count_; }

private:
    std::streamsize count_ = 0;
};

class ostream : public stream {
public:
    using stream::stream;

    ostream& write(const char* s, std::streamsize n)
    {
        if (fail() || buffer_->sputn(s, n) != n)
            state_ |= badbit;
        return *this;
    }
};

// std::cin and std::cout as flex names them (their buffers), and std::cerr,
// where flex's own LexerError writes before it ends the process: never
// called here, the runtime's scanner overrides it.
struct no_stream {
    std::streambuf* rdbuf() const { return nullptr; }
    const no_stream& operator<<(const char*) const { return *this; }
    const no_stream& operator<<(const no_stream& (*)(const no_stream&)) const { return *this; }
};
inline constexpr no_stream cin{}, cout{}, cerr{};
inline const no_stream& endl(const no_stream& stream) { return stream; }

}  // namespace tessel::flex_streams

#endif
