# The reference's page of typical mistakes is the one the languages' hints
# make (tools/typical_mistakes.py): every hint shown with its code, its
# example and what the program says of it.
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/lib.sh"
python3 "$top/tools/typical_mistakes.py" "$top" "$bin" > page.md
if ! cmp -s page.md "$top/docs/languages/typical-mistakes.md"; then
    fail "docs/languages/typical-mistakes.md is not the page the hints make (python3 tools/typical_mistakes.py . build/bin > docs/languages/typical-mistakes.md)"
    diff -a "$top/docs/languages/typical-mistakes.md" page.md | head -n 20
fi
finish_tests "the page of typical mistakes is up to date"
