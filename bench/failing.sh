#!/usr/bin/env bash
# What a failing translation's diagnostic costs: for each language's failing
# text (bench/inputs/KIND-failing.txt), a translation with its diagnostic
# against one without, with a tessel::Translator kept, in instructions
# (callgrind, from the difference of two runs of different lengths: the same
# in every run) and in time (tessel-bench failing, the best of five runs).
#
#   bench/failing.sh        (builds build-bench/ first)
#
# Prints a Markdown table.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-bench"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESSEL_BENCH=ON -DBUILD_TESTING=OFF -DTESSEL_TESTS=OFF \
    -DTESSEL_DOCS=OFF > /dev/null
cmake --build "$build" -j2 --target tessel-bench > /dev/null
bench="$build/bin/tessel-bench"
instructions() {  # KIND with|without: per translation
    ir() { valgrind --tool=callgrind --callgrind-out-file=/dev/null "$bench" failing "$1" \
               "$top/bench/inputs/$1-failing.txt" "$3" "$2" 2>&1 | awk '/refs/ { gsub(",", "", $NF); print $NF }'; }
    echo $(( ($(ir "$1" "$2" 600) - $(ir "$1" "$2" 200)) / 2000 ))
}
echo "| input | instructions with | without | with / without | us with | us without | with / without |"
echo "|---|---|---|---|---|---|---|"
for kind in pure21 valued21 decl ic3; do
    with=$(instructions $kind with) without=$(instructions $kind without)
    times=$("$bench" failing $kind "$top/bench/inputs/$kind-failing.txt" 20000)
    awk -v k=$kind -v a="$with" -v b="$without" -v t="$times" 'BEGIN {
        split(t, f, " "); printf "| bench/inputs/%s-failing.txt | %d | %d | %.2f | %s | %s | %s |\n",
            k, a, b, a / b, f[1], f[6], f[9] }'
done
