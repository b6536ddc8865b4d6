#!/usr/bin/env python3
"""A grammar's facts as bison reports them, read once for every consumer.

As a module (Python's standard library only):

    import grammar_report
    grammar = grammar_report.load("build/<kind>/<kind>parser.xml",
                                  header="build/<kind>/<kind>parser.hh")

load(xml_path, header=None) -> Grammar reads bison's XML report
(bison --xml=FILE) and, when given, the parser header bison wrote in the
same run (--defines), which alone holds the tokens' identifiers. A Grammar
has:

    .start         the start symbol ("axiom")
    .tokens        [Token] in the order of their codes (258 upward); bison's
                   own ($end, error, $undefined) left out
    .rules         [Rule] in the order of their numbers; rule 0 is bison's
                   ($accept: start $end)
    .states        [State] in the order of their numbers
    .nonterminals  [str] the nonterminals in the order of their symbols,
                   bison's own ($accept) left out; mid-rule ones ($@1, @2)
                   are kept (Rule.midrule tells them)

    Token(name, spelling, number, symbol, bison_name, used)
        name        the identifier (ID, SEMICOLON) from the header, else as
                    bison names it
        spelling    the alias between its quotes ("name", ";"), or None
        number      its code (258 ...); symbol: its symbol number (3 ...)
        bison_name  the token as rules name it in the report ('"name"')
        used        False for a token no rule uses
    Rule(number, lhs, rhs, midrule)
        rhs         a tuple of symbol names as bison writes them: tokens by
                    bison_name, nonterminals by name; () for an empty rule
        midrule     True for a rule bison made for a mid-rule action
    State(number, items, kernel, rule, transitions)
        items       [(rule number, dot)] as reported: the kernel and its
                    closure
        kernel      the items that make the state: the dot past the start,
                    and the start item of state 0
        rule        the nonterminal whose rule the parser is in there (below)
        transitions {symbol: state}: its shifts (tokens by bison_name) and
                    gotos (nonterminals)

    grammar.token(bison_name) -> Token or None

The rule a state is in: of its kernel items with the dot past the start,
the one begun last, that is with the fewest symbols before the dot (the
parser shifted them since it entered that rule, so every other kernel item
was entered as long ago or earlier); among those, the first in the grammar.
Bison's own rule 0 stands for the start symbol, and so does a state with no
such item (state 0, before any token). A highlight of "where the parser is"
then names the smallest construct it was reading.

As a program, for the build:

    grammar_report.py XML --header HH --prefix KIND [--code FILE.h] [--json FILE.json]

writes the C++ tables the runtime is built with (KIND_tokens: the tokens'
names and spellings in the order of their codes; KIND_state_rules: the rule
of each state) and the facts as JSON (start, tokens, rules, states) for
other tools.
"""

import argparse
import json
import re
import sys
import xml.etree.ElementTree as ET
from typing import Dict, List, NamedTuple, Optional, Tuple


class Token(NamedTuple):
    name: str
    spelling: Optional[str]
    number: int
    symbol: int
    bison_name: str
    used: bool


class Rule(NamedTuple):
    number: int
    lhs: str
    rhs: Tuple[str, ...]
    midrule: bool


class State(NamedTuple):
    number: int
    items: List[Tuple[int, int]]
    kernel: List[Tuple[int, int]]
    rule: str
    transitions: Dict[str, int]


class Grammar(NamedTuple):
    start: str
    tokens: List[Token]
    rules: List[Rule]
    states: List[State]
    nonterminals: List[str]

    def token(self, bison_name):
        for t in self.tokens:
            if t.bison_name == bison_name:
                return t
        return None


# Bison's own tokens: the end, "error" and the undefined token.
BISON_TOKENS = {0, 256, 257}

# A token of the parser header's enumeration: "    ID = 258,   /* "name"  */".
HEADER_TOKEN = re.compile(r'^\s+([A-Za-z_][A-Za-z0-9_]*) = (\d+),?\s*(?:/\*.*\*/)?\s*$', re.M)


def midrule(name):
    """Bison's names of the nonterminals of mid-rule actions: $@1, @2."""
    return name.startswith("$@") or name.startswith("@")


def header_names(path):
    """The tokens' identifiers by code, from bison's parser header."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    return {int(number): name for name, number in HEADER_TOKEN.findall(text)}


def state_rule(kernel, rules, start):
    """The nonterminal whose rule the parser is in, from a state's kernel."""
    begun = [(dot, number) for number, dot in kernel if dot > 0 and number != 0]
    if not begun:
        return start
    _, number = min(begun)
    return rules[number].lhs


def load(xml_path, header=None):
    """The grammar of bison's XML report (and the identifiers of the parser
    header, when given)."""
    root = ET.parse(xml_path).getroot()
    grammar = root.find("grammar")
    names = header_names(header) if header else {}

    rules = []
    for r in grammar.find("rules").findall("rule"):
        lhs = r.find("lhs").text
        rhs = tuple(s.text for s in r.find("rhs").findall("symbol"))
        rules.append(Rule(int(r.get("number")), lhs, rhs, midrule(lhs)))
    rules.sort(key=lambda r: r.number)
    if [r.number for r in rules] != list(range(len(rules))):
        raise ValueError(f"{xml_path}: the rules are not numbered 0 to {len(rules) - 1}")
    start = rules[0].rhs[0]

    tokens = []
    for t in grammar.find("terminals").findall("terminal"):
        number = int(t.get("token-number"))
        if number in BISON_TOKENS:
            continue
        bison_name = t.get("name")
        quoted = len(bison_name) >= 2 and bison_name[0] == '"' and bison_name[-1] == '"'
        spelling = bison_name[1:-1] if quoted else None
        tokens.append(Token(names.get(number, bison_name), spelling, number, int(t.get("symbol-number")),
                            bison_name, t.get("usefulness") != "unused-in-grammar"))
    tokens.sort(key=lambda t: t.number)
    if header and len(names) < len(tokens):
        raise ValueError(f"{header}: holds {len(names)} token names for {len(tokens)} tokens")

    nonterminals = [n.get("name") for n in
                    sorted(grammar.find("nonterminals").findall("nonterminal"),
                           key=lambda n: int(n.get("symbol-number")))
                    if n.get("name") != "$accept"]

    states = []
    for s in root.find("automaton").findall("state"):
        items = [(int(i.get("rule-number")), int(i.get("dot"))) for i in s.find("itemset").findall("item")]
        number = int(s.get("number"))
        kernel = [(r, d) for r, d in items if d > 0 or (number == 0 and r == 0)]
        transitions = {t.get("symbol"): int(t.get("state"))
                       for t in s.find("actions").find("transitions").findall("transition")}
        states.append(State(number, items, kernel, state_rule(kernel, rules, start), transitions))
    states.sort(key=lambda s: s.number)
    return Grammar(start, tokens, rules, states, nonterminals)


def c_string(text):
    """text as a C string literal (the spellings are taken as written)."""
    out = '"'
    for c in text:
        if c in '"\\':
            out += "\\" + c
        elif " " <= c <= "~":
            out += c
        else:
            out += "".join(f"\\{b:03o}" for b in c.encode("utf-8"))
    return out + '"'


def code(grammar, prefix, source):
    """The C++ tables of the grammar, for the runtime."""
    lines = [f"// Made by the build (tools/grammar_report.py) from bison's report on {source}.",
             "",
             "// The tokens in the order of their codes (258 upward): name and spelling.",
             f"static const tessel::runtime::TokenName {prefix}_tokens[] = {{"]
    for t in grammar.tokens:
        lines.append(f"    {{{c_string(t.name)}, {c_string(t.spelling if t.spelling is not None else t.name)}}},")
    lines += ["};",
              "",
              "// For each state, the nonterminal whose rule the parser is in there.",
              f"static const char* const {prefix}_state_rules[] = {{"]
    for s in grammar.states:
        lines.append(f"    {c_string(s.rule)},  // {s.number}")
    lines += ["};", ""]
    return "\n".join(lines)


def facts(grammar):
    """The grammar as JSON data."""
    return {
        "start": grammar.start,
        "tokens": [{"name": t.name, "spelling": t.spelling, "number": t.number, "symbol": t.symbol,
                    "bison_name": t.bison_name, "used": t.used} for t in grammar.tokens],
        "nonterminals": grammar.nonterminals,
        "rules": [{"number": r.number, "lhs": r.lhs, "rhs": list(r.rhs), "midrule": r.midrule}
                  for r in grammar.rules],
        "states": [{"number": s.number, "kernel": [list(i) for i in s.kernel], "rule": s.rule}
                   for s in grammar.states],
    }


def write(path, text):
    """Writes text unless the file holds it already (no needless rebuilds)."""
    try:
        with open(path, encoding="utf-8") as f:
            if f.read() == text:
                return
    except OSError:
        pass
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def main(argv):
    parser = argparse.ArgumentParser(description="A grammar's facts from bison's XML report.")
    parser.add_argument("xml", help="bison's XML report (bison --xml)")
    parser.add_argument("--header", required=True, help="the parser header of the same run (bison --defines)")
    parser.add_argument("--prefix", required=True, help="the prefix of the C++ tables' names (the kind)")
    parser.add_argument("--code", help="where to write the C++ tables")
    parser.add_argument("--json", help="where to write the facts as JSON")
    args = parser.parse_args(argv)
    try:
        grammar = load(args.xml, args.header)
    except (OSError, ValueError, ET.ParseError, AttributeError) as e:
        print(f"grammar_report.py: {e}", file=sys.stderr)
        return 1
    root = ET.parse(args.xml).getroot()
    source = (root.findtext("filename") or args.xml).rsplit("/", 1)[-1]
    if args.code:
        write(args.code, code(grammar, args.prefix, source))
    if args.json:
        write(args.json, json.dumps(facts(grammar), indent=1) + "\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
