/* Grammar of the tagged intermediate code of a compiled chart.
   The declaration text goes to standard output: the header, one module block
   per macro (written when its ":<endMacro>" is read) and the part the host
   language has to provide. Every reduction leaves a trace record in the trace
   file, together with the "addElement lvariable" lines. */

%code requires {
#include <string>
namespace tessel::runtime { struct Ic3; }
}

%code {
#include <algorithm>
#include <cstdlib>

#include "grammar.h"
#include "Stringpp.h"

using namespace tessel::runtime;
using stringpp::itoS;
using stringpp::substitute_char;

#define ic3lex tessel::runtime::lex
#define ic3error tessel::runtime::parse_error

/* One translation: its streams and what a macro or a constellation carries
   from its beginning to its end (they do not nest). */
struct tessel::runtime::Ic3 : Translation {
    using Translation::Translation;
    bool macro_has_signals = false;  /* ":<signal>" declarations in the current macro */
    bool constel_has_variables = false;  /* a ":<vdcl>" list in the current constellation */
    std::string constel_name;        /* the current constellation's, from its degree on */
};

/* A verbatim text: what follows ":{", its closing brace turned into a
   newline (in place: the value is the token's copy). Its trace record quotes
   the value between ` and '. */
static std::string* verbatim_text(Ic3& t)
{
    auto* value = t.value(t.whole_token().substr(2));
    std::replace(value->begin(), value->end(), '}', '\n');
    if (t.tracing())
        t.trace_file.write({"#debug:verbatim VERB -> `", *value, "'\n"});
    return value;
}

/* A text between exclamation marks: the marks become double quotes and
   every tilde a blank. */
static std::string* quoted_text(Ic3& t)
{
    std::string text = substitute_char(substitute_char(std::string(t.whole_token()), '!', '"'), '~', ' ');
    return traced(t, "#debug:sic  ALTSTRING -> ", t.value(text));
}

/* The C library's decimal conversion with a 64-bit long, as on the systems
   the translators write their bytes for, without its undefined cases: the
   value saturates to the range of a 64-bit integer, then keeps its low 32
   bits. The same on every platform, those with a 32-bit long included
   (WebAssembly). */
static int decimal_value(const char* digits)
{
    long long wide = std::strtoll(digits, nullptr, 10);
    return static_cast<int>(static_cast<unsigned int>(static_cast<unsigned long long>(wide)));
}

/* Negation that wraps instead of overflowing. */
static int negated(int n)
{
    return static_cast<int>(0u - static_cast<unsigned int>(n));
}

/* The trace record of a number: written in decimal. */
static int traced_number(Ic3& t, int n)
{
    if (t.tracing())
        t.trace_file.write({"#debug:integer  INT  -> ", itoS(n), "\n"});
    return n;
}

/* A name read as a constant or variable: the editor learns it first (the
   line goes to the trace file, with or without the trace records). */
static std::string* variable_name(Ic3& t, std::string* name)
{
    t.trace_file.write({"addElement lvariable ", *name, "\n"});
    return traced(t, "#debug:constorvarid ident -> ", name);
}

/* The chart's header: traced, then written with an empty line after it. */
static std::string* header_text(Ic3& t, std::string* verbatims)
{
    traced(t, "#debug:header verbatims -> ", verbatims);
    t.out.write({*verbatims, "\n"});
    return verbatims;
}

/* A macro begins: it has no signal declarations yet. */
static void macro_start(Ic3& t)
{
    t.macro_has_signals = false;
}

/* A local signal declaration of the macro: the macro closes its signals. */
static std::string* signal_declaration(Ic3& t, std::string* list)
{
    t.macro_has_signals = true;
    return traced(t, "#debug:dcl SIG aSigDeclList -> ", build(t, {"  signal ", list, " in\n"}));
}

/* A constellation's name, known from its degree on. */
static void constel_start(Ic3& t, const std::string& name)
{
    t.constel_name = name;
}

/* The variable block of a constellation (vdcl), or none. */
static std::string* variables(Ic3& t, bool declared, const char* text, std::string* value)
{
    t.constel_has_variables = declared;
    return traced(t, text, value);
}

/* The constellation body: stars with the closing lines of the signal and
   variable blocks and the constellation's name. */
static std::string* constel_body(Ic3& t, std::string* before, std::string* stars, std::string* after)
{
    const std::string_view end_variables = t.constel_has_variables ? "     end var\n" : "";
    return traced(t, "#debug:cBody STARS verbatim stars ESTARS verbatims -> ",
                  build(t, {before, stars, after, "      end signal\n", end_variables,
                         "    % end ", t.constel_name, "\n"}));
}

/* A whole constellation; its name was taken at the action after its degree. */
static std::string* constellation(Ic3& t, std::string* name, std::initializer_list<Piece> value)
{
    t.release(name);
    return traced(t, "#debug:constel CON ident verbatim vdcl DEG int verbatim  initdcl cBody  ECON",
                  build(t, value));
}

/* A star: its body alone. */
static std::string* star_body(Ic3& t, std::string* name, std::string* body)
{
    t.release(name);
    return traced(t, "#debug:star STAR  ident DEG integer FIN integer sBody  ESTAR  -> ", body);
}

/* The module block of a macro, written as soon as the macro ends. */
static std::string* module_block(Ic3& t, std::string* name, std::string* body)
{
    const std::string macro = *name;
    const std::string end_signals = t.macro_has_signals ? " end signal%" + macro + "\n" : "\n";
    std::string* text = build(t, {"module ", name, ":\n", body, end_signals, "end module %", macro, "\n"});
    t.out.write({*text, "\n"});
    traced(t, "#debug:MAC ident mBody EMAC -> ", text);
    t.release(text);
    return t.value();
}

/* Opening line of a non-empty extern section. */
static void extern_opening(Ic3& t)
{
    t.out << "% To be provided by the host language:\n";
}

/* A non-empty extern section: its texts and closing line; the trace shows
   the whole section with its own closing line. */
static std::string* extern_section(Ic3& t, std::string* verbatims)
{
    t.out.write({*verbatims, "\n", "% ------ That's All Folks ! ------\n"});
    if (t.tracing())
        t.trace_file.write({"#debug:extdecl EXT decls EEXT -> ", "% To be provided by the host language:\n", *verbatims,
                            "% ----- That's All Folks ! --------\n", "\n"});
    t.release(verbatims);
    return t.value();
}

/* The whole chart: its record names the application (made only for the
   trace). */
static void chart(Ic3& t, std::initializer_list<Piece> value)
{
    t.release(traced_only(t, "#debug:axiom -> ", value));
}
}

%define api.prefix {ic3}
%define api.pure full
%parse-param {tessel::runtime::Ic3& t}
%lex-param {tessel::runtime::Ic3& t}

%union {
    std::string* u_String;
    int u_Int;
}

/* The tokens, each with its spelling. The tags of arcs, abortions and
   statements (":<arc>" to ":<normalTerm>" but ":<degree>" and ":<final>")
   are words of the intermediate code that no rule accepts. */
%token ID        "name"
%token STID      "name~with~tildes"
%token INT       "number"
%token MINUS     "-"
%token EQUAL     "="
%token PRE       "pre"
%token STRUE     "true"
%token SFALSE    "false"
%token MAIN      ":<main>"
%token EMAIN     ":<end>"
%token DCL       ":<dcl>"
%token EDCL      ":<edcl>"
%token MAC       ":<macro>"
%token EMAC      ":<endMacro>"
%token CON       ":<constel>"
%token ECON      ":<endConstel>"
%token STARS     ":<stars>"
%token ESTARS    ":<endStars>"
%token STAR      ":<star>"
%token ESTAR     ":<endStar>"
%token INI       ":<initial>"
%token EINI      ":<endInitial>"
%token ARC       ":<arc>"
%token EARC      ":<endArc>"
%token ABO       ":<abortion>"
%token EABO      ":<endAbortion>"
%token DEG       ":<degree>"
%token FIN       ":<final>"
%token IMM       ":<immed>"
%token DLY       ":<delayed>"
%token HALT      ":<halt>"
%token SUS       ":<sustain>"
%token RUN       ":<run>"
%token IDCL      ":<idcl>"
%token SDCL      ":<sdcl>"
%token ODCL      ":<odcl>"
%token RTDCL     ":<rtdcl>"
%token TDCL      ":<tdcl>"
%token FDCL      ":<fdcl>"
%token PDCL      ":<pdcl>"
%token RDCL      ":<rdcl>"
%token KDCL      ":<kdcl>"
%token VDCL      ":<vdcl>"
%token CDCL      ":<cdcl>"
%token ECDCL     ":<ecdcl>"
%token SIG       ":<signal>"
%token TO        ":<to>"
%token SUSP      ":<suspension>"
%token SABO      ":<strongAbort>"
%token WABO      ":<weakAbort>"
%token NTER      ":<normalTerm>"
%token VERB      ":{text}"
%token EXT       ":<extern>"
%token EEXT      ":<endExtern>"
%token ALTSTRING "!text!"
%token QUERY     "?"
%token LPAR      "("
%token RPAR      ")"
%token LCBRA     "{"
%token RCBRA     "}"
%token COLON     ":"
%token ASSIGN    ":="
%token OTHER     "other character"

%type <u_String> verbatims verbatim optverb header extdecl macros macro mBody
%type <u_String> declaration decls constels constel cBody vdcl initdcl stars star sBody
%type <u_String> dcl aSigDeclList aInitSigDeclList aConstInitDeclList
%type <u_String> sigDeclLBody sigInitDeclLBody constInitDeclLBody aTSig aInitTSig aInitTConst
%type <u_String> ident constorvarid sigTypeIdent literal expr sic
%type <u_Int> integer

/* Values left on the stack when a parse fails. */
%destructor { t.release($$); } <u_String>

%expect 0

%%

axiom
    : header MAIN ident macros extdecl EMAIN        { chart(t, {$1, "%application: ", $3, "\n", $4, $5}); }
    ;

verbatims
    : verbatim                                      { $$ = traced(t, "#debug:verbatims verbatim -> ", $1); }
    | verbatims verbatim                            { $$ = traced(t, "#debug:verbatims verbatims verbatim -> ", extend(t, $1, {$2})); }
    ;

verbatim
    : VERB                                          { $$ = verbatim_text(t); }
    ;

optverb
    : %empty                                        { $$ = traced(t, "#debug:optverb  -> ", t.value()); }
    | verbatims                                     { $$ = traced(t, "#debug:optverb verbatims -> ", $1); }
    ;

header
    : %empty                                        { $$ = traced(t, "#debug:header -> ", t.value("\n")); }
    | verbatims                                     { $$ = header_text(t, $1); }
    ;

extdecl
    : EXT EEXT                                      { $$ = traced(t, "#debug:extdecl EXT  EEXT -> ", t.value("\n")); }
    | EXT { extern_opening(t); } verbatims EEXT   { $$ = extern_section(t, $3); }
    ;

macros
    : macro                                         { $$ = traced(t, "#debug:macros macro -> ", $1); }
    | macros macro                                  { $$ = traced(t, "#debug:macros macros macro ", build(t, {$1, $2})); }
    ;

macro
    : MAC { macro_start(t); } ident mBody EMAC      { $$ = module_block(t, $3, $4); }
    ;

mBody
    : DEG integer declaration optverb constels optverb
                                                    { $$ = traced(t, "#debug:mBody DEG integer declaration constels optverb-> ", build(t, {$3, $4, $5, $6})); }
    ;

declaration
    : DCL EDCL                                      { $$ = traced(t, "#debug:declaration DCL  EDCL -> ", t.value()); }
    | DCL decls EDCL                                { $$ = traced(t, "#debug:declaration DCL decls EDCL -> ", extend(t, $2, {"\n"})); }
    ;

decls
    : dcl                                           { $$ = traced(t, "#debug:decls decl -> ", $1); }
    | decls dcl                                     { $$ = traced(t, "#debug:decls decls decl -> ", extend(t, $1, {$2})); }
    ;

constels
    : constel                                       { $$ = traced(t, "#debug:constels constel -> ", $1); }
    | constels constel                              { $$ = traced(t, "#debug:constels constels constel -> ", extend(t, $1, {"    ||\n", $2})); }
    ;

constel
    : CON ident verbatim vdcl DEG integer { constel_start(t, *$2); } verbatims initdcl cBody ECON
                                                    { $$ = constellation(t, $2, {$3, $4, $8, $9, $10}); }
    ;

cBody
    : STARS optverb stars ESTARS optverb            { $$ = constel_body(t, $2, $3, $5); }
    ;

vdcl
    : %empty                                        { $$ = variables(t, false, "#debug:vdcl  -> ", t.value()); }
    | VDCL aInitSigDeclList                         { $$ = variables(t, true, "#debug:vdcl VDCL aSigDeclList -> ", build(t, {"     var ", $2, " in\n"})); }
    ;

initdcl
    : INI verbatims EINI                            { $$ = traced(t, "#debug:initdcl INI verbatims EINI -> ", $2); }
    ;

stars
    : star                                          { $$ = traced(t, "#debug:stars star -> ", $1); }
    | stars star                                    { $$ = traced(t, "#debug:stars stars star -> ", extend(t, $1, {"\n", $2})); }
    ;

star
    : STAR ident DEG integer FIN integer sBody ESTAR
                                                    { $$ = star_body(t, $2, $7); }
    ;

sBody
    : verbatims                                     { $$ = traced(t, "#debug:sBody verbatims  -> ", $1); }
    ;

dcl
    : TDCL verbatim                                 { $$ = traced(t, "#debug:dcl TDCL aSigDeclList -> ", build(t, {" type ", $2})); }
    | FDCL verbatim                                 { $$ = traced(t, "#debug:dcl FDCL verbatim -> ", build(t, {" function ", $2})); }
    | PDCL verbatim                                 { $$ = traced(t, "#debug:dcl PDCL verbatim -> ", build(t, {" procedure ", $2})); }
    | KDCL verbatim                                 { $$ = traced(t, "#debug:dcl KDCL verbatim -> ", build(t, {" task ", $2})); }
    | RTDCL verbatim                                { $$ = traced(t, "#debug:dcl RTDCL verbatim -> ", build(t, {" return ", $2})); }
    | RDCL verbatim                                 { $$ = traced(t, "#debug:dcl RDCL verbatim -> ", build(t, {" relation ", $2})); }
    | ECDCL verbatim                                { $$ = traced(t, "#debug:dcl ECDCL verbatim -> ", build(t, {" constant ", $2})); }
    | IDCL aInitSigDeclList                         { $$ = traced(t, "#debug:dcl IDCL aSigDeclList -> ", build(t, {" input ", $2, ";\n"})); }
    | SDCL aSigDeclList                             { $$ = traced(t, "#debug:dcl SDCL aSigDeclList -> ", build(t, {" sensor ", $2, ";\n"})); }
    | ODCL aInitSigDeclList                         { $$ = traced(t, "#debug:dcl ODCL aSigDeclList -> ", build(t, {" output ", $2, ";\n"})); }
    | CDCL aConstInitDeclList                       { $$ = traced(t, "#debug:dcl CDCL aConstDeclList -> ", build(t, {" constant ", $2, ";\n"})); }
    | SIG aInitSigDeclList                          { $$ = signal_declaration(t, $2); }
    ;

aSigDeclList
    : LCBRA sigDeclLBody RCBRA                      { $$ = traced(t, "#debug:aSigDeclList { sigDeclLBody } -> ", $2); }
    ;

aInitSigDeclList
    : LCBRA sigInitDeclLBody RCBRA                  { $$ = traced(t, "#debug:aInitSigDeclList { sigInitDeclLBody } -> ", $2); }
    ;

aConstInitDeclList
    : LCBRA constInitDeclLBody RCBRA                { $$ = traced(t, "#debug:aConstInitDeclList { constInitDeclLBody } -> ", $2); }
    ;

sigDeclLBody
    : aTSig                                         { $$ = traced(t, "#debug:sigDeclLBody aTSig -> ", $1); }
    | sigDeclLBody aTSig                            { $$ = traced(t, "#debug:sigDeclLBody sigDeclLBody aTSig -> ", extend(t, $1, {", ", $2})); }
    ;

sigInitDeclLBody
    : aInitTSig                                     { $$ = traced(t, "#debug:sigInitDeclLBody aInitTSig -> ", $1); }
    | sigInitDeclLBody aInitTSig                    { $$ = traced(t, "#debug:sigInitDeclLBody sigInitDeclLBody aInitTSig -> ", extend(t, $1, {", ", $2})); }
    ;

constInitDeclLBody
    : aInitTConst                                   { $$ = traced(t, "#debug:constInitDeclLBody aInitTConst -> ", $1); }
    | constInitDeclLBody aInitTConst                { $$ = traced(t, "#debug:constInitDeclLBody constInitDeclLBody aInitTConst -> ", extend(t, $1, {", ", $2})); }
    ;

aTSig
    : ident                                         { $$ = traced(t, "#debug:aTSig  ident -> ", $1); }
    | ident COLON sigTypeIdent                      { $$ = traced(t, "#debug:aTSig  ID:STID -> ", build(t, {$1, ":", $3})); }
    ;

aInitTSig
    : aTSig                                         { $$ = traced(t, "#debug:aInitTSig  aTSig -> ", $1); }
    | ident ASSIGN expr COLON sigTypeIdent          { $$ = traced(t, "#debug:aInitTSig  ID:=expr:ID -> ", build(t, {$1, ":=", $3, ":", $5})); }
    ;

aInitTConst
    : aTSig                                         { $$ = traced(t, "#debug:aInitTConst  aTSig -> ", $1); }
    | ident EQUAL expr COLON sigTypeIdent           { $$ = traced(t, "#debug:aInitTConst  ID:=expr:ID -> ", build(t, {$1, "=", $3, ":", $5})); }
    ;

ident
    : ID                                            { $$ = traced(t, "#debug:ident  ID -> ", token_text(t)); }
    ;

constorvarid
    : ident                                         { $$ = variable_name(t, $1); }
    ;

sigTypeIdent
    : STID                                          { $$ = traced(t, "#debug:sigTypeIdent  STID -> ", token_text(t)); }
    | ID                                            { $$ = traced(t, "#debug:sigTypeIdent  ID -> ", token_text(t)); }
    ;

literal
    : INT                                           { $$ = traced(t, "#debug:literal  INT -> ", token_text(t)); }
    | STRUE                                         { $$ = traced(t, "#debug:literal true -> ", t.value("true")); }
    | SFALSE                                        { $$ = traced(t, "#debug:literal false -> ", t.value("false")); }
    ;

expr
    : literal                                       { $$ = traced(t, "#debug:expr literal -> ", $1); }
    | sic                                           { $$ = traced(t, "#debug:expr sic -> ", $1); }
    | constorvarid                                  { $$ = traced(t, "#debug:expr constorvarid -> ", $1); }
    | QUERY ident                                   { $$ = traced(t, "#debug:expr  ? ident -> ", build(t, {"?", $2})); }
    | PRE LPAR QUERY ident RPAR                     { $$ = traced(t, "#debug:expr  pre(? ident) -> ", build(t, {"pre(?", $4, ")"})); }
    | QUERY QUERY ident                             { $$ = traced(t, "#debug:expr  ?? ident -> ", build(t, {"?", $3})); }
    ;

sic
    : ALTSTRING                                     { $$ = quoted_text(t); }
    ;

integer
    : INT                                           { $$ = traced_number(t, decimal_value(t.token())); }
    | MINUS INT                                     { $$ = traced_number(t, negated(decimal_value(t.token()))); }
    ;

%%

#include "ic3_grammar.h"
TESSEL_GRAMMAR(ic3, Ic3)
