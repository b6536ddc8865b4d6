#!/usr/bin/env bash
# The translators on the web.
#
#   scripts/web.sh build            the library as WebAssembly (emscripten) and the
#                                   playground, into build-web/site/
#   scripts/web.sh serve [--port N] serves build-web/site/ on 127.0.0.1 (8000 by default)
#   scripts/web.sh test             builds, then runs the web tests: the module against
#                                   the golden cases (Node) and the playground in headless
#                                   Chromium (playwright-core)
#
# Installs what it needs and is missing: emscripten, nodejs and npm, chromium
# (for the test) from Debian's packages, the npm packages that web/package-lock.json
# pins (npm ci, into web/node_modules).
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
build="${WEB_BUILD_DIR:-$top/build-web}"

npm_packages() {
    if [ ! -f "$top/web/node_modules/.package-lock.json" ] ||
       [ "$top/web/package-lock.json" -nt "$top/web/node_modules/.package-lock.json" ]; then
        (cd "$top/web" && npm ci --no-audit --no-fund --loglevel=error)
    fi
}

# Debian's emscripten runs its JavaScript tools with the node on PATH, which
# must find Debian's node modules (acorn).
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"

build() {
    # (node and npm from any source will do: a nodejs package that brings
    # its own npm conflicts with Debian's npm.)
    local need=(emscripten)
    command -v node > /dev/null || need+=(nodejs)
    command -v npm > /dev/null || need+=(npm)
    "$top/scripts/install-deps.sh" "${need[@]}"
    npm_packages
    # (Configured every time, so that a change of these flags reaches an existing build.)
    if true; then
        # The web build takes the library only (no programs, no Tcl package,
        # no native tests), at -O2 (emscripten 3.1.6's optimiser has run out
        # of memory at -O3), with WebAssembly's own exceptions (smaller and
        # faster than emscripten's, which go through JavaScript) and bulk
        # memory (memcpy as one instruction). The strings' code is compiled
        # into the module rather than taken from Debian's prebuilt libc++,
        # whose calls for every size() and append() made a translation 2 to
        # 3 times slower. The build's tools run under the plain node
        # (emcmake's default emulator passes an option that today's node refuses).
        flags="-fwasm-exceptions -mbulk-memory"
        emcmake cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTESSEL_TESTS=OFF -DTESSEL_TCL=OFF \
            -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v node)" -DTESSEL_STATIC=OFF \
            -DCMAKE_CXX_FLAGS="$flags -D_LIBCPP_DISABLE_EXTERN_TEMPLATE" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
            -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_EXE_LINKER_FLAGS_RELEASE="-O2" > /dev/null
    fi
    cmake --build "$build" -j2 --target tessel-site tessel-web-tests
}

serve() {
    port=8000
    while [ $# -gt 0 ]; do
        case "$1" in
            --port) [ $# -ge 2 ] || { echo "web.sh serve: --port needs a number" >&2; exit 1; }
                    port="$2"; shift 2 ;;
            --port=*) port="${1#--port=}"; shift ;;
            *) echo "web.sh serve: unknown argument $1 (usage: web.sh serve [--port N])" >&2; exit 1 ;;
        esac
    done
    [ -f "$build/site/index.html" ] || build
    echo "the playground: http://127.0.0.1:$port/"
    exec python3 -m http.server --bind 127.0.0.1 --directory "$build/site" "$port"
}

# The web tests; arguments go to ctest. The playground's test compares its
# messages with the native programs' (build/bin, or TESSEL_BIN).
run_tests() {
    "$top/scripts/install-deps.sh" chromium fonts-dejavu-core
    build
    ctest --test-dir "$build" --output-on-failure "$@"
}

case "${1:-}" in
    build) build ;;
    test) shift; run_tests "$@" ;;
    serve) shift; serve "$@" ;;
    *) echo "usage: scripts/web.sh build | serve [--port N] | test" >&2; exit 1 ;;
esac
