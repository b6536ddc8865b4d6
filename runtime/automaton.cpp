#include "automaton.h"

#include <algorithm>

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
    std::vector<int> stack;
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
    result.arrival_state = stack.back();
    return result;
}

}  // namespace tessel::runtime
