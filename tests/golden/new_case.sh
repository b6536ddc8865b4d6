#!/usr/bin/env bash
# Creates a golden case from a run of the current build, for review:
#
#   new_case.sh BIN_DIR KIND NAME STDIN [ARG...]
#
# STDIN is written as given (use $'...' for control bytes); the expectations
# are then taken from the actual run (accept mode). Read them before committing.
set -eu
bin_dir=$1 kind=$2 name=$3 input=$4
shift 4
here=$(cd "$(dirname "$0")" && pwd)
dir="$here/$kind/$name"
mkdir -p "$dir"
printf '%s' "$input" > "$dir/stdin"
[ -s "$dir/stdin" ] || rm -f "$dir/stdin"
if [ $# -gt 0 ]; then printf '%s\n' "$@" > "$dir/args"; else rm -f "$dir/args"; fi
GOLDEN_ACCEPT=1 bash "$here/run_case.sh" "$bin_dir" "$dir" >/dev/null
echo "== $kind/$name (status $(cat "$dir/status" 2>/dev/null || echo 0))"
[ -f "$dir/stdout" ] && cat -A "$dir/stdout" | head -n 60
[ -f "$dir/stderr" ] && { echo "-- stderr:"; cat -A "$dir/stderr"; echo; }
true
