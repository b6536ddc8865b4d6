#!/usr/bin/env bash
# The library's time per translation of the four typical inputs, built from
# an earlier commit and from the working tree, measured in one run: each
# build's `tessel-bench rate` in turn, ROUNDS times, the best of each kept;
# and, since the machine is noisy, the instructions per translation
# (valgrind's callgrind counts them the same in every run), from the
# difference of two runs of different lengths.
#
#   bench/compare.sh REF [ROUNDS]
#
# Prints a Markdown table. Builds into build-bench-REF/ (REF's tree checked
# out in src/, built in build/) and build-bench/.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
ref=$1 rounds=${2:-5}
base="$top/build-bench-$(git -C "$top" rev-parse --short "$ref")"
[ -d "$base/src" ] || git -C "$top" worktree add --detach "$base/src" "$ref" > /dev/null 2>&1
build() {  # SOURCE BUILD
    cmake -S "$1" -B "$2" -DCMAKE_BUILD_TYPE=Release -DTESSEL_BENCH=ON -DBUILD_TESTING=OFF -DTESSEL_TESTS=OFF \
        -DTESSEL_DOCS=OFF > /dev/null
    cmake --build "$2" -j2 --target tessel-bench > /dev/null
}
old="$base/build" new="$top/build-bench"
build "$base/src" "$old"
build "$top" "$new"

# The microseconds of one translation with a Translator kept (`rate`'s
# last figure).
us() { "$1/bin/tessel-bench" rate "$2" "$top/bench/inputs/$2.txt" "$3" | sed 's/.*; \([0-9.]*\) us each.*/\1/'; }
instructions() {  # BUILD KIND: per translation, both loops of `rate`
    ir() { valgrind --tool=callgrind --callgrind-out-file=/dev/null "$1/bin/tessel-bench" rate "$2" \
               "$top/bench/inputs/$2.txt" "$3" 2>&1 | awk '/refs/ { gsub(",", "", $NF); print $NF }'; }
    echo $(( ($(ir "$1" "$2" 3000) - $(ir "$1" "$2" 1000)) / 4000 ))
}
echo "| input | $ref us | now us | now / $ref | $ref instructions | now instructions | now / $ref |"
echo "|---|---|---|---|---|---|---|"
for kind in pure21 valued21 decl ic3; do
    n=100000; [ $kind = ic3 ] && n=20000
    best_old=1e9 best_new=1e9
    for ((r = 0; r < rounds; r++)); do
        best_old=$(awk -v a="$best_old" -v b="$(us "$old" $kind $n)" 'BEGIN { print (b < a ? b : a) }')
        best_new=$(awk -v a="$best_new" -v b="$(us "$new" $kind $n)" 'BEGIN { print (b < a ? b : a) }')
    done
    io=$(instructions "$old" $kind) in=$(instructions "$new" $kind)
    awk -v k=$kind -v a="$best_old" -v b="$best_new" -v c="$io" -v d="$in" 'BEGIN {
        printf "| bench/inputs/%s.txt | %.2f | %.2f | %.3f | %d | %d | %.3f |\n", k, a, b, b / a, c, d, d / c }'
done
