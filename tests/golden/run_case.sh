#!/usr/bin/env bash
# Runs one golden case and compares what the program wrote, byte for byte.
#
#   run_case.sh BIN_DIR CASE_DIR
#
# A case is a folder tests/golden/<kind>/<name> run with <kind>-translator
# (or the program named in the file "program") in a fresh temporary folder:
#   args     the arguments, one per line (absent: none)
#   stdin    standard input (absent: empty)
#   setup/   files copied into the working folder before the run
#   stdout   expected standard output (absent: empty)
#   stderr   expected standard error (absent: empty)
#   status   expected exit status (absent: 0; 134 is an abort)
#   files/   when present: exactly the files expected in the working folder
#            afterwards (the trace file "log" among them), compared byte for byte
#   diagnostic  where and why a failed translation stopped (the library's
#            tests compare all of it, and write it with GOLDEN_ACCEPT=1)
#   stderr-d standard error of a failed translation run again with -d: the
#            error report, then the diagnostic as compilers write it
#            ("<stdin>:LINE:COLUMN: error: MESSAGE [CODE]", the line, a mark
#            under the place); standard output and status as without -d
#
# With GOLDEN_ACCEPT=1 the expectations are rewritten from the actual run
# instead of compared; review the diff before committing it.
set -u
bin_dir=$(cd "$1" && pwd)
case_dir=$(cd "$2" && pwd)
kind=$(basename "$(dirname "$case_dir")")
program="$kind-translator"
[ -f "$case_dir/program" ] && program=$(cat "$case_dir/program")

work=$(mktemp -d "${TMPDIR:-/tmp}/golden.XXXXXX")
actual=$(mktemp -d "${TMPDIR:-/tmp}/golden-out.XXXXXX")
trap 'rm -rf "$work" "$actual"' EXIT
[ -d "$case_dir/setup" ] && cp -a "$case_dir/setup/." "$work/"

args=()
[ -f "$case_dir/args" ] && mapfile -t args < "$case_dir/args"
input=/dev/null
[ -f "$case_dir/stdin" ] && input="$case_dir/stdin"

ulimit -c 0
run() {  # OUT-PREFIX EXTRA-ARGS...: runs the case in the working folder
    local prefix=$1; shift
    # (The outer braces keep the shell's own "Aborted" notice out of the report.)
    { (cd "$work" && exec timeout 20 "$bin_dir/$program" "$@" "${args[@]}") \
        < "$input" > "$actual/${prefix}stdout" 2> "$actual/${prefix}stderr"; } 2>/dev/null
    echo $? > "$actual/${prefix}status"
}
run ""

# Files left in the working folder, relative to it.
list_files() { (cd "$1" && find . \( -type f -o -type l \) ! -name .keep | sed 's|^\./||' | LC_ALL=C sort); }

if [ "${GOLDEN_ACCEPT:-0}" = 1 ]; then
    for f in stdout stderr; do
        if [ -s "$actual/$f" ]; then cp "$actual/$f" "$case_dir/$f"; else rm -f "$case_dir/$f"; fi
    done
    if [ "$(cat "$actual/status")" = 0 ]; then rm -f "$case_dir/status"; else cp "$actual/status" "$case_dir/status"; fi
    rm -f "$case_dir/stderr-d"
    if [ -z "${args[*]}" ] && [ "$(cat "$actual/status")" != 0 ] && [ "$(cat "$actual/status")" != 134 ]; then
        run d- -d
        cp "$actual/d-stderr" "$case_dir/stderr-d"
    fi
    if [ -d "$case_dir/files" ]; then
        rm -rf "$case_dir/files" && mkdir "$case_dir/files" && cp -a "$work/." "$case_dir/files/"
        [ -n "$(ls -A "$case_dir/files")" ] || touch "$case_dir/files/.keep"
    fi
    echo "accepted: $case_dir"
    exit 0
fi

failed=0
show_difference() {  # expected actual label
    echo "--- $3 differs (first differing lines, expected then actual):"
    diff -a "$1" "$2" | head -n 12
    cmp "$1" "$2" 2>&1 | head -n 1
    failed=1
}
for f in stdout stderr; do
    expected="$case_dir/$f"
    [ -f "$expected" ] || expected=/dev/null
    cmp -s "$expected" "$actual/$f" || show_difference "$expected" "$actual/$f" "$f"
done
expected_status=0
[ -f "$case_dir/status" ] && expected_status=$(tr -d ' \n' < "$case_dir/status")
actual_status=$(cat "$actual/status")
if [ "$expected_status" != "$actual_status" ]; then
    echo "--- exit status: expected $expected_status, got $actual_status"
    [ "$actual_status" = 124 ] && echo "    (the program did not end within 20 seconds)"
    failed=1
fi
if [ -f "$case_dir/stderr-d" ]; then
    run d- -d
    expected="$case_dir/stdout"
    [ -f "$expected" ] || expected=/dev/null
    cmp -s "$expected" "$actual/d-stdout" || show_difference "$expected" "$actual/d-stdout" "stdout with -d"
    cmp -s "$case_dir/stderr-d" "$actual/d-stderr" || show_difference "$case_dir/stderr-d" "$actual/d-stderr" "stderr with -d"
    [ "$(cat "$actual/d-status")" = "$expected_status" ] || { echo "--- exit status with -d: $(cat "$actual/d-status")"; failed=1; }
fi
if [ -d "$case_dir/files" ]; then
    if [ "$(list_files "$case_dir/files")" != "$(list_files "$work")" ]; then
        echo "--- files in the working folder: expected"; list_files "$case_dir/files" | sed 's/^/    /'
        echo "    got"; list_files "$work" | sed 's/^/    /'
        failed=1
    else
        while IFS= read -r f; do
            cmp -s "$case_dir/files/$f" "$work/$f" || show_difference "$case_dir/files/$f" "$work/$f" "file $f"
        done < <(list_files "$work")
    fi
fi
exit $failed
