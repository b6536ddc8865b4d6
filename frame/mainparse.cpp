// Entry point, usage text, streams and error routine shared by the four
// translators. Each translator supplies ParserType, its scanner object and
// its parse function (see frame.h).
#include "frame.h"

#include <FlexLexer.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
OutputFile standard_output(STDOUT_FILENO);
}

std::ostream& os = standard_output;
OutputFile f_log;

namespace {

void write_stderr_raw(const std::string& text)
{
    write_all(STDERR_FILENO, text.data(), text.size());
}

[[noreturn]] void abort_with(const std::string& message)
{
    flush_output();
    write_stderr_raw(message);
    std::abort();
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
    write_stderr_raw(text);
}

// True when path names the same regular file as the one described by st.
bool same_file(const char* path, const struct stat& st)
{
    struct stat other;
    return S_ISREG(st.st_mode) && ::stat(path, &other) == 0 &&
           other.st_dev == st.st_dev && other.st_ino == st.st_ino;
}

}  // namespace

void flush_output()
{
    os.flush();
    if (f_log.is_open())
        f_log.flush();
}

void write_stderr(const std::string& text)
{
    flush_output();
    write_stderr_raw(text);
}

void report_error(const char* message)
{
    write_stderr("Tessel intermediate code (" + ParserType + ") Parser:" + message);
    std::_Exit(EXIT_FAILURE);
}

void scanner_fatal(const char* message)
{
    write_stderr(std::string(message) + "\n");
    std::_Exit(2);
}

// A translation whose output did not reach its file is no success: a closed
// or full standard output, or a trace file that could not be written.
static void check_written()
{
    flush_output();
    if (!os)
        report_error("write error on standard output");
    if (!f_log)
        report_error("write error on trace file");
}

void finish(int status)
{
    if (status == 0)
        check_written();
    flush_output();
    std::_Exit(status);
}

const char* engine_message(const char* text)
{
    return std::strcmp(text, "memory exhausted") == 0 ? "parser stack overflow" : text;
}

int scanner_read(std::istream& in, char* buf, int max_size)
{
    if (in.eof() || in.fail() || max_size <= 0)
        return 0;
    std::streambuf* source = in.rdbuf();
    try {
        // Take what the stream holds or can deliver without waiting; when
        // that is nothing, everything written so far must be out before the
        // read that may wait for the next character.
        std::streamsize ready = source->in_avail();
        if (ready <= 0) {
            flush_output();
            if (source->sgetc() == std::char_traits<char>::eof()) {
                in.setstate(std::ios::eofbit);
                return 0;
            }
            ready = source->in_avail();
        }
        std::streamsize wanted = ready < max_size ? ready : max_size;
        std::streamsize got = source->sgetn(buf, wanted < 1 ? 1 : wanted);
        if (got <= 0) {
            in.setstate(std::ios::eofbit);
            return 0;
        }
        return static_cast<int>(got);
    } catch (...) {
        // A failed read (a folder given as input, an I/O error).
        scanner_fatal("input in flex scanner failed");
    }
}

void usage()
{
    write_stderr_raw("Usage: parse" + ParserType + " [options]\n"
                     "\t Options:\n"
                     "\t\t-h \t\t help\n"
                     "\t\t-i in-file name\n"
                     "\t\t-o out-file name\n"
                     "\n");
}

// A standard stream that was closed by the caller keeps its slot, so that
// the files opened later (the trace file) never take its place and receive
// the program's output or messages. The slot is held read-only: writes to
// it fail, and a failed standard output is reported.
static void hold_closed_standard_streams()
{
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd)
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF)
            ::open("/dev/null", O_RDONLY);
}

int main(int argc, char* argv[])
{
    hold_closed_standard_streams();
    // Our streams keep their own buffers; they are flushed whenever the
    // program may wait for input, writes to standard error, or ends.
    std::ios_base::sync_with_stdio(false);

    opterr = 0;
    std::string in_name = "cin";
    std::string out_name = "cout";

    int option;
    while ((option = getopt(argc, argv, "hi:o:")) != -1) {
        switch (option) {
        case 'h':
            usage();
            break;
        case 'i':
            in_name = optarg;
            break;
        case 'o':
            out_name = optarg;
            break;
        default:
            report_bad_option(optopt);
            usage();
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
    const std::string log_name = out_name != "cout" ? out_name : "log";
    if (have_in_stat && same_file(log_name.c_str(), in_stat))
        abort_with("Can't open log for trace. Abort.\n");
    if (!f_log.open(log_name))
        abort_with("Can't open log for trace. Abort.\n");

    translator_lexer().switch_streams(input, &os);
    translator_parse();

    if (in_file.is_open())
        in_file.close();
    check_written();
    f_log.close();
    if (f_log.fail())
        report_error("write error on trace file");
    return 0;
}
