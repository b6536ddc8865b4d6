#!/usr/bin/env bash
# Coverage-guided fuzzing of the translators with AFL++, instrumented and
# built with AddressSanitizer and UndefinedBehaviorSanitizer.
#
#   fuzz/run.sh build [KIND...]          build the fuzz binaries into build-fuzz/
#   fuzz/run.sh campaign KIND MINUTES    fuzz <KIND>-translator for MINUTES (findings in fuzz/out/KIND)
#   fuzz/run.sh seeds KIND DIR           write KIND's seed corpus into DIR
#   fuzz/run.sh replay BIN_DIR           run every seed through BIN_DIR's (sanitized) programs
#
# Seeds are the inputs of the golden tests and the examples; each program has
# a dictionary of its keywords, tags and operators in fuzz/dict/.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
kinds=(pure21 valued21 decl ic3)

seeds() {  # KIND DIR
    mkdir -p "$2"
    local n=0 f
    for f in "$top"/tests/golden/"$1"/*/stdin "$top"/examples/"$1"/*/stdin; do
        [ -f "$f" ] || continue
        # Large inputs only slow the fuzzer down; the limits have tests of their own.
        [ "$(stat -c %s "$f")" -le 65536 ] || continue
        cp "$f" "$2/seed$((n += 1))"
    done
    [ "$n" -gt 0 ] || printf ';;.' > "$2/seed0"
}

case "${1:-}" in
build)
    command -v afl-clang-fast++ > /dev/null || { echo "afl++ is not installed (apt-get install afl++)"; exit 1; }
    AFL_USE_ASAN=1 AFL_USE_UBSAN=1 CXX=afl-clang-fast++ \
        cmake -S "$top" -B "$top/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
              -DTESSEL_STATIC=OFF -DBUILD_TESTING=OFF > /dev/null
    shift
    targets=()
    for kind in "$@"; do targets+=(--target "$kind-translator"); done
    AFL_USE_ASAN=1 AFL_USE_UBSAN=1 cmake --build "$top/build-fuzz" -j2 "${targets[@]}"
    ;;
campaign)
    kind=$2 minutes=$3
    out="$top/fuzz/out/$kind"
    mkdir -p "$out"
    seeds "$kind" "$out/seeds"
    work=$(mktemp -d)   # the programs create their trace file in the current folder
    cd "$work" || exit 1
    AFL_SKIP_CPUFREQ=1 AFL_NO_UI=1 AFL_I_DONT_CARE_ABOUT_MISSING_CRASHES=1 \
    ASAN_OPTIONS=abort_on_error=1:symbolize=0:detect_leaks=0 \
        timeout --signal=INT $((minutes * 60 + 60)) \
        afl-fuzz -i "$out/seeds" -o "$out/findings" -x "$top/fuzz/dict/$kind.dict" \
                 -V $((minutes * 60)) -t 1000 -m none \
                 -- "$top/build-fuzz/bin/$kind-translator"
    ;;
seeds)
    seeds "$2" "$3"
    ;;
replay)
    bin=$(cd "$2" && pwd)
    work=$(mktemp -d) && cd "$work" || exit 1
    trap 'rm -rf "$work"' EXIT
    bad=0 total=0
    for kind in "${kinds[@]}"; do
        [ -x "$bin/$kind-translator" ] || continue
        seeds "$kind" corpus-$kind
        for f in corpus-$kind/*; do
            total=$((total + 1))
            timeout 10 "$bin/$kind-translator" < "$f" > /dev/null 2> err
            status=$?
            # Sanitizer reports, crashes and hangs fail; ordinary failures of
            # the translation (status 1 or 2) are expected for bad inputs.
            if grep -q -E "Sanitizer|runtime error" err || [ $status -ge 124 ]; then
                echo "FAIL: $kind-translator < ${f##*/} (status $status)"; head -n 5 err
                bad=$((bad + 1))
            fi
        done
    done
    echo "$total seeds replayed, $bad failed"
    [ "$bad" -eq 0 ] && [ "$total" -gt 0 ]
    ;;
*)
    sed -n '2,12p' "$0"; exit 2
    ;;
esac
