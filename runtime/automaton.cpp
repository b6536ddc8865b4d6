#include "automaton.h"

#include <algorithm>
#include <deque>
#include <set>

namespace tessel::runtime {

namespace {

// The symbols of bison's own tokens: the end, "error" and "invalid token".
constexpr int end_symbol = 0, error_symbol = 1, undefined_symbol = 2;

}  // namespace

Automaton::Automaton(Tables tables) : t_(std::move(tables))
{
    for (int symbol = 0; symbol < t_.ntokens; ++symbol)
        if (symbol != error_symbol && symbol != undefined_symbol)
            by_name_.push_back(symbol);
    std::sort(by_name_.begin(), by_name_.end(), [this](int a, int b) { return name(a) < name(b); });
}

int Automaton::symbol(int code) const
{
    if (code <= 0)
        return end_symbol;
    return code <= t_.max_token ? t_.translate[static_cast<size_t>(code)] : undefined_symbol;
}

std::string Automaton::name(int symbol) const
{
    if (symbol == end_symbol)
        return "END";
    const size_t index = static_cast<size_t>(symbol - 3);
    return symbol >= 3 && index < t_.tokens.size() ? t_.tokens[index].name : "?";
}

std::string Automaton::spelling(int symbol) const
{
    if (symbol == end_symbol)
        return "end of text";
    const size_t index = static_cast<size_t>(symbol - 3);
    return symbol >= 3 && index < t_.tokens.size() ? t_.tokens[index].spelling : "?";
}

std::string Automaton::example(int symbol) const
{
    if (symbol == end_symbol)
        return "";
    const std::string s = spelling(symbol);
    if (s == "number")
        return "1";
    if (s == "other character")
        return "$";
    return s;  // the others are examples of themselves: "name", "`text`", ":{text}" ...
}

bool Automaton::reduces_without_token(int state) const
{
    return t_.pact[static_cast<size_t>(state)] == t_.pact_ninf;
}

Automaton::Action Automaton::action(int state, int symbol) const
{
    const auto s = static_cast<size_t>(state);
    int n = t_.pact[s];
    if (n != t_.pact_ninf) {
        n += symbol;
        if (0 <= n && n <= t_.last && t_.check[static_cast<size_t>(n)] == symbol) {
            const int entry = t_.table[static_cast<size_t>(n)];
            if (entry > 0)
                return {entry == t_.final_state ? Move::accept : Move::shift, entry};
            if (t_.table_errors && entry == t_.table_ninf)
                return {Move::error, 0};
            return {Move::reduce, -entry};
        }
    }
    const int rule = t_.defact[s];
    return rule == 0 ? Action{Move::error, 0} : Action{Move::reduce, rule};
}

int Automaton::goto_state(int rule, int top) const
{
    const int lhs = t_.r1[static_cast<size_t>(rule)] - t_.ntokens;
    const int i = t_.pgoto[static_cast<size_t>(lhs)] + top;
    return 0 <= i && i <= t_.last && t_.check[static_cast<size_t>(i)] == top ? t_.table[static_cast<size_t>(i)]
                                                                              : t_.defgoto[static_cast<size_t>(lhs)];
}

void Automaton::reduce(std::vector<int>& stack, int rule) const
{
    stack.resize(stack.size() - static_cast<size_t>(t_.r2[static_cast<size_t>(rule)]));
    stack.push_back(goto_state(rule, stack.back()));
}

Automaton::Action Automaton::reduce_for(std::vector<int>& stack, int symbol) const
{
    Action a;
    while ((a = action(stack.back(), symbol)).move == Move::reduce)
        reduce(stack, a.target);
    return a;
}

void Automaton::settle(std::vector<int>& stack) const
{
    while (stack.back() != t_.final_state && reduces_without_token(stack.back()))
        reduce(stack, t_.defact[static_cast<size_t>(stack.back())]);
}

bool Automaton::shifts(const std::vector<int>& stack, int symbol, std::vector<int>& above) const
{
    // The stack as the reductions leave it, without copying it: its first
    // `kept` states, then the states pushed above them.
    size_t kept = stack.size();
    above.clear();
    for (;;) {
        const Action a = action(above.empty() ? stack[kept - 1] : above.back(), symbol);
        if (a.move == Move::shift || a.move == Move::accept)
            return true;
        if (a.move == Move::error)
            return false;
        for (int n = t_.r2[static_cast<size_t>(a.target)]; n > 0; --n) {
            if (!above.empty())
                above.pop_back();
            else
                --kept;
        }
        above.push_back(goto_state(a.target, above.empty() ? stack[kept - 1] : above.back()));
    }
}

Analysis Automaton::analyse(const std::vector<unsigned short>& codes) const
{
    Analysis result;
    std::vector<int>& stack = result.stack;
    stack.reserve(64);
    stack.push_back(0);
    settle(stack);
    for (size_t i = 0; i + 1 < codes.size(); ++i) {
        const Action a = reduce_for(stack, symbol(codes[i]));
        if (a.move == Move::error)  // the parser would have stopped here
            return result;
        stack.push_back(a.target);
        settle(stack);
    }
    if (codes.empty())
        return result;
    std::vector<int> above;
    above.reserve(16);
    result.expected.reserve(static_cast<size_t>(t_.ntokens));
    for (int symbol : by_name_)
        if (shifts(stack, symbol, above))
            result.expected.push_back(symbol);
    // Where the last token meets the error: after the reductions it causes.
    std::vector<int> after = stack;
    if (reduce_for(after, symbol(codes.back())).move == Move::error)
        result.error_state = after.back();
    return result;
}

bool Automaton::has_error(int state, int symbol) const
{
    return action(state, symbol).move == Move::error;
}

std::vector<int> Automaton::error_states() const
{
    std::vector<int> states;
    for (int s = 0; s < this->states(); ++s) {
        if (s == t_.final_state || reduces_without_token(s) || t_.defact[static_cast<size_t>(s)] != 0)
            continue;
        if (std::any_of(by_name_.begin(), by_name_.end(), [&](int symbol) { return has_error(s, symbol); }))
            states.push_back(s);
    }
    return states;
}

template <class Visit>
void Automaton::explore(Visit visit, size_t depth) const
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
    settle(start.stack);
    std::set<std::vector<int>> seen{key(start.stack)};
    std::deque<Node> queue{std::move(start)};
    while (!queue.empty()) {
        const Node node = std::move(queue.front());
        queue.pop_front();
        for (int symbol : by_name_) {
            std::vector<int> stack = node.stack;
            const Action a = reduce_for(stack, symbol);
            std::vector<int> sentence = node.sentence;
            sentence.push_back(symbol);
            if (a.move == Move::shift) {
                stack.push_back(a.target);
                settle(stack);
            }
            if (!visit(node.stack, stack, sentence, a.move))
                return;
            if (a.move == Move::shift && seen.insert(key(stack)).second)
                queue.push_back(Node{std::move(stack), std::move(sentence)});
        }
    }
}

std::vector<std::vector<int>> Automaton::error_sentences() const
{
    std::vector<std::vector<int>> sentences(static_cast<size_t>(states()));
    explore([&](const std::vector<int>&, const std::vector<int>& stack, const std::vector<int>& sentence, Move move) {
        if (move == Move::error && sentences[static_cast<size_t>(stack.back())].empty())
            sentences[static_cast<size_t>(stack.back())] = sentence;
        return true;
    });
    return sentences;
}

std::vector<std::vector<int>> Automaton::complete_sentences(size_t count) const
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

std::vector<int> Automaton::expected_on(const std::vector<int>& stack) const
{
    std::vector<int> expected, above;
    for (int symbol : by_name_)
        if (shifts(stack, symbol, above))
            expected.push_back(symbol);
    return expected;
}

std::vector<Automaton::Situation> Automaton::situations(size_t depth) const
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

int Automaton::end_state() const
{
    for (int s = 0; s < states(); ++s) {
        const Action a = action(s, end_symbol);
        if (a.move == Move::accept)
            return s;
    }
    return -1;
}

}  // namespace tessel::runtime
