// A property of a fuzz harness: on failure, what went wrong and where, then
// an abort, which libFuzzer reports as a finding with the input saved.
#ifndef TESSEL_FUZZ_CHECK_H
#define TESSEL_FUZZ_CHECK_H

#include <cstdio>
#include <cstdlib>

#define CHECK(condition, what)                                                         \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "property failed at %s:%d: %s (%s)\n", __FILE__,      \
                         __LINE__, what, #condition);                                  \
            std::abort();                                                              \
        }                                                                              \
    } while (0)

#endif
