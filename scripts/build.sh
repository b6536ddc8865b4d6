#!/usr/bin/env bash
# Configures (once) and builds everything into build/; the programs land in
# build/bin/. Extra arguments go to the first configuration.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build="${BUILD_DIR:-$top/build}"
[ -f "$build/CMakeCache.txt" ] || cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release "$@" > /dev/null
cmake --build "$build" -j2
