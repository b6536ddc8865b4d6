/* Grammar of a transition label whose signals may carry values:
   "factor;trigger;condition;effect." Every reduction writes a trace line; the
   names the label uses go to the editor's lists as they are reduced, and the
   final action writes the editor's "set" lines and ends the process. */

%code requires {
#include <string>
}

%{
#include "parser.h"
#include "Stringpp.h"

int valued21lex();
void valued21error(const char* message);

/* The four parts of the label, assigned by the label rule. */
static std::string factStr, triggerStr, condStr, effectStr;

/* Writes the rule's trace line and hands its value on. */
static std::string* traced(const char* text, std::string* value)
{
    trace(os, text, *value);
    return value;
}

/* The current token's text with its blanks turned into tildes (verbatim and
   exclamation-mark texts). */
static std::string* tilded_token()
{
    return new std::string(substitute_char(current_token(), ' ', '~'));
}

/* The start action: empties the editor's lists. */
static void start_lines()
{
    os << "set loutput \"\"\n"
          "set linterf \"\"\n"
          "set lvsignal \"\"\n"
          "set lvariable \"\"\n"
          "set lfunc   \"\"\n";
}

/* "?S" or "pre(?S)" read in an expression: the signal's value and the signal. */
static void signal_value_read(const std::string& name)
{
    list_line_quoted("lvsignal", name);
    list_line_quoted("linterf", name);
}

/* A valued emission: the signal is emitted and carries a value. */
static void valued_emission(const std::string& name)
{
    list_line("loutput", name);
    list_line("lvsignal", name);
}

/* A label rule: assigns the four parts (a null part is empty), then builds
   and traces the label's value. */
static std::string* label(const std::string* fact, const std::string* trig,
                          const std::string* cond, const std::string* eff,
                          std::initializer_list<Piece> value, const char* text)
{
    factStr = fact ? *fact : "";
    triggerStr = trig ? *trig : "";
    condStr = cond ? *cond : "";
    effectStr = eff ? *eff : "";
    return traced(text, build(value));
}

/* A character no rule expects where an operand is needed. */
[[noreturn]] static void unknown_symbol(const char* message)
{
    write_stderr(std::string("unknown symbol: ") + current_token() + "\n");
    valued21error(message);
    finish(1);  /* not reached: the error routine ends the process */
}

/* The final action: the label's trace line and the editor's variables. */
[[noreturn]] static void final_lines(const std::string& value)
{
    trace(os, "#debug:axiom -> ", value);
    os << "set factor \"" << factStr << "\"\n"
       << "set trigger \"" << triggerStr << "\"\n"
       << "set cond \"" << condStr << "\"\n"
       << "set effect \"" << effectStr << "\"\n"
       << "break\n";
    finish(0);
}
%}

%define api.prefix {valued21}

%union {
    std::string* u_String;
}

/* Declared in the order of the token codes (258 upward). */
%token ID INT AND OR NOT PRE TICK STRUE SFALSE LEQ GT LT GEQ EQ NEQ MOD DOT
%token LPAR RPAR LSQB RSQB PLUS MINUS TIMES DIV DIESE QUERY COMMA SEMICOLON
%token INLINE ALTSTRING OTHER

%type <u_String> ident sic label bexpr boperation expr literal constorvarid
%type <u_String> operation lcond factor trigger cond effect emits emit puresig
%type <u_String> valuedsig vals val

/* The operator rules carry no precedence: every shift/reduce conflict is
   resolved by shifting, so operators group to the right and "not" and the
   unary minus reach to the end of the enclosing part. */
%expect 201

%%

axiom
    : { start_lines(); } label DOT                  { final_lines(*$2); }
    ;

ident
    : ID                                            { $$ = traced("#debug:ident  ID -> ", token_text()); }
    ;

sic
    : ALTSTRING                                     { $$ = traced("#debug:sic  ALTSTRING -> ", tilded_token()); }
    ;

label
    : SEMICOLON SEMICOLON SEMICOLON                 { $$ = label(nullptr, nullptr, nullptr, nullptr, {"/"}, "#debug:label / -> "); }
    | SEMICOLON SEMICOLON SEMICOLON effect          { $$ = label(nullptr, nullptr, nullptr, $4, {"/", $4}, "#debug:label /. -> "); }
    | SEMICOLON SEMICOLON cond SEMICOLON            { $$ = label(nullptr, nullptr, $3, nullptr, {"[", $3, "]/"}, "#debug:label /. -> "); }
    | SEMICOLON SEMICOLON cond SEMICOLON effect     { $$ = label(nullptr, nullptr, $3, $5, {"[", $3, "]/", $5}, "#debug:label /. -> "); }
    | SEMICOLON trigger SEMICOLON SEMICOLON         { $$ = label(nullptr, $2, nullptr, nullptr, {$2, "/"}, "#debug:label ./ -> "); }
    | SEMICOLON trigger SEMICOLON SEMICOLON effect  { $$ = label(nullptr, $2, nullptr, $5, {$2, "/", $5}, "#debug:label ./. -> "); }
    | SEMICOLON trigger SEMICOLON cond SEMICOLON    { $$ = label(nullptr, $2, $4, nullptr, {$2, "[", $4, "]/"}, "#debug:label /. -> "); }
    | SEMICOLON trigger SEMICOLON cond SEMICOLON effect
                                                    { $$ = label(nullptr, $2, $4, $6, {$2, "[", $4, "]/", $6}, "#debug:label /. -> "); }
    | factor SEMICOLON SEMICOLON SEMICOLON          { $$ = label($1, nullptr, nullptr, nullptr, {$1, "* /"}, "#debug:label / -> "); valued21error("trigger missing"); }
    | factor SEMICOLON SEMICOLON SEMICOLON effect   { $$ = label($1, nullptr, nullptr, $5, {$1, "* /", $5}, "#debug:label /. -> "); valued21error("trigger missing"); }
    | factor SEMICOLON SEMICOLON cond SEMICOLON     { $$ = label($1, nullptr, $4, nullptr, {$1, "* [", $4, "]/"}, "#debug:label /. -> "); valued21error("trigger missing"); }
    | factor SEMICOLON SEMICOLON cond SEMICOLON effect
                                                    { $$ = label($1, nullptr, $4, $6, {$1, "* [", $4, "]/", $6}, "#debug:label /. -> "); valued21error("trigger missing"); }
    | factor SEMICOLON trigger SEMICOLON SEMICOLON  { $$ = label($1, $3, nullptr, nullptr, {$1, "*", $3, "/"}, "#debug:label ./ -> "); }
    | factor SEMICOLON trigger SEMICOLON SEMICOLON effect
                                                    { $$ = label($1, $3, nullptr, $6, {$1, "*", $3, "/", $6}, "#debug:label ./. -> "); }
    | factor SEMICOLON trigger SEMICOLON cond SEMICOLON
                                                    { $$ = label($1, $3, $5, nullptr, {$1, "*", $3, "[", $5, "]/"}, "#debug:label /. -> "); }
    | factor SEMICOLON trigger SEMICOLON cond SEMICOLON effect
                                                    { $$ = label($1, $3, $5, $7, {$1, "*", $3, "[", $5, "]/", $7}, "#debug:label /. -> "); }
    ;

bexpr
    : ident                                         { list_line_quoted("linterf", *$1); $$ = traced("#debug:bexpr   ident -> ", $1); }
    | PRE LPAR ident RPAR                           { list_line("linterf", *$3); $$ = traced("#debug:bexpr  preId -> ", build({"pre(", $3, ")"})); }
    | boperation                                    { $$ = traced("#debug:bexpr boperation -> ", $1); }
    | LPAR bexpr RPAR                               { $$ = traced("#debug:bexpr  (bexpr) -> ", build({"(", $2, ")"})); }
    | OTHER                                         { unknown_symbol("bad boolean expression"); }
    ;

boperation
    : bexpr OR bexpr                                { $$ = traced("#debug: boperation bexpr or bexpr -> ", build({$1, "~or~", $3})); }
    | bexpr AND bexpr                               { $$ = traced("#debug: boperation bexpr and bexpr -> ", build({$1, "~and~", $3})); }
    | NOT bexpr                                     { $$ = traced("#debug: boperation not bexpr -> ", build({"not~", $2})); }
    ;

expr
    : literal                                       { $$ = traced("#debug:expr literal -> ", $1); }
    | sic                                           { $$ = traced("#debug:expr sic -> ", $1); }
    | constorvarid                                  { $$ = traced("#debug:expr constorvarid -> ", $1); }
    | QUERY ident                                   { signal_value_read(*$2); $$ = traced("#debug:expr  ? ident -> ", build({"?", $2})); }
    | PRE LPAR QUERY ident RPAR                     { signal_value_read(*$4); $$ = traced("#debug:expr  pre(? ident) -> ", build({"pre(?", $4, ")"})); }
    | QUERY QUERY ident                             { $$ = traced("#debug:expr  ?? ident -> ", build({"?", $3})); }
    | operation                                     { $$ = traced("#debug:expr operation -> ", $1); }
    | lcond                                         { $$ = traced("#debug:expr lcond -> ", $1); }
    | ident LPAR RPAR                               { list_line_quoted("lfunc", *$1); $$ = traced("#debug:expr  ident () -> ", build({$1, "()"})); }
    | ident LPAR vals RPAR                          { list_line_quoted("lfunc", *$1); $$ = traced("#debug:expr  ident (vals) -> ", build({$1, "(", $3, ")"})); }
    | LPAR expr RPAR                                { $$ = traced("#debug:expr  (expr) -> ", build({"(", $2, ")"})); }
    | OTHER                                         { unknown_symbol("bad expression"); }
    ;

literal
    : INT                                           { $$ = traced("#debug:literal  INT -> ", token_text()); }
    | STRUE                                         { $$ = traced("#debug:literal true -> ", new std::string("true")); }
    | SFALSE                                        { $$ = traced("#debug:literal false -> ", new std::string("false")); }
    ;

constorvarid
    : ident                                         { list_line("lvariable", *$1); $$ = traced("#debug:constorvarid ident -> ", $1); }
    ;

operation
    : expr OR expr                                  { $$ = traced("#debug: operation expr or expr -> ", build({$1, "~or~", $3})); }
    | expr AND expr                                 { $$ = traced("#debug: operation expr and expr -> ", build({$1, "~and~", $3})); }
    | NOT expr                                      { $$ = traced("#debug: operation not expr -> ", build({"not~", $2})); }
    | expr PLUS expr                                { $$ = traced("#debug: operation expr +  expr -> ", build({$1, "~+~", $3})); }
    | expr MINUS expr                               { $$ = traced("#debug: operation expr - expr -> ", build({$1, "~-~", $3})); }
    | expr TIMES expr                               { $$ = traced("#debug: operation expr * expr -> ", build({$1, "~*~", $3})); }
    | expr DIV expr                                 { $$ = traced("#debug: operation expr / expr -> ", build({$1, "~/~", $3})); }
    | expr MOD expr                                 { $$ = traced("#debug: operation expr mod expr -> ", build({$1, "~mod~", $3})); }
    | MINUS expr                                    { $$ = traced("#debug: operation - expr -> ", build({"-~", $2})); }
    ;

lcond
    : expr LEQ expr                                 { $$ = traced("#debug: lcond expr <= expr -> ", build({$1, "~<=~", $3})); }
    | expr GT expr                                  { $$ = traced("#debug: lcond expr > expr -> ", build({$1, "~>~", $3})); }
    | expr LT expr                                  { $$ = traced("#debug: lcond expr < expr -> ", build({$1, "~<~", $3})); }
    | expr GEQ expr                                 { $$ = traced("#debug: lcond expr >= expr -> ", build({$1, "~>=~", $3})); }
    | expr EQ expr                                  { $$ = traced("#debug: lcond expr = expr -> ", build({$1, "~=~", $3})); }
    | expr NEQ expr                                 { $$ = traced("#debug: lcond expr <> expr -> ", build({$1, "~<>~", $3})); }
    ;

factor
    : expr                                          { $$ = traced("#debug:factor expr  -> ", $1); }
    ;

trigger
    : TICK                                          { $$ = traced("#debug:trigger TICK -> ", new std::string("tick")); }
    | bexpr                                         { $$ = traced("#debug:trigger  bexpr -> ", $1); }
    ;

cond
    : expr                                          { $$ = traced("#debug:cond  expr -> ", $1); }
    ;

effect
    : emits                                         { $$ = traced("#debug:effect emits -> ", $1); }
    ;

emits
    : emits COMMA emit                              { $$ = traced("#debug:emits emits,emit -> ", build({$1, " ", $3})); }
    | emit                                          { $$ = traced("#debug:emits emit -> ", $1); }
    ;

emit
    : puresig                                       { $$ = traced("#debug:emit puresig -> ", $1); }
    | valuedsig                                     { $$ = traced("#debug:emit valuedsig -> ", $1); }
    | INLINE                                        { $$ = traced("#debug:emit INLINE -> ", build({"{", tilded_token(), "}"})); }
    ;

puresig
    : ident                                         { list_line("loutput", *$1); $$ = traced("#debug:puresig ident -> ", $1); }
    | TICK                                          { $$ = traced("#debug:puresig TICK -> ", new std::string("tick")); }
    ;

valuedsig
    : ident LPAR expr RPAR                          { valued_emission(*$1); $$ = traced("#debug:valuedsig ident ( expr ) -> ", build({$1, "(", $3, ")"})); }
    ;

vals
    : vals COMMA val                                { $$ = traced("#debug:vals vals val -> ", build({$1, ",", $3})); }
    | val                                           { $$ = traced("#debug:vals val -> ", $1); }
    ;

val
    : expr                                          { $$ = traced("#debug:val expr -> ", $1); }
    ;

%%

const std::string ParserType = "Valued21";

int translator_parse()
{
    return valued21parse();
}

void valued21error(const char* message)
{
    report_error(message);
}
