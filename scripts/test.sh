#!/usr/bin/env bash
# Runs the whole test suite through CTest, building first as needed
# (and installing missing build packages on a fresh machine).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build="${BUILD_DIR:-$top/build}"
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
cd "$build"
ctest --output-on-failure -j2 "$@"
