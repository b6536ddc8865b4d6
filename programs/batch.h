// The batch protocol of tessel-batch: any number of texts of any kind, each
// answered in request order.
//
//   request:  "<kind> <size>\n" and size bytes of text
//   response: "<status> <error-offset> <out-size> <err-size> <trace-size>\n",
//             the standard output, standard error and trace bytes, "\n"
//
// With diagnostics, the header has a sixth number, the size of the
// diagnostic, which follows the trace bytes (nothing after a success):
//   "<offset> <length> <line> <column> <found-size> <message-size>\n",
//   the expected token names separated by blanks, "\n",
//   the found bytes, the message bytes
//
// An unknown kind with a valid size is answered "error unknown kind <kind>\n"
// and its text skipped; a malformed header or a text cut short ends the
// batch with "error <message>\n" after every earlier response.
#ifndef TESSEL_PROGRAMS_BATCH_H
#define TESSEL_PROGRAMS_BATCH_H

#include <istream>
#include <ostream>
#include <string>

#include <tessel/translate.h>

namespace tessel::batch {

// The largest text a request may announce.
constexpr long max_text_size = 1L << 30;

// What a batch does: its threads, and what each translation may cost and
// gives beside its bytes.
struct Settings {
    int jobs = 1;              // 1: the reading thread translates
    bool trace = true;         // false: no trace (--no-trace)
    bool diagnostics = false;  // answers carry their diagnostic (-d)
    // The output of one text is bounded as in an editor (the embedded
    // default); the parser's stack is the programs', so that whatever
    // nesting a program translates the batch translates too.
    std::size_t max_output = Options::embedded().max_output;
    long max_depth = Options().max_depth;
};

// The response to a translated text.
std::string response(const Result& result, bool diagnostics = false);

// Serves every request of in on out. Each response is written and out
// flushed before a read that may wait. Returns 0 at the end of the input
// after a complete request, 2 after an error response that ends the batch.
int serve(std::istream& in, std::ostream& out, const Settings& settings = Settings());

}  // namespace tessel::batch

#endif
