// Settings shared by every translator's scanner. Included from the first
// section of each .l file, before the generated code needs them.
#ifndef TESSEL_SCANNER_H
#define TESSEL_SCANNER_H

#include "frame.h"

// Fatal scanner messages go through the frame, which first pushes out every
// line already written to standard output.
#define YY_FATAL_ERROR(msg) scanner_fatal(msg)

// Input never waits for more than the current token needs. (The benchmarks
// build a scanner with plain block reads, TESSEL_BLOCK_INPUT, to compare.)
#ifndef TESSEL_BLOCK_INPUT
#define YY_INPUT(buf, result, max_size) ((result) = scanner_read(yyin, (buf), (max_size)))
#else
#define YY_INPUT(buf, result, max_size) \
    ((result) = static_cast<int>(yyin.read((buf), (max_size)).gcount()))
#endif

#endif
