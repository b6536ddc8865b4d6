# The examples shown in the README, the guides, the language reference
# (docs/languages) and the manual pages are real: every "$ command" line in a
# ```console block (Markdown) or between .EX and .EE (manual pages), with the
# "> " lines right after it that continue it (a here-document), is run with
# the built programs first on PATH, and what it writes must be the lines that
# follow it in the block. A block without commands is code. The pages are
# read at the top of a built tree: tclsh finds the built Tcl package there
# as they say, with TCLLIBPATH=build/lib/tcltk; the manual pages, which are
# read where the package is installed, have it on tclsh's auto_path.
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/lib.sh"
export PATH="$bin:$PATH"
unset TCLLIBPATH
ln -s "$bin/.." build
n=0
extract() {  # FILE NAME: write NAME.<k>.cmd / NAME.<k>.out pairs into ./examples/
    awk -v base="examples/$2" '
        function unescape(s) {
            gsub(/\\\(aq/, "\047", s); gsub(/\\\(ga/, "\140", s); gsub(/\\\(dq/, "\"", s); gsub(/\\-/, "-", s)
            gsub(/\\&/, "", s); gsub(/\\e/, "\\", s); return s
        }
        /^```console$/ || /^\.EX$/ { inside = 1; man = /^\.EX$/; cur = 0; next }
        inside && (/^```$/ || /^\.EE$/) { inside = 0; next }
        inside {
            line = man ? unescape($0) : $0
            if (line ~ /^\$ /) { cur = ++k; more = 1; print substr(line, 3) > (base "." k ".cmd"); printf "" > (base "." k ".out"); next }
            if (more && line ~ /^> /) { print substr(line, 3) >> (base "." k ".cmd"); next }
            more = 0
            if (cur) print line >> (base "." k ".out")
        }' "$1"
}
mkdir -p examples
for doc in "$top"/README.md "$top"/docs/*.md "$top"/docs/languages/*.md "$top"/docs/man/*.1 "$top"/docs/man/*.n; do
    name=${doc#"$top"/}
    [ -f "$doc" ] && extract "$doc" "${name//\//-}"
done
# Each page of the language reference shows its language at work.
for page in "$top"/docs/languages/*.md; do
    name=${page#"$top"/}
    compgen -G "examples/${name//\//-}.*.cmd" > /dev/null || fail "no example in $name"
done
for cmd in examples/*.cmd; do
    [ -f "$cmd" ] || continue
    n=$((n + 1))
    expected=$(cat "${cmd%.cmd}.out")
    case $cmd in
        examples/docs-man-*) actual=$(cd "$work" && TCLLIBPATH="{$work/build/lib/tcltk}" bash -c "$(cat "$cmd")" 2>&1);;
        *) actual=$(cd "$work" && bash -c "$(cat "$cmd")" 2>&1);;
    esac
    if [ "$expected" != "$actual" ]; then
        fail "example in ${cmd#examples/}: $(cat "$cmd")"
        diff <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") | head -n 10
    fi
done
[ "$n" -gt 0 ] || fail "no documented examples found"
languages=$(compgen -G "examples/docs-languages-*.cmd" | wc -l)
echo "$n documented examples run, $languages of them in the language reference (docs/languages)"
finish_tests
