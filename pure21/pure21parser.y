/* Grammar of a transition label over pure signals: "factor;trigger;effect."
   Every reduction writes a trace line; the final action writes the editor's
   "set" lines and ends the process. */

%code requires {
#include <string>
}

%{
#include "parser.h"

int pure21lex();
void pure21error(const char* message);

/* The three parts of the label, assigned by the label rule. */
static std::string factStr, triggerStr, effectStr;

/* Writes the rule's trace line and hands its value on. */
static std::string* traced(const char* text, std::string* value)
{
    trace(os, text, *value);
    return value;
}

/* The start action: empties the editor's lists. */
static void start_lines()
{
    os << "set loutput \"\"\n"
          "set linterf \"\"\n"
          "set lfunc   \"\"\n";
}

/* A label rule: assigns the three parts (a null part is empty), then builds
   and traces the label's value. */
static std::string* label(const std::string* fact, const std::string* trig,
                          const std::string* eff, std::initializer_list<Piece> value,
                          const char* text)
{
    factStr = fact ? *fact : "";
    triggerStr = trig ? *trig : "";
    effectStr = eff ? *eff : "";
    return traced(text, build(value));
}

/* A character no rule expects where the trigger needs an operand. */
[[noreturn]] static void stray_character()
{
    write_stderr(std::string("unknown symbol: ") + current_token() + "\n");
    finish(1);
}

/* The final action: the label's trace line and the editor's variables. */
[[noreturn]] static void final_lines(const std::string& value)
{
    trace(os, "#debug:axiom -> ", value);
    os << "\nset factor \"" << factStr << "\"\n"
       << "set trigger \"" << triggerStr << "\"\n"
       << "set effect \"" << effectStr << "\"\n"
       << "break\n";
    finish(0);
}
%}

%define api.prefix {pure21}

%union {
    std::string* u_String;
}

%token ID INT AND OR NOT PRE TICK STRUE SFALSE DOT LPAR RPAR PLUS MINUS TIMES
%token DIV DIESE COMMA SEMICOLON INLINE OTHER

%type <u_String> ident preId gId literal label boolexpi booltermi boolfacti
%type <u_String> factor trigger effect effects sig puresig

%expect 0

%%

axiom
    : { start_lines(); } label DOT                  { final_lines(*$2); }
    ;

ident
    : ID                                            { $$ = traced("#debug:ident  ID -> ", token_text()); }
    ;

preId
    : PRE LPAR ident RPAR                           { $$ = traced("#debug:ident  pre(ID) -> ", build({"pre(", $3, ")"})); }
    ;

gId
    : ident                                         { $$ = traced("#debug: gId: ident -> ", $1); }
    | preId                                         { $$ = traced("#debug:gId: preId -> ", $1); }
    ;

literal
    : INT                                           { $$ = traced("#debug:literal  INT -> ", token_text()); }
    ;

label
    : SEMICOLON SEMICOLON                           { $$ = label(nullptr, nullptr, nullptr, {"/"}, "#debug:label / -> "); }
    | SEMICOLON trigger SEMICOLON effect            { $$ = label(nullptr, $2, $4, {$2, "/", $4}, "#debug:label ./. -> "); }
    | SEMICOLON trigger SEMICOLON                   { $$ = label(nullptr, $2, nullptr, {$2, "/"}, "#debug:label ./ -> "); }
    | SEMICOLON SEMICOLON effect                    { $$ = label(nullptr, nullptr, $3, {"/", $3}, "#debug:label /. -> "); }
    | factor SEMICOLON SEMICOLON                    { $$ = label($1, nullptr, nullptr, {$1, "*  /"}, "#debug:label / -> "); pure21error("Trigger missing"); }
    | factor SEMICOLON trigger SEMICOLON effect     { $$ = label($1, $3, $5, {$1, "*", $3, "/", $5}, "#debug:label ./. -> "); }
    | factor SEMICOLON trigger SEMICOLON            { $$ = label($1, $3, nullptr, {$1, "*", $3, "/"}, "#debug:label ./ -> "); }
    | factor SEMICOLON SEMICOLON effect             { $$ = label($1, nullptr, $4, {$1, "* /", $4}, "#debug:label /. -> "); pure21error("Trigger missing"); }
    ;

boolexpi
    : boolexpi OR booltermi                         { $$ = traced("#debug:boolexpi boolexpi or booltermi-> ", build({$1, "~or~", $3})); }
    | booltermi                                     { $$ = traced("#debug:boolexpi booltermi -> ", $1); }
    ;

booltermi
    : booltermi AND boolfacti                       { $$ = traced("#debug:booltermi booltermi and boolfacti -> ", build({$1, "~and~", $3})); }
    | boolfacti                                     { $$ = traced("#debug:booltermi boolfacti -> ", $1); }
    ;

boolfacti
    : NOT boolfacti                                 { $$ = traced("#debug:boolfacti not boolfacti -> ", build({"not~", $2})); }
    | LPAR boolexpi RPAR                            { $$ = traced("#debug:boolfacti (boolexpi) -> ", build({"(", $2, ")"})); }
    | ident                                         { list_line("linterf", *$1); $$ = traced("#debug:boolfacti  ID -> ", $1); }
    | PRE LPAR ident RPAR                           { list_line("linterf", *$3); $$ = traced("#debug:boolfacti  preId -> ", build({"pre(", $3, ")"})); }
    | OTHER                                         { stray_character(); }
    ;

factor
    : literal                                       { $$ = traced("#debug: factor literal -> ", $1); }
    | gId                                           { $$ = traced("#debug: factor gId -> ", $1); }
    ;

trigger
    : boolexpi                                      { $$ = traced("#debug:trigger boolexpi -> ", $1); }
    | TICK                                          { $$ = traced("#debug:trigger TICK -> ", new std::string("tick")); }
    ;

effect
    : effects                                       { $$ = traced("#debug:effect effects -> ", $1); }
    ;

effects
    : effects COMMA sig                             { $$ = traced("#debug:effects effects,sig -> ", build({$1, " ", $3})); }
    | sig                                           { $$ = traced("#debug:effects sig -> ", $1); }
    ;

sig
    : puresig                                       { $$ = traced("#debug:sig puresig -> ", $1); }
    | INLINE                                        { $$ = traced("#debug:sig INLINE -> ", build({"{", token_text(), "}"})); }
    ;

puresig
    : ident                                         { list_line("loutput", *$1); $$ = traced("#debug:puresig ID -> ", $1); }
    | TICK                                          { $$ = traced("#debug:puresig TICK -> ", new std::string("tick")); }
    ;

%%

const std::string ParserType = "Pure21";

int translator_parse()
{
    return pure21parse();
}

void pure21error(const char* message)
{
    report_error(message);
}
