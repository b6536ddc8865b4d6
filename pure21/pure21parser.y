/* Grammar of a transition label over pure signals: "factor;trigger;effect."
   Every reduction writes a trace line; the final action writes the editor's
   "set" lines and ends the parse. */

%code requires {
#include <string>
namespace tessel::runtime { struct Pure21; }
}

%code {
#include "grammar.h"

using namespace tessel::runtime;

#define pure21lex tessel::runtime::lex
#define pure21error tessel::runtime::parse_error

/* One translation: its streams and the three parts of the label, assigned
   by the label rule. */
struct tessel::runtime::Pure21 : Translation {
    using Translation::Translation;
    std::string factStr, triggerStr, effectStr;
};

/* The start action: empties the editor's lists. */
static void start_lines(Pure21& t)
{
    set_line(t, "loutput", "");
    set_line(t, "linterf", "");
    set_line(t, "lfunc", "", "   ");
}

/* A label rule: assigns the three parts (a null part is empty), then builds
   and traces the label's value. */
static std::string* label(Pure21& t, const std::string* fact, const std::string* trig,
                          const std::string* eff, std::initializer_list<Piece> value,
                          const char* text)
{
    t.factStr = fact ? *fact : "";
    t.triggerStr = trig ? *trig : "";
    t.effectStr = eff ? *eff : "";
    return traced_only(t, text, value);
}

/* A label with a factor and no trigger: traced, then rejected. The rule is
   left without a value. */
static std::string* trigger_missing(Pure21& t, std::string* value)
{
    t.release(value);
    t.action_error("Trigger missing", "trigger-missing", "A label with a factor needs a trigger: write it between the two "
                                      "semicolons, as in `3;a;b.`, or leave the factor out.");
    return nullptr;
}

/* A character no rule expects where the trigger needs an operand. */
static std::string* stray_character(Pure21& t)
{
    t.action_failure(1, std::string("unknown symbol: ") + t.token() + "\n", "stray-character",
                     "This character cannot stand in a trigger: a trigger is made of signal names, `not`, "
                     "`and`, `or`, `pre(...)` and parentheses, or is `tick`.");
    return nullptr;
}

/* The final action: the label's trace line and the editor's variables. */
static void final_lines(Pure21& t, std::string* value)
{
    traced(t, "#debug:axiom -> ", value);
    t.release(value);
    t.out << '\n';
    set_line(t, "factor", t.factStr);
    set_line(t, "trigger", t.triggerStr);
    set_line(t, "effect", t.effectStr);
    break_line(t);
}
}

%define api.prefix {pure21}
%define api.pure full
%parse-param {tessel::runtime::Pure21& t}
%lex-param {tessel::runtime::Pure21& t}

%union {
    std::string* u_String;
}

/* The tokens, each with its spelling. "true", "false", "/" and "#" are
   words of the label language that no rule accepts. */
%token ID "name"
%token INT "number"
%token AND "and"
%token OR "or"
%token NOT "not"
%token PRE "pre"
%token TICK "tick"
%token STRUE "true"
%token SFALSE "false"
%token DOT "."
%token LPAR "("
%token RPAR ")"
%token DIV "/"
%token DIESE "#"
%token COMMA ","
%token SEMICOLON ";"
%token INLINE "`text`"
%token OTHER "other character"

%type <u_String> ident preId gId literal label boolexpi booltermi boolfacti
%type <u_String> factor trigger effect effects sig puresig

/* Values left on the stack when a parse fails. */
%destructor { t.release($$); } <u_String>

%expect 0

%%

axiom
    : { start_lines(t); } label DOT                 { final_lines(t, $2); YYACCEPT; }
    ;

ident
    : ID                                            { $$ = traced(t, "#debug:ident  ID -> ", token_text(t)); }
    ;

preId
    : PRE LPAR ident RPAR                           { $$ = traced(t, "#debug:ident  pre(ID) -> ", build(t, {"pre(", $3, ")"})); }
    ;

gId
    : ident                                         { $$ = traced(t, "#debug: gId: ident -> ", $1); }
    | preId                                         { $$ = traced(t, "#debug:gId: preId -> ", $1); }
    ;

literal
    : INT                                           { $$ = traced(t, "#debug:literal  INT -> ", token_text(t)); }
    ;

label
    : SEMICOLON SEMICOLON                           { $$ = label(t, nullptr, nullptr, nullptr, {"/"}, "#debug:label / -> "); }
    | SEMICOLON trigger SEMICOLON effect            { $$ = label(t, nullptr, $2, $4, {$2, "/", $4}, "#debug:label ./. -> "); }
    | SEMICOLON trigger SEMICOLON                   { $$ = label(t, nullptr, $2, nullptr, {$2, "/"}, "#debug:label ./ -> "); }
    | SEMICOLON SEMICOLON effect                    { $$ = label(t, nullptr, nullptr, $3, {"/", $3}, "#debug:label /. -> "); }
    | factor SEMICOLON SEMICOLON                    { $$ = trigger_missing(t, label(t, $1, nullptr, nullptr, {$1, "*  /"}, "#debug:label / -> ")); YYABORT; }
    | factor SEMICOLON trigger SEMICOLON effect     { $$ = label(t, $1, $3, $5, {$1, "*", $3, "/", $5}, "#debug:label ./. -> "); }
    | factor SEMICOLON trigger SEMICOLON            { $$ = label(t, $1, $3, nullptr, {$1, "*", $3, "/"}, "#debug:label ./ -> "); }
    | factor SEMICOLON SEMICOLON effect             { $$ = trigger_missing(t, label(t, $1, nullptr, $4, {$1, "* /", $4}, "#debug:label /. -> ")); YYABORT; }
    ;

boolexpi
    : boolexpi OR booltermi                         { $$ = traced(t, "#debug:boolexpi boolexpi or booltermi-> ", build(t, {$1, "~or~", $3})); }
    | booltermi                                     { $$ = traced(t, "#debug:boolexpi booltermi -> ", $1); }
    ;

booltermi
    : booltermi AND boolfacti                       { $$ = traced(t, "#debug:booltermi booltermi and boolfacti -> ", build(t, {$1, "~and~", $3})); }
    | boolfacti                                     { $$ = traced(t, "#debug:booltermi boolfacti -> ", $1); }
    ;

boolfacti
    : NOT boolfacti                                 { $$ = traced(t, "#debug:boolfacti not boolfacti -> ", build(t, {"not~", $2})); }
    | LPAR boolexpi RPAR                            { $$ = traced(t, "#debug:boolfacti (boolexpi) -> ", build(t, {"(", $2, ")"})); }
    | ident                                         { list_line(t, "linterf", *$1); $$ = traced(t, "#debug:boolfacti  ID -> ", $1); }
    | PRE LPAR ident RPAR                           { list_line(t, "linterf", *$3); $$ = traced(t, "#debug:boolfacti  preId -> ", build(t, {"pre(", $3, ")"})); }
    | OTHER                                         { $$ = stray_character(t); YYABORT; }
    ;

factor
    : literal                                       { $$ = traced(t, "#debug: factor literal -> ", $1); }
    | gId                                           { $$ = traced(t, "#debug: factor gId -> ", $1); }
    ;

trigger
    : boolexpi                                      { $$ = traced(t, "#debug:trigger boolexpi -> ", $1); }
    | TICK                                          { $$ = traced(t, "#debug:trigger TICK -> ", t.value("tick")); }
    ;

effect
    : effects                                       { $$ = traced(t, "#debug:effect effects -> ", $1); }
    ;

effects
    : effects COMMA sig                             { $$ = traced(t, "#debug:effects effects,sig -> ", build(t, {$1, " ", $3})); }
    | sig                                           { $$ = traced(t, "#debug:effects sig -> ", $1); }
    ;

sig
    : puresig                                       { $$ = traced(t, "#debug:sig puresig -> ", $1); }
    | INLINE                                        { $$ = traced(t, "#debug:sig INLINE -> ", build(t, {"{", token_text(t), "}"})); }
    ;

puresig
    : ident                                         { list_line(t, "loutput", *$1); $$ = traced(t, "#debug:puresig ID -> ", $1); }
    | TICK                                          { $$ = traced(t, "#debug:puresig TICK -> ", t.value("tick")); }
    ;

%%

#include "pure21_grammar.h"
TESSEL_GRAMMAR(pure21, Pure21)
