// The library for JavaScript (built with emscripten into tessel.wasm): one
// translation at a time through a plain C interface, its result handed over
// as one buffer of tagged values that web/tessel.js decodes without knowing
// their names. A field added to the result is one line here.
//
// The buffer, all numbers little-endian:
//   'N'                    null
//   'B' <u8>               a boolean
//   'I' <f64>              a number
//   'S' <u32 n> <n bytes>  a text of ours (UTF-8: a message, a code)
//   'Y' <u32 n> <n bytes>  bytes from the translation (output, a word of the text)
//   'L' <u32 n> <n values> a list
//   'R' { <u32 n> <n bytes: key> <value> } 'E'   a record
#include <climits>
#include <cstdint>
#include <iterator>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include <tessel/translate.h>

namespace {

class Encoder {
public:
    void null() { buffer_.push_back('N'); }
    void boolean(bool value)
    {
        buffer_.push_back('B');
        buffer_.push_back(value ? 1 : 0);
    }
    void number(double value)
    {
        buffer_.push_back('I');
        raw(&value, sizeof value);
    }
    void text(std::string_view value) { sized('S', value); }
    void bytes(std::string_view value) { sized('Y', value); }
    template <typename List, typename Put>
    void list(const List& items, Put put)
    {
        buffer_.push_back('L');
        size(std::size(items));
        for (const auto& item : items)
            put(item);
    }
    void texts(const std::vector<std::string>& items)
    {
        list(items, [this](const std::string& item) { text(item); });
    }
    void record() { buffer_.push_back('R'); }
    Encoder& key(std::string_view name)
    {
        size(name.size());
        buffer_.append(name);
        return *this;
    }
    void end() { buffer_.push_back('E'); }

    void clear() { buffer_.clear(); }
    const std::string& data() const { return buffer_; }

private:
    void raw(const void* data, std::size_t size) { buffer_.append(static_cast<const char*>(data), size); }
    void size(std::size_t n)
    {
        auto value = static_cast<std::uint32_t>(n);
        raw(&value, sizeof value);
    }
    void sized(char tag, std::string_view value)
    {
        buffer_.push_back(tag);
        size(value.size());
        buffer_.append(value);
    }

    std::string buffer_;
};

void put_diagnostic(Encoder& e, const tessel::Diagnostic& d)
{
    e.record();
    e.key("offset").number(static_cast<double>(d.offset));
    e.key("length").number(static_cast<double>(d.length));
    e.key("line").number(d.line);
    e.key("column").number(d.column);
    e.key("found").bytes(d.found);
    e.key("expected").texts(d.expected);
    e.key("expecting").texts(d.expecting);
    e.key("code").text(d.code);
    e.key("incomplete").boolean(d.incomplete);
    e.key("rule").text(d.rule);
    e.key("message").text(d.message);
    e.end();
}

void put_result(Encoder& e, const tessel::Result& r)
{
    e.record();
    e.key("status").number(r.status);
    e.key("offset").number(static_cast<double>(r.error_offset));
    e.key("out").bytes(r.out);
    e.key("err").bytes(r.err);
    e.key("trace").bytes(r.trace);
    e.key("commands").list(r.commands, [&e](const tessel::Command& command) {
        e.list(command, [&e](const std::string& word) { e.bytes(word); });
    });
    if (r.diagnostic)
        put_diagnostic(e.key("diagnostic"), *r.diagnostic);
    else
        e.key("diagnostic").null();
    e.end();
}

// A caller's translator and the buffer of its last result: JavaScript
// makes one per loaded module and keeps its address.
struct Session {
    tessel::Translator translator;
    Encoder encoder;
};

}  // namespace

extern "C" {

__attribute__((used)) Session* tessel_web_open()
{
    return new (std::nothrow) Session;
}

__attribute__((used)) void tessel_web_close(Session* s)
{
    delete s;
}

// The kinds' names and the library's version, one record, in the buffer
// that tessel_web_size measures.
__attribute__((used)) const char* tessel_web_about(Session* s)
{
    Encoder& e = s->encoder;
    e.clear();
    e.record();
    e.key("kinds").list(tessel::kinds(), [&e](tessel::Kind kind) { e.text(tessel::kind_name(kind)); });
    e.key("version").text(tessel::version());
    e.end();
    return e.data().data();
}

// Translates size bytes at text as kind (its name); trace 0 or 1; a negative
// max_output or max_depth takes the embedded default. Returns the encoded
// result, or null when the kind is unknown; valid until the next call.
__attribute__((used)) const char* tessel_web_translate(Session* s, const char* kind_name, const char* text,
                                                       std::size_t size, int trace, double max_output,
                                                       double max_depth)
{
    tessel::Kind kind;
    if (!tessel::kind_from_name(kind_name, kind))
        return nullptr;
    tessel::Options options = tessel::Options::embedded();
    options.trace = trace != 0;
    // (Past what the types hold, a limit is as good as the largest: a
    // conversion out of range would trap.)
    if (max_output >= 0)
        options.max_output = max_output < static_cast<double>(SIZE_MAX) ? static_cast<std::size_t>(max_output) : SIZE_MAX;
    if (max_depth >= 0)
        options.max_depth = max_depth < static_cast<double>(LONG_MAX) ? static_cast<long>(max_depth) : LONG_MAX;
    Encoder& e = s->encoder;
    e.clear();
    put_result(e, s->translator.translate(kind, std::string_view(text, size), options));
    return e.data().data();
}

__attribute__((used)) std::size_t tessel_web_size(Session* s)
{
    return s->encoder.data().size();
}

}  // extern "C"
