#include "search.h"

#include <algorithm>
#include <deque>
#include <set>

namespace tessel::runtime {

namespace {

// The symbol of the end of the text.
constexpr int end_symbol = 0;

}  // namespace

Search::Search(const Language& language) : language_(language), a_(language.automaton()) {}

bool Search::has_error(int state, int symbol) const
{
    return a_.action(state, symbol).move == Move::error;
}

std::vector<int> Search::error_states() const
{
    std::vector<int> states;
    for (int s = 0; s < a_.states(); ++s) {
        if (s == a_.t_.final_state || a_.reduces_without_token(s) || a_.t_.defact[static_cast<size_t>(s)] != 0)
            continue;
        if (std::any_of(a_.by_name_.begin(), a_.by_name_.end(), [&](int symbol) { return has_error(s, symbol); }))
            states.push_back(s);
    }
    return states;
}

template <class Visit>
void Search::explore(Visit visit, size_t depth) const
{
    // Breadth first over the parser's stacks, token by token; a stack whose
    // top `depth` states were met before is not followed further (that
    // keeps the search small; three find every error state of these
    // grammars).
    struct Node {
        std::vector<int> stack;
        std::vector<int> sentence;
    };
    auto key = [depth](const std::vector<int>& stack) {
        return std::vector<int>(stack.end() - static_cast<long>(std::min(depth, stack.size())), stack.end());
    };
    Node start{{0}, {}};
    a_.settle(start.stack);
    std::set<std::vector<int>> seen{key(start.stack)};
    std::deque<Node> queue{std::move(start)};
    while (!queue.empty()) {
        const Node node = std::move(queue.front());
        queue.pop_front();
        for (int symbol : a_.by_name_) {
            std::vector<int> stack = node.stack;
            const Action a = a_.reduce_for(stack, symbol);
            std::vector<int> sentence = node.sentence;
            sentence.push_back(symbol);
            if (a.move == Move::shift) {
                stack.push_back(a.target);
                a_.settle(stack);
            }
            if (!visit(node.stack, stack, sentence, a.move))
                return;
            if (a.move == Move::shift && seen.insert(key(stack)).second)
                queue.push_back(Node{std::move(stack), std::move(sentence)});
        }
    }
}

std::vector<std::vector<int>> Search::error_sentences() const
{
    std::vector<std::vector<int>> sentences(static_cast<size_t>(a_.states()));
    explore([&](const std::vector<int>&, const std::vector<int>& stack, const std::vector<int>& sentence, Move move) {
        if (move == Move::error && sentences[static_cast<size_t>(stack.back())].empty())
            sentences[static_cast<size_t>(stack.back())] = sentence;
        return true;
    });
    return sentences;
}

std::vector<std::vector<int>> Search::complete_sentences(size_t count) const
{
    std::vector<std::vector<int>> sentences;
    const int end = end_state();
    explore([&](const std::vector<int>&, const std::vector<int>& stack, const std::vector<int>& sentence, Move move) {
        if (move == Move::shift && stack.back() == end) {
            sentences.push_back(sentence);
            sentences.back().push_back(end_symbol);
        }
        return sentences.size() < count;
    });
    return sentences;
}

std::vector<int> Search::expected_on(const std::vector<int>& stack) const
{
    std::vector<int> expected, above;
    for (int symbol : a_.by_name_)
        if (a_.shifts(stack, symbol, above))
            expected.push_back(symbol);
    return expected;
}

std::vector<Search::Situation> Search::situations(size_t depth) const
{
    std::set<std::pair<int, std::vector<int>>> seen;
    std::vector<Situation> found;
    std::vector<int> last_before, expected;
    explore(
        [&](const std::vector<int>& before, const std::vector<int>& stack, const std::vector<int>& sentence, Move move) {
            if (move != Move::error)
                return true;
            if (last_before != before) {  // the expected tokens, once for each stack
                expected = expected_on(before);
                last_before = before;
            }
            if (seen.insert({stack.back(), expected}).second)
                found.push_back({stack.back(), expected, sentence});
            return true;
        },
        depth);
    return found;
}

int Search::end_state() const
{
    for (int s = 0; s < a_.states(); ++s)
        if (a_.action(s, end_symbol).move == Move::accept)
            return s;
    return -1;
}

std::string Search::example(int symbol) const
{
    if (symbol == end_symbol)
        return "";
    const std::string name = a_.name(symbol);
    for (const TokenExample& e : language_.examples)
        if (name == e.token)
            return e.text;
    return a_.spelling(symbol);
}

}  // namespace tessel::runtime
