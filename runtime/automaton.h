// A grammar's LR automaton as data: the tables that bison made for its
// parser, read the way the parser reads them, but without running any
// action. It tells, for the tokens a translation read, where the parser
// stood when it read the last of them, which tokens it could have shifted
// there, and in which state it found the error. (The tools that keep the
// messages complete search it further: tools/search.h.)
#ifndef TESSEL_RUNTIME_AUTOMATON_H
#define TESSEL_RUNTIME_AUTOMATON_H

#include <cstddef>
#include <string>
#include <vector>

namespace tessel::runtime {

// A token of a grammar, as its .y file declares it: its name (ID,
// SEMICOLON) and its spelling ("name", ";").
struct TokenName {
    const char* name;
    const char* spelling;
};

// The parser's tables (bison's yypact, yydefact, ...), copied as ints.
struct Tables {
    std::vector<int> pact, defact, pgoto, defgoto, table, check, r1, r2, translate;
    int pact_ninf;     // yypact: the state's default reduction alone
    bool table_errors; // yytable holds explicit errors (as table_ninf)
    int table_ninf, last, ntokens, final_state, max_token;
    std::vector<TokenName> tokens;  // the tokens in the order of their codes (258 upward)
    // For each state, the nonterminal whose rule the parser is in there, as
    // the grammar names it (from bison's report, tools/grammar_report.py).
    std::vector<const char*> state_rules;
};

// Copies one of bison's tables.
template <class T, std::size_t N>
std::vector<int> table_ints(const T (&values)[N])
{
    return std::vector<int>(values, values + N);
}

// What the parser makes of the last of the tokens it read.
struct Analysis {
    int error_state = -1;            // the state in which the last token meets the error, or -1
    int arrival_state = -1;          // the state the last token arrived in (before its reductions)
    std::vector<int> expected;       // the token symbols that could be shifted instead, by name
};

class Automaton {
public:
    explicit Automaton(Tables tables);

    // The symbol of a token code (0 and below: the end of the text).
    int symbol(int code) const;
    // END, ID, SEMICOLON ...: the token names, END for the end of the text.
    const std::string& name(int symbol) const;
    const std::string& spelling(int symbol) const;
    // A token as a person reads it ("a name", "`;`", "the end of the text";
    // "" for a character no rule wants), and where it goes in a list shown
    // to a person: names and numbers, texts, keywords, signs, then the end.
    struct Shown {
        int order;
        std::string words;
    };
    const Shown& shown(int symbol) const;
    int token_symbols() const { return t_.ntokens; }
    // The nonterminal whose rule the parser is in, in a state ("" for a
    // number that is no state).
    const char* rule(int state) const
    {
        return state >= 0 && static_cast<size_t>(state) < t_.state_rules.size() ? t_.state_rules[static_cast<size_t>(state)]
                                                                               : "";
    }
    int states() const { return static_cast<int>(t_.pact.size()); }

    // Replays the tokens (their codes, as the scanner gave them) but the
    // last from the start state, then looks at the last one. The parser
    // stops at the same place: the replay makes its moves, actions aside.
    Analysis analyse(const std::vector<unsigned short>& codes) const;

private:
    friend class Search;

    enum class Move { shift, reduce, error, accept };
    struct Action {
        Move move;
        int target;  // the state shifted to, or the rule reduced
    };
    // The action of the state for the token symbol, as the parser takes it:
    // the state's default reduction when the table says nothing.
    Action action(int state, int symbol) const;
    // True when the parser reduces without looking at the next token.
    bool reduces_without_token(int state) const;
    // The state the parser goes to after reducing by the rule, from top.
    int goto_state(int rule, int top) const;
    // Pops the rule's right side and pushes the goto state.
    void reduce(std::vector<int>& stack, int rule) const;
    // The move a token of this symbol meets on this stack, after the
    // reductions it causes (not made on the stack: the states they push go
    // to `above`, kept from call to call); `top`: the state where it meets it.
    Move meets(const std::vector<int>& stack, int symbol, std::vector<int>& above, int& top) const;
    // True when a token of this symbol would be shifted from this stack
    // (after the reductions it causes), false when it meets an error; the
    // states it pushes go to `above`, kept from call to call.
    bool shifts(const std::vector<int>& stack, int symbol, std::vector<int>& above) const;
    // Makes the reductions the symbol causes; returns the action that follows them.
    Action reduce_for(std::vector<int>& stack, int symbol) const;
    // Makes the reductions that need no token.
    void settle(std::vector<int>& stack) const;

    Tables t_;
    std::vector<int> by_name_;  // the token symbols (but bison's own) in the order of their names
    std::vector<int> name_rank_;  // for each token symbol, its place in that order
    // Each symbol's name, spelling and how it is shown, made once (a
    // diagnosis reads them often), then those of what no symbol is.
    std::vector<std::string> names_, spellings_;
    std::vector<Shown> shown_;
    // The index of a symbol's entry in those.
    size_t entry(int symbol) const;
    // The token symbols each state's row names: row_symbols_ from
    // row_start_[state] to row_start_[state + 1].
    std::vector<size_t> row_start_;
    std::vector<int> row_symbols_;
};

}  // namespace tessel::runtime

#endif
