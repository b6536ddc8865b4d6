#!/usr/bin/env python3
"""Syntax diagrams of the translators' grammars, drawn from the grammars.

    syntax_diagrams.py --bison BISON --out DIR GRAMMAR.y...

For each grammar <kind>/<kind>parser.y, bison's XML report gives the rules;
the grammar file tells which rules only reject (their action ends the parse
with YYABORT: a factor without a trigger, a stray character), and the
scanner beside it (lex.<kind>.l) which tokens are spelled as they are written
(";", "and") and which stand for a class of texts (name, number, `text`).
Writes DIR/<kind>-<nonterminal>.svg for every nonterminal a reader meets,
and removes the folder's other SVG files.

What is drawn is the language of the rules that accept, as a reader needs
it. A nonterminal that only renames a token is drawn as the token (ident is
a name); one that only renames another nonterminal, as that one with its own
name above it (factor over expr); one that is nothing but an alternative of
one other nonterminal, and not made of it, inside that one (gId in factor);
one that is a single box, optional or repeated, where it is used (verbatims,
one or more :{text}). Left-recursive lists are loops, alternatives that
differ by optional parts are bypasses.
Python's standard library only.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
from typing import NamedTuple, Optional


# ---------------------------------------------------------------------------
# The grammar

class Sym(NamedTuple):
    """A symbol of a rule: a terminal (its spelling) or a nonterminal, which
    may be drawn with the name of the nonterminal it stands for (caption)."""
    name: str
    terminal: bool
    caption: Optional[str] = None


class Grammar:
    def __init__(self, kind, start, rules, classes):
        self.kind = kind
        self.start = start
        self.rules = rules        # lhs -> [alternative: [Sym]], in the grammar's order
        self.classes = classes    # spellings of the tokens that stand for a class of texts
        self.inlined = {}         # nonterminal -> its diagram, drawn where it is used
        self.inline_small()

    def inline_small(self):
        """Draws where they are used the nonterminals that are no more than
        one box, optional or repeated (verbatims: one or more :{text})."""
        def small(node):
            if isinstance(node, Opt):
                node = node.item
            if isinstance(node, Loop) and node.repeat == SKIP:
                node = node.item
            return isinstance(node, (Term, NonTerm))
        found = True
        while found:
            found = False
            for name in self.rules:
                if name != self.start and name not in self.inlined:
                    node = diagram(self, name)
                    if small(node) and node != NonTerm(name, None):
                        self.inlined[name] = node
                        found = True

    def drawn(self):
        """The nonterminals that have a diagram of their own."""
        return [name for name in self.rules if name not in self.inlined]


def unquote(symbol):
    """A terminal's spelling from its name in bison's report ("and" -> and)."""
    if len(symbol) >= 2 and symbol[0] == symbol[-1] and symbol[0] in "\"'":
        return re.sub(r"\\(.)", r"\1", symbol[1:-1])
    return symbol


def bison_rules(bison, path):
    """The rules of a grammar from bison's XML report: [(lhs, [symbol])],
    the set of its terminals' names."""
    with tempfile.TemporaryDirectory() as tmp:
        report = os.path.join(tmp, "grammar.xml")
        subprocess.run([bison, "--xml=" + report, "-o", os.devnull, os.path.abspath(path)],
                       check=True, cwd=tmp)
        root = ET.parse(report).getroot()
    grammar = root.find("grammar")
    rules = []
    for rule in grammar.find("rules"):
        rhs = [s.text for s in rule.find("rhs").findall("symbol")]
        rules.append((rule.find("lhs").text, rhs))
    terminals = {t.get("name") for t in grammar.find("terminals")}
    return rules, terminals


def sections(text):
    """The parts of a flex or bison file between its "%%" lines."""
    return re.split(r"^%%[ \t]*$", text, flags=re.M)


# A token's line in a grammar: %token NAME "spelling"
TOKEN = re.compile(r'^%token\s+(\w+)\s+("(?:[^"\\]|\\.)*")', re.M)


def source_rules(path, text):
    """The rules of a grammar file as written: [(lhs, [symbol], rejects)],
    tokens named by their spelling as bison's report names them; rejects
    says that the rule's action ends the parse (YYABORT)."""
    parts = sections(text)
    spelled = dict(TOKEN.findall(parts[0]))
    tokens = tokenize(parts[1])
    rules = []
    i = 0
    while i < len(tokens):
        kind, lhs = tokens[i]
        if kind != "sym" or tokens[i + 1][0] != "colon":
            raise SystemExit(f"{path}: a rule should start here: {lhs!r}")
        i += 2
        alternative, action = [], None
        while True:
            kind, value = tokens[i] if i < len(tokens) else ("semi", ";")
            i += 1
            if kind == "sym":
                action = None                 # the code before it was a mid-rule action
                alternative.append(spelled.get(value, value))
            elif kind == "code":
                action = value
            elif kind in ("bar", "semi"):
                rules.append((lhs, alternative, action is not None and "YYABORT" in action))
                alternative, action = [], None
                if kind == "semi":
                    break
    return rules


def tokenize(text):
    """The tokens of a bison rules section: symbols, code blocks, ':', '|', ';'."""
    tokens = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if c.isspace():
            i += 1
        elif text.startswith("/*", i):
            i = text.index("*/", i + 2) + 2
        elif text.startswith("//", i):
            i = text.find("\n", i)
            i = n if i < 0 else i
        elif c == "{":
            end = code_end(text, i)
            tokens.append(("code", text[i:end]))
            i = end
        elif c in "\"'":
            end = literal_end(text, i)
            tokens.append(("sym", text[i:end]))
            i = end
        elif c == ":":
            tokens.append(("colon", c)); i += 1
        elif c == "|":
            tokens.append(("bar", c)); i += 1
        elif c == ";":
            tokens.append(("semi", c)); i += 1
        elif c == "%":
            m = re.compile(r"%(\w+)\s*(\S*)").match(text, i)
            if m.group(1) == "empty":
                i = m.start(2)
            elif m.group(1) == "prec":
                i = m.end()
            else:
                raise SystemExit(f"unexpected directive in the rules: %{m.group(1)}")
        else:
            m = re.compile(r"[A-Za-z_.$@][\w.$@]*").match(text, i)
            if not m:
                raise SystemExit(f"unexpected character in the rules: {c!r}")
            tokens.append(("sym", m.group()))
            i = m.end()
    return tokens


def literal_end(text, i):
    """The end of the string or character literal starting at text[i]."""
    quote, i = text[i], i + 1
    while text[i] != quote:
        i += 2 if text[i] == "\\" else 1
    return i + 1


def code_end(text, i):
    """The end of the braced code block starting at text[i]."""
    depth = 0
    while True:
        c = text[i]
        if c in "\"'":
            i = literal_end(text, i)
            continue
        if text.startswith("/*", i):
            i = text.index("*/", i + 2) + 2
            continue
        if text.startswith("//", i):
            i = text.index("\n", i)
            continue
        if c == "{":
            depth += 1
        elif c == "}":
            depth -= 1
            if depth == 0:
                return i + 1
        i += 1


def literal_spellings(path):
    """The tokens that the scanner returns for a fixed spelling: token -> {spelling}."""
    rules = sections(open(path, encoding="utf-8").read())[1]
    spellings = {}
    for spelling, token in re.findall(r'^"((?:[^"\\]|\\.)*)"\s+return\s+(\w+)\s*;', rules, flags=re.M):
        spellings.setdefault(token, set()).add(re.sub(r"\\(.)", r"\1", spelling))
    return spellings


def load(bison, path):
    """A grammar's rules as they are drawn (see the module's comment)."""
    folder, base = os.path.split(path)
    kind = re.sub(r"parser\.y$", "", base)
    text = open(path, encoding="utf-8").read()
    reported, terminals = bison_rules(bison, path)
    written = source_rules(path, text)

    # The report and the file must agree, mid-rule actions ($@N) aside.
    def internal(s):
        return s.startswith("$@") or s.startswith("@")
    reported = [(lhs, [s for s in rhs if not internal(s)]) for lhs, rhs in reported
                if lhs != "$accept" and not internal(lhs)]
    if [(lhs, rhs) for lhs, rhs, _ in written] != reported:
        raise SystemExit(f"{path}: its rules as read here differ from bison's report")

    lexer = literal_spellings(os.path.join(folder, f"lex.{kind}.l"))
    classes = {unquote(alias) for token, alias in TOKEN.findall(text)
               if unquote(alias) not in lexer.get(token, set())}

    rules = {}
    for lhs, rhs, rejects in written:
        alternatives = rules.setdefault(lhs, [])
        if not rejects:
            alternatives.append([Sym(unquote(s), True) if s in terminals else Sym(s, False) for s in rhs])
    for lhs, alternatives in rules.items():
        if not alternatives:
            raise SystemExit(f"{path}: every rule of {lhs} rejects")
    start = written[0][0]
    simplify(rules, start)
    return Grammar(kind, start, rules, classes)


def occurrences(rules, name):
    """Where a nonterminal is used: [(lhs, alternative index)], once per use."""
    found = []
    for lhs, alternatives in rules.items():
        for k, alternative in enumerate(alternatives):
            found += [(lhs, k) for s in alternative if not s.terminal and s.name == name]
    return found


def substitute(rules, name, symbol):
    """Every use of the nonterminal name becomes symbol."""
    for alternatives in rules.values():
        for alternative in alternatives:
            for k, s in enumerate(alternative):
                if not s.terminal and s.name == name:
                    alternative[k] = symbol


def simplify(rules, start):
    """Merges the nonterminals that add nothing for the reader (see the
    module's comment), until none is left."""
    def single(name):
        alternatives = rules[name]
        return alternatives[0][0] if len(alternatives) == 1 and len(alternatives[0]) == 1 else None

    changed = True
    while changed:
        changed = False
        # A token under another name: drawn as the token.
        for name in list(rules):
            s = single(name)
            if name != start and s is not None and s.terminal:
                del rules[name]
                substitute(rules, name, s)
                changed = True
        if changed:
            continue
        for name in list(rules):
            s = single(name)
            if name == start or s is None or s.name == name:
                continue
            uses = [u for u in occurrences(rules, s.name) if u[0] != s.name]
            if len(uses) == 1:
                # Another nonterminal's only user: takes its rules (effect: effects).
                rules[name] = rules.pop(s.name)
                substitute(rules, s.name, Sym(name, False))
            else:
                # Another name of a nonterminal used elsewhere: drawn as it, captioned.
                del rules[name]
                substitute(rules, name, Sym(s.name, False, s.caption or name))
            changed = True
            break
        if changed:
            continue
        # An alternative of one other nonterminal only, not made of it: drawn
        # inside it (factor: gId, gId: preId; not expr: operation).
        for name in list(rules):
            uses = occurrences(rules, name)
            if name == start or len(uses) != 1 or uses[0][0] == name:
                continue
            lhs, k = uses[0]
            if len(rules[lhs][k]) == 1 and not occurrences({name: rules[name]}, lhs):
                rules[lhs][k:k + 1] = rules.pop(name)
                changed = True
                break


# ---------------------------------------------------------------------------
# From rules to diagrams: sequences, choices, optional parts and loops

class Term(NamedTuple):
    text: str
    cls: bool             # a class of texts (name), else a spelling (";")


class NonTerm(NamedTuple):
    name: str
    caption: Optional[str]


class Seq(NamedTuple):
    items: tuple


class Choice(NamedTuple):
    items: tuple


class Opt(NamedTuple):
    item: object


class Loop(NamedTuple):   # item, then again after each repeat, one or more times
    item: object
    repeat: object


SKIP = Seq(())


def leaf(sym, grammar):
    if sym.terminal:
        return Term(sym.name, sym.name in grammar.classes)
    if sym.name in grammar.inlined:
        return grammar.inlined[sym.name]
    return NonTerm(sym.name, sym.caption)


def seq(nodes):
    items = []
    for node in nodes:
        items += node.items if isinstance(node, Seq) else [node]
    return items[0] if len(items) == 1 else Seq(tuple(items))


def factor(alternatives, grammar):
    """A diagram of the alternatives (lists of symbols), shared parts drawn once."""
    alts = []
    for a in alternatives:
        if tuple(a) not in alts:
            alts.append(tuple(a))
    if not alts:
        return SKIP
    if any(len(a) == 0 for a in alts):
        rest = [a for a in alts if a]
        return Opt(factor(rest, grammar)) if rest else SKIP
    if len(alts) == 1:
        return seq([leaf(s, grammar) for s in alts[0]])
    prefix = common_length(alts)
    if prefix:
        return seq([leaf(s, grammar) for s in alts[0][:prefix]]
                   + [factor([a[prefix:] for a in alts], grammar)])
    suffix = common_length([a[::-1] for a in alts])
    if suffix:
        return seq([factor([a[:-suffix] for a in alts], grammar)]
                   + [leaf(s, grammar) for s in alts[0][-suffix:]])
    split = product(alts)
    if split:
        heads, tails = split
        return seq([factor(heads, grammar), factor(tails, grammar)])
    return Choice(tuple(factor(group, grammar) for group in groups(alts)))


def common_length(alts):
    n = 0
    while all(len(a) > n for a in alts) and len({a[n] for a in alts}) == 1:
        n += 1
    return n


def product(alts):
    """Heads and tails, two or more of each, whose every head-tail pair is
    one of the alternatives and which make them all (";" trigger? ";"
    effect?): the split with the shortest heads. None if there is none."""
    whole = set(alts)
    best = None
    for a in alts:
        for i in range(1, len(a)):
            head = a[:i]
            tails = list(dict.fromkeys(b[i:] for b in alts if b[:i] == head and len(b) > i))
            heads = [b[:len(b) - len(tails[0])] for b in alts
                     if b[len(b) - len(tails[0]):] == tails[0]] if tails else []
            heads = [h for h in dict.fromkeys(heads) if all(h + t in whole for t in tails)]
            if len(heads) < 2 or len(tails) < 2 or len(heads) * len(tails) != len(whole):
                continue
            if {h + t for h in heads for t in tails} != whole:
                continue
            size = sum(len(h) for h in heads)
            if best is None or size < best[0]:
                best = (size, heads, tails)
    return best and (best[1], best[2])


def groups(alts):
    """The alternatives that start alike together, then those of one length
    that end alike, in the order of their first alternative."""
    first = {}
    for a in alts:
        first.setdefault(a[0], []).append(a)
    found = []
    single = [g[0] for g in first.values() if len(g) == 1]
    last = {}
    for a in single:
        last.setdefault((a[-1], len(a)), []).append(a)
    for a in alts:
        group = first[a[0]] if len(first[a[0]]) > 1 else last[(a[-1], len(a))]
        if group not in found:
            found.append(group)
    return found


def diagram(grammar, name):
    """The diagram of a nonterminal: a left-recursive list as a loop."""
    alts = grammar.rules[name]
    me = Sym(name, False)
    again = [a[1:] for a in alts if a and a[0] == me]
    base = [a for a in alts if not (a and a[0] == me)]
    if not again or all(a and a[-1] == me for a in again):
        return factor(alts, grammar)      # no list, or binary operators: expr "+" expr
    if len(base) == 1 and len(again) == 1 and base[0] and again[0][len(again[0]) - len(base[0]):] == base[0]:
        separator = again[0][:len(again[0]) - len(base[0])]
        return Loop(factor([base[0]], grammar), factor([separator], grammar))
    return seq([factor(base, grammar), Opt(Loop(factor(again, grammar), SKIP))])


# ---------------------------------------------------------------------------
# Layout and drawing. A box's line enters at its left and leaves at its right
# on the same height; up and down measure it from that line.

FONT = 14                  # px, monospace: every glyph is 0.602 em wide
CHAR = FONT * 0.602
SMALL = 11                 # captions
BOX = 30                   # height of a box
PAD = 12                   # between a box's text and its sides
GAP = 14                   # between two boxes in a row
R = 10                     # radius of the rails' curves
ARROW_ROOM = 16            # beside a loop's repeat, for its arrow
VS = 10                    # between two rows
WIDTH = 760                # a longer sequence is wrapped on several rows,
ROWGAP = 2 * R             # with its way back this far from each row
INDENT = 2 * R             # and the rows after the first this far in
MARGIN = 14
TITLE = 30                 # the title's band

STYLE = """
text { font-family: 'DejaVu Sans Mono', Menlo, Consolas, 'Liberation Mono', monospace; font-size: 14px; fill: #1f2328; }
.rail { fill: none; stroke: #57606a; stroke-width: 1.6; }
.arrow, .end { fill: #57606a; }
.token rect { fill: #fff8dc; stroke: #9a6700; stroke-width: 1.3; }
.token text { font-weight: bold; }
.class rect { fill: #ddf4ff; stroke: #0969da; stroke-width: 1.3; }
.class text { font-style: italic; fill: #0a3069; }
.rule rect { fill: #f6f8fa; stroke: #424a53; stroke-width: 1.3; }
.caption { font-size: 11px; font-style: italic; fill: #6e7781; }
.title { font-family: 'DejaVu Sans', Verdana, Arial, sans-serif; font-size: 13px; font-weight: bold; fill: #424a53; }
"""


def num(v):
    s = f"{v:.2f}".rstrip("0").rstrip(".")
    return "0" if s == "-0" else s


class Box:
    def __init__(self, width, up, down, exit=0):
        self.width, self.up, self.down = width, up, down
        self.exit = exit    # how far below the entry the line leaves (rows)


def measure(node):
    """The box of a node: its width, and its height above and below its line."""
    if isinstance(node, Term):
        return Box(max(len(node.text) * CHAR + 2 * PAD + 4, BOX), BOX / 2, BOX / 2)
    if isinstance(node, NonTerm):
        width = len(node.name) * CHAR + 2 * PAD
        up = BOX / 2
        if node.caption:
            width = max(width, len(node.caption) * SMALL * 0.602 + 8)
            up += SMALL + 3
        return Box(width, up, BOX / 2)
    if isinstance(node, Seq):
        boxes = [measure(i) for i in node.items]
        if not boxes:
            return Box(0, 0, 0)
        return Box(sum(b.width for b in boxes) + GAP * (len(boxes) - 1),
                   max(b.up for b in boxes), max(b.down for b in boxes))
    if isinstance(node, Choice):
        boxes = [measure(i) for i in node.items]
        down = boxes[0].down + sum(VS + b.up + b.down for b in boxes[1:])
        return Box(max(b.width for b in boxes) + 4 * R, boxes[0].up, down)
    if isinstance(node, Opt):
        b = measure(node.item)
        return Box(b.width + 4 * R, max(b.up + VS, 2 * R), b.down)
    if isinstance(node, Loop):
        b, r = measure(node.item), measure(node.repeat)
        return Box(max(b.width, r.width + 2 * ARROW_ROOM) + 4 * R, b.up,
                   loop_drop(b, r) + r.down)
    if isinstance(node, Rows):
        return node.box
    raise TypeError(node)


def loop_drop(item, repeat):
    """How far below the line a loop's way back runs."""
    return max(item.down + VS + repeat.up, 2 * R)


class Rows(NamedTuple):
    rows: tuple
    box: Box


def wrap(node):
    """A sequence wider than WIDTH on rows as even as can be, each row's end
    joined to the next one's start."""
    if not isinstance(node, Seq) or measure(node).width <= WIDTH:
        return node
    items = node.items
    n = len(items)

    def width(i, j):
        return measure(seq(list(items[i:j]))).width

    for count in range(2, n + 1):
        # best[k][j]: the narrowest widest row of items[:j] on k rows, and where its last row starts
        best = [[(float("inf"), 0)] * (n + 1) for _ in range(count + 1)]
        best[0][0] = (0, 0)
        for k in range(1, count + 1):
            for j in range(1, n + 1):
                for i in range(k - 1, j):
                    widest = max(best[k - 1][i][0], width(i, j) + (INDENT if k > 1 else 0))
                    if widest < best[k][j][0]:
                        best[k][j] = (widest, i)
        if best[count][n][0] <= WIDTH - 2 * R:
            break
    rows, j = [], n
    for k in range(count, 0, -1):
        i = best[k][j][1]
        rows.insert(0, seq(list(items[i:j])))
        j = i
    boxes = [measure(r) for r in rows]
    width = max(b.width + (INDENT if k else 0) for k, b in enumerate(boxes)) + 2 * R
    exit = 0
    for above, b in zip(boxes, boxes[1:]):
        exit += above.down + 2 * ROWGAP + b.up
    return Rows(tuple(rows), Box(width, boxes[0].up, exit + boxes[-1].down, exit))


class Canvas:
    def __init__(self):
        self.rails = []      # path data of the rails
        self.shapes = []     # elements drawn over the rails

    def line(self, *parts):
        self.rails.append(" ".join(parts))


def draw(node, x, y, c, grammar):
    """Draws node with its line entering at (x, y); returns its box."""
    box = measure(node)
    if isinstance(node, (Term, NonTerm)):
        draw_box(node, x, y, box, c, grammar)
    elif isinstance(node, Seq):
        for k, item in enumerate(node.items):
            if k:
                c.line(f"M{num(x)} {num(y)}h{num(GAP)}")
                x += GAP
            x += draw(item, x, y, c, grammar).width
    elif isinstance(node, Choice):
        right = x + box.width
        previous = y
        row = y
        for k, item in enumerate(node.items):
            b = measure(item)
            if k:
                row += VS + b.up
                start = (f"M{num(x)} {num(y)}a{R} {R} 0 0 1 {R} {R}" if k == 1
                         else f"M{num(x + R)} {num(previous - R)}")
                c.line(start, f"V{num(row - R)}a{R} {R} 0 0 0 {R} {R}")
                end = (f"a{R} {R} 0 0 1 {R} {-R}" if k == 1 else "")
                c.line(f"M{num(right - 2 * R)} {num(row)}a{R} {R} 0 0 0 {R} {-R}V{num(previous - R if k > 1 else y + R)}{end}")
                previous = row
            else:
                c.line(f"M{num(x)} {num(row)}h{2 * R}")
            draw(item, x + 2 * R, row, c, grammar)
            c.line(f"M{num(x + 2 * R + b.width)} {num(row)}H{num(right - 2 * R)}" if k else
                   f"M{num(x + 2 * R + b.width)} {num(row)}H{num(right)}")
            row += b.down
    elif isinstance(node, Opt):
        b = measure(node.item)
        top = y - box.up
        right = x + box.width
        c.line(f"M{num(x)} {num(y)}a{R} {R} 0 0 0 {R} {-R}V{num(top + R)}a{R} {R} 0 0 1 {R} {-R}"
               f"H{num(right - 2 * R)}a{R} {R} 0 0 1 {R} {R}V{num(y - R)}a{R} {R} 0 0 0 {R} {R}")
        c.line(f"M{num(x)} {num(y)}h{2 * R}")
        draw(node.item, x + 2 * R, y, c, grammar)
        c.line(f"M{num(x + 2 * R + b.width)} {num(y)}H{num(right)}")
    elif isinstance(node, Loop):
        b, r = measure(node.item), measure(node.repeat)
        right = x + box.width
        back = y + loop_drop(b, r)
        c.line(f"M{num(x)} {num(y)}h{2 * R}")
        draw(node.item, x + 2 * R, y, c, grammar)
        c.line(f"M{num(x + 2 * R + b.width)} {num(y)}H{num(right)}")
        inner = box.width - 4 * R
        rx = x + 2 * R + (inner - r.width) / 2
        c.line(f"M{num(right - 2 * R)} {num(y)}a{R} {R} 0 0 1 {R} {R}V{num(back - R)}"
               f"a{R} {R} 0 0 1 {-R} {R}H{num(rx + r.width)}")
        draw(reverse(node.repeat), rx, back, c, grammar)
        c.line(f"M{num(rx)} {num(back)}H{num(x + 2 * R)}a{R} {R} 0 0 1 {-R} {-R}"
               f"V{num(y + R)}a{R} {R} 0 0 1 {R} {-R}")
        tip = x + 2 * R + (rx - x - 2 * R) / 2 - 3.5
        c.shapes.append(("path", {"class": "arrow",
                                  "d": f"M{num(tip)} {num(back)}l7 -4.5v9z"}))
    elif isinstance(node, Rows):
        row = y
        for k, part in enumerate(node.rows):
            b = measure(part)
            left = x + (INDENT if k else 0)
            if k:
                row += ROWGAP + b.up
            draw(part, left, row, c, grammar)
            end = left + b.width
            if k + 1 < len(node.rows):
                below = row + b.down + ROWGAP
                c.line(f"M{num(end)} {num(row)}H{num(x + box.width - 2 * R)}a{R} {R} 0 0 1 {R} {R}"
                       f"V{num(below - R)}a{R} {R} 0 0 1 {-R} {R}H{num(x + R)}"
                       f"a{R} {R} 0 0 0 {-R} {R}V{num(below + ROWGAP + measure(node.rows[k + 1]).up - R)}"
                       f"a{R} {R} 0 0 0 {R} {R}H{num(x + INDENT)}")
                row = below
            else:
                c.line(f"M{num(end)} {num(row)}H{num(x + box.width)}")
    else:
        raise TypeError(node)
    return box


def reverse(node):
    """A repeat drawn on a loop's way back, which runs from right to left."""
    return Seq(tuple(reversed(node.items))) if isinstance(node, Seq) else node


def draw_box(node, x, y, box, c, grammar):
    h = BOX
    if isinstance(node, Term):
        group = {"class": "class" if node.cls else "token"}
        rect = {"x": num(x), "y": num(y - h / 2), "width": num(box.width), "height": num(h),
                "rx": num(h / 2)}
    else:
        group = {"class": "rule"}
        rect = {"x": num(x), "y": num(y - h / 2), "width": num(box.width), "height": num(h), "rx": "3"}
    text = {"x": num(x + box.width / 2), "y": num(y + FONT * 0.35), "text-anchor": "middle"}
    parts = [("rect", rect, None), ("text", text, node.text if isinstance(node, Term) else node.name)]
    if isinstance(node, NonTerm) and node.caption:
        parts.append(("text", {"class": "caption", "x": num(x + box.width / 2), "y": num(y - h / 2 - 4),
                               "text-anchor": "middle"}, node.caption))
    link = None
    if isinstance(node, NonTerm) and node.name in grammar.drawn():
        link = f"{grammar.kind}-{node.name}.svg"
    c.shapes.append(("box", group, parts, link))


def svg(grammar, name):
    """The SVG document of a nonterminal's diagram."""
    node = wrap(diagram(grammar, name))
    box = measure(node)
    c = Canvas()
    x0 = MARGIN
    y0 = MARGIN + TITLE + box.up
    c.shapes.append(("circle", {"class": "end", "cx": num(x0 + 4), "cy": num(y0), "r": "4.5"}))
    c.line(f"M{num(x0 + 4)} {num(y0)}h{num(GAP - 4)}")
    draw(node, x0 + GAP, y0, c, grammar)
    xe, ye = x0 + GAP + box.width, y0 + box.exit
    c.line(f"M{num(xe)} {num(ye)}h{num(GAP - 4)}")
    c.shapes.append(("path", {"class": "end", "d": f"M{num(xe + GAP - 11)} {num(ye - 5)}l8 5l-8 5z"}))
    c.shapes.append(("rect", {"class": "end", "x": num(xe + GAP - 3), "y": num(ye - 7), "width": "3",
                              "height": "14"}))
    width = xe + GAP + MARGIN
    height = y0 + box.down + MARGIN

    root = ET.Element("svg", {"xmlns": "http://www.w3.org/2000/svg", "width": num(width),
                              "height": num(height), "viewBox": f"0 0 {num(width)} {num(height)}",
                              "role": "img", "aria-label": f"{grammar.kind}: {name}"})
    ET.SubElement(root, "title").text = f"{grammar.kind}: {name}"
    ET.SubElement(root, "style").text = STYLE
    ET.SubElement(root, "rect", {"width": "100%", "height": "100%", "fill": "#ffffff"})
    ET.SubElement(root, "text", {"class": "title", "x": num(MARGIN), "y": num(MARGIN + 12)}).text = name + ":"
    ET.SubElement(root, "path", {"class": "rail", "d": "".join(c.rails)})
    for shape in c.shapes:
        if shape[0] == "box":
            _, group, parts, link = shape
            parent = root
            if link:
                parent = ET.SubElement(root, "a", {"href": link})
            g = ET.SubElement(parent, "g", group)
            for tag, attributes, text in parts:
                ET.SubElement(g, tag, attributes).text = text
        else:
            ET.SubElement(root, shape[0], shape[1])
    ET.indent(root, space=" ")
    return ET.tostring(root, encoding="unicode") + "\n"


def main():
    parser = argparse.ArgumentParser(description="Draws the syntax diagrams of grammars as SVG files.")
    parser.add_argument("--bison", default="bison", help="the bison program")
    parser.add_argument("--out", required=True, help="the folder of the SVG files")
    parser.add_argument("grammars", nargs="+", help="grammar files, <kind>parser.y")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    written = set()
    for path in args.grammars:
        grammar = load(args.bison, path)
        for name in grammar.drawn():
            file = f"{grammar.kind}-{name}.svg"
            with open(os.path.join(args.out, file), "w", encoding="utf-8", newline="\n") as out:
                out.write(svg(grammar, name))
            written.add(file)
    for file in os.listdir(args.out):
        if file.endswith(".svg") and file not in written:
            os.remove(os.path.join(args.out, file))
    return 0


if __name__ == "__main__":
    sys.exit(main())
