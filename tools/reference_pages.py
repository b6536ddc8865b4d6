#!/usr/bin/env python3
"""The language reference as HTML pages, and its index for other tools.

    reference_pages.py --top DOCS --out DIR [--diagrams INDEX] PAGE.md...

Turns each Markdown page (a path under DOCS) into DIR/<same path>.html,
README.md into index.html: every page stands alone (its style inside it),
its syntax diagrams are inline SVG whose boxes link to the sections of the
rules they stand for, links between pages lead to the HTML pages, and what
the pages link to (pictures, diagrams) is copied into DIR beside them, so
that DIR can be installed or served as it is. A link that leads nowhere (no
file, no section of that name) is an error.

With --diagrams (the index that syntax_diagrams.py writes with its
drawings), it also writes DIR/reference.json, the reference's index for
tools that show it (the playground):

    {
      "format": 1,
      "index": "languages/index.html",
      "kinds": [                              the languages, in the pages' order
        {
          "kind": "pure21",                   as tessel::translate knows it
          "title": "Labels over pure signals",      the page's title
          "page": "languages/pure-labels.html",
          "diagrams": [                       in the page's order
            {"rule": "label",                 the grammar's nonterminal drawn
             "title": "label",                the readable title (the section's)
             "caption": "label",              the grammar symbol, shown under the title
             "svg": "languages/diagrams/pure21-label.svg",
             "anchor": "label"}               the section's id in the page
          ],
          "rules": {"ident": ["factor", "boolfacti", "effect"], ...},
                                              every nonterminal of the grammar (as
                                              a diagnostic's rule names it): the
                                              diagrams (their "rule") that draw it,
                                              in the page's order
          "examples": [                       the texts of this kind that the pages
                                              translate, this kind's page first
            {"title": "label: ;;.",           the section, then the text: its first
                                              line, or for a diagnostic the end of it
             "text": ";;.",                   the text exactly as translated
             "page": "languages/pure-labels.html",   the page it is shown on
             "section": "label",              the section's title
             "anchor": "label",
             "diagnostic": false}             true: shown with its diagnostic (-d)
          ]
        }
      ]
    }

Every path is relative to DIR. Inside an SVG, a box's link is
"../<page>.html#<anchor>" (the page of the box's rule, seen from the
diagrams folder); on the HTML page it is "#<anchor>". A tool that shows a
diagram elsewhere finds the diagram a link leads to by its anchor.

A page is a whole HTML document: its text in <main id="content">, every
heading with its id, every diagram in <figure class="diagram"> as an
<svg class="syntax-diagram"> whose own style applies under that class
only, so that a page or a part of it can be shown inside another page.

The Markdown is the part of CommonMark these pages use: ATX headings,
paragraphs, lists ("- " items, their lines indented by two), fenced code,
tables, code spans, links, images, *emphasis* and **strong emphasis**.
Headings get GitHub's ids (the text in lower case, what is not a letter,
digit, blank, "-" or "_" dropped, blanks turned into "-"), so that the same
links work on the Markdown and on the HTML pages.
Python's standard library only.
"""

import argparse
import html
import json
import os
import re
import shutil
import sys
from typing import NamedTuple


# ---------------------------------------------------------------------------
# Blocks

class Block:
    def __init__(self, kind, **fields):
        self.kind = kind
        self.__dict__.update(fields)


FENCE = re.compile(r"^(\s*)(```+)\s*([\w+-]*)\s*$")
HEADING = re.compile(r"^(#{1,6})\s+(.*?)\s*#*\s*$")
ITEM = re.compile(r"^- (.*)$")
TABLE_RULE = re.compile(r"^\|?\s*:?-+:?\s*(\|\s*:?-+:?\s*)*\|?\s*$")


def blocks(lines):
    """The blocks of a page or of a list item (lines without their ends)."""
    found, i = [], 0
    while i < len(lines):
        line = lines[i]
        if not line.strip():
            i += 1
            continue
        fence = FENCE.match(line)
        if fence:
            indent, marks, language = fence.groups()
            end = i + 1
            while end < len(lines) and not re.match(r"^\s*" + marks + r"\s*$", lines[end]):
                end += 1
            if end == len(lines):
                raise ValueError(f"line {i + 1}: a code block without its closing fence")
            code = [l[len(indent):] if l.startswith(indent) else l.lstrip() for l in lines[i + 1:end]]
            found.append(Block("code", language=language, lines=code, line=i + 1))
            i = end + 1
            continue
        heading = HEADING.match(line)
        if heading:
            found.append(Block("heading", level=len(heading.group(1)), text=heading.group(2), line=i + 1))
            i += 1
            continue
        if ITEM.match(line):
            items = []
            while i < len(lines) and ITEM.match(lines[i]):
                item = [ITEM.match(lines[i]).group(1)]
                i += 1
                while i < len(lines) and (lines[i].startswith("  ") or
                                          (not lines[i].strip() and i + 1 < len(lines)
                                           and lines[i + 1].startswith("  "))):
                    item.append(lines[i][2:])
                    i += 1
                items.append(blocks(item))
                while i < len(lines) and not lines[i].strip() and i + 1 < len(lines) and ITEM.match(lines[i + 1]):
                    i += 1
            found.append(Block("list", items=items))
            continue
        if line.startswith("|") and i + 1 < len(lines) and TABLE_RULE.match(lines[i + 1]):
            header = cells(line)
            aligns = [("center" if c.startswith(":") and c.endswith(":") else
                       "right" if c.endswith(":") else "left" if c.startswith(":") else None)
                      for c in cells(lines[i + 1])]
            rows, i = [], i + 2
            while i < len(lines) and lines[i].startswith("|"):
                rows.append(cells(lines[i]))
                i += 1
            found.append(Block("table", header=header, aligns=aligns, rows=rows))
            continue
        text = []
        while (i < len(lines) and lines[i].strip() and not FENCE.match(lines[i])
               and not HEADING.match(lines[i]) and not (text and ITEM.match(lines[i]))):
            text.append(lines[i].strip())
            i += 1
        found.append(Block("paragraph", text="\n".join(text)))
    return found


def cells(line):
    """The cells of a table row; a "|" inside a code span is no border."""
    line = line.strip()
    if line.startswith("|"):
        line = line[1:]
    if line.endswith("|") and not line.endswith("\\|"):
        line = line[:-1]
    found, cell, i = [], "", 0
    while i < len(line):
        span = CODE.match(line, i)
        if span:
            cell += span.group()
            i = span.end()
        elif line[i] == "\\" and i + 1 < len(line):
            cell += line[i:i + 2]
            i += 2
        elif line[i] == "|":
            found.append(cell.strip())
            cell, i = "", i + 1
        else:
            cell += line[i]
            i += 1
    found.append(cell.strip())
    return found


# ---------------------------------------------------------------------------
# Inline text

CODE = re.compile(r"(`+)(.+?)(?<!`)\1(?!`)", re.S)


def slug(text):
    """GitHub's id of a heading, from its Markdown text."""
    plain = re.sub(r"!?\[([^\]]*)\]\([^)]*\)", r"\1", text)
    plain = re.sub(r"(`+)(.+?)\1", lambda m: m.group(2).strip(), plain)
    plain = re.sub(r"\*+", "", plain).lower()
    return re.sub(r"[^\w\- ]", "", plain, flags=re.A).replace(" ", "-")


def bracketed(text, i):
    """The end of the [...] that opens at text[i] (code spans skipped), or -1."""
    depth = 0
    while i < len(text):
        span = CODE.match(text, i)
        if span:
            i = span.end()
            continue
        if text[i] == "\\":
            i += 2
            continue
        if text[i] == "[":
            depth += 1
        elif text[i] == "]":
            depth -= 1
            if depth == 0:
                return i
        i += 1
    return -1


def inline(text, link):
    """The HTML of a text: link(target) gives the HTML address of a link's
    or an image's target."""
    out, i = [], 0
    while i < len(text):
        c = text[i]
        span = CODE.match(text, i) if c == "`" else None
        if span:
            code = span.group(2).replace("\n", " ")
            if code.startswith(" ") and code.endswith(" ") and code.strip():
                code = code[1:-1]
            out.append(f"<code>{html.escape(code, quote=False)}</code>")
            i = span.end()
            continue
        if c == "`":
            run = re.match(r"`+", text[i:]).group()
            out.append(run)
            i += len(run)
            continue
        if c == "\\" and i + 1 < len(text) and text[i + 1] in "\\`*_{}[]()#+-.!|<>":
            out.append(html.escape(text[i + 1]))
            i += 2
            continue
        image = c == "!" and text.startswith("[", i + 1)
        if c == "[" or image:
            start = i + 1 if image else i
            end = bracketed(text, start)
            target = re.match(r"\(([^)\s]*)\)", text[end + 1:]) if end > 0 else None
            if target:
                label, href = text[start + 1:end], link(target.group(1))
                if image:
                    out.append(f'<img src="{html.escape(href)}" alt="{html.escape(plain_text(label))}">')
                else:
                    out.append(f'<a href="{html.escape(href)}">{inline(label, link)}</a>')
                i = end + 1 + target.end()
                continue
        strong = re.match(r"\*\*(?=\S)(.+?)(?<=\S)\*\*", text[i:], re.S) if c == "*" else None
        if strong:
            out.append(f"<strong>{inline(strong.group(1), link)}</strong>")
            i += strong.end()
            continue
        emphasis = re.match(r"\*(?=[^\s*])(.+?)(?<=[^\s*])\*", text[i:], re.S) if c == "*" else None
        if emphasis:
            out.append(f"<em>{inline(emphasis.group(1), link)}</em>")
            i += emphasis.end()
            continue
        out.append(html.escape(c, quote=False))
        i += 1
    return "".join(out)


def plain_text(text):
    """A Markdown text without its marks: code spans' contents, links' labels."""
    text = re.sub(r"!?\[([^\]]*)\]\([^)]*\)", r"\1", text)
    text = re.sub(r"(`+)(.+?)\1", lambda m: m.group(2).strip(), text)
    return re.sub(r"\*+(\S)", r"\1", re.sub(r"(\S)\*+", r"\1", text))


# ---------------------------------------------------------------------------
# Pages

STYLE = """
body { margin: 0; font: 16px/1.55 'DejaVu Sans', 'Segoe UI', Helvetica, Arial, sans-serif; color: #1f2328; background: #fff; }
nav { padding: 0.6em 1.5em; background: #f6f8fa; border-bottom: 1px solid #d0d7de; font-size: 0.9em; }
nav a { margin-right: 1.2em; }
main { max-width: 54em; padding: 0.5em 1.5em 3em; }
h1, h2, h3 { line-height: 1.25; margin: 1.6em 0 0.6em; }
h1 { font-size: 1.9em; } h2 { font-size: 1.45em; border-bottom: 1px solid #d0d7de; padding-bottom: 0.2em; }
h3 { font-size: 1.15em; font-family: 'DejaVu Sans Mono', Menlo, Consolas, monospace; }
h1 a.self, h2 a.self, h3 a.self { visibility: hidden; margin-left: 0.3em; color: #8c959f; text-decoration: none; }
h1:hover a.self, h2:hover a.self, h3:hover a.self { visibility: visible; }
:target { scroll-margin-top: 1em; }
h3:target, figure:target { background: #fff8c5; }
a { color: #0969da; }
code, pre { font-family: 'DejaVu Sans Mono', Menlo, Consolas, 'Liberation Mono', monospace; font-size: 0.88em; }
code { background: #eff1f3; padding: 0.1em 0.3em; border-radius: 4px; }
pre { background: #f6f8fa; border: 1px solid #d8dee4; border-radius: 6px; padding: 0.8em 1em; overflow-x: auto; line-height: 1.4; }
pre code { background: none; padding: 0; font-size: 1em; }
pre.console .prompt { color: #6e7781; user-select: none; }
pre.console .command { color: #0a3069; font-weight: bold; }
table { border-collapse: collapse; margin: 1em 0; display: block; overflow-x: auto; }
th, td { border: 1px solid #d0d7de; padding: 0.35em 0.7em; text-align: left; vertical-align: top; }
th { background: #f6f8fa; }
figure.diagram { margin: 1em 0; overflow-x: auto; }
figure.diagram svg { display: block; max-width: none; }
img { max-width: 100%; }
"""


def title_of(page_blocks, default):
    for b in page_blocks:
        if b.kind == "heading" and b.level == 1:
            return plain_text(b.text)
    return default


def html_name(path):
    """The HTML page of a Markdown page (paths with "/")."""
    folder, base = os.path.split(path)
    base = "index.html" if base == "README.md" else base[:-3] + ".html"
    return os.path.join(folder, base).replace(os.sep, "/")


class Site:
    """The pages being written: what each holds, to check links against."""

    def __init__(self, top, out, sources):
        self.top, self.out = top, out
        self.sources = sources                      # Markdown paths relative to top
        self.pages = {}                             # path -> its blocks
        self.anchors = {}                           # html path -> {id}
        self.copied = set()
        for source in sources:
            with open(os.path.join(top, source), encoding="utf-8") as f:
                self.pages[source] = blocks(f.read().split("\n"))
            self.anchors[html_name(source)] = set(heading_ids(self.pages[source]))

    def link(self, source, target, errors):
        """The HTML address of a link of a page; copies what it leads to."""
        if re.match(r"^[a-z]+:", target):
            return target
        path, _, anchor = target.partition("#")
        folder = os.path.dirname(source)
        if not path:
            here = html_name(source)
            if anchor not in self.anchors[here]:
                errors.append(f"{source}: no section #{anchor}")
            return target
        resolved = os.path.normpath(os.path.join(folder, path)).replace(os.sep, "/")
        if resolved.endswith(".md"):
            if resolved not in self.pages:
                errors.append(f"{source}: links to {resolved}, which is no page of the reference")
                return target
            page = html_name(resolved)
            if anchor and anchor not in self.anchors[page]:
                errors.append(f"{source}: links to {resolved}#{anchor}, which has no such section")
            relative = os.path.relpath(page, os.path.dirname(html_name(source)) or ".")
            return relative.replace(os.sep, "/") + ("#" + anchor if anchor else "")
        if resolved not in self.copied:
            origin = os.path.join(self.top, resolved)
            destination = os.path.join(self.out, resolved)
            if not os.path.exists(destination):
                if not os.path.isfile(origin):
                    errors.append(f"{source}: links to {resolved}, which is not there")
                    return target
                os.makedirs(os.path.dirname(destination), exist_ok=True)
                shutil.copyfile(origin, destination)
            self.copied.add(resolved)
        return target

    def write(self, source, errors):
        page = self.pages[source]
        name = html_name(source)
        link = lambda target: self.link(source, target, errors)
        body = render(page, link, lambda target: self.diagram(source, target, errors))
        first = self.sources[0]
        index = os.path.relpath(html_name(first), os.path.dirname(name) or ".").replace(os.sep, "/")
        nav = [f'<a href="{index}">{html.escape(title_of(self.pages[first], first))}</a>']
        for other in self.sources[1:]:
            if os.path.dirname(other) == os.path.dirname(first):
                href = os.path.relpath(html_name(other), os.path.dirname(name) or ".").replace(os.sep, "/")
                nav.append(f'<a href="{href}">{html.escape(title_of(self.pages[other], other))}</a>')
        title = title_of(page, source)
        text = ("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                f"<title>{html.escape(title)} - Tessel translators</title>\n"
                f"<style>{STYLE}</style>\n</head>\n<body>\n<nav>{' '.join(nav)}</nav>\n"
                f"<main id=\"content\">\n{body}</main>\n</body>\n</html>\n")
        path = os.path.join(self.out, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "w", encoding="utf-8", newline="\n") as f:
            f.write(text)

    def diagram(self, source, target, errors):
        """A diagram shown on the page: its SVG, its links made the page's
        own; None if the image is no diagram."""
        if not re.match(r"^diagrams/[\w-]+\.svg$", target):
            return None
        path = os.path.join(self.out, os.path.dirname(source), target)
        if not os.path.isfile(path):
            errors.append(f"{source}: shows {target}, which is not drawn")
            return ""
        with open(path, encoding="utf-8") as f:
            svg = f.read()
        here = os.path.basename(html_name(source))

        def local(m):
            page, anchor = m.group(1), m.group(2)
            if page == here:
                if anchor not in self.anchors[html_name(source)]:
                    errors.append(f"{target}: links to #{anchor}, which {source} has not")
                return f'href="#{anchor}"'
            return f'href="{page}#{anchor}"'
        svg = re.sub(r'href="\.\./([\w-]+\.html)#([\w-]+)"', local, svg)
        return re.sub(r"^<\?xml[^>]*>\s*", "", svg)


def heading_ids(page_blocks):
    """The ids of a page's headings, in order: GitHub's, "-1", "-2"... added
    to repeats."""
    seen = {}
    for b in walk(page_blocks):
        if b.kind == "heading":
            base = slug(b.text)
            n = seen.get(base, 0)
            seen[base] = n + 1
            yield base if n == 0 else f"{base}-{n}"


def walk(page_blocks):
    for b in page_blocks:
        yield b
        if b.kind == "list":
            for item in b.items:
                yield from walk(item)


def render(page_blocks, link, diagram, ids=None):
    ids = iter(heading_ids(page_blocks)) if ids is None else ids
    out = []
    for b in page_blocks:
        if b.kind == "heading":
            anchor = next(ids)
            out.append(f'<h{b.level} id="{anchor}">{inline(b.text, link)}'
                       f'<a class="self" href="#{anchor}" aria-label="link to this section">#</a></h{b.level}>\n')
        elif b.kind == "paragraph":
            image = re.fullmatch(r"!\[([^\]]*)\]\(([^)\s]+)\)", b.text)
            svg = diagram(image.group(2)) if image else None
            if svg is not None:
                link(image.group(2))
                label = html.escape(plain_text(image.group(1)))
                svg = re.sub(r'(<svg [^>]*aria-label=")[^"]*"', lambda m: m.group(1) + label + '"', svg, count=1)
                out.append(f'<figure class="diagram">\n{svg}</figure>\n')
            else:
                out.append(f"<p>{inline(b.text, link)}</p>\n")
        elif b.kind == "code":
            out.append(code_block(b))
        elif b.kind == "list":
            items = []
            for item in b.items:
                inner = render(item, link, diagram, ids)
                if len(item) == 1 and item[0].kind == "paragraph":
                    inner = inner[len("<p>"):-len("</p>\n")]
                items.append(f"<li>{inner}</li>\n")
            out.append("<ul>\n" + "".join(items) + "</ul>\n")
        elif b.kind == "table":
            def row(cells, tag):
                parts = []
                for k, cell in enumerate(cells):
                    align = b.aligns[k] if k < len(b.aligns) else None
                    style = f' style="text-align: {align}"' if align else ""
                    parts.append(f"<{tag}{style}>{inline(cell, link)}</{tag}>")
                return "<tr>" + "".join(parts) + "</tr>\n"
            out.append("<table>\n<thead>\n" + row(b.header, "th") + "</thead>\n<tbody>\n"
                       + "".join(row(r, "td") for r in b.rows) + "</tbody>\n</table>\n")
    return "".join(out)


def code_block(b):
    """A fenced block; in a console block the commands stand out from what
    they write."""
    if b.language != "console":
        cls = f' class="language-{b.language}"' if b.language else ""
        return f"<pre><code{cls}>" + html.escape("\n".join(b.lines), quote=False) + "\n</code></pre>\n"
    lines, going_on = [], False
    for line in b.lines:
        if line.startswith("$ ") or (going_on and line.startswith("> ")):
            prompt, command = line[:2], line[2:]
            lines.append(f'<span class="prompt">{html.escape(prompt)}</span>'
                         f'<span class="command">{html.escape(command, quote=False)}</span>')
            going_on = True
        else:
            lines.append(html.escape(line, quote=False))
            going_on = False
    return '<pre class="console"><code>' + "\n".join(lines) + "\n</code></pre>\n"


class Shown(NamedTuple):
    """A diagram as a page shows it: under its section's heading."""
    page: str          # the page's file name (pure-labels.md)
    title: str         # the heading's text, plain
    anchor: str        # the heading's id


def shown_diagrams(paths):
    """{(kind, rule): Shown} of the diagrams "diagrams/<kind>-<rule>.svg"
    that the pages show, each under the heading before it. The index
    (README.md) may show any diagram as a sample: it titles none."""
    found = {}
    for path in paths:
        name = os.path.basename(path)
        if name == "README.md":
            continue
        with open(path, encoding="utf-8") as f:
            page = blocks(f.read().split("\n"))
        heading, anchors = None, iter(heading_ids(page))
        for b in walk(page):
            if b.kind == "heading":
                heading = (plain_text(b.text), next(anchors))
            elif b.kind == "paragraph":
                for file in re.findall(r"!\[[^\]]*\]\(diagrams/([\w-]+)\.svg\)", b.text):
                    kind, _, rule = file.partition("-")
                    if (kind, rule) in found:
                        raise ValueError(f"{name}: diagrams/{file}.svg is shown twice")
                    if heading is None:
                        raise ValueError(f"{name}: diagrams/{file}.svg is shown before any heading")
                    found[(kind, rule)] = Shown(name, *heading)
    return found


# ---------------------------------------------------------------------------
# The examples a page translates

PROGRAM = re.compile(r"\b([a-z][a-z0-9]*)-translator\b")


def printf_text(format_text):
    """What printf writes for a format without conversions, as text (None if
    it has conversions, or writes bytes that are not UTF-8)."""
    if re.search(r"%[^%]", format_text.replace("%%", "")):
        return None
    escapes = {"n": b"\n", "t": b"\t", "r": b"\r", "\\": b"\\", "'": b"'", '"': b'"'}
    out, i = bytearray(), 0
    while i < len(format_text):
        m = re.compile(r"\\(0?[0-7]{1,3}|x[0-9a-fA-F]{1,2}|.)|%%|[^\\%]+").match(format_text, i)
        if not m:
            return None
        token, i = m.group(), m.end()
        if token == "%%":
            out += b"%"
        elif token.startswith("\\"):
            escape = m.group(1)
            if escape[0] == "x":
                out.append(int(escape[1:], 16))
            elif escape[0] in "01234567":
                out.append(int(escape, 8) & 0xFF)
            else:
                out += escapes.get(escape, token.encode("utf-8"))
        else:
            out += token.encode("utf-8")
    try:
        return out.decode("utf-8")
    except UnicodeDecodeError:
        return None


def example_text(command):
    """The kind and the text of a documented command that translates a
    text given as it stands (printf or echo of a quoted text, or a
    here-document); None for the others."""
    lines = command.split("\n")
    program = PROGRAM.search(lines[0])
    if not program:
        return None
    kind = program.group(1)
    here = re.search(r"<<'(\w+)'", lines[0])
    if here:
        end = lines.index(here.group(1), 1) if here.group(1) in lines[1:] else len(lines)
        return kind, "\n".join(lines[1:end]) + "\n"
    m = re.match(r"^printf '([^']*)' \| ", lines[0])
    if m and len(lines) == 1:
        text = printf_text(m.group(1))
        return (kind, text) if text is not None else None
    m = re.match(r"^printf '%b' '([^']*)' \| ", lines[0])
    if m and len(lines) == 1:
        return kind, printf_text(m.group(1).replace("%", "%%"))
    m = re.match(r"^echo '([^']*)' \| ", lines[0])
    if m and len(lines) == 1:
        return kind, m.group(1)
    return None


def examples(page_blocks):
    """[(section heading, anchor, command)] of the page's console blocks."""
    found, section, anchors = [], None, iter(heading_ids(page_blocks))
    anchor = None
    for b in walk(page_blocks):
        if b.kind == "heading":
            section, anchor = plain_text(b.text), next(anchors)
        elif b.kind == "code" and b.language == "console":
            command = None
            for line in b.lines:
                if line.startswith("$ "):
                    if command is not None:
                        found.append((section, anchor, "\n".join(command)))
                    command = [line[2:]]
                elif command is not None and line.startswith("> ") and not command_done(command):
                    command.append(line[2:])
                elif command is not None:
                    found.append((section, anchor, "\n".join(command)))
                    command = None
            if command is not None:
                found.append((section, anchor, "\n".join(command)))
    return found


def command_done(command):
    """Whether a command's here-document (if any) has ended."""
    here = re.search(r"<<'(\w+)'", command[0])
    return not here or here.group(1) in command[1:]


def shorten(text, diagnostic, width=48):
    """A text in a few words: its first line, or for a text shown with its
    diagnostic the end of its one line, where the mistake usually is."""
    if not text.strip():
        return "(no text)" if not text else "(blanks only)"
    lines = text.rstrip("\n").split("\n")
    if len(lines) == 1 and len(lines[0]) <= width:
        return lines[0]
    if diagnostic and len(lines) == 1:
        return "..." + lines[0][-(width - 3):].lstrip()
    return lines[0][:width - 3].rstrip() + "..."


def kind_entry(site, source, diagrams):
    """The index's entry of a language's page; its examples are those of
    every page that translate a text of its kind, its own page's first."""
    page = site.pages[source]
    kind = diagrams["kind"]
    entry = {"kind": kind, "title": title_of(page, source), "page": html_name(source),
             "diagrams": [], "rules": diagrams["rules"], "examples": []}
    folder = os.path.dirname(source)
    for d in diagrams["diagrams"]:
        entry["diagrams"].append({"rule": d["rule"], "title": d["title"], "caption": d["caption"],
                                  "svg": f"{folder}/diagrams/{d['svg']}".lstrip("/"), "anchor": d["anchor"]})
    seen = set()
    for other in [source] + [s for s in site.sources if s != source]:
        for section, anchor, command in examples(site.pages[other]):
            found = example_text(command)
            if not found or found[0] != kind or found[1] in seen:
                continue
            seen.add(found[1])
            diagnostic = bool(re.search(r"-translator -d\b", command))
            entry["examples"].append({"title": f"{section}: {shorten(found[1], diagnostic)}", "text": found[1],
                                      "page": html_name(other), "section": section, "anchor": anchor,
                                      "diagnostic": diagnostic})
    return entry


def main():
    parser = argparse.ArgumentParser(description="Writes the language reference as HTML pages.")
    parser.add_argument("--top", required=True, help="the folder the pages' paths start from (docs)")
    parser.add_argument("--out", required=True, help="the folder of the HTML pages")
    parser.add_argument("--diagrams", help="the diagrams' index (syntax_diagrams.py --index)")
    parser.add_argument("pages", nargs="+", help="Markdown pages, relative to --top")
    args = parser.parse_args()

    site = Site(args.top, args.out, args.pages)
    errors = []
    for source in args.pages:
        site.write(source, errors)
    if args.diagrams:
        with open(args.diagrams, encoding="utf-8") as f:
            drawn = json.load(f)
        kinds = []
        for source in args.pages:
            for entry in drawn["kinds"]:
                if entry["page"] == os.path.basename(source):
                    kinds.append(kind_entry(site, source, entry))
        index = {"format": 1, "index": html_name(args.pages[0]), "kinds": kinds}
        with open(os.path.join(args.out, "reference.json"), "w", encoding="utf-8", newline="\n") as f:
            json.dump(index, f, indent=1, ensure_ascii=False)
            f.write("\n")
    for error in errors:
        print(f"reference_pages.py: {error}", file=sys.stderr)
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
