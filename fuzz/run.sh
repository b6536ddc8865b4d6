#!/usr/bin/env bash
# Fuzzing of the translators.
#
# In-process, with libFuzzer (clang; AddressSanitizer and
# UndefinedBehaviorSanitizer; the harnesses check properties, see fuzz/*.cpp):
#   fuzz/run.sh build                    build the harnesses into build-libfuzzer/
#   fuzz/run.sh inprocess KIND SECONDS   fuzz KIND (pure21, valued21, decl, ic3, batch,
#                                        stringpp) for SECONDS (or RUNS=N executions);
#                                        the corpus grows in fuzz/out/inprocess/KIND,
#                                        findings and the whole log land there too
#   fuzz/run.sh smoke KIND BUILD_DIR     KIND's harness over its seeds and saved
#                                        findings, then 5,000 runs of its own (the tests)
# Whole programs, with AFL++:
#   fuzz/run.sh afl-build [KIND...]      build the programs into build-afl/
#   fuzz/run.sh afl-campaign KIND MINUTES
# Both:
#   fuzz/run.sh seeds KIND DIR           write KIND's seed corpus into DIR
#   fuzz/run.sh replay BIN_DIR           run every seed through BIN_DIR's (sanitized) programs
#
# Seeds are the inputs of the golden tests and the examples (for the batch
# reader, request streams made of them); every finding is kept as a
# regression input in fuzz/regressions/KIND/; each harness has a dictionary
# in fuzz/dict/.
set -u
top=$(cd "$(dirname "$0")/.." && pwd)
mapfile -t kinds < <(grep -v '^#' "$top/runtime/kinds.list")

golden_inputs() {  # KIND: the golden and example inputs of KIND, up to 64 KiB each
    local f
    for f in "$top"/tests/golden/"$1"/*/stdin "$top"/examples/"$1"/*/stdin; do
        # Large inputs only slow the fuzzer down; the limits have tests of their own.
        [ -f "$f" ] && [ "$(stat -c %s "$f")" -le 65536 ] && echo "$f"
    done
}

seeds() {  # KIND DIR
    mkdir -p "$2"
    local n=0 f k
    case "$1" in
    batch)
        # One request per golden input, then streams of several kinds.
        for k in "${kinds[@]}"; do
            while read -r f; do
                { printf '%s %d\n' "$k" "$(stat -c %s "$f")"; cat "$f"; } > "$2/seed$((n += 1))"
            done < <(golden_inputs "$k" | head -n 8)
        done
        cat "$2"/seed1 "$2"/seed9 "$2"/seed17 "$2"/seed25 > "$2/mixed" 2>/dev/null
        printf 'pure21 3\n;;.bogus 2\nxxdecl 7\ntype T;' > "$2/unknown-kind"
        printf 'pure21 3\n;;.pure21 10\n;;.' > "$2/cut-short"
        ;;
    stringpp)
        while read -r f; do cp "$f" "$2/seed$((n += 1))"; done < <(golden_inputs pure21)
        ;;
    *)
        while read -r f; do cp "$f" "$2/seed$((n += 1))"; done < <(golden_inputs "$1")
        [ "$n" -gt 0 ] || printf ';;.' > "$2/seed0"
        ;;
    esac
}

libfuzzer_build() {  # the build folder, configured and built once
    local build="$top/build-libfuzzer"
    if [ ! -f "$build/CMakeCache.txt" ]; then
        CC=clang CXX=clang++ cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
            -DTESSEL_FUZZ=ON -DTESSEL_TESTS=OFF > /dev/null || exit 1
    fi
    cmake --build "$build" -j2 --target "${kinds[@]/#/fuzz-}" fuzz-batch fuzz-stringpp \
        > "$build/fuzz-build.log" 2>&1 || { tail -n 30 "$build/fuzz-build.log"; exit 1; }
}

check_kind() {
    case " ${kinds[*]} batch stringpp " in *" $1 "*) ;; *) echo "unknown harness: $1"; exit 2 ;; esac
}

# The longest input each harness is given. The grammars' every construct
# fits in far less; longer inputs mostly make longer tokens, which the
# one-byte-per-read reference scans again at every byte.
max_len() {
    case "$1" in pure21|valued21|decl) echo 128 ;; ic3) echo 256 ;; batch) echo 512 ;; *) echo 0 ;; esac
}

# Sanitizers on, leaks checked; a smaller quarantine and no filling of new
# blocks double the speed of a harness, whose translations take and give
# back the same few blocks at every input.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:quarantine_size_mb=16:max_malloc_fill_size=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}

case "${1:-}" in
build)
    libfuzzer_build
    ;;
inprocess)
    kind=$2 seconds=$3
    check_kind "$kind"
    libfuzzer_build
    out="$top/fuzz/out/inprocess/$kind"
    mkdir -p "$out/corpus"
    [ -n "$(ls -A "$out/corpus")" ] || seeds "$kind" "$out/corpus"
    [ -d "$top/fuzz/regressions/$kind" ] && cp "$top/fuzz/regressions/$kind"/* "$out/corpus/" 2>/dev/null
    cd "$out" || exit 1
    runs=(); [ -n "${RUNS:-}" ] && runs=(-runs="$RUNS")
    # libFuzzer's own report ends the output: its last line is
    # "Done N runs in S second(s)".
    "$top/build-libfuzzer/bin/fuzz-$kind" corpus -dict="$top/fuzz/dict/$kind.dict" -max_len="$(max_len "$kind")" \
        -max_total_time="$seconds" "${runs[@]}" -timeout=10 -rss_limit_mb=4096 -artifact_prefix="$out/" \
        > log 2>&1
    status=$?
    grep -v -E '^#[0-9]+\s+(NEW|REDUCE|pulse)' log | tail -n 25
    exit $status
    ;;
smoke)
    kind=$2 build=$(cd "$3" && pwd)
    check_kind "$kind"
    work=$(mktemp -d) && cd "$work" || exit 1
    trap 'rm -rf "$work"' EXIT
    seeds "$kind" corpus
    [ -d "$top/fuzz/regressions/$kind" ] && cp "$top/fuzz/regressions/$kind"/* corpus/
    "$build/bin/fuzz-$kind" corpus -dict="$top/fuzz/dict/$kind.dict" -max_len="$(max_len "$kind")" \
        -runs=5000 -timeout=10 -artifact_prefix="$work/" > log 2>&1
    status=$?
    tail -n 3 log
    [ $status -eq 0 ] || { echo "FAIL: fuzz-$kind (status $status)"; grep -A 20 -E 'ERROR|property failed|SUMMARY' log | head -n 40; }
    exit $status
    ;;
afl-build)
    command -v afl-clang-fast++ > /dev/null || { echo "afl++ is not installed (apt-get install afl++)"; exit 1; }
    AFL_USE_ASAN=1 AFL_USE_UBSAN=1 CXX=afl-clang-fast++ \
        cmake -S "$top" -B "$top/build-afl" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
              -DTESSEL_STATIC=OFF -DTESSEL_TESTS=OFF > /dev/null
    shift
    targets=()
    for kind in "$@"; do targets+=(--target "$kind-translator"); done
    AFL_USE_ASAN=1 AFL_USE_UBSAN=1 cmake --build "$top/build-afl" -j2 "${targets[@]}"
    ;;
afl-campaign)
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
                 -- "$top/build-afl/bin/$kind-translator"
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
        [ -d "$top/fuzz/regressions/$kind" ] && cp "$top/fuzz/regressions/$kind"/* corpus-$kind/
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
    sed -n '2,23p' "$0"; exit 2
    ;;
esac
