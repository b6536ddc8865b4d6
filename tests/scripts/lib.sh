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

# expect_run NAME PROGRAM INPUT STATUS STDOUT STDERR: runs PROGRAM (a path)
# on INPUT into ./out and ./err and checks all three results exactly.
expect_run() {
    printf '%s' "$3" | timeout 10 "$2" > out 2> err
    expect_eq "$1: exit status" "$4" "$?"
    expect_file "$1: output" out "$5"
    expect_file "$1: message" err "$6"
}

# run_open_pipe NAME PROGRAM TEXT: runs PROGRAM (a path) on TEXT in a pipe
# that stays open afterwards, into ./out and ./err; sets $status. A run that
# waits for more input instead of ending fails.
run_open_pipe() {
    rm -f pipe && mkfifo pipe
    ( printf '%s' "$3"; exec sleep 30 ) > pipe 2>/dev/null &
    local writer=$! began=$SECONDS
    timeout 10 "$2" < pipe > out 2> err
    status=$?
    [ $((SECONDS - began)) -le 5 ] || fail "$1: the run waited for more input"
    kill $writer 2>/dev/null
}

# The tclsh that loads the built Tcl package: bin/tclsh in the sanitizer
# build (tclsh with the sanitizer runtime first), else the system's.
tclsh=tclsh
[ -x "$bin/tclsh" ] && tclsh="$bin/tclsh"

# The wish for the Tk widget: in the sanitizer build the one with that
# runtime first (tests/tk/wish; no leak check there, as for the Tk tests).
wish=wish
[ -x "$bin/../tests/tk/wish" ] && wish="$bin/../tests/tk/wish"

# expect_tcl_package NAME TCLTK_DIR: with TCLTK_DIR on auto_path, `package
# require tessel` gives the project's version and tessel::translate works.
expect_tcl_package() {
    local version got
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$bin/../CMakeCache.txt")
    got=$(printf '%s\n' "lappend auto_path {$2}" "puts [package require tessel]" \
              "puts [dict get [tessel::translate pure21 {;a;b.}] commands]" | "$tclsh" 2>&1)
    expect_eq "$1" "$version"$'\n''{set loutput {}} {set linterf {}} {set lfunc {}} {addElement linterf a} {addElement loutput b} {set factor {}} {set trigger a} {set effect b} break' "$got"
}

# expect_tk_package NAME TCLTK_DIR...: with the folders on auto_path, wish on
# a virtual X server finds `tessel::tk` of the project's version, and its
# entry checks a label.
expect_tk_package() {
    local name=$1 version got
    shift
    version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$bin/../CMakeCache.txt")
    printf '%s\n' "lappend auto_path $*" "puts [package require tessel::tk]" \
        "tessel::tk::entry .e; .e set {3;a and}; puts [.e state]; .e set {3;a;b.}; puts [.e state]; exit" > tk-package.tcl
    got=$(ASAN_OPTIONS=detect_leaks=0 bash "$top/tests/tk/xvfb_wish.sh" "$wish" tk-package.tcl 2>&1)
    expect_eq "$name" "$version"$'\n'incomplete$'\n'valid "$got"
}

# The compiler flags of a program built against this build's library: a
# sanitizer build's library needs the sanitizer runtime, a coverage build's
# the coverage one.
consumer_flags=""
grep -q '^TESSEL_SANITIZE:BOOL=ON' "$bin/../CMakeCache.txt" && consumer_flags="-fsanitize=address,undefined"
grep -q '^TESSEL_COVERAGE:BOOL=ON' "$bin/../CMakeCache.txt" && consumer_flags="--coverage"

finish_tests() {
    if [ "$failures" -ne 0 ]; then echo "$failures check(s) failed"; exit 1; fi
    echo "all checks passed"
}
