// The batch protocol of tessel-batch: any number of texts of any kind, each
// answered in request order.
//
//   request:  "<kind> <size>\n" and size bytes of text
//   response: "<status> <error-offset> <out-size> <err-size> <trace-size>\n",
//             the standard output, standard error and trace bytes, "\n"
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

// The response to a translated text.
std::string response(const Result& result);

// Serves every request of in on out, with jobs threads translating (1: the
// reading thread translates). Each response is written and out flushed
// before a read that may wait. Returns 0 at the end of the input after a
// complete request, 2 after an error response that ends the batch.
int serve(std::istream& in, std::ostream& out, int jobs);

}  // namespace tessel::batch

#endif
