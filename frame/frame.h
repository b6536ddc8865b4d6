// The frame shared by the four translators: entry point, streams, error
// routine and the small services that scanners and grammar actions use.
#ifndef TESSEL_FRAME_H
#define TESSEL_FRAME_H

#include <istream>
#include <ostream>
#include <string>

#include "outfile.h"

class FlexLexer;

// Standard output: command lines, trace lines, declaration text.
extern std::ostream& os;
// The trace file ("log" or the -o name), opened by main before parsing.
extern OutputFile f_log;

// Supplied by each translator's parser unit.
extern const std::string ParserType;  // "Pure21", "Valued21", "Decl", "Ic3"
FlexLexer& translator_lexer();
int translator_parse();

// Writes the usage text to standard error.
void usage();

// The error routine: banner and message on standard error, no newline, then
// the process ends. Everything written before stays written.
[[noreturn]] void report_error(const char* message);

// A fatal scanner failure: message and newline on standard error, status 2.
[[noreturn]] void scanner_fatal(const char* message);

// Writes text to standard error after everything already written to os.
void write_stderr(const std::string& text);

// Ends the process with status once all output has reached its files.
[[noreturn]] void finish(int status);

// Pushes buffered output to its files (os, and the trace file if open).
void flush_output();

// Reads input for a scanner: whatever the stream holds or can deliver without
// waiting (at most max_size characters), or, when that is nothing, waits for
// one character. Returns the number stored in buf, 0 at end of input.
int scanner_read(std::istream& in, char* buf, int max_size);

// Maps the parse engine's messages onto ours ("memory exhausted" becomes
// "parser stack overflow").
const char* engine_message(const char* text);

#endif
