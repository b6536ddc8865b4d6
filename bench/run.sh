#!/usr/bin/env bash
# Runs every benchmark and writes a Markdown table to bench/results.md.
#
#   bench/run.sh [--quick]
#
# Builds build-bench/ (Release, static, with tessel-bench, the in-process
# measurements), generates the large inputs into a temporary folder and
# measures:
#   1. start-up: median wall time of each translator on a typical input,
#      side by side with /usr/bin/true (hyperfine);
#   2. system calls of one run (strace -c): writes, reads, total;
#   3. ic3 throughput on generated charts of growing size, with `cat` of the
#      same file and the scanner alone;
#   4. peak resident memory as the chart grows (GNU time);
#   5. the label and declaration translators on long inputs;
#   6. the library in-process: translations per second against one process
#      per text, and ns per input byte of generated charts;
#   7. peak resident memory of one process after 100,000 and 1,000,000
#      translations;
#   8. the Tcl package: one tessel::translate call against one exec of the
#      program, from the same tclsh (bench/tcl.tcl);
#   9. tessel-batch: time per text against one process per text, two threads
#      against one, memory of small and large batches;
#  10. without trace, and the limits: per text with and without trace, in-process
#      and through the Tcl package; a long valued label through the Tcl package
#      with its defaults, without trace, and without a limit;
#  11. diagnostics: a failing text with and without its diagnostic;
#  12. the Tk entry tessel::tk::entry on a virtual X server: a key press to
#      its mark drawn, on a typical label and a 2 KB one, and the completion
#      list opened (bench/tk.tcl; needs wish and Xvfb).
# (bench/compare.sh REF compares the library's time per translation with an
# earlier commit's.)
# Ratios are taken within one run: these machines are noisy.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
quick=0; [ "${1:-}" = --quick ] && quick=1
build="$top/build-bench"
for tool in hyperfine strace /usr/bin/time; do
    command -v "$tool" > /dev/null || { echo "missing: $tool (apt-get install hyperfine strace time)"; exit 1; }
done
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESSEL_BENCH=ON -DTESSEL_TESTS=OFF > /dev/null
cmake --build "$build" -j2 > /dev/null
bin="$build/bin"
work=$(mktemp -d "${TMPDIR:-/tmp}/bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
out="$top/bench/results.md"
runs=1000; [ $quick = 1 ] && runs=200

median_ms() {  # CSV from hyperfine: print the median of row $2 in ms
    awk -F, -v row="$2" 'NR == row + 1 { printf "%.3f", $4 * 1000 }' "$1"
}
peak_kb() { /usr/bin/time -f %M "$@" 2>&1 > /dev/null | tail -n 1; }

{
echo "# Benchmark results"
echo
echo "$(date -u '+%Y-%m-%d %H:%M UTC'); $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //');"
echo "g++ $(g++ -dumpversion), $(flex --version), $(bison --version | head -n 1 | sed 's/.*) //')."
echo
echo "## 1. Start-up (median wall time, $runs runs each, against /usr/bin/true in the same run)"
echo
echo "| program | input | median ms | /usr/bin/true ms | ratio | peak RSS KB |"
echo "|---|---|---|---|---|---|"
declare -A per_process_ms
startup() {  # LABEL PROGRAM ARGS...
    local label=$1; shift
    hyperfine -N --warmup 100 --runs "$runs" --export-csv s.csv "/usr/bin/true" "$*" > /dev/null 2>&1
    local t p
    t=$(median_ms s.csv 1); p=$(median_ms s.csv 2)
    per_process_ms[$label]=$p
    echo "| ${1##*/} | $label | $p | $t | $(awk -v a="$p" -v b="$t" 'BEGIN{printf "%.2f", a/b}') | $(peak_kb "$@") |"
}
for kind in pure21 valued21 decl ic3; do
    startup "bench/inputs/$kind.txt" "$bin/$kind-translator" -i "$top/bench/inputs/$kind.txt"
done
# The trace file that ic3 writes has a cost of its own: emptying last run's
# trace and writing the new one on the file system.
startup "bench/inputs/ic3.txt, -o /dev/null" "$bin/ic3-translator" -i "$top/bench/inputs/ic3.txt" -o /dev/null
echo
echo "## 2. System calls of one run (strace -c)"
echo
echo "| program | input | write/writev | read | all calls |"
echo "|---|---|---|---|---|"
syscalls() {  # label input command...
    local label=$1 input=$2; shift 2
    strace -f -c -o sc.txt "$@" > /dev/null 2>&1 || true
    local w r a
    w=$(awk '$NF == "write" || $NF == "writev" { n += $4 } END { print n + 0 }' sc.txt)
    r=$(awk '$NF == "read" { n += $4 } END { print n + 0 }' sc.txt)
    a=$(awk '$NF == "total" { print $4 }' sc.txt)
    echo "| $label | $input | ${w:-0} | ${r:-0} | $a |"
}
for kind in pure21 valued21 decl ic3; do
    syscalls "$kind-translator" "bench/inputs/$kind.txt" "$bin/$kind-translator" -i "$top/bench/inputs/$kind.txt"
done
"$top/bench/gen-ic3-chart.sh" 100 > chart100
syscalls ic3-translator "chart of 100 macros ($(stat -c %s chart100) bytes)" "$bin/ic3-translator" -i chart100
echo
echo "## 3. ic3-translator throughput (trace file written to disk, removed before each run)"
echo
echo "| macros | input MB | output MB | trace MB | ic3-translator s | MB/s | ns/byte | cat s | scanner s | translator / scanner | peak RSS KB |"
echo "|---|---|---|---|---|---|---|---|---|---|---|"
sizes="2500 5000 10000"; [ $quick = 1 ] && sizes="1000 2000"
for n in $sizes; do
    "$top/bench/gen-ic3-chart.sh" "$n" > chart
    bytes=$(stat -c %s chart)
    hyperfine -N --warmup 1 --runs 5 --prepare "rm -f trace" --export-csv t.csv \
        "$bin/ic3-translator -i chart -o trace" "cat chart" "$bin/tessel-bench scan chart" > /dev/null 2>&1
    tt=$(median_ms t.csv 1); tc=$(median_ms t.csv 2); ts=$(median_ms t.csv 3)
    "$bin/ic3-translator" -i chart -o trace > decl.out
    rss=$(peak_kb "$bin/ic3-translator" -i chart -o trace)
    awk -v n="$n" -v b="$bytes" -v o="$(stat -c %s decl.out)" -v l="$(stat -c %s trace)" \
        -v tt="$tt" -v tc="$tc" -v ts="$ts" -v rss="$rss" 'BEGIN {
        printf "| %d | %.1f | %.1f | %.1f | %.3f | %.1f | %.1f | %.3f | %.3f | %.2f | %s |\n",
            n, b / 1e6, o / 1e6, l / 1e6, tt / 1000, b / 1e6 / (tt / 1000), tt * 1e6 / b,
            tc / 1000, ts / 1000, tt / ts, rss }'
done
echo
echo "## 4. Memory as the chart grows (small macros)"
echo
echo "| macros | input MB | peak RSS KB |"
echo "|---|---|---|"
msizes="100 10000 100000"; [ $quick = 1 ] && msizes="100 10000"
for n in $msizes; do
    "$top/bench/gen-ic3-chart.sh" "$n" 20 > small
    echo "| $n | $(awk -v b="$(stat -c %s small)" 'BEGIN{printf "%.1f", b/1e6}') | $(peak_kb "$bin/ic3-translator" -i small -o trace) |"
done
rm -f chart small trace decl.out
echo
echo "## 5. Long labels and declarations"
echo
echo "Trace lines repeat growing values, so output grows with the square of the nesting or width;"
echo "the time per output byte shows whether building the values adds work beyond writing them."
echo
echo "| input | N | input KB | output MB | s | ns per output byte | peak RSS KB |"
echo "|---|---|---|---|---|---|---|"
lsizes="1000 2000 4000"; [ $quick = 1 ] && lsizes="500 1000"
for n in $lsizes; do
    "$top/bench/gen-labels.sh" labels "$n"
    for f in pure21-wide pure21-deep valued21-wide valued21-deep decl-wide; do
        kind=${f%-*}
        hyperfine -N --warmup 1 --runs 5 --export-csv l.csv "$bin/$kind-translator -i labels/$f" > /dev/null 2>&1
        tl=$(median_ms l.csv 1)
        "$bin/$kind-translator" -i "labels/$f" > l.out 2> /dev/null || true
        awk -v f="$f" -v n="$n" -v i="$(stat -c %s "labels/$f")" -v o="$(stat -c %s l.out)" -v t="$tl" \
            -v rss="$(peak_kb "$bin/$kind-translator" -i "labels/$f")" 'BEGIN {
            printf "| %s | %d | %.1f | %.2f | %.4f | %.2f | %s |\n", f, n, i / 1e3, o / 1e6, t / 1000, t * 1e6 / o, rss }'
    done
done
echo
echo "## 6. The library in-process (results kept in memory)"
echo
echo "| input | translations/s | us per translation | us with one tessel::Translator kept | one process per text, ms | process / in-process | process / with a Translator |"
echo "|---|---|---|---|---|---|---|"
n_inproc=200000; [ $quick = 1 ] && n_inproc=20000
for kind in pure21 valued21 decl ic3; do
    n=$n_inproc; [ $kind = ic3 ] && n=$((n_inproc / 5))
    "$bin/tessel-bench" rate "$kind" "$top/bench/inputs/$kind.txt" "$n" > r.txt
    awk -v k="bench/inputs/$kind.txt" -v p="${per_process_ms[bench/inputs/$kind.txt]}" '{
        us = $3 + 0; kept = $(NF - 5) + 0
        printf "| %s | %d | %.2f | %.2f | %s | %.0f | %.0f |\n", k, $1, us, kept, p, p * 1000 / us, p * 1000 / kept }' r.txt
done
echo
echo "| generated chart | input MB | ns per input byte in-process | ns per input byte, ic3-translator (section 3) |"
echo "|---|---|---|---|"
csizes="1000 2500"; [ $quick = 1 ] && csizes="1000"
for n in $csizes; do
    "$top/bench/gen-ic3-chart.sh" "$n" > chart
    "$bin/tessel-bench" rate ic3 chart 3 > r.txt
    awk -v n="$n" -v b="$(stat -c %s chart)" '{ printf "| %d macros | %.1f | %.1f | see section 3 |\n", n, b / 1e6, $6 }' r.txt
done
rm -f chart r.txt
echo
echo "## 7. One process, many translations (the four typical inputs in turn)"
echo
echo '```'
"$bin/tessel-bench" memory 100000 1000000 "$top"/bench/inputs/{pure21,valued21,decl,ic3}.txt
echo '```'
echo
echo "## 8. The Tcl package: tessel::translate against exec of the program, from one tclsh (Tcl $(echo 'puts [info patchlevel]' | tclsh))"
echo
echo "| input | tessel::translate us per call | exec us per call | exec / tessel::translate |"
echo "|---|---|---|---|"
tcl_counts=(); [ $quick = 1 ] && tcl_counts=(2000 100)
tclsh "$top/bench/tcl.tcl" "$build/lib/tcltk" "$bin" "$top/bench/inputs" "${tcl_counts[@]}"
echo
echo "## 9. tessel-batch: many texts per process (the four typical inputs in turn)"
echo
"$top/bench/gen-batch.sh" 10000 > batch10k
"$top/bench/gen-batch.sh" 100000 > batch100k
"$top/bench/gen-batch.sh" 1000 > batch1k
# (Through a shell for the redirections: about a millisecond on each run.)
hyperfine --warmup 2 --runs 10 --export-csv b.csv \
    "$bin/tessel-batch < batch10k > /dev/null" \
    "$bin/tessel-batch < batch100k > /dev/null" \
    "$bin/tessel-batch -j 2 < batch100k > /dev/null" > /dev/null 2>&1
b10=$(median_ms b.csv 1); b100=$(median_ms b.csv 2); b100j2=$(median_ms b.csv 3)
# One process per text: the mean of the four typical inputs' start-up medians (section 1).
p=$(awk -v a="${per_process_ms[bench/inputs/pure21.txt]}" -v b="${per_process_ms[bench/inputs/valued21.txt]}" \
        -v c="${per_process_ms[bench/inputs/decl.txt]}" -v d="${per_process_ms[bench/inputs/ic3.txt]}" \
        'BEGIN { printf "%.3f", (a + b + c + d) / 4 }')
echo "| measure | figure |"
echo "|---|---|"
awk -v t="$b10" -v p="$p" 'BEGIN {
    printf "| batch of 10,000 texts, -j 1 | %.1f ms, %.2f us per text |\n", t, t * 1000 / 10000
    printf "| one process per text (mean of section 1) | %.3f ms per text |\n", p
    printf "| one process per text / batch, per text | %.0f |\n", p * 10000 / t }'
awk -v a="$b100" -v b="$b100j2" 'BEGIN {
    printf "| batch of 100,000 texts, -j 1 / -j 2 | %.1f ms / %.1f ms: %.2f times as fast with -j 2 |\n", a, b, a / b }'
echo "| peak RSS, batch of 1,000 texts | $(/usr/bin/time -f %M "$bin/tessel-batch" < batch1k 2>&1 > /dev/null | tail -n 1) KB |"
echo "| peak RSS, batch of 100,000 texts | $(/usr/bin/time -f %M "$bin/tessel-batch" < batch100k 2>&1 > /dev/null | tail -n 1) KB |"
echo "| peak RSS, batch of 100,000 texts, -j 2 | $(/usr/bin/time -f %M "$bin/tessel-batch" -j 2 < batch100k 2>&1 > /dev/null | tail -n 1) KB |"
rm -f batch1k batch10k batch100k b.csv
echo
echo "## 10. Without trace, and the output limit"
echo
echo "In-process, a tessel::Translator kept, the library's defaults otherwise (best of five runs):"
echo
echo "| input | with trace | without trace | with / without |"
echo "|---|---|---|---|"
n_trace=100000; [ $quick = 1 ] && n_trace=10000
# pairs MODE SUFFIX: `tessel-bench MODE` on each kind's bench/inputs/KIND$SUFFIX.txt:
# a row each, with its two times and their ratio.
pairs() {
    local kind n
    for kind in pure21 valued21 decl ic3; do
        n=$n_trace; [ $kind = ic3 ] && n=$((n_trace / 5))
        "$bin/tessel-bench" "$1" "$kind" "$top/bench/inputs/$kind$2.txt" "$n" |
            awk -v k="bench/inputs/$kind$2.txt" '{
                m = 0; for (i = 1; i < NF; i++) if ($(i + 1) == "us") t[++m] = $i
                printf "| %s | %.3f us | %.3f us | %.2f |\n", k, t[1], t[2], t[1] / t[2] }'
    done
}
pairs trace ""
echo
echo "Through the Tcl package (tessel::translate and tessel::translate -trace 0):"
echo
echo "| input | with trace, us per call | -trace 0, us per call | with / without |"
echo "|---|---|---|---|"
tclsh "$top/bench/tcl-limits.tcl" "$build/lib/tcltk" calls "$top/bench/inputs" $([ $quick = 1 ] && echo 2000)
echo
"$top/bench/gen-labels.sh" long 8000
echo "A valued label of $(stat -c %s long/valued21-wide) bytes (bench/gen-labels.sh DIR 8000: valued21-wide) through the Tcl package, each call in a tclsh of its own:"
echo
echo "| options | status | s | out bytes | err | peak RSS of the process |"
echo "|---|---|---|---|---|---|"
long_options=("" "-trace 0"); [ $quick = 0 ] && long_options+=("-maxoutput 0")
for options in "${long_options[@]}"; do
    row=$(/usr/bin/time -f %M -o rss.txt tclsh "$top/bench/tcl-limits.tcl" "$build/lib/tcltk" long long/valued21-wide $options)
    echo "$row $(cat rss.txt) KB |"
done
rm -rf long rss.txt
echo
echo "## 11. Diagnostics"
echo
echo "A failing text with its diagnostic and without (Options::diagnostic), a tessel::Translator kept:"
echo
echo "| input | with the diagnostic | without | with / without |"
echo "|---|---|---|---|"
pairs failing -failing
echo
echo "## 12. The Tk entry (tessel::tk::entry), typed into on Xvfb"
echo
bash "$top/tests/tk/xvfb_wish.sh" wish "$top/bench/tk.tcl" "$build/lib/tcltk" "$top" $([ $quick = 1 ] && echo 2)
} | tee "$out.tmp"
mv "$out.tmp" "$out"
echo "written: $out"
