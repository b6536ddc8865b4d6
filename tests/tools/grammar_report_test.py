#!/usr/bin/env python3
"""tools/grammar_report.py: what it reads from bison's report.

    grammar_report_test.py SOURCE_DIR BUILD_DIR BISON KIND...

A small grammar, run through bison here, shows the tokens (identifier,
spelling, code), the rules and the rule of each state the parser reaches on
a sentence; for each kind of the build, its generated tables and JSON must
say what the report says.
"""

import json
import os
import subprocess
import sys
import tempfile

SOURCE_DIR, BUILD_DIR, BISON, *KINDS = sys.argv[1:]
sys.path.insert(0, os.path.join(SOURCE_DIR, "tools"))
import grammar_report  # noqa: E402

GRAMMAR = """
%token NAME "name"
%token PLUS "+"
%token LPAR "("
%token RPAR ")"
%token BARE
%%
expr: expr "+" term | term ;
term: "(" expr ")" | "name" | BARE { } "name" ;
"""

# The symbols that lead from state 0 to a state, and the rule it is in.
STATES = [
    ((), "expr"),                                # nothing read: the start symbol
    (('"("',), "term"),                          # term: "(" . expr ")"
    (('"("', "expr"), "expr"),                   # expr: expr . "+" term begun last
    (('"("', "expr", '")"'), "term"),
    (("expr",), "expr"),                         # $accept: expr . $end, expr: expr . "+" term
    (("expr", '"+"'), "expr"),
    (("expr", '"+"', "term"), "expr"),
    (('"name"',), "term"),
    (("BARE",), "term"),                         # before the mid-rule action
    (("BARE", "$@1"), "term"),
]

failures = []


def check(what, expected, actual):
    if expected != actual:
        failures.append(f"{what}: expected {expected!r}, got {actual!r}")


def walk(grammar, symbols):
    state = 0
    for s in symbols:
        state = grammar.states[state].transitions[s]
    return grammar.states[state]


with tempfile.TemporaryDirectory() as tmp:
    y, xml, header = (os.path.join(tmp, f) for f in ("g.y", "g.xml", "g.hh"))
    with open(y, "w") as f:
        f.write(GRAMMAR)
    subprocess.run([BISON, f"--xml={xml}", f"--defines={header}", "-o", os.path.join(tmp, "g.cc"), y], check=True)
    g = grammar_report.load(xml, header=header)
    check("tokens", [("NAME", "name", 258), ("PLUS", "+", 259), ("LPAR", "(", 260), ("RPAR", ")", 261),
                     ("BARE", None, 262)], [(t.name, t.spelling, t.number) for t in g.tokens])
    check("a token by its name in the rules", "NAME", g.token('"name"').name)
    check("the start", "expr", g.start)
    check("the nonterminals", ["expr", "term", "$@1"], g.nonterminals)
    check("rule 1", ("expr", ('expr', '"+"', 'term'), False), g.rules[1][1:])
    check("the mid-rule action's rule", [("$@1", ())], [(r.lhs, r.rhs) for r in g.rules if r.midrule])
    for symbols, rule in STATES:
        check(f"the rule after {' '.join(symbols) or 'nothing'}", rule, walk(g, symbols).rule)
    check("the kernel of state 0", [(0, 0)], g.states[0].kernel)
    without = grammar_report.load(xml)
    check("without the header, tokens by bison's names", '"name"', without.tokens[0].name)

for kind in KINDS:
    gen = os.path.join(BUILD_DIR, kind)
    g = grammar_report.load(os.path.join(gen, f"{kind}parser.xml"), header=os.path.join(gen, f"{kind}parser.hh"))
    with open(os.path.join(gen, f"{kind}_grammar.json")) as f:
        check(f"{kind}: the JSON", grammar_report.facts(g), json.load(f))
    with open(os.path.join(gen, f"{kind}_grammar.h")) as f:
        check(f"{kind}: the tables", grammar_report.code(g, kind, f"{kind}parser.y"), f.read())
    names = set(g.nonterminals) | {g.start}
    check(f"{kind}: every state in a rule of the grammar", [], [s.number for s in g.states if s.rule not in names])
    check(f"{kind}: every token named", [], [t.number for t in g.tokens if not t.name.isidentifier()])

for f in failures:
    print("FAIL:", f)
print(f"{len(STATES)} states of the small grammar, {len(KINDS)} grammars: {len(failures)} failures")
sys.exit(1 if failures else 0)
