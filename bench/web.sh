#!/usr/bin/env bash
# The web build measured (bench/web.mjs): sizes, the playground's first
# translation in headless Chromium, the module against the native library.
# Builds build-bench/ (as bench/run.sh) and build-web/ first.
#
#   bench/web.sh [RUNS]
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-bench"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESSEL_BENCH=ON -DTESSEL_TESTS=OFF > /dev/null
cmake --build "$build" -j2 --target tessel-bench > /dev/null
"$top/scripts/install-deps.sh" chromium fonts-dejavu-core
"$top/scripts/web.sh" build > /dev/null
node "$top/bench/web.mjs" "$top/build-web/site" "$build/bin/tessel-bench" "$@"
