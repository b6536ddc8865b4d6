#!/usr/bin/env bash
# Line and branch coverage of our own code by the whole test suite: builds
# into build-coverage/ with gcov instrumentation (-O0, no sanitizers, programs
# linked dynamically), runs every test through CTest there, then reports with
# gcovr, by file:
#
#   runtime/, programs/, bibliocpp/, tcl/, include/ and each translator's
#   grammar (.y) and scanner (.l); the actions count on the lines of the .y
#   and .l files (the generated code points back to them), the generated
#   skeletons in the build tree and the tests themselves are left out.
#
# Prints the table (Markdown) and the totals; writes into build-coverage/coverage/:
#   index.html (and a page per file), lines.txt and branches.txt (with the
#   numbers of the lines and branches not reached), summary.json.
# Run by hand (CI runs scripts/test.sh only). Installs what is missing,
# gcovr included. Arguments go to ctest (a partial run gives partial figures).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-coverage"
report="$build/coverage"
"$top/scripts/install-deps.sh" gcovr

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DTESSEL_COVERAGE=ON > /dev/null
cmake --build "$build" -j2

# Counts from this run only.
find "$build" -name '*.gcda' -delete
(cd "$build" && ctest --output-on-failure -j2 "$@")

rm -rf "$report" && mkdir -p "$report"
# Our files only. Branches that only exception unwinding takes, and those
# the compiler knows cannot be taken, say nothing about the tests.
cd "$top"
gcovr_ours=(gcovr --root "$top" --object-directory "$build"
            --filter 'runtime/' --filter 'programs/' --filter 'bibliocpp/' --filter 'tcl/' --filter 'include/'
            --filter "($(grep -v '^#' runtime/kinds.list | paste -sd '|'))/[^/]*\\.([ly]|cpp)\$"
            --exclude-throw-branches --exclude-unreachable-branches)
"${gcovr_ours[@]}" --txt "$report/lines.txt" --json-summary-pretty --json-summary "$report/summary.json" \
                   --html-details "$report/index.html" > /dev/null
# The same with the branches not taken, by file.
"${gcovr_ours[@]}" --branches --txt "$report/branches.txt" > /dev/null

python3 - "$report/summary.json" <<'EOF'
import json, sys
summary = json.load(open(sys.argv[1]))
def cell(covered, total):
    return f"{covered}/{total} ({100.0 * covered / total:.1f}%)" if total else "-"
print("| file | lines | branches |")
print("|---|---|---|")
for f in sorted(summary["files"], key=lambda f: f["filename"]):
    print(f"| {f['filename']} | {cell(f['line_covered'], f['line_total'])} | "
          f"{cell(f['branch_covered'], f['branch_total'])} |")
print(f"| **total** | {cell(summary['line_covered'], summary['line_total'])} | "
      f"{cell(summary['branch_covered'], summary['branch_total'])} |")
EOF
echo "reports in $report (index.html; lines.txt and branches.txt list what was not reached)"
