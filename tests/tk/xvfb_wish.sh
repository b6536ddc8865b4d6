#!/usr/bin/env bash
# Runs a Tcl script in WISH on a virtual X server of its own (Xvfb), which it
# stops afterwards; exits with the script's status, or 77 (skipped) when a
# tool it needs is missing.
#
#   xvfb_wish.sh WISH SCRIPT ARG...
set -u
wish=$1
shift

missing=()
for tool in "$wish" Xvfb xwd xwdtopnm pnmtopng; do
    command -v "$tool" > /dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "skipped: missing ${missing[*]} (Debian: tk xvfb x11-apps netpbm)"
    exit 77
fi

work=$(mktemp -d)
xvfb=""
cleanup() {
    [ -n "$xvfb" ] && kill "$xvfb" 2> /dev/null && wait "$xvfb" 2> /dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# The server takes a free display number and writes it once it accepts
# connections.
Xvfb -displayfd 3 -nolisten tcp -screen 0 800x600x24 3> "$work/display" 2> "$work/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb" 2> /dev/null || break
    sleep 0.1
done
if ! [ -s "$work/display" ]; then
    echo "FAIL: Xvfb did not start"
    cat "$work/xvfb.log"
    exit 1
fi

DISPLAY=:$(tr -d '\n' < "$work/display") "$wish" "$@"
