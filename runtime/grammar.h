// Settings and helpers shared by every translator's grammar. Included from
// the prologue (%code) of each .y file, which then gives the parser's token
// function and error routine, which bison calls <prefix>lex and
// <prefix>error, the shared ones:
//
//   #define <prefix>lex tessel::runtime::lex
//   #define <prefix>error tessel::runtime::parse_error
//
// and ends with TESSEL_GRAMMAR(<kind>, <State>) after the facts that the
// build reads from bison's report on it (#include "<kind>_grammar.h": the
// tokens' names and spellings, the rule of each state).
#ifndef TESSEL_RUNTIME_GRAMMAR_H
#define TESSEL_RUNTIME_GRAMMAR_H

#include <cstring>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>

#include "script.h"
#include "translation.h"

// The engine's stacks: their capacity, and their storage once they outgrow
// their first Options::least_depth entries (bison's YYINITDEPTH; see
// effective() in translate.cpp), are the translation's (t, the parse
// parameter).
#define YYMAXDEPTH (t.max_depth())
#define YYMALLOC(bytes) t.parser_stack(bytes)
#define YYFREE(stack) t.free_parser_stack(stack)

namespace tessel::runtime {

// The parser's token function and error routine.
template <class Value>
int lex(Value*, Translation& t)
{
    return t.next_token();
}

inline void parse_error(Translation& t, const char* message)
{
    t.parser_error(message);
}

// Writes the rule's trace record (when the translation keeps a trace) and
// hands its value on.
inline std::string* traced(Translation& t, const char* text, std::string* value)
{
    if (t.tracing())
        t.trace_record(text, *value);
    return value;
}

// A piece of a value being built: either text (a literal, or a string the
// action holds), or a value of the rule's right side, which the builder
// consumes (releases) once copied.
class Piece {
public:
    template <size_t N>
    Piece(const char (&literal)[N]) : text_(literal, N - 1)
    {
    }
    Piece(std::string_view text) : text_(text) {}
    Piece(const std::string& text) : text_(text) {}
    Piece(std::string* value) : owned_(value), text_(value ? std::string_view(*value) : std::string_view()) {}
    size_t size() const { return text_.size(); }
    void append_to(std::string& out) const { out.append(text_.data(), text_.size()); }
    std::string* owned() const { return owned_; }

private:
    std::string* owned_ = nullptr;
    std::string_view text_;
};

// Joins the pieces into a new value and releases the values consumed.
std::string* build(Translation& t, std::initializer_list<Piece> pieces);

// Appends the pieces to a value in place and releases the values consumed.
std::string* extend(Translation& t, std::string* value, std::initializer_list<Piece> pieces);

// A value that only the trace shows (a whole label, a declaration): built
// and traced when the translation keeps a trace; else an empty value, the
// pieces' values released.
std::string* traced_only(Translation& t, const char* text, std::initializer_list<Piece> pieces);

// A new value holding the scanner's current token text.
std::string* token_text(Translation& t);

}  // namespace tessel::runtime

// The end of a grammar file: the automaton of its parser's tables, with the
// names of its tokens and the rule of each state (<kind>_tokens and
// <kind>_state_rules, from <kind>_grammar.h), and the translator that runs
// the parser on the translation's state <State> with the scanner of
// lex.<kind>.l (TESSEL_SCANNER): <kind>_automaton and translate_<kind>, for
// the language's descriptor (<kind>/language.cpp).
#define TESSEL_GRAMMAR(kind, State)                                                                        \
    namespace tessel::runtime {                                                                            \
    std::unique_ptr<TokenSource> kind##_scanner(Translation& translation);                                 \
    const Automaton& kind##_automaton()                                                                    \
    {                                                                                                      \
        static_assert(std::size(kind##_tokens) == YYNTOKENS - 3, "a name for every token");                \
        static_assert(YYINITDEPTH == Options::least_depth, "the parser's first entries");                  \
        static_assert(std::size(kind##_state_rules) == YYNSTATES, "a rule for every state");               \
        static const Automaton automaton(Tables{                                                           \
            table_ints(yypact), table_ints(yydefact), table_ints(yypgoto), table_ints(yydefgoto),          \
            table_ints(yytable), table_ints(yycheck), table_ints(yyr1), table_ints(yyr2),                  \
            table_ints(yytranslate), YYPACT_NINF, yytable_value_is_error(YYTABLE_NINF) != 0, YYTABLE_NINF, \
            YYLAST, YYNTOKENS, YYFINAL, YYMAXUTOK, {std::begin(kind##_tokens), std::end(kind##_tokens)},   \
            {std::begin(kind##_state_rules), std::end(kind##_state_rules)}});                              \
        return automaton;                                                                                  \
    }                                                                                                      \
    Ending translate_##kind(const Language& language, const Streams& streams, const Options& options,      \
                            std::vector<Command>* commands, Resources& resources)                          \
    {                                                                                                      \
        return run<State>(language, streams, options, commands, resources, kind##_scanner, kind##parse);   \
    }                                                                                                      \
    }

#endif
