#include "batch.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace tessel::batch {

namespace {

// Answers carry the bytes (and the diagnostic), no commands.
Options translation_options(const Settings& settings)
{
    Options o;
    o.commands = false;
    o.diagnostic = settings.diagnostics;
    o.trace = settings.trace;
    o.max_output = settings.max_output;
    o.max_depth = settings.max_depth;
    return o;
}

// Header lines longer than this are malformed: a kind name, a blank and at
// most ten digits fit in far fewer.
constexpr size_t max_header = 64;

// One request read from the input, or the reason why none could be.
struct Request {
    enum { text, unknown_kind, end, error } what = end;
    Kind kind{};
    std::string name;     // the kind as written
    std::string payload;  // the text, or the error message
};

// Reads requests; before a read that may wait, calls before_wait (which
// writes out every pending response).
class Reader {
public:
    Reader(std::istream& in, std::function<void()> before_wait)
        : source_(*in.rdbuf()), before_wait_(std::move(before_wait)) {}

    Request next()
    {
        Request r;
        std::string header;
        int c;
        while ((c = get()) != '\n') {
            if (c == std::char_traits<char>::eof()) {
                if (header.empty())
                    return r;  // the end, after a complete request
                return failure("header cut short by the end of input: \"" + header + "\"");
            }
            if (header.size() == max_header)
                return failure("header line longer than " + std::to_string(max_header) + " bytes");
            header.push_back(static_cast<char>(c));
        }
        size_t blank = header.find(' ');
        std::string digits = blank == std::string::npos ? "" : header.substr(blank + 1);
        r.name = header.substr(0, blank);
        if (r.name.empty() || digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
            return failure("malformed header \"" + header + "\" (expected \"<kind> <size>\")");
        const size_t first = std::min(digits.find_first_not_of('0'), digits.size() - 1);
        if (digits.size() - first > 10 || std::stol(digits.substr(first)) > max_text_size)
            return failure("size " + digits + " larger than " + std::to_string(max_text_size));
        // Read as the text arrives: a size alone takes no memory, the
        // string grows with what has come.
        const size_t size = std::stoul(digits.substr(first));
        while (r.payload.size() < size) {
            ensure_available();
            const size_t have = r.payload.size();
            const size_t want = std::min(size - have, std::max<size_t>(have, 4096));
            r.payload.resize(have + want);
            std::streamsize n = source_.sgetn(&r.payload[have], static_cast<std::streamsize>(want));
            r.payload.resize(have + static_cast<size_t>(std::max<std::streamsize>(n, 0)));
            if (n <= 0)
                return failure("text cut short by the end of input: " + std::to_string(have) + " of " +
                               digits + " bytes");
        }
        r.what = kind_from_name(r.name, r.kind) ? Request::text : Request::unknown_kind;
        return r;
    }

private:
    static Request failure(std::string message)
    {
        Request r;
        r.what = Request::error;
        r.payload = std::move(message);
        return r;
    }

    void ensure_available()
    {
        if (source_.in_avail() <= 0)
            before_wait_();
    }

    int get()
    {
        ensure_available();
        return source_.sbumpc();
    }

    std::streambuf& source_;
    std::function<void()> before_wait_;
};

void write(std::ostream& out, const std::string& text)
{
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// The diagnostic part of a response (empty after a success).
std::string diagnostic_part(const Result& r)
{
    if (!r.diagnostic)
        return "";
    const Diagnostic& d = *r.diagnostic;
    std::string part = std::to_string(d.offset) + ' ' + std::to_string(d.length) + ' ' + std::to_string(d.line) +
                       ' ' + std::to_string(d.column) + ' ' + std::to_string(d.found.size()) + ' ' +
                       std::to_string(d.message.size()) + '\n';
    for (size_t i = 0; i < d.expected.size(); ++i)
        part += (i ? " " : "") + d.expected[i];
    part += '\n' + d.code + ' ' + (d.incomplete ? '1' : '0') + ' ' + (d.rule.empty() ? "-" : d.rule) + '\n';
    for (size_t i = 0; i < d.expecting.size(); ++i)
        part += (i ? "\t" : "") + d.expecting[i];
    part += '\n';
    part += d.found;
    part += d.message;
    return part;
}

std::string response_header(const Result& r, const std::string* diagnostic)
{
    std::string header = std::to_string(r.status) + ' ' + std::to_string(r.error_offset) + ' ' +
                         std::to_string(r.out.size()) + ' ' + std::to_string(r.err.size()) + ' ' +
                         std::to_string(r.trace.size());
    if (diagnostic)
        header += ' ' + std::to_string(diagnostic->size());
    return header + '\n';
}

std::string unknown_kind(const std::string& name)
{
    return "error unknown kind " + name + "\n";
}

// The answer to a request read in full.
std::string answer(Translator& translator, const Request& r, const Settings& settings)
{
    return r.what == Request::text
               ? response(translator.translate(r.kind, r.payload, translation_options(settings)), settings.diagnostics)
               : unknown_kind(r.name);
}

// Answers groups of requests in worker threads; the reading thread writes
// the answers in request order. A group, rather than a request, is the unit
// of work: a label takes a few microseconds, about what handing it to
// another thread costs.
class Pool {
public:
    explicit Pool(const Settings& settings) : settings_(settings)
    {
        for (int i = 0; i < settings.jobs; ++i)
            workers_.emplace_back([this] { work(); });
    }

    ~Pool()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        ready_.notify_all();
        for (auto& w : workers_)
            w.join();
    }

    std::future<std::string> submit(std::vector<Request> group)
    {
        std::packaged_task<std::string(Translator&)> task([this, group = std::move(group)](Translator& translator) {
            std::string answers;
            for (const Request& r : group)
                answers += answer(translator, r, settings_);
            return answers;
        });
        std::future<std::string> result = task.get_future();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            tasks_.push_back(std::move(task));
        }
        ready_.notify_one();
        return result;
    }

private:
    void work()
    {
        Translator translator;  // this thread's
        for (;;) {
            std::packaged_task<std::string(Translator&)> task;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                ready_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
                if (tasks_.empty())
                    return;
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task(translator);
        }
    }

    const Settings& settings_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::packaged_task<std::string(Translator&)>> tasks_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

int serve_alone(std::istream& in, std::ostream& out, const Settings& settings)
{
    Reader reader(in, [&out] { out.flush(); });
    Translator translator;
    const Options options = translation_options(settings);
    for (;;) {
        Request r = reader.next();
        switch (r.what) {
        case Request::text: {
            Result result = translator.translate(r.kind, r.payload, options);
            const std::string diagnostic = diagnostic_part(result);
            write(out, response_header(result, settings.diagnostics ? &diagnostic : nullptr));
            write(out, result.out);
            write(out, result.err);
            write(out, result.trace);
            write(out, diagnostic);
            out.put('\n');
            break;
        }
        case Request::unknown_kind:
            write(out, unknown_kind(r.name));
            break;
        case Request::end:
            out.flush();
            return 0;
        case Request::error:
            write(out, "error " + r.payload + "\n");
            out.flush();
            return 2;
        }
    }
}

int serve_in_threads(std::istream& in, std::ostream& out, const Settings& settings)
{
    const auto jobs = static_cast<size_t>(settings.jobs);
    // Requests are handed over in groups of up to this many texts or bytes.
    const size_t group_texts = 128, group_bytes = 1 << 20;
    // Answers not yet written, a group each, in request order; at most
    // window of them, so that a fast reader does not hold a whole batch.
    const size_t window = jobs * 4;
    std::deque<std::future<std::string>> pending;
    std::vector<Request> group;
    size_t group_size = 0;

    Pool pool(settings);
    auto hand_over = [&] {
        if (!group.empty())
            pending.push_back(pool.submit(std::move(group)));
        group.clear();
        group_size = 0;
    };
    auto write_front = [&] {
        write(out, pending.front().get());
        pending.pop_front();
    };
    // Before a read that may wait: every answer out.
    auto write_all = [&] {
        hand_over();
        while (!pending.empty())
            write_front();
        out.flush();
    };

    Reader reader(in, write_all);
    for (;;) {
        Request r = reader.next();
        switch (r.what) {
        case Request::text:
        case Request::unknown_kind:
            group_size += r.payload.size();
            group.push_back(std::move(r));
            if (group.size() == group_texts || group_size >= group_bytes)
                hand_over();
            break;
        case Request::end:
            write_all();
            return 0;
        case Request::error:
            write_all();
            write(out, "error " + r.payload + "\n");
            out.flush();
            return 2;
        }
        while (!pending.empty() &&
               (pending.size() > window ||
                pending.front().wait_for(std::chrono::seconds(0)) == std::future_status::ready))
            write_front();
    }
}

}  // namespace

std::string response(const Result& result, bool diagnostics)
{
    const std::string diagnostic = diagnostic_part(result);
    std::string text = response_header(result, diagnostics ? &diagnostic : nullptr);
    text.reserve(text.size() + result.out.size() + result.err.size() + result.trace.size() + diagnostic.size() + 1);
    text += result.out;
    text += result.err;
    text += result.trace;
    if (diagnostics)
        text += diagnostic;
    text += '\n';
    return text;
}

int serve(std::istream& in, std::ostream& out, const Settings& settings)
{
    return settings.jobs <= 1 ? serve_alone(in, out, settings) : serve_in_threads(in, out, settings);
}

}  // namespace tessel::batch
