#!/usr/bin/env bash
# Runs every translator on the bundled examples, shows what each wrote, and
# checks it against the expected output kept beside the example.
#
#   examples/run.sh [BIN_DIR]        (default: build/bin)
#
# An example is a folder examples/<kind>/<name> laid out like a golden test
# case: "stdin" (the text), "args" (optional), "stdout", "stderr", "status".
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
bin=$(cd "${1:-$top/build/bin}" && pwd)
total=0 bad=0
for dir in "$top"/examples/*/*/; do
    dir=${dir%/}
    kind=$(basename "$(dirname "$dir")")
    total=$((total + 1))
    echo "== $kind-translator < examples/$kind/$(basename "$dir")/stdin"
    sed 's/^/   | /' "$dir/stdin"; echo
    work=$(mktemp -d)
    args=()
    [ -f "$dir/args" ] && mapfile -t args < "$dir/args"
    (cd "$work" && "$bin/$kind-translator" "${args[@]}" < "$dir/stdin" 2>&1)
    echo "   (exit status $?)"
    rm -rf "$work"
    if ! bash "$top/tests/golden/run_case.sh" "$bin" "$dir" > /dev/null; then
        echo "   !! output differs from examples/$kind/$(basename "$dir")/stdout"
        bad=$((bad + 1))
    fi
done
echo "$total examples run, $((total - bad)) as expected, $bad different"
[ "$bad" -eq 0 ]
