#!/usr/bin/env python3
"""Syntax diagrams of the translators' grammars, drawn from the grammars.

    syntax_diagrams.py --pages DIR --out DIR [--index FILE] REPORT.xml...

For each grammar, bison's XML report (<kind>parser.xml, made by the build
with the parser header <kind>parser.hh beside it) gives the rules and the
tokens with their spellings, read by grammar_report.py; the grammar file it
names tells which rules only reject (their action ends the parse with
YYABORT: a factor without a trigger, a stray character), and the scanner
beside it (lex.<kind>.l) which tokens are spelled as they are written (";",
"and") and which stand for a class of texts (name, number, `text`).

The reference's pages (--pages, the folder of its Markdown pages) choose the
diagrams: a page that shows "diagrams/<kind>-<rule>.svg" under a heading
gives that rule a diagram of its own, titled with the heading (the rule's
name, its caption, under the title); its boxes elsewhere carry that title and
link to that section of the page ("../<page>.html#<heading's id>", from the
folder of the diagrams). Every other nonterminal is drawn where it is used:
trivial wrappers are folded into their users. Writes DIR/<kind>-<rule>.svg
for every diagram the pages show, removes the folder's other SVG files, and
with --index writes what the reference's index needs of them (JSON: per
grammar its page, its diagrams with title, caption, file and anchor, and
for every nonterminal of the grammar the diagrams that draw it). A grammar
none of whose diagrams a page shows yet (a language just added) is left
out, with a note on standard error; the test scripts/diagrams asks for it.

What is drawn is the language of the rules that accept, as a reader needs
it. A nonterminal that only renames a token is drawn as the token (ident is
a name); one that only renames another nonterminal, as that one with its own
name above it (factor over a value); one used only as whole alternatives,
by its alternatives in their place (gId in factor, operation in expr); the
start, when it is another rule followed by tokens (axiom: label "."), as
that rule with the tokens at its end. A rule with a diagram of its own that
may be empty (its empty alternative aside) is drawn optional where it is
used. Left-recursive lists are loops, alternatives that differ by optional
parts are bypasses; two rails that would run a few pixels apart are kept
further apart, and every diagram has the same room of plain rail after its
start and before its end.
Python's standard library only.
"""

import argparse
import glob
import json
import os
import re
import sys
import xml.etree.ElementTree as ET
from typing import NamedTuple, Optional

import grammar_report
from reference_pages import shown_diagrams


# ---------------------------------------------------------------------------
# The grammar

class Sym(NamedTuple):
    """A symbol of a rule: a terminal (its spelling) or a nonterminal, which
    may be drawn with the name of the nonterminal it stands for (caption)."""
    name: str
    terminal: bool
    caption: Optional[str] = None


class Grammar:
    """A grammar's rules as they are drawn: the diagrams that the pages show
    (shown: rule -> its page's section), every other nonterminal drawn
    where it is used."""

    def __init__(self, kind, start, rules, classes, users, folded_start, shown):
        self.kind = kind
        self.start = start
        self.rules = rules        # lhs -> [alternative: [Sym]], in the grammar's order
        self.classes = classes    # spellings of the tokens that stand for a class of texts
        self.users = users        # nonterminal -> the nonterminals whose rules use it, as written
        self.folded_start = folded_start  # the start as written, if drawn in the diagram of start
        self.shown = shown
        self.optional = set()     # drawn optional where used, without their empty alternative
        for name in self.drawn():
            alternatives = rules[name]
            if [] in alternatives and name != start and not any(
                    nullable(rules, s) for a in alternatives if a for s in a):
                alternatives.remove([])
                self.optional.add(name)

    def drawn(self):
        """The nonterminals that have a diagram of their own, in the pages' order."""
        return [name for name in self.shown if name in self.rules]

    def places(self, name, seen=()):
        """The diagrams that draw a nonterminal of the grammar as written."""
        if name in self.shown and name in self.rules:
            return [name]
        if name == self.folded_start:
            return [self.start]
        found = []
        for user in self.users.get(name, []):
            if user != name and user not in seen:
                found += [p for p in self.places(user, seen + (name,)) if p not in found]
        order = self.drawn()
        return sorted(found, key=order.index)


def nullable(rules, sym, seen=()):
    """Whether a symbol may stand for no text."""
    if sym.terminal or sym.name in seen or sym.name not in rules:
        return False
    return any(all(nullable(rules, s, seen + (sym.name,)) for s in a) for a in rules[sym.name])


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


def load(report, shown):
    """A grammar's rules as they are drawn (see the module's comment), from
    bison's report on it (<kind>parser.xml, the parser header of the same
    run beside it); shown: {(kind, rule): section} of the diagrams the
    pages show. None when the pages show none of the grammar's."""
    header = re.sub(r"\.xml$", ".hh", report)
    facts = grammar_report.load(report, header=header if os.path.exists(header) else None)
    path = ET.parse(report).getroot().findtext("filename")
    folder, base = os.path.split(path)
    kind = re.sub(r"parser\.y$", "", base)
    text = open(path, encoding="utf-8").read()
    written = source_rules(path, text)

    # The report and the file must agree, mid-rule actions ($@N) aside.
    reported = [(r.lhs, [s for s in r.rhs if not grammar_report.midrule(s)]) for r in facts.rules
                if r.number != 0 and not r.midrule]
    if [(lhs, rhs) for lhs, rhs, _ in written] != reported:
        raise SystemExit(f"{path}: its rules as read here differ from bison's report {report}")

    tokens = {t.bison_name: t for t in facts.tokens}
    lexer = literal_spellings(os.path.join(folder, f"lex.{kind}.l"))
    classes = {t.spelling for t in tokens.values() if t.spelling is not None
               and t.spelling not in lexer.get(t.name, set())}

    rules, users = {}, {}
    for lhs, rhs, rejects in written:
        alternatives = rules.setdefault(lhs, [])
        if not rejects:
            alternatives.append([Sym(tokens[s].spelling or s, True) if s in tokens else Sym(s, False)
                                 for s in rhs])
        for s in rhs:
            if s not in tokens and lhs not in users.setdefault(s, []):
                users[s].append(lhs)
    for lhs, alternatives in rules.items():
        if not alternatives:
            raise SystemExit(f"{path}: every rule of {lhs} rejects")
    mine = {rule: section for (k, rule), section in shown.items() if k == kind}
    if not mine:
        return None  # a language whose page is not written yet
    start, folded_start = fold_start(rules, written[0][0], mine)
    simplify(rules, start, mine)
    for rule, section in mine.items():
        if rule not in rules:
            raise SystemExit(f"{section.page} shows diagrams/{kind}-{rule}.svg, but the grammar "
                             f"{path} has no rule {rule} that is drawn on its own")
    if start not in mine:
        raise SystemExit(f"{path}: no page shows the diagram of the whole text, "
                         f"diagrams/{kind}-{start}.svg")
    grammar = Grammar(kind, start, rules, classes, users, folded_start, mine)
    grammar.spellings = {name: t.spelling or name for name, t in tokens.items()}
    grammar.nonterminals = [n for n in facts.nonterminals if not grammar_report.midrule(n)]
    return grammar


def fold_start(rules, start, shown):
    """The start rule, when it is another nonterminal followed by tokens and
    the pages show that one (axiom: label "."), is drawn as the other with
    the tokens at its end. Returns the start drawn and the start folded
    into it, if any."""
    alternatives = rules[start]
    if start in shown or len(alternatives) != 1 or not alternatives[0]:
        return start, None
    first, rest = alternatives[0][0], alternatives[0][1:]
    if (first.terminal or first.name not in shown or not all(s.terminal for s in rest)
            or [u for u in occurrences(rules, first.name) if u[0] != start]):
        return start, None
    rules[first.name] = [a + rest for a in rules[first.name]]
    del rules[start]
    return first.name, start


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


def simplify(rules, start, shown):
    """Merges the nonterminals that add nothing for the reader (see the
    module's comment), until none is left; those the pages show stay."""
    def single(name):
        alternatives = rules[name]
        return alternatives[0][0] if len(alternatives) == 1 and len(alternatives[0]) == 1 else None

    changed = True
    while changed:
        changed = False
        # A token under another name: drawn as the token.
        for name in list(rules):
            s = single(name)
            if name != start and name not in shown and s is not None and s.terminal:
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
            if len(uses) == 1 and s.name not in shown:
                # Another nonterminal's only user: takes its rules (effect: effects).
                rules[name] = rules.pop(s.name)
                substitute(rules, s.name, Sym(name, False))
            elif name not in shown:
                # Another name of a nonterminal used elsewhere: drawn as it, captioned.
                del rules[name]
                substitute(rules, name, Sym(s.name, False, s.caption or name))
            else:
                continue
            changed = True
            break
        if changed:
            continue
        # A nonterminal without a diagram of its own that is used only as
        # whole alternatives: its alternatives take their place (factor: gId,
        # gId: preId; expr: operation).
        for name in list(rules):
            if name == start or name in shown:
                continue
            uses = [(lhs, k) for lhs, k in occurrences(rules, name) if lhs != name]
            whole = [(lhs, k) for lhs, k in uses if len(rules[lhs][k]) == 1]
            if not whole or len(whole) != len(uses):
                continue
            for lhs in dict.fromkeys(lhs for lhs, _ in whole):
                spliced = []
                for a in rules[lhs]:
                    spliced += ([list(b) for b in rules[name]] if len(a) == 1 and a[0].name == name
                                and not a[0].terminal else [a])
                rules[lhs] = spliced
            if not occurrences(rules, name):
                del rules[name]
            changed = True
            break


# ---------------------------------------------------------------------------
# From rules to diagrams: sequences, choices, optional parts and loops

class Term(NamedTuple):
    text: str
    cls: bool             # a class of texts (name), else a spelling (";")


class NonTerm(NamedTuple):
    name: str             # the nonterminal, which has a diagram of its own
    text: str             # its diagram's title, the box's text
    caption: Optional[str]  # the name of the part it stands for, above the box


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


def leaf(sym, grammar, inside):
    """The node of a symbol; inside: the nonterminals being drawn in place."""
    if sym.terminal:
        return Term(sym.name, sym.name in grammar.classes)
    if sym.name in grammar.shown:
        caption = sym.caption
        title = grammar.shown[sym.name].title
        if caption and (title.startswith(caption) or sym.name.startswith(caption)):
            caption = None
        node = NonTerm(sym.name, title, caption)
        return Opt(node) if sym.name in grammar.optional else node
    if sym.name in inside:
        raise SystemExit(f"{grammar.kind}: {sym.name} is recursive: it needs a diagram of its own, "
                         f"shown on a page as diagrams/{grammar.kind}-{sym.name}.svg")
    return diagram(grammar, sym.name, inside + (sym.name,))


def seq(nodes):
    items = []
    for node in nodes:
        items += node.items if isinstance(node, Seq) else [node]
    return items[0] if len(items) == 1 else Seq(tuple(items))


def choice(nodes):
    """A choice of nodes, the branches of a choice among them its own."""
    items = []
    for node in nodes:
        items += node.items if isinstance(node, Choice) else [node]
    return Choice(tuple(items))


def factor(alternatives, grammar, inside):
    """A diagram of the alternatives (lists of symbols), shared parts drawn once."""
    alts = []
    for a in alternatives:
        if tuple(a) not in alts:
            alts.append(tuple(a))
    if not alts:
        return SKIP
    if any(len(a) == 0 for a in alts):
        rest = [a for a in alts if a]
        return Opt(factor(rest, grammar, inside)) if rest else SKIP
    if len(alts) == 1:
        return seq([leaf(s, grammar, inside) for s in alts[0]])
    prefix = common_length(alts)
    if prefix:
        return seq([leaf(s, grammar, inside) for s in alts[0][:prefix]]
                   + [factor([a[prefix:] for a in alts], grammar, inside)])
    suffix = common_length([a[::-1] for a in alts])
    if suffix:
        return seq([factor([a[:-suffix] for a in alts], grammar, inside)]
                   + [leaf(s, grammar, inside) for s in alts[0][-suffix:]])
    split = product(alts)
    if split:
        heads, tails = split
        return seq([factor(heads, grammar, inside), factor(tails, grammar, inside)])
    return choice([factor(group, grammar, inside) for group in groups(alts)])


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


def diagram(grammar, name, inside=()):
    """The diagram of a nonterminal: a left-recursive list as a loop."""
    alts = grammar.rules[name]
    me = Sym(name, False)
    again = [a[1:] for a in alts if a and a[0] == me]
    base = [a for a in alts if not (a and a[0] == me)]
    if not again or all(a and a[-1] == me for a in again):
        return factor(alts, grammar, inside)      # no list, or binary operators: expr "+" expr
    if len(base) == 1 and len(again) == 1 and base[0] and again[0][len(again[0]) - len(base[0]):] == base[0]:
        separator = again[0][:len(again[0]) - len(base[0])]
        return Loop(factor([base[0]], grammar, inside), factor([separator], grammar, inside))
    return seq([factor(base, grammar, inside), Opt(Loop(factor(again, grammar, inside), SKIP))])


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
.syntax-diagram text { font-family: 'DejaVu Sans Mono', Menlo, Consolas, 'Liberation Mono', monospace; font-size: 14px; fill: #1f2328; }
.syntax-diagram .background { fill: #ffffff; }
.syntax-diagram .rail { fill: none; stroke: #57606a; stroke-width: 1.6; }
.syntax-diagram .arrow, .syntax-diagram .end { fill: #57606a; }
.syntax-diagram .token rect { fill: #fff8dc; stroke: #9a6700; stroke-width: 1.3; }
.syntax-diagram .token text { font-weight: bold; }
.syntax-diagram .class rect { fill: #ddf4ff; stroke: #0969da; stroke-width: 1.3; }
.syntax-diagram .class text { font-style: italic; fill: #0a3069; }
.syntax-diagram .rule rect { fill: #f6f8fa; stroke: #424a53; stroke-width: 1.3; }
.syntax-diagram a:hover .rule rect, .syntax-diagram a:focus .rule rect { fill: #ddf4ff; stroke: #0969da; }
.syntax-diagram .caption { font-size: 11px; font-style: italic; fill: #6e7781; }
.syntax-diagram .title { font-weight: bold; fill: #1f2328; }
.syntax-diagram .symbol { font-size: 12px; fill: #6e7781; }
"""


def num(v):
    s = f"{v:.2f}".rstrip("0").rstrip(".")
    return "0" if s == "-0" else s


class Box:
    def __init__(self, width, up, down, exit=0, up_rail=False, down_rail=False, out=None):
        self.width, self.up, self.down = width, up, down
        self.exit = exit    # how far below the entry the line leaves (rows)
        self.out = width if out is None else out    # and how far right of it
        self.up_rail = up_rail        # its top is a rail (a bypass), not a box
        self.down_rail = down_rail    # its bottom is a rail (a way back)


def apart(above, below):
    """The room between two parts one above the other: two rails that ran
    a few pixels apart would read as one, so they are kept further apart."""
    return 2 * R if above.down_rail and below.up_rail else VS


RAIL = Box(0, 0, 0, up_rail=True, down_rail=True)


def measure(node):
    """The box of a node: its width, and its height above and below its line."""
    if isinstance(node, Term):
        return Box(max(len(node.text) * CHAR + 2 * PAD + 4, BOX), BOX / 2, BOX / 2)
    if isinstance(node, NonTerm):
        width = len(node.text) * CHAR + 2 * PAD
        up = BOX / 2
        if node.caption:
            width = max(width, len(node.caption) * SMALL * 0.602 + 8)
            up += SMALL + 3
        return Box(width, up, BOX / 2)
    if isinstance(node, Seq):
        boxes = [measure(i) for i in node.items]
        if not boxes:
            return Box(0, 0, 0, up_rail=True, down_rail=True)
        up, down = max(b.up for b in boxes), max(b.down for b in boxes)
        return Box(sum(b.width for b in boxes) + GAP * (len(boxes) - 1), up, down,
                   up_rail=any(b.up_rail for b in boxes if b.up == up),
                   down_rail=any(b.down_rail for b in boxes if b.down == down))
    if isinstance(node, Choice):
        boxes = [measure(i) for i in node.items]
        down = boxes[0].down + sum(apart(a, b) + b.up + b.down for a, b in zip(boxes, boxes[1:]))
        return Box(max(b.width for b in boxes) + 4 * R, boxes[0].up, down,
                   up_rail=boxes[0].up_rail, down_rail=boxes[-1].down_rail)
    if isinstance(node, Opt):
        b = measure(node.item)
        return Box(b.width + 4 * R, max(b.up + apart(RAIL, b), 2 * R), b.down,
                   up_rail=True, down_rail=b.down_rail)
    if isinstance(node, Loop):
        b, r = measure(node.item), measure(node.repeat)
        return Box(max(b.width, r.width + 2 * ARROW_ROOM) + 4 * R, b.up,
                   loop_drop(b, r) + r.down, up_rail=b.up_rail, down_rail=True)
    if isinstance(node, Rows):
        return node.box
    raise TypeError(node)


def loop_drop(item, repeat):
    """How far below the line a loop's way back runs."""
    return max(item.down + apart(item, repeat if repeat.width else RAIL) + repeat.up, 2 * R)


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
    else:
        return node     # a part too wide for any row: rows would not make it narrower
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
    return Rows(tuple(rows), Box(width, boxes[0].up, exit + boxes[-1].down, exit,
                                 up_rail=boxes[0].up_rail, down_rail=boxes[-1].down_rail,
                                 out=INDENT + boxes[-1].width))


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
        above = None
        for k, item in enumerate(node.items):
            b = measure(item)
            if k:
                row += apart(above, b) + b.up
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
            above = b
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
    parts = [("rect", rect, None), ("text", text, node.text)]
    if isinstance(node, NonTerm) and node.caption:
        parts.append(("text", {"class": "caption", "x": num(x + box.width / 2), "y": num(y - h / 2 - 4),
                               "text-anchor": "middle"}, node.caption))
    link = None
    if isinstance(node, NonTerm):
        section = grammar.shown[node.name]
        link = f"../{page_file(section.page)}#{section.anchor}"
    c.shapes.append(("box", group, parts, link))


def page_file(page):
    """The HTML page of a Markdown page of the reference."""
    return "index.html" if page == "README.md" else re.sub(r"\.md$", ".html", page)


def svg(grammar, name):
    """The SVG document of a nonterminal's diagram, titled as its section is."""
    node = wrap(diagram(grammar, name))
    box = measure(node)
    c = Canvas()
    x0 = MARGIN
    y0 = MARGIN + TITLE + box.up
    # The same room of plain rail after the start's dot and before the end's arrow.
    c.shapes.append(("circle", {"class": "end", "cx": num(x0 + 4.5), "cy": num(y0), "r": "4.5"}))
    x = x0 + 9 + GAP
    c.line(f"M{num(x0 + 4.5)} {num(y0)}H{num(x)}")
    draw(node, x, y0, c, grammar)
    xe, ye = x + box.out, y0 + box.exit
    c.line(f"M{num(xe)} {num(ye)}h{num(GAP + 8)}")
    c.shapes.append(("path", {"class": "end", "d": f"M{num(xe + GAP)} {num(ye - 5)}l8 5l-8 5z"}))
    c.shapes.append(("rect", {"class": "end", "x": num(xe + GAP + 8), "y": num(ye - 7), "width": "3",
                              "height": "14"}))
    title = grammar.shown[name].title
    caption = name if name != title else ""
    heading = len(title) * CHAR + (12 + len(caption) * SMALL * 0.602 if caption else 0)
    width = max(x + box.width, xe + GAP + 11, x0 + heading) + MARGIN
    height = y0 + box.down + MARGIN

    label = f"{title} ({name})" if caption else title
    root = ET.Element("svg", {"xmlns": "http://www.w3.org/2000/svg", "class": "syntax-diagram",
                              "width": num(width), "height": num(height),
                              "viewBox": f"0 0 {num(width)} {num(height)}",
                              "role": "img", "aria-label": f"syntax diagram: {label}"})
    ET.SubElement(root, "title").text = f"{label}: syntax diagram"
    ET.SubElement(root, "style").text = STYLE
    ET.SubElement(root, "rect", {"class": "background", "width": "100%", "height": "100%"})
    ET.SubElement(root, "text", {"class": "title", "x": num(MARGIN), "y": num(MARGIN + 12)}).text = title
    if caption:
        ET.SubElement(root, "text", {"class": "symbol", "x": num(MARGIN + len(title) * CHAR + 12),
                                     "y": num(MARGIN + 12)}).text = caption
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


def index_entry(grammar):
    """What the reference's index says of a grammar's diagrams."""
    diagrams = []
    for name in grammar.drawn():
        section = grammar.shown[name]
        diagrams.append({"rule": name, "title": section.title, "caption": name,
                         "svg": f"{grammar.kind}-{name}.svg", "anchor": section.anchor})
    pages = {grammar.shown[name].page for name in grammar.drawn()}
    if len(pages) != 1:
        raise SystemExit(f"{grammar.kind}: its diagrams are shown on several pages: {sorted(pages)}")
    return {"kind": grammar.kind, "page": pages.pop(), "diagrams": diagrams,
            "rules": {name: grammar.places(name) for name in grammar.nonterminals}}


def main():
    parser = argparse.ArgumentParser(description="Draws the syntax diagrams of grammars as SVG files.")
    parser.add_argument("--out", required=True, help="the folder of the SVG files")
    parser.add_argument("--pages", required=True,
                        help="the folder of the reference's Markdown pages, which show the diagrams")
    parser.add_argument("--index", help="writes there what the reference's index needs (JSON)")
    parser.add_argument("reports", nargs="+",
                        help="bison's reports on the grammars, <kind>parser.xml (bison --xml), "
                             "each with the parser header of the same run beside it (<kind>parser.hh)")
    args = parser.parse_args()
    try:
        shown = shown_diagrams(sorted(glob.glob(os.path.join(args.pages, "*.md"))))
    except ValueError as e:
        raise SystemExit(str(e))
    os.makedirs(args.out, exist_ok=True)
    written, entries = set(), []
    for report in args.reports:
        grammar = load(report, shown)
        if grammar is None:
            print(f"{report}: no page of {args.pages} shows its diagrams; none drawn", file=sys.stderr)
            continue
        for name in grammar.drawn():
            file = f"{grammar.kind}-{name}.svg"
            with open(os.path.join(args.out, file), "w", encoding="utf-8", newline="\n") as out:
                out.write(svg(grammar, name))
            written.add(file)
        entries.append(index_entry(grammar))
    for file in os.listdir(args.out):
        if file.endswith(".svg") and file not in written:
            os.remove(os.path.join(args.out, file))
    if args.index:
        with open(args.index, "w", encoding="utf-8", newline="\n") as out:
            json.dump({"kinds": entries}, out, indent=1)
            out.write("\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
