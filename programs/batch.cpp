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

// Header lines longer than this are malformed: a kind name, a blank and at
// most ten digits fit in far fewer.
constexpr size_t max_header = 64;

// One request read from the input, or the reason why none could be.
struct Request {
    enum { text, unknown_kind, end, error } what = end;
    Kind kind = Kind::pure21;
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
        // Read as the text arrives: a size alone takes no memory.
        const size_t size = std::stoul(digits.substr(first));
        char chunk[65536];
        while (r.payload.size() < size) {
            ensure_available();
            std::streamsize n = source_.sgetn(chunk, static_cast<std::streamsize>(
                std::min(sizeof chunk, size - r.payload.size())));
            if (n <= 0)
                return failure("text cut short by the end of input: " + std::to_string(r.payload.size()) +
                               " of " + digits + " bytes");
            r.payload.append(chunk, static_cast<size_t>(n));
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

std::string response_header(const Result& r)
{
    return std::to_string(r.status) + ' ' + std::to_string(r.error_offset) + ' ' + std::to_string(r.out.size()) +
           ' ' + std::to_string(r.err.size()) + ' ' + std::to_string(r.trace.size()) + '\n';
}

std::string unknown_kind(const std::string& name)
{
    return "error unknown kind " + name + "\n";
}

// Translates requests in worker threads; the responses are written in
// request order by the reading thread.
class Pool {
public:
    explicit Pool(int jobs)
    {
        for (int i = 0; i < jobs; ++i)
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

    std::future<std::string> submit(Kind kind, std::string text)
    {
        std::packaged_task<std::string()> task([kind, text = std::move(text)] {
            return response(translate(kind, text));
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
        for (;;) {
            std::packaged_task<std::string()> task;
            {
                std::unique_lock<std::mutex> lock(mutex_);
                ready_.wait(lock, [this] { return stopping_ || !tasks_.empty(); });
                if (tasks_.empty())
                    return;
                task = std::move(tasks_.front());
                tasks_.pop_front();
            }
            task();
        }
    }

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::packaged_task<std::string()>> tasks_;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};

std::future<std::string> ready_response(std::string text)
{
    std::promise<std::string> p;
    p.set_value(std::move(text));
    return p.get_future();
}

int serve_alone(std::istream& in, std::ostream& out)
{
    Reader reader(in, [&out] { out.flush(); });
    for (;;) {
        Request r = reader.next();
        switch (r.what) {
        case Request::text: {
            Result result = translate(r.kind, r.payload);
            write(out, response_header(result));
            write(out, result.out);
            write(out, result.err);
            write(out, result.trace);
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

int serve_in_threads(std::istream& in, std::ostream& out, int jobs)
{
    // Responses not yet written, in request order; at most window of them,
    // so that a fast reader does not hold a whole batch in memory.
    std::deque<std::future<std::string>> pending;
    const size_t window = static_cast<size_t>(jobs) * 16;
    auto write_front = [&] {
        write(out, pending.front().get());
        pending.pop_front();
    };
    auto write_ready = [&] {
        while (!pending.empty() &&
               pending.front().wait_for(std::chrono::seconds(0)) == std::future_status::ready)
            write_front();
    };
    auto write_all = [&] {
        while (!pending.empty())
            write_front();
        out.flush();
    };

    Pool pool(jobs);
    Reader reader(in, write_all);
    for (;;) {
        Request r = reader.next();
        switch (r.what) {
        case Request::text:
            pending.push_back(pool.submit(r.kind, std::move(r.payload)));
            break;
        case Request::unknown_kind:
            pending.push_back(ready_response(unknown_kind(r.name)));
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
        write_ready();
        if (pending.size() >= window)
            write_front();
    }
}

}  // namespace

std::string response(const Result& result)
{
    std::string text = response_header(result);
    text.reserve(text.size() + result.out.size() + result.err.size() + result.trace.size() + 1);
    text += result.out;
    text += result.err;
    text += result.trace;
    text += '\n';
    return text;
}

int serve(std::istream& in, std::ostream& out, int jobs)
{
    return jobs <= 1 ? serve_alone(in, out) : serve_in_threads(in, out, jobs);
}

}  // namespace tessel::batch
