# The Tcl package with and without its trace, and with its limits. Prints
# Markdown table rows.
#
#   tclsh bench/tcl-limits.tcl TCLTK_DIR calls INPUTS_DIR [CALLS]
#       the time of one call of tessel::translate on each typical label and
#       declaration, with the trace and with -trace 0
#   tclsh bench/tcl-limits.tcl TCLTK_DIR long FILE [OPTION VALUE ...]
#       one call on a long valued label (e.g. bench/gen-labels.sh DIR 8000:
#       valued21-wide) with the package's defaults (64 MiB of output) or the
#       options given: its status, time, output size and report (run it in a
#       process of its own to take the process's peak memory)

lassign $argv tcltk mode
set calls 20000
lappend auto_path [file normalize $tcltk]
package require tessel

source [file join [file dirname [info script]] lib.tcl]


if {$mode eq "calls"} {
    lassign [lrange $argv 2 end] inputs count
    if {$count ne ""} {set calls $count}
    foreach kind {pure21 valued21 decl} {
        set text [read_bytes [file join $inputs $kind.txt]]
        set with [per_call {tessel::translate $kind $text} $calls]
        set without [per_call {tessel::translate -trace 0 $kind $text} $calls]
        puts [format "| bench/inputs/%s.txt | %.2f | %.2f | %.2f |" $kind $with $without [expr {$with / $without}]]
    }
} else {
    set options [lassign [lrange $argv 2 end] long]
    set text [read_bytes $long]
    set us [lindex [time {set r [tessel::translate {*}$options valued21 $text]} 1] 0]
    puts -nonewline [format "| %s | %d | %.3f | %d | %s |" [expr {$options eq "" ? "(defaults)" : $options}] \
                         [dict get $r status] [expr {$us / 1e6}] [string length [dict get $r out]] [dict get $r err]]
}
