#!/usr/bin/env bash
# The Tk entry tessel::tk::entry under typing (bench/tk.tcl), in wish on a
# virtual X server of its own: Markdown on standard output.
#
#   bench/tk.sh [TCLTK_DIR]     (default: build/lib/tcltk)
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
tcltk=$(cd "${1:-$top/build/lib/tcltk}" && pwd)
echo "$(date -u '+%Y-%m-%d %H:%M UTC'); $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //');" \
     "wish on Xvfb."
echo
bash "$top/tests/tk/xvfb_wish.sh" wish "$top/bench/tk.tcl" "$tcltk" "$top"
