#!/usr/bin/env bash
# Runs the whole test suite through CTest, building first as needed (and
# installing missing build packages on a fresh machine): once in the normal
# build (build/), then in the sanitizer build (build-asan/, AddressSanitizer
# and UndefinedBehaviorSanitizer), where the fuzzing seeds are replayed too,
# then each libFuzzer harness briefly on its seeds and saved findings
# (build-libfuzzer/, clang). Arguments go to ctest. SANITIZE=0 skips the
# sanitizer build, FUZZ=0 the harnesses.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"

echo "== normal build"
"$top/scripts/build.sh"
(cd "${BUILD_DIR:-$top/build}" && ctest --output-on-failure -j2 "$@")

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
