# The Tcl package against a process per text, from the same tclsh: the time
# of one call of tessel::translate and of one `exec KIND-translator << TEXT`
# on each typical input, and their ratio. Prints Markdown table rows.
#
#   tclsh bench/tcl.tcl TCLTK_DIR BIN_DIR INPUTS_DIR [CALLS [EXECS]]
#
# Each figure is the best of five runs of CALLS (default 20,000) or EXECS
# (default 500) calls, taken side by side in one process: the machine is
# noisy, the ratio holds. The programs run in a temporary folder (they
# write their trace file there).

lassign $argv tcltk bin inputs calls execs
foreach dir {tcltk bin inputs} {
    set $dir [file normalize [set $dir]]
}
if {$calls eq ""} {set calls 20000}
if {$execs eq ""} {set execs 500}
lappend auto_path $tcltk
package require tessel

set work [file join [expr {[info exists env(TMPDIR)] ? $env(TMPDIR) : "/tmp"}] tessel-bench-tcl.[pid]]
file mkdir $work
cd $work

source [file join [file dirname [info script]] lib.tcl]

foreach kind {pure21 valued21 decl ic3} {
    set f [open [file join $inputs $kind.txt] rb]
    set text [read $f]
    close $f
    set program [file join $bin $kind-translator]
    # The same result both ways, before anything is timed.
    set r [tessel::translate $kind $text]
    set out [exec -ignorestderr $program << $text]
    if {[dict get $r status] != 0 || [string trimright [dict get $r out] "\n"] ne $out} {
        puts stderr "$kind: tessel::translate and $kind-translator differ"
        exit 1
    }
    set in_process [per_call {tessel::translate $kind $text} $calls]
    set process [per_call {exec -ignorestderr $program << $text} $execs]
    puts [format "| bench/inputs/%s.txt | %.2f | %.0f | %.0f |" $kind $in_process $process [expr {$process / $in_process}]]
}
cd /
file delete -force $work
