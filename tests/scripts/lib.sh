# Helpers for script tests: sourced, with the bin folder as $1 of the test.
set -u
bin=$(cd "$1" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/script-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# expect_eq NAME EXPECTED ACTUAL
expect_eq() {
    if [ "$2" != "$3" ]; then
        fail "$1"
        echo "  expected: $(printf '%s' "$2" | head -c 300 | cat -A)"
        echo "  actual:   $(printf '%s' "$3" | head -c 300 | cat -A)"
    fi
}

# expect_file NAME FILE EXPECTED-TEXT: the file holds exactly the text.
expect_file() {
    if ! cmp -s "$2" <(printf '%s' "$3"); then
        fail "$1"
        diff -a <(printf '%s' "$3") "$2" | head -n 8
    fi
}

finish_tests() {
    if [ "$failures" -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
    echo "all checks passed"
}
