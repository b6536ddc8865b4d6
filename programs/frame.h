// The frame of the translator programs: the command line, the input and the
// trace file around one translation by the library.
#ifndef TESSEL_PROGRAMS_FRAME_H
#define TESSEL_PROGRAMS_FRAME_H

#include <tessel/translate.h>

namespace tessel::program {

// The whole program <kind>-translator: returns its exit status, or aborts
// when the input or the trace file cannot be opened.
int translator_main(Kind kind, int argc, char* argv[]);

}  // namespace tessel::program

#endif
