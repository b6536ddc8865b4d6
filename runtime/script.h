// What the label and declaration translators write for the editor: command
// lines and "#debug:" trace records, on standard output. Every line of the
// editor's script is written here, and recorded as data when the caller
// asked for the commands.
//
// The editor's interpreter evaluates the script (Tcl), so what is written
// must read back as the values built and nothing else: a value between
// double quotes has a backslash before each backslash, double quote, "[",
// "]" and "$"; a trace record keeps its newlines inside one comment. Names
// written bare are identifiers and need nothing.
#ifndef TESSEL_RUNTIME_SCRIPT_H
#define TESSEL_RUNTIME_SCRIPT_H

#include <string_view>

#include "translation.h"

namespace tessel::runtime {

// set NAME "VALUE" (gap: what stands between the command and the name's end,
// " " but for the start line of lfunc).
void set_line(Translation& t, std::string_view name, std::string_view value, std::string_view gap = " ");
// addElement LIST NAME
void list_line(Translation& t, std::string_view list, std::string_view name);
// addElement LIST "NAME"
void list_line_quoted(Translation& t, std::string_view list, std::string_view name);
// errorReport "MESSAGE"
void error_report_line(Translation& t, std::string_view message);
// break
void break_line(Translation& t);

// A trace record in the script: the rule's text, the value, a newline; one
// comment for the interpreter, however many lines the value has.
void debug_line(Translation& t, const char* text, std::string_view value);

// A trace record as it stands, for the trace file.
void trace(Output& out, const char* text, std::string_view value);

}  // namespace tessel::runtime

#endif
