// One translator through the library, on any bytes. Beyond "no crash, no
// sanitizer report, no leak": the status is 0, 1 or 2 and the error offset
// lies within the text; the streaming entry point, fed one byte per read
// (the reference for the scanner's buffer boundaries), gives the same bytes
// as the text at once; a successful label or declaration ends with the line
// "break", a failed one has none; the batch protocol answers the text with
// exactly the library's result. The batch translates the text anew, with a
// translator of its own, so that comparison also shows that translating
// twice gives the same result, and that the translator kept here from input
// to input gives what a new one gives.
//
// Built once per kind: TESSEL_FUZZ_KIND is one of runtime/kinds.list.
#include <algorithm>
#include <sstream>
#include <string>

#include <tessel/translate.h>

#include "batch.h"
#include "check.h"
#include "language.h"
#include "text_streams.h"

namespace {

constexpr tessel::Kind kind = tessel::Kind::TESSEL_FUZZ_KIND;

// Kept from input to input, as an editor keeps one.
tessel::Translator translator;

bool same(const tessel::Result& a, const tessel::Result& b)
{
    return a.status == b.status && a.error_offset == b.error_offset && a.out == b.out && a.err == b.err &&
           a.trace == b.trace;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const tessel::Result r = translator.translate(kind, text);

    CHECK(r.status >= 0 && r.status <= 2, "status 0, 1 or 2");
    if (r.status == 0)
        CHECK(r.error_offset == -1, "no error offset after success");
    else
        CHECK(r.error_offset >= 0 && r.error_offset <= static_cast<long>(size), "error offset within the text");

    CHECK(same(r, translate_bytewise(kind, text, &translator)), "one byte per read gives the same bytes");

    // The diagnostic says where the translation went wrong, consistently
    // with the text: never after the place where it stopped (a text cut
    // short is shown just after its last token, a hint may point at the
    // token before or at a comment's mark), its token's bytes, its line, and
    // its column (counted in characters as a terminal shows them: in bytes
    // on a line of plain ASCII up to it).
    CHECK(r.diagnostic.has_value() == (r.status != 0), "a diagnostic exactly after a failure");
    if (r.diagnostic) {
        const tessel::Diagnostic& d = *r.diagnostic;
        CHECK(d.offset >= 0 && d.offset <= r.error_offset && d.length >= 0 &&
                  d.offset + d.length <= static_cast<long>(size),
              "the diagnostic's token lies within the text, not after where it stopped");
        CHECK(d.found == text.substr(static_cast<size_t>(d.offset), static_cast<size_t>(d.length)), "its bytes");
        const size_t newline = d.offset == 0 ? std::string::npos : text.rfind('\n', static_cast<size_t>(d.offset - 1));
        const long line_start = newline == std::string::npos ? 0 : static_cast<long>(newline) + 1;
        const bool plain = std::all_of(text.begin() + line_start, text.begin() + d.offset,
                                       [](char c) { return c >= 0x20 && c < 0x7F; });
        CHECK(d.line == 1 + std::count(text.begin(), text.begin() + d.offset, '\n') &&
                  (plain ? d.column == d.offset - line_start + 1 : d.column >= 1),
              "its line and column");
        CHECK(!d.message.empty(), "a message");
    }

    // A language whose trace goes to the trace file writes a text of its own
    // (the declarations of a chart), the others the editor's script.
    if (!tessel::runtime::language(kind).trace_in_file) {
        const bool has_break = std::find(r.commands.begin(), r.commands.end(), tessel::Command{"break"}) != r.commands.end();
        CHECK(has_break == (r.status == 0), "exactly the successful translations have a break");
        if (r.status == 0) {
            CHECK(r.commands.back() == tessel::Command{"break"}, "break is the last command");
            CHECK(r.out.size() >= 7 && r.out.compare(r.out.size() - 7, 7, "\nbreak\n") == 0,
                  "the script ends with the line break");
        }
    } else {
        CHECK(r.commands.empty(), "no command lines beside a text of its own");
    }

    std::istringstream request(std::string(tessel::kind_name(kind)) + " " + std::to_string(size) + "\n" + text);
    std::ostringstream answer;
    tessel::batch::Settings settings;
    settings.max_output = 0;
    CHECK(tessel::batch::serve(request, answer, settings) == 0, "one request, one answer");
    CHECK(answer.str() == tessel::batch::response(r), "the batch answers with the library's result, twice the same");
    return 0;
}
