/* Grammar of a transition label whose signals may carry values:
   "factor;trigger;condition;effect." Every reduction writes a trace line; the
   names the label uses go to the editor's lists as they are reduced, and the
   final action writes the editor's "set" lines and ends the parse. */

%code requires {
#include <string>
namespace tessel::runtime { struct Valued21; }
}

%code {
#include "grammar.h"
#include "Stringpp.h"

using namespace tessel::runtime;
using stringpp::substitute_char;

#define valued21lex tessel::runtime::lex
#define valued21error tessel::runtime::parse_error

/* One translation: its streams and the four parts of the label, assigned by
   the label rule. */
struct tessel::runtime::Valued21 : Translation {
    using Translation::Translation;
    std::string factStr, triggerStr, condStr, effectStr;
};

/* The current token's text with its blanks turned into tildes (verbatim and
   exclamation-mark texts). */
static std::string* tilded_token(Valued21& t)
{
    return t.value(substitute_char(t.token(), ' ', '~'));
}

/* The start action: empties the editor's lists. */
static void start_lines(Valued21& t)
{
    set_line(t, "loutput", "");
    set_line(t, "linterf", "");
    set_line(t, "lvsignal", "");
    set_line(t, "lvariable", "");
    set_line(t, "lfunc", "", "   ");
}

/* "?S" or "pre(?S)" read in an expression: the signal's value and the signal. */
static void signal_value_read(Valued21& t, const std::string& name)
{
    list_line_quoted(t, "lvsignal", name);
    list_line_quoted(t, "linterf", name);
}

/* A valued emission: the signal is emitted and carries a value. */
static void valued_emission(Valued21& t, const std::string& name)
{
    list_line(t, "loutput", name);
    list_line(t, "lvsignal", name);
}

/* A label rule: assigns the four parts (a null part is empty), then builds
   and traces the label's value. */
static std::string* label(Valued21& t, const std::string* fact, const std::string* trig,
                          const std::string* cond, const std::string* eff,
                          std::initializer_list<Piece> value, const char* text)
{
    t.factStr = fact ? *fact : "";
    t.triggerStr = trig ? *trig : "";
    t.condStr = cond ? *cond : "";
    t.effectStr = eff ? *eff : "";
    return traced_only(t, text, value);
}

/* A label with a factor and no trigger: traced, then rejected. The rule is
   left without a value. */
static std::string* trigger_missing(Valued21& t, std::string* value)
{
    t.release(value);
    t.action_error("trigger missing", "trigger-missing", "A label with a factor needs a trigger: write it between the first two "
                                      "semicolons, as in `3;a;;b.`, or leave the factor out.");
    return nullptr;
}

/* A character no rule expects where an operand is needed: in the trigger
   (a boolean expression) or in an expression. */
static std::string* unknown_symbol(Valued21& t, const char* message, const char* advice)
{
    t.write_err(std::string("unknown symbol: ") + t.token() + "\n");
    t.action_error(message, "stray-character", advice);
    return nullptr;
}

static const char not_in_trigger[] =
    "This character cannot stand in a trigger: a trigger is made of signal names, `not`, `and`, `or`, "
    "`pre(...)` and parentheses, or is `tick`.";
static const char not_an_operand[] =
    "This character cannot start a value: write a number, a name, `?S`, `??S`, `pre(?S)`, a call `f(...)`, "
    "a text `!...!`, `true`, `false`, `not`, `-` or a parenthesis.";

/* The final action: the label's trace line and the editor's variables. */
static void final_lines(Valued21& t, std::string* value)
{
    traced(t, "#debug:axiom -> ", value);
    t.release(value);
    set_line(t, "factor", t.factStr);
    set_line(t, "trigger", t.triggerStr);
    set_line(t, "cond", t.condStr);
    set_line(t, "effect", t.effectStr);
    break_line(t);
}
}

%define api.prefix {valued21}
%define api.pure full
%parse-param {tessel::runtime::Valued21& t}
%lex-param {tessel::runtime::Valued21& t}

%union {
    std::string* u_String;
}

/* The tokens, each with its spelling. "[" (or "<<"), "]" (or ">>") and "#"
   are words of the label language that no rule accepts. */
%token ID "name"
%token INT "number"
%token AND "and"
%token OR "or"
%token NOT "not"
%token PRE "pre"
%token TICK "tick"
%token STRUE "true"
%token SFALSE "false"
%token LEQ "<="
%token GT ">"
%token LT "<"
%token GEQ ">="
%token EQ "="
%token NEQ "<>"
%token MOD "mod"
%token DOT "."
%token LPAR "("
%token RPAR ")"
%token LSQB "["
%token RSQB "]"
%token PLUS "+"
%token MINUS "-"
%token TIMES "*"
%token DIV "/"
%token DIESE "#"
%token QUERY "?"
%token COMMA ","
%token SEMICOLON ";"
%token INLINE "`text`"
%token ALTSTRING "!text!"
%token OTHER "other character"

%type <u_String> ident sic label bexpr boperation expr literal constorvarid
%type <u_String> operation lcond factor trigger cond effect emits emit puresig
%type <u_String> valuedsig vals val

/* Values left on the stack when a parse fails. */
%destructor { t.release($$); } <u_String>

/* Every operator has the same precedence and groups to the right, so
   "1-2-3" is "1-(2-3)", and "not" and the unary minus reach to the end of
   the enclosing part: "not a and b" is "not (a and b)", "-a+b" is "-(a+b)". */
%right OR AND NOT LEQ GT LT GEQ EQ NEQ PLUS MINUS TIMES DIV MOD

%expect 0

%%

axiom
    : { start_lines(t); } label DOT                 { final_lines(t, $2); YYACCEPT; }
    ;

ident
    : ID                                            { $$ = traced(t, "#debug:ident  ID -> ", token_text(t)); }
    ;

sic
    : ALTSTRING                                     { $$ = traced(t, "#debug:sic  ALTSTRING -> ", tilded_token(t)); }
    ;

label
    : SEMICOLON SEMICOLON SEMICOLON                 { $$ = label(t, nullptr, nullptr, nullptr, nullptr, {"/"}, "#debug:label / -> "); }
    | SEMICOLON SEMICOLON SEMICOLON effect          { $$ = label(t, nullptr, nullptr, nullptr, $4, {"/", $4}, "#debug:label /. -> "); }
    | SEMICOLON SEMICOLON cond SEMICOLON            { $$ = label(t, nullptr, nullptr, $3, nullptr, {"[", $3, "]/"}, "#debug:label /. -> "); }
    | SEMICOLON SEMICOLON cond SEMICOLON effect     { $$ = label(t, nullptr, nullptr, $3, $5, {"[", $3, "]/", $5}, "#debug:label /. -> "); }
    | SEMICOLON trigger SEMICOLON SEMICOLON         { $$ = label(t, nullptr, $2, nullptr, nullptr, {$2, "/"}, "#debug:label ./ -> "); }
    | SEMICOLON trigger SEMICOLON SEMICOLON effect  { $$ = label(t, nullptr, $2, nullptr, $5, {$2, "/", $5}, "#debug:label ./. -> "); }
    | SEMICOLON trigger SEMICOLON cond SEMICOLON    { $$ = label(t, nullptr, $2, $4, nullptr, {$2, "[", $4, "]/"}, "#debug:label /. -> "); }
    | SEMICOLON trigger SEMICOLON cond SEMICOLON effect
                                                    { $$ = label(t, nullptr, $2, $4, $6, {$2, "[", $4, "]/", $6}, "#debug:label /. -> "); }
    | factor SEMICOLON SEMICOLON SEMICOLON          { $$ = trigger_missing(t, label(t, $1, nullptr, nullptr, nullptr, {$1, "* /"}, "#debug:label / -> ")); YYABORT; }
    | factor SEMICOLON SEMICOLON SEMICOLON effect   { $$ = trigger_missing(t, label(t, $1, nullptr, nullptr, $5, {$1, "* /", $5}, "#debug:label /. -> ")); YYABORT; }
    | factor SEMICOLON SEMICOLON cond SEMICOLON     { $$ = trigger_missing(t, label(t, $1, nullptr, $4, nullptr, {$1, "* [", $4, "]/"}, "#debug:label /. -> ")); YYABORT; }
    | factor SEMICOLON SEMICOLON cond SEMICOLON effect
                                                    { $$ = trigger_missing(t, label(t, $1, nullptr, $4, $6, {$1, "* [", $4, "]/", $6}, "#debug:label /. -> ")); YYABORT; }
    | factor SEMICOLON trigger SEMICOLON SEMICOLON  { $$ = label(t, $1, $3, nullptr, nullptr, {$1, "*", $3, "/"}, "#debug:label ./ -> "); }
    | factor SEMICOLON trigger SEMICOLON SEMICOLON effect
                                                    { $$ = label(t, $1, $3, nullptr, $6, {$1, "*", $3, "/", $6}, "#debug:label ./. -> "); }
    | factor SEMICOLON trigger SEMICOLON cond SEMICOLON
                                                    { $$ = label(t, $1, $3, $5, nullptr, {$1, "*", $3, "[", $5, "]/"}, "#debug:label /. -> "); }
    | factor SEMICOLON trigger SEMICOLON cond SEMICOLON effect
                                                    { $$ = label(t, $1, $3, $5, $7, {$1, "*", $3, "[", $5, "]/", $7}, "#debug:label /. -> "); }
    ;

bexpr
    : ident                                         { list_line_quoted(t, "linterf", *$1); $$ = traced(t, "#debug:bexpr   ident -> ", $1); }
    | PRE LPAR ident RPAR                           { list_line(t, "linterf", *$3); $$ = traced(t, "#debug:bexpr  preId -> ", build(t, {"pre(", $3, ")"})); }
    | boperation                                    { $$ = traced(t, "#debug:bexpr boperation -> ", $1); }
    | LPAR bexpr RPAR                               { $$ = traced(t, "#debug:bexpr  (bexpr) -> ", build(t, {"(", $2, ")"})); }
    | OTHER                                         { $$ = unknown_symbol(t, "bad boolean expression", not_in_trigger); YYABORT; }
    ;

boperation
    : bexpr OR bexpr                                { $$ = traced(t, "#debug: boperation bexpr or bexpr -> ", build(t, {$1, "~or~", $3})); }
    | bexpr AND bexpr                               { $$ = traced(t, "#debug: boperation bexpr and bexpr -> ", build(t, {$1, "~and~", $3})); }
    | NOT bexpr                                     { $$ = traced(t, "#debug: boperation not bexpr -> ", build(t, {"not~", $2})); }
    ;

expr
    : literal                                       { $$ = traced(t, "#debug:expr literal -> ", $1); }
    | sic                                           { $$ = traced(t, "#debug:expr sic -> ", $1); }
    | constorvarid                                  { $$ = traced(t, "#debug:expr constorvarid -> ", $1); }
    | QUERY ident                                   { signal_value_read(t, *$2); $$ = traced(t, "#debug:expr  ? ident -> ", build(t, {"?", $2})); }
    | PRE LPAR QUERY ident RPAR                     { signal_value_read(t, *$4); $$ = traced(t, "#debug:expr  pre(? ident) -> ", build(t, {"pre(?", $4, ")"})); }
    | QUERY QUERY ident                             { $$ = traced(t, "#debug:expr  ?? ident -> ", build(t, {"?", $3})); }
    | operation                                     { $$ = traced(t, "#debug:expr operation -> ", $1); }
    | lcond                                         { $$ = traced(t, "#debug:expr lcond -> ", $1); }
    | ident LPAR RPAR                               { list_line_quoted(t, "lfunc", *$1); $$ = traced(t, "#debug:expr  ident () -> ", build(t, {$1, "()"})); }
    | ident LPAR vals RPAR                          { list_line_quoted(t, "lfunc", *$1); $$ = traced(t, "#debug:expr  ident (vals) -> ", build(t, {$1, "(", $3, ")"})); }
    | LPAR expr RPAR                                { $$ = traced(t, "#debug:expr  (expr) -> ", build(t, {"(", $2, ")"})); }
    | OTHER                                         { $$ = unknown_symbol(t, "bad expression", not_an_operand); YYABORT; }
    ;

literal
    : INT                                           { $$ = traced(t, "#debug:literal  INT -> ", token_text(t)); }
    | STRUE                                         { $$ = traced(t, "#debug:literal true -> ", t.value("true")); }
    | SFALSE                                        { $$ = traced(t, "#debug:literal false -> ", t.value("false")); }
    ;

constorvarid
    : ident                                         { list_line(t, "lvariable", *$1); $$ = traced(t, "#debug:constorvarid ident -> ", $1); }
    ;

operation
    : expr OR expr                                  { $$ = traced(t, "#debug: operation expr or expr -> ", build(t, {$1, "~or~", $3})); }
    | expr AND expr                                 { $$ = traced(t, "#debug: operation expr and expr -> ", build(t, {$1, "~and~", $3})); }
    | NOT expr                                      { $$ = traced(t, "#debug: operation not expr -> ", build(t, {"not~", $2})); }
    | expr PLUS expr                                { $$ = traced(t, "#debug: operation expr +  expr -> ", build(t, {$1, "~+~", $3})); }
    | expr MINUS expr                               { $$ = traced(t, "#debug: operation expr - expr -> ", build(t, {$1, "~-~", $3})); }
    | expr TIMES expr                               { $$ = traced(t, "#debug: operation expr * expr -> ", build(t, {$1, "~*~", $3})); }
    | expr DIV expr                                 { $$ = traced(t, "#debug: operation expr / expr -> ", build(t, {$1, "~/~", $3})); }
    | expr MOD expr                                 { $$ = traced(t, "#debug: operation expr mod expr -> ", build(t, {$1, "~mod~", $3})); }
    | MINUS expr                                    { $$ = traced(t, "#debug: operation - expr -> ", build(t, {"-~", $2})); }
    ;

lcond
    : expr LEQ expr                                 { $$ = traced(t, "#debug: lcond expr <= expr -> ", build(t, {$1, "~<=~", $3})); }
    | expr GT expr                                  { $$ = traced(t, "#debug: lcond expr > expr -> ", build(t, {$1, "~>~", $3})); }
    | expr LT expr                                  { $$ = traced(t, "#debug: lcond expr < expr -> ", build(t, {$1, "~<~", $3})); }
    | expr GEQ expr                                 { $$ = traced(t, "#debug: lcond expr >= expr -> ", build(t, {$1, "~>=~", $3})); }
    | expr EQ expr                                  { $$ = traced(t, "#debug: lcond expr = expr -> ", build(t, {$1, "~=~", $3})); }
    | expr NEQ expr                                 { $$ = traced(t, "#debug: lcond expr <> expr -> ", build(t, {$1, "~<>~", $3})); }
    ;

factor
    : expr                                          { $$ = traced(t, "#debug:factor expr  -> ", $1); }
    ;

trigger
    : TICK                                          { $$ = traced(t, "#debug:trigger TICK -> ", t.value("tick")); }
    | bexpr                                         { $$ = traced(t, "#debug:trigger  bexpr -> ", $1); }
    ;

cond
    : expr                                          { $$ = traced(t, "#debug:cond  expr -> ", $1); }
    ;

effect
    : emits                                         { $$ = traced(t, "#debug:effect emits -> ", $1); }
    ;

emits
    : emits COMMA emit                              { $$ = traced(t, "#debug:emits emits,emit -> ", build(t, {$1, " ", $3})); }
    | emit                                          { $$ = traced(t, "#debug:emits emit -> ", $1); }
    ;

emit
    : puresig                                       { $$ = traced(t, "#debug:emit puresig -> ", $1); }
    | valuedsig                                     { $$ = traced(t, "#debug:emit valuedsig -> ", $1); }
    | INLINE                                        { $$ = traced(t, "#debug:emit INLINE -> ", build(t, {"{", tilded_token(t), "}"})); }
    ;

puresig
    : ident                                         { list_line(t, "loutput", *$1); $$ = traced(t, "#debug:puresig ident -> ", $1); }
    | TICK                                          { $$ = traced(t, "#debug:puresig TICK -> ", t.value("tick")); }
    ;

valuedsig
    : ident LPAR expr RPAR                          { valued_emission(t, *$1); $$ = traced(t, "#debug:valuedsig ident ( expr ) -> ", build(t, {$1, "(", $3, ")"})); }
    ;

vals
    : vals COMMA val                                { $$ = traced(t, "#debug:vals vals val -> ", build(t, {$1, ",", $3})); }
    | val                                           { $$ = traced(t, "#debug:vals val -> ", $1); }
    ;

val
    : expr                                          { $$ = traced(t, "#debug:val expr -> ", $1); }
    ;

%%

#include "valued21_grammar.h"
TESSEL_GRAMMAR(valued21, Valued21)
