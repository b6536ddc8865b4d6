// A scanner-only program for the benchmarks: the frame's entry point with a
// "parse" that only counts the tokens of the intermediate code.
#include "frame.h"

int ic3lex();

const std::string ParserType = "Ic3";

int translator_parse()
{
    long tokens = 0;
    while (ic3lex() > 0)
        ++tokens;
    os << tokens << " tokens\n";
    return 0;
}
