# The syntax diagrams of the language reference never drift from the
# grammars: those in docs/languages/diagrams are exactly the ones that
# tools/syntax_diagrams.py draws from the grammars now (none missing, none left
# over) and says what its rules say; each is well-formed SVG whose boxes hold their text and do not
# overlap, and renders (rsvg-convert); the pages show every one of them and
# link to nothing that is not there; the pictures are renderings of the
# diagrams of today's size.
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/lib.sh"
docs=$top/docs/languages
cache=$bin/../CMakeCache.txt
bison=$(sed -n 's/^BISON_EXECUTABLE:[A-Z]*=//p' "$cache")
python=$(sed -n 's/^Python3_EXECUTABLE:[A-Z]*=//p' "$cache")

if ! "${python:-python3}" "$top/tools/syntax_diagrams.py" --bison "${bison:-bison}" --out drawn \
        "$top"/pure21/pure21parser.y "$top"/valued21/valued21parser.y "$top"/decl/declparser.y "$top"/ic3/ic3parser.y; then
    fail "tools/syntax_diagrams.py failed"
fi
for kind in pure21 valued21 decl ic3; do
    compgen -G "drawn/$kind-*.svg" > /dev/null || fail "no diagram of $kind"
done
if ! diff -r drawn "$docs/diagrams" > diff.txt; then
    fail "docs/languages/diagrams differs from the grammars (python3 tools/syntax_diagrams.py --out docs/languages/diagrams */*parser.y)"
    head -n 20 diff.txt
fi

# Well-formed, boxes apart and wide enough for their text (the font is
# monospace: 0.602 em a character), links to diagrams that are there.
"${python:-python3}" - drawn <<'EOF' || fail "a diagram is malformed or its boxes overlap"
import os, sys, xml.etree.ElementTree as ET
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
        if not os.path.exists(os.path.join(folder, a.get("href"))):
            print(f"{name}: links to {a.get('href')}, which is not drawn"); bad += 1
sys.exit(1 if bad else 0)
EOF

# Each diagram says what its rules say: the texts of at most 12 words that a
# nonterminal's rules derive (the rules that accept, the parts drawn
# elsewhere kept as they are, its own recursion and the parts drawn inside
# it expanded) are those its diagram's paths spell, loops and all.
"${python:-python3}" - "$top" "${bison:-bison}" <<'EOF' || fail "a diagram says otherwise than its rules"
import sys
sys.path.insert(0, sys.argv[1] + "/tools")
import syntax_diagrams as sd
top, bison, longest, bad = sys.argv[1], sys.argv[2], 12, 0

def cat(a, b):
    return {x + y for x in a for y in b if len(x) + len(y) <= longest}

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

for kind in ("pure21", "valued21", "decl", "ic3"):
    path = f"{top}/{kind}/{kind}parser.y"
    grammar = sd.load(bison, path)
    rules = {}
    for lhs, rhs, rejects in sd.source_rules(path, open(path, encoding="utf-8").read()):
        rules.setdefault(lhs, [])
        if not rejects:
            rules[lhs].append(rhs)
    drawn = grammar.drawn()
    for me in drawn:
        derived = {name: set() for name in rules}
        reached, todo = {me}, [me]      # what me's texts are made of
        while todo:
            for alternative in rules[todo.pop()]:
                for s in alternative:
                    if s in rules and s not in reached and s not in drawn:
                        reached.add(s)
                        todo.append(s)
        def word(s):
            if s[0] in "\"'":
                return {(("t", sd.unquote(s)),)}
            return {(("n", s),)} if s in drawn and s != me else derived[s]
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
        if mine != derived[me]:
            bad += 1
            show = lambda texts: [" ".join(w[1] for w in t) for t in sorted(texts)[:3]]
            print(f"{kind} {me}: only its rules say {show(derived[me] - mine)}, "
                  f"only its diagram {show(mine - derived[me])}")
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

# Every diagram is shown on a page, and every page's links and pictures lead
# to a file that is there.
for svg in drawn/*.svg; do
    grep -q "(diagrams/${svg##*/})" "$docs"/*.md || fail "no page shows ${svg##*/}"
done
for page in "$docs"/*.md; do
    for target in $(grep -o '](\([^)#:]*\)[)#]' "$page" | sed 's/^](//; s/[)#]$//'); do
        [ -e "$docs/$target" ] || fail "${page##*/} links to $target, which is not there"
    done
done

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
echo "$(ls drawn | wc -l) diagrams checked"
finish_tests
