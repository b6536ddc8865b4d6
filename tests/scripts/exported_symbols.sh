# The shared library and the Tcl extension export their API and nothing
# else: loaded into another program (the editor's interpreter, an embedding
# program), they can meet none of its names.
. "$(dirname "$0")/lib.sh"
build=$(cd "$bin/.." && pwd)
# exports FILE: its dynamic symbols defined in it, demangled, one per line.
exports() { nm -D --defined-only "$1" | awk '{ $1 = ""; $2 = ""; sub(/^ +/, ""); print }' | c++filt | LC_ALL=C sort -u; }
check_exports() {  # NAME FILE ALLOWED-REGEX
    local others
    others=$(exports "$2" | grep -Ev "$3")
    [ -z "$others" ] || { fail "$1 exports more than its API:"; printf '%s\n' "$others" | head -n 20 | sed 's/^/    /'; }
    [ -n "$(exports "$2")" ] || fail "$1 exports nothing"
}
check_exports libtessel.so "$build/runtime/libtessel.so" '^(tessel::|tessel_)'
for f in "$build"/lib/tcltk/tessel*/*.so; do
    expect_eq "the Tcl extension's exports" $'Tessel_Init\nTessel_SafeInit' "$(exports "$f")"
done
finish_tests
