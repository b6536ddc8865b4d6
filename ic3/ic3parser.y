/* Grammar of the tagged intermediate code of a compiled chart.
   The declaration text goes to standard output: the header, one module block
   per macro (written when its ":<endMacro>" is read) and the part the host
   language has to provide. Every reduction leaves a trace record in the trace
   file, together with the "addElement lvariable" lines. */

%code requires {
#include <string>
}

%{
#include <cstdlib>
#include <string>

#include <FlexLexer.h>

#include "Stringpp.h"
#include "parser.h"

int ic3lex();
void ic3error(const char* message);

/* State carried between rules; macros and constellations do not nest. */
static int sigDeclNb = 0;        /* ":<signal>" declarations of the current macro */
static std::string macroId;      /* name of the current macro */
static std::string endSigStr;    /* line closing the macro's local signals */
static int vDeclNb = 0;          /* 1 when the constellation has a ":<vdcl>" list */
static std::string constelId;    /* name of the current constellation */
static std::string endVarStr;    /* line closing the constellation's variables */

/* Writes the rule's trace record and hands its value on. */
static std::string* traced(const char* text, std::string* value)
{
    trace(f_log, text, *value);
    return value;
}

/* Appends the pieces to a list's value in place (the list grows linearly)
   and releases the values consumed. */
static std::string* extend(std::string* list, std::initializer_list<Piece> pieces)
{
    for (const Piece& p : pieces)
        p.append_to(*list);
    for (const Piece& p : pieces)
        p.release();
    return list;
}

/* The whole text of the current token, NUL bytes included. */
static std::string whole_token()
{
    const FlexLexer& lexer = translator_lexer();
    return std::string(lexer.YYText(), static_cast<size_t>(lexer.YYLeng()));
}

/* A verbatim text: what follows ":{", its closing brace turned into a
   newline. Its trace record quotes the value between ` and '. */
static std::string* verbatim_text()
{
    auto* value = new std::string(substitute_char(whole_token().substr(2), '}', '\n'));
    f_log << "#debug:verbatim VERB -> `" << *value << "'\n";
    return value;
}

/* A text between exclamation marks: the marks become double quotes and
   every tilde a blank. */
static std::string* quoted_text()
{
    std::string text = substitute_char(substitute_char(whole_token(), '!', '"'), '~', ' ');
    return traced("#debug:sic  ALTSTRING -> ", new std::string(text));
}

/* The C library's decimal conversion on this platform, without its
   undefined cases: the value saturates to the range of long, then keeps
   its low 32 bits. */
static int decimal_value(const char* digits)
{
    long wide = std::strtol(digits, nullptr, 10);
    return static_cast<int>(static_cast<unsigned int>(static_cast<unsigned long>(wide)));
}

/* Negation that wraps instead of overflowing. */
static int negated(int n)
{
    return static_cast<int>(0u - static_cast<unsigned int>(n));
}

/* The trace record of a number: written in decimal. */
static int traced_number(int n)
{
    f_log << "#debug:integer  INT  -> " << itoS(n) << '\n';
    return n;
}

/* A name read as a constant or variable: the editor learns it first. */
static std::string* variable_name(std::string* name)
{
    f_log << "addElement lvariable " << *name << '\n';
    return traced("#debug:constorvarid ident -> ", name);
}

/* The chart's header: traced, then written with an empty line after it. */
static std::string* header_text(std::string* verbatims)
{
    traced("#debug:header verbatims -> ", verbatims);
    os << *verbatims << '\n';
    return verbatims;
}

/* A local signal declaration of the macro: counted for its closing line. */
static std::string* signal_declaration(std::string* list)
{
    ++sigDeclNb;
    return traced("#debug:dcl SIG aSigDeclList -> ", build({"  signal ", list, " in\n"}));
}

/* The variable block of a constellation (vdcl). */
static std::string* variables(int count, const char* text, std::string* value)
{
    vDeclNb = count;
    return traced(text, value);
}

/* The constellation body: stars with the closing lines of the signal and
   variable blocks and the constellation's name. */
static std::string* constel_body(std::string* before, std::string* stars, std::string* after)
{
    endVarStr = vDeclNb != 0 ? "     end var\n" : "";
    return traced("#debug:cBody STARS verbatim stars ESTARS verbatims -> ",
                  build({before, stars, after, "      end signal\n", endVarStr.c_str(),
                         "    % end ", constelId.c_str(), "\n"}));
}

/* A whole constellation; its name was taken at the action after its degree. */
static std::string* constellation(std::string* name, std::initializer_list<Piece> value)
{
    delete name;
    return traced("#debug:constel CON ident verbatim vdcl DEG int verbatim  initdcl cBody  ECON",
                  build(value));
}

/* A star: its body alone. */
static std::string* star_body(std::string* name, std::string* body)
{
    delete name;
    return traced("#debug:star STAR  ident DEG integer FIN integer sBody  ESTAR  -> ", body);
}

/* The module block of a macro, written as soon as the macro ends. */
static std::string* module_block(std::string* name, std::string* body)
{
    macroId = *name;
    endSigStr = sigDeclNb != 0 ? " end signal%" + macroId + "\n" : "\n";
    std::string* text = build({"module ", name, ":\n", body, endSigStr.c_str(),
                               "end module %", macroId.c_str(), "\n"});
    os << *text << '\n';
    trace(f_log, "#debug:MAC ident mBody EMAC -> ", *text);
    delete text;
    return new std::string;
}

/* Opening line of a non-empty extern section. */
static void extern_opening()
{
    os << "% To be provided by the host language:\n";
}

/* A non-empty extern section: its texts and closing line; the trace shows
   the whole section with its own closing line. */
static std::string* extern_section(std::string* verbatims)
{
    os << *verbatims << '\n';
    os << "% ------ That's All Folks ! ------\n";
    f_log << "#debug:extdecl EXT decls EEXT -> "
          << "% To be provided by the host language:\n"
          << *verbatims
          << "% ----- That's All Folks ! --------\n"
          << '\n';
    delete verbatims;
    return new std::string;
}

/* The whole chart: its record names the application. */
static void chart(std::initializer_list<Piece> value)
{
    std::string* text = build(value);
    trace(f_log, "#debug:axiom -> ", *text);
    delete text;
}
%}

%define api.prefix {ic3}

%union {
    std::string* u_String;
    int u_Int;
}

/* Declared in the order of their codes (258 upward). */
%token ID STID INT MINUS EQUAL PRE STRUE SFALSE
%token MAIN EMAIN DCL EDCL MAC EMAC CON ECON STARS ESTARS STAR ESTAR INI EINI
%token ARC EARC ABO EABO DEG FIN IMM DLY HALT SUS RUN
%token IDCL SDCL ODCL RTDCL TDCL FDCL PDCL RDCL KDCL VDCL CDCL ECDCL SIG
%token TO SUSP SABO WABO NTER VERB EXT EEXT ALTSTRING QUERY LPAR RPAR
%token LCBRA RCBRA COLON ASSIGN OTHER

%type <u_String> verbatims verbatim optverb header extdecl macros macro mBody
%type <u_String> declaration decls constels constel cBody vdcl initdcl stars star sBody
%type <u_String> dcl aSigDeclList aInitSigDeclList aConstInitDeclList
%type <u_String> sigDeclLBody sigInitDeclLBody constInitDeclLBody aTSig aInitTSig aInitTConst
%type <u_String> ident constorvarid sigTypeIdent literal expr sic
%type <u_Int> integer

%expect 0

%%

axiom
    : header MAIN ident macros extdecl EMAIN        { chart({$1, "%application: ", $3, "\n", $4, $5}); }
    ;

verbatims
    : verbatim                                      { $$ = traced("#debug:verbatims verbatim -> ", $1); }
    | verbatims verbatim                            { $$ = traced("#debug:verbatims verbatims verbatim -> ", extend($1, {$2})); }
    ;

verbatim
    : VERB                                          { $$ = verbatim_text(); }
    ;

optverb
    : %empty                                        { $$ = traced("#debug:optverb  -> ", new std::string); }
    | verbatims                                     { $$ = traced("#debug:optverb verbatims -> ", $1); }
    ;

header
    : %empty                                        { $$ = traced("#debug:header -> ", new std::string("\n")); }
    | verbatims                                     { $$ = header_text($1); }
    ;

extdecl
    : EXT EEXT                                      { $$ = traced("#debug:extdecl EXT  EEXT -> ", new std::string("\n")); }
    | EXT { extern_opening(); } verbatims EEXT      { $$ = extern_section($3); }
    ;

macros
    : macro                                         { $$ = traced("#debug:macros macro -> ", $1); }
    | macros macro                                  { $$ = traced("#debug:macros macros macro ", build({$1, $2})); }
    ;

macro
    : MAC { sigDeclNb = 0; } ident mBody EMAC       { $$ = module_block($3, $4); }
    ;

mBody
    : DEG integer declaration optverb constels optverb
                                                    { $$ = traced("#debug:mBody DEG integer declaration constels optverb-> ", build({$3, $4, $5, $6})); }
    ;

declaration
    : DCL EDCL                                      { $$ = traced("#debug:declaration DCL  EDCL -> ", new std::string); }
    | DCL decls EDCL                                { $$ = traced("#debug:declaration DCL decls EDCL -> ", extend($2, {"\n"})); }
    ;

decls
    : dcl                                           { $$ = traced("#debug:decls decl -> ", $1); }
    | decls dcl                                     { $$ = traced("#debug:decls decls decl -> ", extend($1, {$2})); }
    ;

constels
    : constel                                       { $$ = traced("#debug:constels constel -> ", $1); }
    | constels constel                              { $$ = traced("#debug:constels constels constel -> ", extend($1, {"    ||\n", $2})); }
    ;

constel
    : CON ident verbatim vdcl DEG integer { constelId = *$2; } verbatims initdcl cBody ECON
                                                    { $$ = constellation($2, {$3, $4, $8, $9, $10}); }
    ;

cBody
    : STARS optverb stars ESTARS optverb            { $$ = constel_body($2, $3, $5); }
    ;

vdcl
    : %empty                                        { $$ = variables(0, "#debug:vdcl  -> ", new std::string); }
    | VDCL aInitSigDeclList                         { $$ = variables(1, "#debug:vdcl VDCL aSigDeclList -> ", build({"     var ", $2, " in\n"})); }
    ;

initdcl
    : INI verbatims EINI                            { $$ = traced("#debug:initdcl INI verbatims EINI -> ", $2); }
    ;

stars
    : star                                          { $$ = traced("#debug:stars star -> ", $1); }
    | stars star                                    { $$ = traced("#debug:stars stars star -> ", extend($1, {"\n", $2})); }
    ;

star
    : STAR ident DEG integer FIN integer sBody ESTAR
                                                    { $$ = star_body($2, $7); }
    ;

sBody
    : verbatims                                     { $$ = traced("#debug:sBody verbatims  -> ", $1); }
    ;

dcl
    : TDCL verbatim                                 { $$ = traced("#debug:dcl TDCL aSigDeclList -> ", build({" type ", $2})); }
    | FDCL verbatim                                 { $$ = traced("#debug:dcl FDCL verbatim -> ", build({" function ", $2})); }
    | PDCL verbatim                                 { $$ = traced("#debug:dcl PDCL verbatim -> ", build({" procedure ", $2})); }
    | KDCL verbatim                                 { $$ = traced("#debug:dcl KDCL verbatim -> ", build({" task ", $2})); }
    | RTDCL verbatim                                { $$ = traced("#debug:dcl RTDCL verbatim -> ", build({" return ", $2})); }
    | RDCL verbatim                                 { $$ = traced("#debug:dcl RDCL verbatim -> ", build({" relation ", $2})); }
    | ECDCL verbatim                                { $$ = traced("#debug:dcl ECDCL verbatim -> ", build({" constant ", $2})); }
    | IDCL aInitSigDeclList                         { $$ = traced("#debug:dcl IDCL aSigDeclList -> ", build({" input ", $2, ";\n"})); }
    | SDCL aSigDeclList                             { $$ = traced("#debug:dcl SDCL aSigDeclList -> ", build({" sensor ", $2, ";\n"})); }
    | ODCL aInitSigDeclList                         { $$ = traced("#debug:dcl ODCL aSigDeclList -> ", build({" output ", $2, ";\n"})); }
    | CDCL aConstInitDeclList                       { $$ = traced("#debug:dcl CDCL aConstDeclList -> ", build({" constant ", $2, ";\n"})); }
    | SIG aInitSigDeclList                          { $$ = signal_declaration($2); }
    ;

aSigDeclList
    : LCBRA sigDeclLBody RCBRA                      { $$ = traced("#debug:aSigDeclList { sigDeclLBody } -> ", $2); }
    ;

aInitSigDeclList
    : LCBRA sigInitDeclLBody RCBRA                  { $$ = traced("#debug:aInitSigDeclList { sigInitDeclLBody } -> ", $2); }
    ;

aConstInitDeclList
    : LCBRA constInitDeclLBody RCBRA                { $$ = traced("#debug:aConstInitDeclList { constInitDeclLBody } -> ", $2); }
    ;

sigDeclLBody
    : aTSig                                         { $$ = traced("#debug:sigDeclLBody aTSig -> ", $1); }
    | sigDeclLBody aTSig                            { $$ = traced("#debug:sigDeclLBody sigDeclLBody aTSig -> ", extend($1, {", ", $2})); }
    ;

sigInitDeclLBody
    : aInitTSig                                     { $$ = traced("#debug:sigInitDeclLBody aInitTSig -> ", $1); }
    | sigInitDeclLBody aInitTSig                    { $$ = traced("#debug:sigInitDeclLBody sigInitDeclLBody aInitTSig -> ", extend($1, {", ", $2})); }
    ;

constInitDeclLBody
    : aInitTConst                                   { $$ = traced("#debug:constInitDeclLBody aInitTConst -> ", $1); }
    | constInitDeclLBody aInitTConst                { $$ = traced("#debug:constInitDeclLBody constInitDeclLBody aInitTConst -> ", extend($1, {", ", $2})); }
    ;

aTSig
    : ident                                         { $$ = traced("#debug:aTSig  ident -> ", $1); }
    | ident COLON sigTypeIdent                      { $$ = traced("#debug:aTSig  ID:STID -> ", build({$1, ":", $3})); }
    ;

aInitTSig
    : aTSig                                         { $$ = traced("#debug:aInitTSig  aTSig -> ", $1); }
    | ident ASSIGN expr COLON sigTypeIdent          { $$ = traced("#debug:aInitTSig  ID:=expr:ID -> ", build({$1, ":=", $3, ":", $5})); }
    ;

aInitTConst
    : aTSig                                         { $$ = traced("#debug:aInitTConst  aTSig -> ", $1); }
    | ident EQUAL expr COLON sigTypeIdent           { $$ = traced("#debug:aInitTConst  ID:=expr:ID -> ", build({$1, "=", $3, ":", $5})); }
    ;

ident
    : ID                                            { $$ = traced("#debug:ident  ID -> ", token_text()); }
    ;

constorvarid
    : ident                                         { $$ = variable_name($1); }
    ;

sigTypeIdent
    : STID                                          { $$ = traced("#debug:sigTypeIdent  STID -> ", token_text()); }
    | ID                                            { $$ = traced("#debug:sigTypeIdent  ID -> ", token_text()); }
    ;

literal
    : INT                                           { $$ = traced("#debug:literal  INT -> ", token_text()); }
    | STRUE                                         { $$ = traced("#debug:literal true -> ", new std::string("true")); }
    | SFALSE                                        { $$ = traced("#debug:literal false -> ", new std::string("false")); }
    ;

expr
    : literal                                       { $$ = traced("#debug:expr literal -> ", $1); }
    | sic                                           { $$ = traced("#debug:expr sic -> ", $1); }
    | constorvarid                                  { $$ = traced("#debug:expr constorvarid -> ", $1); }
    | QUERY ident                                   { $$ = traced("#debug:expr  ? ident -> ", build({"?", $2})); }
    | PRE LPAR QUERY ident RPAR                     { $$ = traced("#debug:expr  pre(? ident) -> ", build({"pre(?", $4, ")"})); }
    | QUERY QUERY ident                             { $$ = traced("#debug:expr  ?? ident -> ", build({"?", $3})); }
    ;

sic
    : ALTSTRING                                     { $$ = quoted_text(); }
    ;

integer
    : INT                                           { $$ = traced_number(decimal_value(current_token())); }
    | MINUS INT                                     { $$ = traced_number(negated(decimal_value(current_token()))); }
    ;

%%

const std::string ParserType = "Ic3";

int translator_parse()
{
    return ic3parse();
}

void ic3error(const char* message)
{
    report_error(message);
}
