#!/usr/bin/env bash
# Sets everything up on a fresh machine: installs what is missing, builds,
# then runs the translators on the bundled examples.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
"$top/examples/run.sh" "${BUILD_DIR:-$top/build}/bin"
