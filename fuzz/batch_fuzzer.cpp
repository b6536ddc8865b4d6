// The batch protocol reader, on any bytes: it ends with status 0 or 2; its
// output is a sequence of well-formed answers, an error that ends the batch
// coming last and only with status 2; each translated text's answer is the
// library's result for it; and translating in two threads answers with the
// same bytes as one.
#include <sstream>
#include <string>

#include <tessel/translate.h>

#include "batch.h"
#include "check.h"

namespace {

// Serves the stream; returns the status and fills output.
int serve(const std::string& stream, int jobs, std::string& output)
{
    std::istringstream in(stream);
    std::ostringstream out;
    tessel::batch::Settings settings;
    settings.jobs = jobs;
    settings.max_output = 0;
    int status = tessel::batch::serve(in, out, settings);
    output = out.str();
    return status;
}

// Takes one line (without its newline) from text at pos; false at the end.
bool take_line(const std::string& text, size_t& pos, std::string& line)
{
    size_t end = text.find('\n', pos);
    if (end == std::string::npos)
        return false;
    line = text.substr(pos, end - pos);
    pos = end + 1;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const std::string stream(reinterpret_cast<const char*>(data), size);
    std::string output;
    const int status = serve(stream, 1, output);
    CHECK(status == 0 || status == 2, "status 0 or 2");

    // Walk the requests and the answers side by side.
    size_t in = 0, out = 0;
    std::string header, answer_header;
    bool ended_by_error = false;
    while (take_line(stream, in, header)) {
        CHECK(take_line(output, out, answer_header), "an answer to every request read");
        const size_t blank = header.find(' ');
        if (answer_header.compare(0, 6, "error ") == 0 && answer_header.compare(0, 19, "error unknown kind ") != 0) {
            ended_by_error = true;
            break;
        }
        CHECK(blank != std::string::npos, "a header with a blank");
        const size_t text_size = std::stoul(header.substr(blank + 1));
        const std::string text = stream.substr(in, text_size);
        in += text_size;
        tessel::Kind kind;
        if (!tessel::kind_from_name(header.substr(0, blank), kind)) {
            CHECK(answer_header == "error unknown kind " + header.substr(0, blank), "unknown kind");
            continue;
        }
        const std::string expected = tessel::batch::response(tessel::translate(kind, text));
        CHECK(output.compare(out - answer_header.size() - 1, expected.size(), expected) == 0,
              "the answer is the library's result");
        out += expected.size() - answer_header.size() - 1;
    }
    if (!ended_by_error && in < stream.size()) {
        // A header cut short by the end of the input.
        CHECK(take_line(output, out, answer_header) && answer_header.compare(0, 6, "error ") == 0,
              "an error for a header cut short");
        ended_by_error = true;
    }
    CHECK(ended_by_error == (status == 2), "an error ends the batch exactly when the status is 2");
    CHECK(out == output.size(), "nothing after the last answer");

    std::string threaded;
    CHECK(serve(stream, 2, threaded) == status && threaded == output, "two threads answer as one");
    return 0;
}
