#!/usr/bin/env bash
# Runs the whole test suite through CTest, building first as needed (and
# installing missing build packages on a fresh machine): once in the normal
# build (build/), then in the sanitizer build (build-asan/, AddressSanitizer
# and UndefinedBehaviorSanitizer), where the fuzzing seeds are replayed too,
# then each libFuzzer harness briefly on its seeds and saved findings
# (build-libfuzzer/, clang). Between the first two, the web build
# (build-web/, emscripten): the module against the golden cases in Node and
# the playground in headless Chromium (scripts/web.sh test). Arguments go to
# ctest. SANITIZE=0 skips the sanitizer build, FUZZ=0 the harnesses, WEB=0
# the web build.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"

echo "== normal build"
"$top/scripts/build.sh"
(cd "${BUILD_DIR:-$top/build}" && ctest --output-on-failure -j2 "$@")

if [ "${WEB:-1}" != 0 ]; then
    echo "== web build"
    TESSEL_BIN="${BUILD_DIR:-$top/build}/bin" "$top/scripts/web.sh" test "$@"
fi

if [ "${SANITIZE:-1}" != 0 ]; then
    echo "== sanitizer build"
    BUILD_DIR="$top/build-asan" "$top/scripts/build.sh" -DTESSEL_SANITIZE=ON
    (cd "$top/build-asan" && ctest --output-on-failure -j2 "$@")
fi

if [ "${FUZZ:-1}" != 0 ]; then
    echo "== fuzzing harnesses"
    "$top/fuzz/run.sh" build
    (cd "$top/build-libfuzzer" && ctest --output-on-failure -j2 "$@")
fi
