#!/bin/sh
# A translation whose output outgrows the process's address space, through
# the Tcl package with no output limit: the library runs out of memory with
# hundreds of megabytes written, and turning that into Tcl values must not
# end the process (Tcl's own allocator gives up by aborting).
#
#   address_space.sh TCLSH TCLTK_DIR SOURCE_DIR SANITIZED
#
# Skipped (77) in the sanitizer build, whose shadow memory needs more
# address space than the limit leaves.
[ "$4" = 1 ] && exit 77
work=$(mktemp -d "${TMPDIR:-/tmp}/address-space.XXXXXX")
trap 'rm -rf "$work"' EXIT
bash "$3/bench/gen-labels.sh" "$work" 8000 > /dev/null || exit 1
ulimit -v 1500000
"$1" "$3/tests/tcl/address_space.tcl" "$2" "$work/valued21-wide"
