#!/usr/bin/env bash
# A language is added by its own files and one line in the list of kinds,
# with no other edit: in a copy of the tree, the files named after pure21
# (its folder, its manual page, its golden cases and examples) are copied as
# pure22, renamed inside, and pure22 is appended to runtime/kinds.list. The
# copy is built (the parts these checks need) and pure22 must then translate
# as pure21 does, under its own name, through its program (the golden
# runner), the library and its C interface (the golden cases in-process),
# the messages check, the Tcl package and tessel-batch; the language
# reference is built too, without pure22 until a page of it is written. And
# no file of the shared code names a language.
#
#   add_language.sh SOURCE_DIR
set -u
top=$(cd "$1" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/add-language.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

kinds=$(grep -v '^#' "$top/runtime/kinds.list")

# The shared code names no language: it asks the registry.
shared=$(cd "$top" && ls runtime/*.h runtime/*.cpp runtime/CMakeLists.txt programs/* tcl/*.cpp tcl/*.in \
         tcl/CMakeLists.txt tools/*.cpp tools/*.h tools/grammar_report.py tools/CMakeLists.txt cmake/* CMakeLists.txt)
for kind in $kinds; do
    named=$(cd "$top" && grep -l -i -E "(^|[^A-Za-z0-9_])$kind([^A-Za-z0-9]|$)" $shared)
    [ -z "$named" ] || fail "shared code names $kind: $named"
done

# The copy: the tree as it stands (uncommitted changes included), the new
# language's files, one line more in the list.
src=$work/src
mkdir -p "$src"
(cd "$top" && git ls-files -co --exclude-standard -z | xargs -0 cp -P --parents -t "$src") ||
    { fail "the tree could not be copied"; exit 1; }
renamed() { sed 's/pure21/pure22/g; s/Pure21/Pure22/g'; }
while IFS= read -r -d '' f; do
    new=$(printf '%s' "$f" | renamed)
    mkdir -p "$(dirname "$src/$new")"
    if [ -L "$src/$f" ] || ! grep -qI '' "$src/$f"; then
        cp -P "$src/$f" "$src/$new"  # a link, or bytes
    else
        renamed < "$src/$f" > "$src/$new"
    fi
done < <(cd "$src" && find pure21 tests/golden/pure21 examples/pure21 docs/man/pure21-translator.1 \( -type f -o -type l \) -print0)
echo pure22 >> "$src/runtime/kinds.list"

build=$work/build
log=$work/build.log
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Debug > "$log" 2>&1 &&
    cmake --build "$build" -j2 --target pure22-translator tessel-batch tessel_tcl golden_library c_api_test \
        tessel-messages tessel-reference >> "$log" 2>&1 || { fail "the copy does not build"; tail -n 30 "$log"; exit 1; }
grep -q 'pure22parser.xml: no page of .* shows its diagrams; none drawn' "$log" ||
    fail "the reference does not say that no page shows pure22"

# Its own name everywhere.
bin=$build/bin
[ "$("$bin/tessel-batch" --kinds | tail -n 1)" = pure22 ] || fail "tessel-batch --kinds: no pure22"
printf 'a b' | "$bin/pure22-translator" -h > /dev/null 2> "$work/err"
grep -q '^Usage: parsePure22 ' "$work/err" || fail "the usage text: $(head -n 1 "$work/err")"
grep -q 'Tessel intermediate code (Pure22) Parser:syntax error' "$work/err" || fail "the error report"

# The golden cases and examples through the program, the library, the C
# interface, the messages check, the Tcl package and the batch.
cases=0
for dir in "$src"/tests/golden/pure22/* "$src"/examples/pure22/*; do
    [ -d "$dir" ] || continue
    cases=$((cases + 1))
    out=$(bash "$src/tests/golden/run_case.sh" "$bin" "$dir" 2>&1) || fail "program, ${dir#"$src"/}: $out"
done
[ "$cases" -gt 0 ] || fail "no golden cases of pure22"
out=$("$bin/golden_library" "$src/tests/golden/pure22" "$src/examples/pure22" 2>&1) || fail "library: $out"
out=$("$bin/c_api_test" 2>&1) || fail "C interface: $out"
out=$("$build/tools/tessel-messages" check pure22 "$src/pure22/pure22.messages" 2>&1) || fail "messages: $out"
out=$(tclsh "$src/tests/tcl/batch.tcl" "$bin" "$src" 2>&1) || fail "tessel-batch: $out"
out=$(tclsh 2>&1 <<EOF
lappend auto_path $build/lib/tcltk
package require tessel
if {[lindex [tessel::kinds] end] ne "pure22"} { puts "tessel::kinds: [tessel::kinds]"; exit 1 }
foreach dir [glob -type d $src/tests/golden/pure22/* $src/examples/pure22/*] {
    if {[file exists \$dir/args] || [file exists \$dir/program]} continue
    set f [open \$dir/stdin rb]; set text [read \$f]; close \$f
    set f [open \$dir/stdout rb]; set want [read \$f]; close \$f
    set r [tessel::translate -maxoutput 0 -maxdepth 20000000 pure22 \$text]
    if {[dict get \$r out] ne \$want} { puts "\$dir: out differs"; exit 1 }
}
EOF
) || fail "Tcl package: $out"

echo "pure22: $cases golden cases and examples through every entry point; $failures failures"
[ "$failures" -eq 0 ]
