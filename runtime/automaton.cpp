#include "automaton.h"

#include <algorithm>
#include <array>

namespace tessel::runtime {

namespace {

// The symbols of bison's own tokens: the end, "error" and "invalid token".
constexpr int end_symbol = 0, error_symbol = 1, undefined_symbol = 2;

// The texts that a token of some kinds is spelled with in the grammars
// describe that kind of token; the others are the token's own text.
struct Described {
    const char* spelling;
    const char* words;  // "" : never shown (a character no rule wants)
    int order;
};
constexpr Described described[] = {
    {"name", "a name", 0},
    {"name~with~tildes", "a name with tildes", 0},
    {"number", "a number", 1},
    {"`text`", "a backquoted text `...`", 2},
    {"!text!", "a text between exclamation marks `!...!`", 2},
    {":{text}", "a verbatim text `:{...}`", 2},
    {"other character", "", 0},
};

Automaton::Shown shown_as(int symbol, const std::string& spelling)
{
    if (symbol == end_symbol)
        return {5, "the end of the text"};
    for (const Described& d : described)
        if (spelling == d.spelling)
            return {d.order, d.words};
    const bool word = std::all_of(spelling.begin(), spelling.end(), [](char c) { return c >= 'a' && c <= 'z'; });
    return {word ? 3 : 4, "`" + spelling + "`"};
}

}  // namespace

Automaton::Automaton(Tables tables) : t_(std::move(tables))
{
    // The end, bison's "error" and "invalid token" (never read as such: "?"), then the grammar's tokens.
    names_ = {"END", "?", "?"};
    spellings_ = {"end of text", "?", "?"};
    for (const TokenName& token : t_.tokens) {
        names_.emplace_back(token.name);
        spellings_.emplace_back(token.spelling);
    }
    names_.emplace_back("?");  // what no symbol is
    spellings_.emplace_back("?");
    for (size_t symbol = 0; symbol < spellings_.size(); ++symbol)
        shown_.push_back(shown_as(static_cast<int>(symbol), spellings_[symbol]));
    // The token symbols each state's row names.
    for (size_t state = 0; state < t_.pact.size(); ++state) {
        row_start_.push_back(row_symbols_.size());
        const int base = t_.pact[state];
        for (int symbol = 0; symbol < t_.ntokens && base != t_.pact_ninf; ++symbol)
            if (base + symbol >= 0 && base + symbol <= t_.last && t_.check[static_cast<size_t>(base + symbol)] == symbol)
                row_symbols_.push_back(symbol);
    }
    row_start_.push_back(row_symbols_.size());
    for (int symbol = 0; symbol < t_.ntokens; ++symbol)
        if (symbol != error_symbol && symbol != undefined_symbol)
            by_name_.push_back(symbol);
    std::sort(by_name_.begin(), by_name_.end(), [this](int a, int b) { return name(a) < name(b); });
    name_rank_.assign(static_cast<size_t>(t_.ntokens), 0);
    for (size_t i = 0; i < by_name_.size(); ++i)
        name_rank_[static_cast<size_t>(by_name_[i])] = static_cast<int>(i);
}

int Automaton::symbol(int code) const
{
    if (code <= 0)
        return end_symbol;
    return code <= t_.max_token ? t_.translate[static_cast<size_t>(code)] : undefined_symbol;
}

size_t Automaton::entry(int symbol) const
{
    const size_t known = names_.size() - 1;  // the last entry: what no symbol is
    return symbol >= 0 && static_cast<size_t>(symbol) < known ? static_cast<size_t>(symbol) : known;
}

const std::string& Automaton::name(int symbol) const
{
    return names_[entry(symbol)];
}

const Automaton::Shown& Automaton::shown(int symbol) const
{
    return shown_[entry(symbol)];
}

const std::string& Automaton::spelling(int symbol) const
{
    return spellings_[entry(symbol)];
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

Automaton::Move Automaton::meets(const std::vector<int>& stack, int symbol, std::vector<int>& above, int& top) const
{
    // The stack as the reductions leave it, without copying it: its first
    // `kept` states, then the states pushed above them.
    size_t kept = stack.size();
    above.clear();
    for (;;) {
        top = above.empty() ? stack[kept - 1] : above.back();
        const Action a = action(top, symbol);
        if (a.move != Move::reduce)
            return a.move;
        for (int n = t_.r2[static_cast<size_t>(a.target)]; n > 0; --n) {
            if (!above.empty())
                above.pop_back();
            else
                --kept;
        }
        above.push_back(goto_state(a.target, above.empty() ? stack[kept - 1] : above.back()));
    }
}

bool Automaton::shifts(const std::vector<int>& stack, int symbol, std::vector<int>& above) const
{
    int top;
    const Move move = meets(stack, symbol, above, top);
    return move == Move::shift || move == Move::accept;
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
    result.arrival_state = stack.back();
    // Where the last token meets the error: after the reductions it causes.
    std::vector<int> above;
    above.reserve(16);
    int top;
    if (meets(stack, symbol(codes.back()), above, top) == Move::error)
        result.error_state = top;
    // Which tokens could be shifted. The tokens a state's row does not name
    // all take its default reduction: they go down those reductions together
    // (on the stack itself, no longer needed), each of the others its own
    // way (shifts) from where they part.
    enum : char { undecided, decided };
    std::array<char, 256> fates;  // (most grammars have fewer tokens: no allocation)
    std::vector<char> more_fates(t_.ntokens > 256 ? static_cast<size_t>(t_.ntokens) : 0);
    char* fate = t_.ntokens > 256 ? more_fates.data() : fates.data();
    std::fill(fate, fate + t_.ntokens, undecided);
    fate[error_symbol] = fate[undefined_symbol] = decided;
    result.expected.reserve(static_cast<size_t>(t_.ntokens));
    for (;;) {
        const auto state = static_cast<size_t>(stack.back());
        for (size_t i = row_start_[state]; i < row_start_[state + 1]; ++i) {
            const int symbol = row_symbols_[i];
            if (fate[static_cast<size_t>(symbol)] == undecided) {
                fate[static_cast<size_t>(symbol)] = decided;
                if (shifts(stack, symbol, above))
                    result.expected.push_back(symbol);
            }
        }
        const int rule = t_.defact[state];
        if (rule == 0)
            break;  // an error for all the others
        reduce(stack, rule);
    }
    // In the order of their names.
    std::sort(result.expected.begin(), result.expected.end(),
              [this](int a, int b) { return name_rank_[static_cast<size_t>(a)] < name_rank_[static_cast<size_t>(b)]; });
    return result;
}

}  // namespace tessel::runtime
