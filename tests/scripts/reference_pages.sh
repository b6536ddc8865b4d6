# tools/reference_pages.py makes the language reference's HTML pages and
# its index (reference.json) as tests/reference/expected holds them, to the
# byte, from the sample pages of tests/reference/input: Markdown's blocks
# and spans as the pages use them, headings' ids as GitHub makes them (a
# repeated one numbered), links between pages and to sections, a diagram
# inline with its links made the page's own, a picture copied beside, and
# the texts of the examples (a here-document of another kind and a tclsh
# example left out). A link to a section or a file that is not there is an
# error that names it.
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/lib.sh"
python=$(sed -n 's/^Python3_EXECUTABLE:[A-Z]*=//p' "$bin/../CMakeCache.txt")
data=$top/tests/reference
pages=(languages/README.md languages/labels.md)

# write OUT INPUT: the pages of INPUT, with its diagram drawn into OUT as the
# build draws it there first.
write() {
    mkdir -p "$1/languages/diagrams"
    cp "$2"/languages/diagrams/*.svg "$1/languages/diagrams/"
    "${python:-python3}" "$top/tools/reference_pages.py" --top "$2" --out "$1" \
        --diagrams "$2/diagrams.json" "${pages[@]}" 2> "$1.err"
}

write out "$data/input" || { fail "reference_pages.py failed"; cat out.err; }
if ! diff -r "$data/expected" out > diff.txt; then
    fail "the pages differ from tests/reference/expected"; head -n 30 diff.txt
fi

# Broken links are named, and fail the run.
cp -r "$data/input" broken
sed -i 's/(#a-words-table)/(#no-such-section)/; s/(README.md)/(missing.md)/' broken/languages/labels.md
write broken-out broken
expect_eq "broken links: the status" 1 "$?"
expect_eq "broken links: the messages" \
    "reference_pages.py: languages/labels.md: no section #no-such-section
reference_pages.py: languages/labels.md: links to languages/missing.md, which is no page of the reference" \
    "$(cat broken-out.err)"
finish_tests
