/* Grammar of one declaration of a module interface, ended by a semicolon.
   Every reduction writes a trace line; the final action hands the editor the
   declaration's kind and parts in arg0 to arg4 and ends the parse. */

%code requires {
#include <string>
namespace tessel::runtime { struct Decl; }
}

%code {
#include "grammar.h"

using namespace tessel::runtime;

#define decllex tessel::runtime::lex
#define declerror tessel::runtime::parse_error

/* One translation: its streams, the declaration's kind (two-letter code)
   and its parts. */
struct tessel::runtime::Decl : Translation {
    using Translation::Translation;
    std::string arg0, arg1, arg2, arg3, arg4;
};

/* A signal keyword: its code is the declaration's kind from now on. */
static std::string* signal_kind(Decl& t, const char* code, const char* word, const char* text)
{
    t.arg0 = code;
    return traced(t, text, t.value(word));
}

/* The list's first identifier, taken again from the scanner: its token is
   still the current one, as the state after "(" ident reduces at once. */
static std::string* first_of_list(Decl& t, std::string* ident)
{
    t.release(ident);
    return traced(t, "#debug:aList ident -> ", token_text(t));
}

/* A declaration rule: assigns the parts (a null code keeps the signal's
   kind, a null part is empty), then builds and traces the value. The parts
   are read before build releases the values they come from. */
static std::string* declaration(Decl& t, const char* code, const std::string* name,
                                const std::string* part2, const std::string* part3,
                                std::initializer_list<Piece> value, const char* text)
{
    if (code)
        t.arg0 = code;
    t.arg1 = *name;
    t.arg2 = part2 ? *part2 : "";
    t.arg3 = part3 ? *part3 : "";
    t.arg4.clear();
    return traced_only(t, text, value);
}

/* A signal with a combined type: arg2 holds "combine~type~with~function". */
static std::string* combined(Decl& t, const std::string* name, const std::string* type,
                             const std::string* with, std::initializer_list<Piece> value)
{
    const std::string part2 = "combine~" + *type + "~with~" + *with;
    return declaration(t, nullptr, name, &part2, nullptr, value,
                       "#debug:dcl INOUT ident : combine ident with ident -> ");
}

/* A stray first character (the value of its rule): the editor gets an error
   command, then the translation fails. */
static std::string* stray_keyword(Decl& t, std::string* character)
{
    error_report_line(t, "Bad keyword: " + *character);
    t.action_error(("Unknown keyword" + *character).c_str(), "unknown-keyword",
                   "A declaration starts with its keyword: `input`, `output`, `inputoutput`, `sensor`, "
                   "`return`, `type`, `function`, `procedure`, `task` or `relation`.");
    t.release(character);
    return nullptr;
}

/* The final action: the declaration's trace line and the editor's variables. */
static void final_lines(Decl& t, std::string* value)
{
    traced(t, "#debug:axiom -> ", value);
    t.release(value);
    set_line(t, "arg0", t.arg0);
    set_line(t, "arg1", t.arg1);
    set_line(t, "arg2", t.arg2);
    set_line(t, "arg3", t.arg3);
    set_line(t, "arg4", t.arg4);
    break_line(t);
}
}

%define api.prefix {decl}
%define api.pure full
%parse-param {tessel::runtime::Decl& t}
%lex-param {tessel::runtime::Decl& t}

%union {
    std::string* u_String;
}

/* The tokens, each with its spelling. ":=" is a word of the declaration
   language that no rule accepts. */
%token ID "name"
%token TY "type"
%token FN "function"
%token PR "procedure"
%token RL "relation"
%token TK "task"
%token IN "input"
%token SE "sensor"
%token OU "output"
%token IO "inputoutput"
%token CM "combine"
%token WH "with"
%token RT "return"
%token IMPLY "=>"
%token ASSIGN ":="
%token LPAR "("
%token RPAR ")"
%token DIESE "#"
%token COMMA ","
%token COLON ":"
%token SEMICOLON ";"
%token OTHER "other character"

%type <u_String> ident aList INOUT dcl

/* Values left on the stack when a parse fails. */
%destructor { t.release($$); } <u_String>

%expect 0

%%

axiom
    : dcl SEMICOLON                                 { final_lines(t, $1); YYACCEPT; }
    ;

ident
    : ID                                            { $$ = traced(t, "#debug:ident  ID -> ", token_text(t)); }
    ;

aList
    : aList COMMA ident                             { $$ = traced(t, "#debug:aList aList , ident -> ", build(t, {$1, ",", $3})); }
    | ident                                         { $$ = first_of_list(t, $1); }
    | %empty                                        { $$ = traced(t, "#debug:aList (void) -> ", t.value()); }
    ;

INOUT
    : IN                                            { $$ = signal_kind(t, "IN", "input", "#debug:INOUT  IN -> "); }
    | OU                                            { $$ = signal_kind(t, "OU", "output", "#debug:INOUT  OU -> "); }
    | IO                                            { $$ = signal_kind(t, "IO", "inputoutput", "#debug:INOUT  IO -> "); }
    | SE                                            { $$ = signal_kind(t, "SE", "sensor", "#debug:INOUT  SE -> "); }
    | RT                                            { $$ = signal_kind(t, "RT", "return", "#debug:INOUT  RT -> "); }
    ;

dcl
    : TY ident                                      { $$ = declaration(t, "TY", $2, nullptr, nullptr, {"type ", $2, ";"}, "#debug:dcl type -> "); }
    | FN ident LPAR aList RPAR COLON ident          { $$ = declaration(t, "FN", $2, $4, $7, {"function ", $2, "(", $4, "):", $7, ";"}, "#debug:dcl function -> "); }
    | PR ident LPAR aList RPAR LPAR aList RPAR      { $$ = declaration(t, "PR", $2, $4, $7, {"procedure ", $2, "(", $4, ")(", $7, ");"}, "#debug:dcl procedure -> "); }
    | RL ident DIESE ident                          { $$ = declaration(t, "RL", $2, $4, nullptr, {"relation ", $2, "#", $4, ";"}, "#debug:dcl relation -> "); }
    | RL ident IMPLY ident                          { $$ = declaration(t, "RL", $2, $4, nullptr, {"relation ", $2, "=>", $4, ";"}, "#debug:dcl relation -> "); }
    | TK ident LPAR aList RPAR LPAR aList RPAR      { $$ = declaration(t, "TK", $2, $4, $7, {"task ", $2, "(", $4, ")(", $7, ");"}, "#debug:dcl task -> "); }
    | INOUT ident                                   { $$ = declaration(t, nullptr, $2, nullptr, nullptr, {$1, " ", $2, ";"}, "#debug:dcl INOUT -> "); }
    | INOUT ident COLON ident                       { $$ = declaration(t, nullptr, $2, $4, nullptr, {$1, " ", $2, ":", $4, ";"}, "#debug:dcl INOUT ident : ident -> "); }
    | INOUT ident LPAR ident RPAR                   { $$ = declaration(t, nullptr, $2, $4, nullptr, {$1, " ", $2, ":", $4, ";"}, "#debug:dcl INOUT ident ( ident) -> "); }
    | INOUT ident COLON CM ident WH ident           { $$ = combined(t, $2, $5, $7, {$1, " ", $2, ": combine", $5, " with ", $7, ";"}); }
    | INOUT ident LPAR CM ident WH ident RPAR       { $$ = combined(t, $2, $5, $7, {$1, " ", $2, ": combine", $5, " with ", $7, ";"}); }
    | OTHER                                         { $$ = stray_keyword(t, traced(t, "#debug:dcl OTHER -> ", token_text(t))); YYABORT; }
    ;

%%

#include "decl_grammar.h"
TESSEL_GRAMMAR(decl, Decl)
