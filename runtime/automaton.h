// A grammar's LR automaton as data: the tables that bison made for its
// parser, read the way the parser reads them, but without running any
// action. It tells, for the tokens a translation read, where the parser
// stood when it read the last of them, which tokens it could have shifted
// there, and in which state it found the error; and, for the tools that
// keep the messages complete, which states can find an error at all.
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

// Where the parser stands after the tokens read before the last one, and
// what it makes of the last one.
struct Analysis {
    std::vector<int> stack;          // the states when the last token was read
    int error_state = -1;            // the state in which the last token meets the error, or -1
    std::vector<int> expected;       // the token symbols that could be shifted instead, by name
};

class Automaton {
public:
    explicit Automaton(Tables tables);

    // The symbol of a token code (0 and below: the end of the text).
    int symbol(int code) const;
    // END, ID, SEMICOLON ...: the token names, END for the end of the text.
    std::string name(int symbol) const;
    std::string spelling(int symbol) const;
    // A text the scanner reads as a token of the symbol ("" for the end):
    // its spelling, or an example of what the spelling describes.
    std::string example(int symbol) const;
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

    // The states that can find a syntax error: no default reduction, and
    // some token without an action.
    std::vector<int> error_states() const;
    // The tokens (symbols) that meet an error in a state without reduction.
    bool has_error(int state, int symbol) const;

    // For each state, a shortest sequence of token symbols whose last one
    // meets a syntax error in that state (empty when none was found): the
    // sentence a sample text of that state can follow. And the shortest
    // sentences the grammar accepts whole (the end of the text last), up to
    // `count` of them.
    std::vector<std::vector<int>> error_sentences() const;
    std::vector<std::vector<int>> complete_sentences(size_t count) const;

    // The places where a syntax error can be found, each once: the error
    // state with the exact set of tokens that could have come instead
    // (sorted by name), and a shortest sentence that ends in it. The search
    // follows a stack until its top `depth` states were met before.
    struct Situation {
        int error_state;
        std::vector<int> expected;
        std::vector<int> sentence;
    };
    std::vector<Situation> situations(size_t depth) const;

    // The state after a whole text, where only its end may come.
    int end_state() const;

private:
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
    // True when a token of this symbol would be shifted from this stack
    // (after the reductions it causes), false when it meets an error; the
    // states it pushes go to `above`, kept from call to call.
    bool shifts(const std::vector<int>& stack, int symbol, std::vector<int>& above) const;
    // Makes the reductions the symbol causes; returns the action that follows them.
    Action reduce_for(std::vector<int>& stack, int symbol) const;
    // Makes the reductions that need no token.
    void settle(std::vector<int>& stack) const;
    // Visits the parser's moves on every token from the stacks reached by
    // ever longer sentences: visit(before, stack, sentence, move), where
    // before is the stack the sentence's last token arrives on, and stack
    // the one on which it meets an error (after its reductions), or the one
    // it leads to when shifted (after the reductions that need no token);
    // stops when visit returns false.
    template <class Visit>
    void explore(Visit visit, size_t depth = 3) const;
    // The tokens that could be shifted from the stack.
    std::vector<int> expected_on(const std::vector<int>& stack) const;

    Tables t_;
    std::vector<int> by_name_;  // the token symbols (but bison's own) in the order of their names
};

}  // namespace tessel::runtime

#endif
