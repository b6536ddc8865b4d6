# cmake --install with a prefix puts the four programs and their manual
# pages in place, and the installed programs run.
. "$(dirname "$0")/lib.sh"
cmake --install "$bin/.." --prefix "$work/inst" > /dev/null || fail "cmake --install failed"
for kind in pure21 valued21 decl ic3; do
    [ -x "inst/bin/$kind-translator" ] || fail "$kind-translator not installed"
    [ -f "inst/share/man/man1/$kind-translator.1" ] || fail "manual page of $kind-translator not installed"
done
expect_eq "installed program runs" break "$(printf ';;.' | inst/bin/pure21-translator | tail -n 1)"
finish_tests
