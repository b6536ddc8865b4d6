#!/usr/bin/env bash
# Writes a tessel-batch request stream of N typical texts: the four inputs of
# bench/inputs/ in turn (pure21, valued21, decl, ic3).
#   bench/gen-batch.sh N > stream
set -eu
inputs="$(cd "$(dirname "$0")" && pwd)/inputs"
n=$1
block=$(mktemp)
trap 'rm -f "$block"' EXIT
for kind in pure21 valued21 decl ic3; do
    printf '%s %d\n' "$kind" "$(stat -c %s "$inputs/$kind.txt")"
    cat "$inputs/$kind.txt"
done > "$block"
# Whole blocks of four, then the rest one request at a time.
text=$(cat "$block"; echo .)
text=${text%.}
for ((i = 0; i < n / 4; i++)); do printf '%s' "$text"; done
for kind in pure21 valued21 decl; do
    [ $((n % 4)) -gt 0 ] || break
    printf '%s %d\n' "$kind" "$(stat -c %s "$inputs/$kind.txt")"
    cat "$inputs/$kind.txt"
    n=$((n - 1))
done
