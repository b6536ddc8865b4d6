# tclsh address_space.tcl TCLTK_DIR LABEL_FILE (under ulimit -v): the wide
# label with no output limit ends with "memory exhausted", and the
# interpreter goes on translating.
lassign $argv tcltk file
lappend auto_path $tcltk
package require tessel
set f [open $file rb]
set label [read $f]
close $f
set failures 0
proc check {what expected actual} {
    if {$expected ne $actual} {
        puts "FAIL: $what: expected \"$expected\", got \"[string range $actual 0 200]\""
        incr ::failures
    }
}
foreach binary {0 1} {
    set r [tessel::translate -binary $binary -maxoutput 0 valued21 $label]
    check "-binary $binary: status" 2 [dict get $r status]
    check "-binary $binary: report" "Tessel intermediate code (Valued21) Parser:memory exhausted" [dict get $r err]
    check "-binary $binary: code" valued21.out-of-memory [dict get [dict get $r diagnostic] code]
    unset r
}
check "afterwards" 0 [dict get [tessel::translate valued21 {;a;;b.}] status]
puts [expr {$failures ? "$failures check(s) failed" : "the interpreter lived on"}]
exit [expr {$failures != 0}]
