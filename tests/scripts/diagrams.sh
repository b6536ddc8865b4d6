# The syntax diagrams of the language reference never drift from the
# grammars: those in docs/languages/diagrams are exactly the ones that
# tools/syntax_diagrams.py draws from the grammars now (none missing, none left
# over) and says what its rules say; each is well-formed SVG whose boxes hold their text and do not
# overlap, and renders (rsvg-convert); the pictures are renderings of the
# diagrams of today's size. The HTML pages that tools/reference_pages.py
# makes of the reference show every diagram inline, and every link of a
# page or of a diagram leads to a file and a section that are there.
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/lib.sh"
docs=$top/docs/languages
cache=$bin/../CMakeCache.txt
python=$(sed -n 's/^Python3_EXECUTABLE:[A-Z]*=//p' "$cache")
# Bison's reports on the grammars, as the build made them.
kinds=$("$bin/tessel-batch" --kinds)
reports=()
for kind in $kinds; do
    reports+=("$bin/../$kind/${kind}parser.xml")
done

mkdir -p html/languages
if ! "${python:-python3}" "$top/tools/syntax_diagrams.py" --pages "$docs" \
        --out html/languages/diagrams --index diagrams.json "${reports[@]}"; then
    fail "tools/syntax_diagrams.py failed"
fi
ln -s html/languages/diagrams drawn
for kind in $kinds; do
    compgen -G "drawn/$kind-*.svg" > /dev/null ||
        fail "no diagram of $kind: no page of docs/languages shows diagrams/$kind-<rule>.svg"
done
if ! diff -r drawn "$docs/diagrams" > diff.txt; then
    fail "docs/languages/diagrams differs from the grammars (python3 tools/syntax_diagrams.py --pages docs/languages --out docs/languages/diagrams build/*/*parser.xml)"
    head -n 20 diff.txt
fi

# Well-formed, boxes apart and wide enough for their text (the font is
# monospace: 0.602 em a character), links to sections of pages.
"${python:-python3}" - drawn <<'EOF' || fail "a diagram is malformed or its boxes overlap"
import os, re, sys, xml.etree.ElementTree as ET
ns = {"s": "http://www.w3.org/2000/svg"}
folder, bad = sys.argv[1], 0
for name in sorted(os.listdir(folder)):
    root = ET.parse(os.path.join(folder, name)).getroot()
    boxes = []
    for g in root.iter("{http://www.w3.org/2000/svg}g"):
        rect, text = g.find("s:rect", ns), g.find("s:text", ns)
        x, y, w, h = (float(rect.get(k)) for k in ("x", "y", "width", "height"))
        if len(text.text) * 14 * 0.602 > w - 8:
            print(f"{name}: {text.text!r} does not fit its box"); bad += 1
        boxes.append((x, y, w, h, text.text))
    width, height = float(root.get("width")), float(root.get("height"))
    for i, (x, y, w, h, t) in enumerate(boxes):
        if x < 0 or y < 0 or x + w > width or y + h > height:
            print(f"{name}: {t!r} lies outside the picture"); bad += 1
        for (x2, y2, w2, h2, t2) in boxes[i + 1:]:
            if x < x2 + w2 and x2 < x + w and y < y2 + h2 and y2 < y + h:
                print(f"{name}: {t!r} and {t2!r} overlap"); bad += 1
    for a in root.iter("{http://www.w3.org/2000/svg}a"):
        if not re.fullmatch(r"\.\./[\w-]+\.html#[\w-]+", a.get("href")):
            print(f"{name}: links to {a.get('href')}, which is no section of a page"); bad += 1
sys.exit(1 if bad else 0)
EOF

# Each diagram says what its rules say: the texts that a nonterminal's rules
# derive (the rules that accept, the parts drawn elsewhere kept as they are,
# its own recursion and the parts drawn inside it expanded), up to four
# words longer than its shortest, are those its diagram's paths spell,
# loops and all.
"${python:-python3}" - "$top" "${reports[@]}" <<'EOF' || fail "a diagram says otherwise than its rules"
import glob, sys
sys.path.insert(0, sys.argv[1] + "/tools")
import syntax_diagrams as sd
top, reports, longest, bad = sys.argv[1], sys.argv[2:], 0, 0

def cat(a, b):
    """The texts of one of a followed by one of b, up to the longest."""
    lengths = {}
    for y in b:
        lengths.setdefault(len(y), []).append(y)
    return {x + y for x in a for n, ys in lengths.items() if len(x) + n <= longest for y in ys}

def spelled(node, me, mine):
    """The texts of a diagram's paths; its own name stands for mine."""
    if isinstance(node, sd.Term):
        return {(("t", node.text),)}
    if isinstance(node, sd.NonTerm):
        return mine if node.name == me else {(("n", node.name),)}
    if isinstance(node, sd.Seq):
        texts = {()}
        for item in node.items:
            texts = cat(texts, spelled(item, me, mine))
        return texts
    if isinstance(node, sd.Choice):
        return set().union(*(spelled(item, me, mine) for item in node.items))
    if isinstance(node, sd.Opt):
        return {()} | spelled(node.item, me, mine)
    item, repeat = spelled(node.item, me, mine), spelled(node.repeat, me, mine)
    texts, last = set(item), item
    while True:
        last = cat(cat(last, repeat), item) - texts
        if not last:
            return texts
        texts |= last

shown = sd.shown_diagrams(sorted(glob.glob(f"{top}/docs/languages/*.md")))
for report in reports:
    grammar = sd.load(report, shown)
    if grammar is None:  # no page shows it (said above)
        continue
    kind = grammar.kind
    path = f"{top}/{kind}/{kind}parser.y"
    rules = {}
    for lhs, rhs, rejects in sd.source_rules(path, open(path, encoding="utf-8").read()):
        rules.setdefault(lhs, [])
        if not rejects:
            rules[lhs].append(rhs)
    drawn = grammar.drawn()
    for me in drawn:
        # The start drawn as the rule it wraps: the start's texts.
        whole = grammar.folded_start if me == grammar.start and grammar.folded_start else me
        derived = {name: set() for name in rules}
        reached, todo = {whole}, [whole]      # what me's texts are made of
        while todo:
            for alternative in rules[todo.pop()]:
                for s in alternative:
                    if s in rules and s not in reached and (s not in drawn or s == me):
                        reached.add(s)
                        todo.append(s)
        def shortest(s, seen=()):
            if s in grammar.spellings or (s in drawn and s != me):
                return 0 if s in grammar.optional else 1
            if s in seen:
                return float("inf")
            return min((sum(shortest(x, seen + (s,)) for x in a) for a in rules[s]), default=float("inf"))
        longest = shortest(whole) + 4
        def word(s):
            if s in grammar.spellings:
                return {(("t", grammar.spellings[s]),)}
            if s in drawn and s != me:     # drawn optional where used: its empty text here
                return {(("n", s),)} | ({()} if s in grammar.optional else set())
            return derived[s]
        changed = True
        while changed:
            changed = False
            for name in reached:
                for alternative in rules[name]:
                    texts = {()}
                    for s in alternative:
                        texts = cat(texts, word(s))
                    if texts - derived[name]:
                        derived[name] |= texts
                        changed = True
        node, mine = sd.diagram(grammar, me), set()
        while True:
            texts = spelled(node, me, mine)
            if texts == mine:
                break
            mine = texts
        expected = derived[whole] - ({()} if me in grammar.optional else set())
        if mine != expected:
            bad += 1
            show = lambda texts: [" ".join(w[1] for w in t) for t in sorted(texts)[:3]]
            print(f"{kind} {me}: only its rules say {show(expected - mine)}, "
                  f"only its diagram {show(mine - expected)}")
sys.exit(1 if bad else 0)
EOF

svg_size() {  # FILE: its width and height, whole pixels up
    sed -n '1s/.* width="\([0-9.]*\)" height="\([0-9.]*\)".*/\1 \2/p' "$1" |
        awk '{ printf "%d %d", ($1 == int($1)) ? $1 : int($1) + 1, ($2 == int($2)) ? $2 : int($2) + 1 }'
}
png_size() {  # FILE: its width and height, from its header
    od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%d %d", (($1*256+$2)*256+$3)*256+$4, (($5*256+$6)*256+$7)*256+$8 }'
}
for svg in drawn/*.svg; do
    rsvg-convert "$svg" -o out.png 2> err || { fail "${svg##*/} does not render"; head -n 3 err; continue; }
    expect_eq "${svg##*/}: rendered at its size" "$(svg_size "$svg")" "$(png_size out.png)"
done

# The HTML pages: every diagram shown inline on its page, every link and
# picture of a page (and of the diagrams in it) leads to a file and a
# section that are there, no diagram linked as a bare file.
if ! "${python:-python3}" "$top/tools/reference_pages.py" --top "$top/docs" --out html --diagrams diagrams.json \
        languages/README.md languages/pure-labels.md languages/valued-labels.md languages/declarations.md \
        languages/intermediate-code.md languages/typical-mistakes.md integration.md; then
    fail "tools/reference_pages.py failed"
fi
"${python:-python3}" - html <<'EOF' || fail "a link of the HTML pages leads nowhere"
import os, sys
from html.parser import HTMLParser
class Page(HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids, self.links, self.diagrams = set(), [], []
    def handle_starttag(self, tag, attributes):
        a = dict(attributes)
        if "id" in a:
            self.ids.add(a["id"])
        for key in ("href", "src"):
            if key in a:
                self.links.append(a[key])
        if tag == "svg" and "syntax-diagram" in (a.get("class") or ""):
            self.diagrams.append(a.get("aria-label"))
root, bad, pages = sys.argv[1], 0, {}
for folder, _, files in os.walk(root):
    for name in files:
        if name.endswith(".html"):
            page = Page()
            with open(os.path.join(folder, name), encoding="utf-8") as f:
                page.feed(f.read())
            pages[os.path.relpath(os.path.join(folder, name), root)] = page
shown = 0
for path, page in sorted(pages.items()):
    shown += len(page.diagrams)
    for link in page.links:
        target, _, anchor = link.partition("#")
        resolved = os.path.normpath(os.path.join(os.path.dirname(path), target)) if target else path
        if target.endswith(".svg"):
            print(f"{path}: links to the bare diagram {target}"); bad += 1
        elif not os.path.exists(os.path.join(root, resolved)):
            print(f"{path}: links to {link}, which is not there"); bad += 1
        elif anchor and anchor not in pages[resolved].ids:
            print(f"{path}: links to {link}, whose page has no section {anchor}"); bad += 1
drawn = len(os.listdir(os.path.join(root, "languages/diagrams")))
if shown < drawn:
    print(f"the pages show {shown} diagrams inline, of {drawn} drawn"); bad += 1
print(f"{len(pages)} HTML pages, {shown} diagrams shown inline, their links checked")
sys.exit(1 if bad else 0)
EOF

# The index for other tools (reference.json): every language with its page
# and diagrams, every nonterminal of its grammar (as a diagnostic names the
# rule it stopped in) leading to diagrams that are there, and examples.
"${python:-python3}" - html/reference.json "$top" "${reports[@]}" <<'EOF' || fail "reference.json does not cover the grammars"
import json, os, sys
sys.path.insert(0, sys.argv[2] + "/tools")
import grammar_report
index, bad = json.load(open(sys.argv[1], encoding="utf-8")), 0
root = os.path.dirname(sys.argv[1])
kinds = {k["kind"]: k for k in index["kinds"]}
for report in sys.argv[3:]:
    kind = os.path.basename(report)[:-len("parser.xml")]
    entry = kinds.get(kind)
    if not entry:
        print(f"{kind}: not in reference.json"); bad += 1; continue
    drawn = {d["rule"] for d in entry["diagrams"]}
    for d in entry["diagrams"]:
        if not os.path.isfile(os.path.join(root, d["svg"])):
            print(f"{kind}: {d['svg']} is not there"); bad += 1
    nonterminals = [n for n in grammar_report.load(report).nonterminals if not grammar_report.midrule(n)]
    if sorted(entry["rules"]) != sorted(nonterminals):
        print(f"{kind}: the rules mapped are not the grammar's nonterminals"); bad += 1
    for rule, diagrams in entry["rules"].items():
        if not diagrams or not set(diagrams) <= drawn:
            print(f"{kind}: {rule} leads to {diagrams}"); bad += 1
    if not entry["examples"]:
        print(f"{kind}: no examples"); bad += 1
sys.exit(1 if bad else 0)
EOF

# The pictures: twice the size of the diagram they show.
pictures=0
for png in "$docs"/pictures/*.png; do
    [ -f "$png" ] || continue
    pictures=$((pictures + 1))
    svg=drawn/$(basename "$png" .png).svg
    if [ -f "$svg" ]; then
        rsvg-convert -z 2 "$svg" -o out.png
        expect_eq "pictures/${png##*/}: the size of its diagram now" "$(png_size out.png)" "$(png_size "$png")"
    else
        fail "pictures/${png##*/} shows no diagram drawn today"
    fi
done
expect_eq "one picture per language" 4 "$pictures"
echo "$(ls drawn/ | wc -l) diagrams checked"
finish_tests
