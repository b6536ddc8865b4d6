/* Grammar of one declaration of a module interface, ended by a semicolon.
   Every reduction writes a trace line; the final action hands the editor the
   declaration's kind and parts in arg0 to arg4 and ends the process. */

%code requires {
#include <string>
}

%{
#include "parser.h"

int decllex();
[[noreturn]] void declerror(const char* message);

/* The declaration's kind (two-letter code) and its parts. */
static std::string arg0, arg1, arg2, arg3, arg4;

/* Writes the rule's trace line and hands its value on. */
static std::string* traced(const char* text, std::string* value)
{
    trace(os, text, *value);
    return value;
}

/* A signal keyword: its code is the declaration's kind from now on. */
static std::string* signal_kind(const char* code, const char* word, const char* text)
{
    arg0 = code;
    return traced(text, new std::string(word));
}

/* The list's first identifier, taken again from the scanner: its token is
   still the current one, as the state after "(" ident reduces at once. */
static std::string* first_of_list(std::string* ident)
{
    delete ident;
    return traced("#debug:aList ident -> ", token_text());
}

/* A declaration rule: assigns the parts (a null code keeps the signal's
   kind, a null part is empty), then builds and traces the value. The parts
   are read before build releases the values they come from. */
static std::string* declaration(const char* code, const std::string* name,
                                const std::string* part2, const std::string* part3,
                                std::initializer_list<Piece> value, const char* text)
{
    if (code)
        arg0 = code;
    arg1 = *name;
    arg2 = part2 ? *part2 : "";
    arg3 = part3 ? *part3 : "";
    arg4.clear();
    return traced(text, build(value));
}

/* A signal with a combined type: arg2 holds "combine~type~with~function". */
static std::string* combined(const std::string* name, const std::string* type,
                             const std::string* with, std::initializer_list<Piece> value)
{
    const std::string part2 = "combine~" + *type + "~with~" + *with;
    return declaration(nullptr, name, &part2, nullptr, value,
                       "#debug:dcl INOUT ident : combine ident with ident -> ");
}

/* A stray first character: the editor gets an error command, then the run
   fails. */
[[noreturn]] static void stray_keyword(const std::string& character)
{
    out_line("errorReport \"Bad keyword: " + character + "\"");
    declerror(("Unknown keyword" + character).c_str());
}

/* The final action: the declaration's trace line and the editor's variables. */
[[noreturn]] static void final_lines(const std::string& value)
{
    trace(os, "#debug:axiom -> ", value);
    os << "set arg0 \"" << arg0 << "\"\n"
       << "set arg1 \"" << arg1 << "\"\n"
       << "set arg2 \"" << arg2 << "\"\n"
       << "set arg3 \"" << arg3 << "\"\n"
       << "set arg4 \"" << arg4 << "\"\n"
       << "break\n";
    finish(0);
}
%}

%define api.prefix {decl}

%union {
    std::string* u_String;
}

%token ID INT TY FN PR RL TK IN SE OU IO CM WH RT IMPLY ASSIGN LPAR RPAR DIESE
%token COMMA COLON SEMICOLON OTHER

%type <u_String> ident aList INOUT dcl

%expect 0

%%

axiom
    : dcl SEMICOLON                                 { final_lines(*$1); }
    ;

ident
    : ID                                            { $$ = traced("#debug:ident  ID -> ", token_text()); }
    ;

aList
    : aList COMMA ident                             { $$ = traced("#debug:aList aList , ident -> ", build({$1, ",", $3})); }
    | ident                                         { $$ = first_of_list($1); }
    | %empty                                        { $$ = traced("#debug:aList (void) -> ", new std::string); }
    ;

INOUT
    : IN                                            { $$ = signal_kind("IN", "input", "#debug:INOUT  IN -> "); }
    | OU                                            { $$ = signal_kind("OU", "output", "#debug:INOUT  OU -> "); }
    | IO                                            { $$ = signal_kind("IO", "inputoutput", "#debug:INOUT  IO -> "); }
    | SE                                            { $$ = signal_kind("SE", "sensor", "#debug:INOUT  SE -> "); }
    | RT                                            { $$ = signal_kind("RT", "return", "#debug:INOUT  RT -> "); }
    ;

dcl
    : TY ident                                      { $$ = declaration("TY", $2, nullptr, nullptr, {"type ", $2, ";"}, "#debug:dcl type -> "); }
    | FN ident LPAR aList RPAR COLON ident          { $$ = declaration("FN", $2, $4, $7, {"function ", $2, "(", $4, "):", $7, ";"}, "#debug:dcl function -> "); }
    | PR ident LPAR aList RPAR LPAR aList RPAR      { $$ = declaration("PR", $2, $4, $7, {"procedure ", $2, "(", $4, ")(", $7, ");"}, "#debug:dcl procedure -> "); }
    | RL ident DIESE ident                          { $$ = declaration("RL", $2, $4, nullptr, {"relation ", $2, "#", $4, ";"}, "#debug:dcl relation -> "); }
    | RL ident IMPLY ident                          { $$ = declaration("RL", $2, $4, nullptr, {"relation ", $2, "=>", $4, ";"}, "#debug:dcl relation -> "); }
    | TK ident LPAR aList RPAR LPAR aList RPAR      { $$ = declaration("TK", $2, $4, $7, {"task ", $2, "(", $4, ")(", $7, ");"}, "#debug:dcl task -> "); }
    | INOUT ident                                   { $$ = declaration(nullptr, $2, nullptr, nullptr, {$1, " ", $2, ";"}, "#debug:dcl INOUT -> "); }
    | INOUT ident COLON ident                       { $$ = declaration(nullptr, $2, $4, nullptr, {$1, " ", $2, ":", $4, ";"}, "#debug:dcl INOUT ident : ident -> "); }
    | INOUT ident LPAR ident RPAR                   { $$ = declaration(nullptr, $2, $4, nullptr, {$1, " ", $2, ":", $4, ";"}, "#debug:dcl INOUT ident ( ident) -> "); }
    | INOUT ident COLON CM ident WH ident           { $$ = combined($2, $5, $7, {$1, " ", $2, ": combine", $5, " with ", $7, ";"}); }
    | INOUT ident LPAR CM ident WH ident RPAR       { $$ = combined($2, $5, $7, {$1, " ", $2, ": combine", $5, " with ", $7, ";"}); }
    | OTHER                                         { $$ = traced("#debug:dcl OTHER -> ", token_text()); stray_keyword(*$$); }
    ;

%%

const std::string ParserType = "Decl";

int translator_parse()
{
    return declparse();
}

void declerror(const char* message)
{
    report_error(message);
}
