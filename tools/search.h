// A search over a language's automaton, for the tools that keep its
// messages complete and for the tests; the library has no need of it. It
// finds the states that can meet a syntax error, a sentence of tokens that
// leads to each, and texts the scanner reads as those tokens.
#ifndef TESSEL_TOOLS_SEARCH_H
#define TESSEL_TOOLS_SEARCH_H

#include <cstddef>
#include <string>
#include <vector>

#include "automaton.h"
#include "language.h"

namespace tessel::runtime {

class Search {
public:
    explicit Search(const Language& language);

    const Automaton& automaton() const { return a_; }

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

    // A text the scanner reads as a token of the symbol ("" for the end):
    // the language's example of a token of a class (a number), else its
    // spelling, which is an example of itself ("name", ";", "`text`").
    std::string example(int symbol) const;

private:
    using Move = Automaton::Move;
    using Action = Automaton::Action;

    // Visits the parser's moves on every token from the stacks reached by
    // ever longer sentences: visit(before, stack, sentence, move), where
    // before is the stack the sentence's last token arrives on, and stack
    // the one on which it meets an error (after its reductions), or the one
    // it leads to when shifted (after the reductions that need no token);
    // stops when visit returns false. A stack whose top `depth` states were
    // met before is not followed further.
    template <class Visit>
    void explore(Visit visit, size_t depth = 3) const;
    // The tokens that could be shifted from the stack.
    std::vector<int> expected_on(const std::vector<int>& stack) const;

    const Language& language_;
    const Automaton& a_;
};

}  // namespace tessel::runtime

#endif
