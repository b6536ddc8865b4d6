#include "frame.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <optional>
#include <streambuf>
#include <fstream>
#include <iostream>
#include <string>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "language.h"
#include "outfile.h"

namespace tessel::program {

namespace {

void write_stderr(const std::string& text)
{
    write_all(STDERR_FILENO, text.data(), text.size());
}

#ifdef TESSEL_COVERAGE
extern "C" void __gcov_dump();
#endif

[[noreturn]] void abort_with(const std::string& message)
{
    write_stderr(message);
#ifdef TESSEL_COVERAGE
    // An abort skips the exit handlers that write out the coverage counts.
    __gcov_dump();
#endif
    std::abort();
}

void usage(Kind kind)
{
    write_stderr(std::string("Usage: ") + runtime::language(kind).usage_name + " [options]\n"
                 "\t Options:\n"
                 "\t\t-h \t\t help\n"
                 "\t\t-i in-file name\n"
                 "\t\t-o out-file name\n"
                 "\n");
}

void report_bad_option(int option)
{
    // getopt stores the option byte as a char; show it as the byte it is.
    unsigned char byte = static_cast<unsigned char>(option);
    char text[64];
    if (std::isprint(byte))
        std::snprintf(text, sizeof text, "Unknown option `-%c'.\n", byte);
    else
        std::snprintf(text, sizeof text, "Unknown option character `\\x%x'.\n", byte);
    write_stderr(text);
}

// True when path names the same regular file as the one described by st.
bool same_file(const char* path, const struct stat& st)
{
    struct stat other;
    return S_ISREG(st.st_mode) && ::stat(path, &other) == 0 &&
           other.st_dev == st.st_dev && other.st_ino == st.st_ino;
}

// A standard stream that was closed by the caller keeps its slot, so that
// the files opened later (the trace file) never take its place and receive
// the program's output or messages. The slot is held read-only: writes to
// it fail, and a failed standard output is reported.
void hold_closed_standard_streams()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF)
            ::open("/dev/null", O_RDONLY);
}

// The input as the translation reads it, with a copy of what it delivered,
// for the place shown with -d. It hands over what its source has ready, or
// waits for one character, as the source itself would.
class RecordingBuffer : public std::streambuf {
public:
    explicit RecordingBuffer(std::streambuf* source) : source_(source) {}
    const std::string& recorded() const { return recorded_; }

protected:
    std::streamsize showmanyc() override { return source_->in_avail(); }
    int_type underflow() override
    {
        std::streamsize wanted = std::min<std::streamsize>(std::max<std::streamsize>(source_->in_avail(), 1),
                                                           static_cast<std::streamsize>(sizeof chunk_));
        std::streamsize got = source_->sgetn(chunk_, wanted);
        if (got <= 0)
            return traits_type::eof();
        // What came with the character waited for (the rest of one write
        // to a pipe), as the translation would have had it without waiting.
        const std::streamsize more = std::min<std::streamsize>(std::max<std::streamsize>(source_->in_avail(), 0),
                                                               static_cast<std::streamsize>(sizeof chunk_) - got);
        if (more > 0)
            got += std::max<std::streamsize>(source_->sgetn(chunk_ + got, more), 0);
        recorded_.append(chunk_, static_cast<size_t>(got));
        setg(chunk_, chunk_, chunk_ + got);
        return traits_type::to_int_type(chunk_[0]);
    }

private:
    std::streambuf* source_;
    std::string recorded_;
    char chunk_[16384];
};

// With -d: after the error report, on a line of its own, where and why, as
// compilers write it for the editors that read them (FILE:LINE:COLUMN:),
// with the message's code, then the line and a mark under the place.
void write_diagnostic(OutputFile& err, const std::string& file, const Diagnostic& d, const std::string& text)
{
    if (!err.at_line_start())
        err << '\n';
    err << file << ':' << d.line << ':' << d.column << ": error: " << d.message << " [" << d.code << "]\n"
        << excerpt(text, d);
    err.flush();
}

}  // namespace

int translator_main(Kind kind, int argc, char* argv[])
{
    hold_closed_standard_streams();
    // Our streams keep their own buffers; the library flushes them whenever
    // it may wait for input or writes to standard error.
    std::ios_base::sync_with_stdio(false);

    opterr = 0;
    std::string in_name = "cin";
    std::string out_name = "cout";
    Options options;
    options.commands = false;
    options.diagnostic = false;

    int option;
    while ((option = getopt(argc, argv, "dhi:o:")) != -1) {
        switch (option) {
        case 'd':
            options.diagnostic = true;
            break;
        case 'h':
            usage(kind);
            break;
        case 'i':
            in_name = optarg;
            break;
        case 'o':
            out_name = optarg;
            break;
        default:
            report_bad_option(optopt);
            usage(kind);
            return 1;
        }
    }

    std::ifstream in_file;
    std::istream* input = &std::cin;
    struct stat in_stat;
    bool have_in_stat;
    if (in_name != "cin") {
        in_file.open(in_name);
        if (!in_file.is_open())
            abort_with("Can't open " + in_name + "for input. Abort.\n");
        input = &in_file;
        have_in_stat = ::stat(in_name.c_str(), &in_stat) == 0;
    } else {
        have_in_stat = ::fstat(STDIN_FILENO, &in_stat) == 0;
    }

    // Opening the trace file empties it: never do that to the input itself.
    OutputFile trace_file;
    const std::string log_name = out_name != "cout" ? out_name : "log";
    if (have_in_stat && same_file(log_name.c_str(), in_stat))
        abort_with("Can't open log for trace. Abort.\n");
    if (!trace_file.open(log_name))
        abort_with("Can't open log for trace. Abort.\n");

    OutputFile out(STDOUT_FILENO);
    OutputFile err(STDERR_FILENO, 4096);
    std::optional<RecordingBuffer> recording;
    std::optional<std::istream> recorded_input;
    if (options.diagnostic) {
        recording.emplace(input->rdbuf());
        recorded_input.emplace(&*recording);
        input = &*recorded_input;
    }
    Outcome outcome = translate(kind, *input, out, err, trace_file, options);
    int status = outcome.status;
    if (outcome.diagnostic)
        write_diagnostic(err, in_name == "cin" ? "<stdin>" : in_name, *outcome.diagnostic, recording->recorded());

    trace_file.close();
    if (status == 0 && trace_file.fail()) {
        write_stderr(error_report(kind, "write error on trace file"));
        status = 1;
    }
    return status;
}

}  // namespace tessel::program
