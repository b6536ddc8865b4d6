# The Tcl package keeps memory flat: after a warm-up (reading the figure
# included), 10,000 calls of tessel::translate (the four typical inputs, a
# rejected label and declaration, and the two errors of bad calls in turn)
# leave resident memory within a small bound. A leak of 14 bytes per call
# would not pass.
#
#   tclsh package_memory.tcl SOURCE_DIR TCLTK_DIR SANITIZED
#
# In a sanitizer build (SANITIZED 1) resident memory says nothing: the
# address sanitizer holds freed memory back in its quarantine. The test is
# skipped there (exit 77); the leak check at exit stands in for it.

lassign $argv top tcltk sanitized
if {$sanitized} {
    puts "skipped: resident memory is no measure under the address sanitizer"
    exit 77
}
source [file join [file dirname [info script]] lib.tcl]
lappend auto_path $tcltk
package require tessel

proc resident_kb {} {
    set f [open /proc/self/status r]
    regexp {VmRSS:\s+([0-9]+)} [read $f] - kb
    close $f
    return $kb
}

set calls {}
foreach kind {pure21 valued21 decl ic3} {
    lappend calls [list tessel::translate $kind [read_bytes $top/bench/inputs/$kind.txt]]
}
lappend calls {tessel::translate pure21 {;a b;c.}} {tessel::translate decl {"}} \
    [list tessel::translate pure21 ";a;`\u0101`."] {tessel::translate pure2l {;;.}}

proc run {n} {
    global calls
    for {set i 0} {$i < $n} {} {
        foreach call $calls {
            catch $call
            incr i
        }
    }
}

set bound_kb 128
resident_kb
run 2000
set before [resident_kb]
run 10000
set after [resident_kb]
if {$after - $before > $bound_kb} {
    fail "resident memory grew from $before KB to $after KB over 10,000 calls (bound: $bound_kb KB)"
}
finish "resident memory: $before KB before 10,000 calls, $after KB after"
