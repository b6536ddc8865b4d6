# The entry tessel::tk::entry as a person types into it (bench/tk.sh runs
# it in wish on a virtual X server): the time from a key press to its mark
# drawn, on a typical label and on a 2 KB label, and the time to open the
# completion list. Writes Markdown rows on standard output.
#
#   wish tk.tcl TCLTK_DIR SOURCE_DIR ?ROUNDS?
#
# A key is an event generated into the entry's text, then `update`: the key
# handled, the coalesced check (tessel::translate, the marks, the status
# line), the redrawing, and XSync, which returns once the X server has drawn
# it all. The figures are per key, over every key of ROUNDS typings (5),
# with the processor time wish took for them.

lassign $argv tcltk top rounds
if {$rounds eq ""} {
    set rounds 5
}
lappend auto_path $tcltk
package require tessel::tk
source [file join $top tests tk lib.tcl]

wm geometry . 600x120+10+10
tessel::tk::entry .e -width 60 -names {go stop lamp ready armed}
pack .e -fill x -padx 8 -pady 8
update
focus -force .e.text
update

# The processor time this process has used, in ms (Linux: /proc, in clock
# ticks of 10 ms): less disturbed by the machine's other work than the wall
# time, but without the X server's share.
proc cpu_ms {} {
    set f [open /proc/self/stat]
    set fields [split [lindex [split [read $f] )] end]]
    close $f
    expr {([lindex $fields 12] + [lindex $fields 13]) * 10}
}

# The sorted times in ms from a key press to its mark drawn, per key of text
# typed into the entry, which starts each round from `start` with the
# cursor at `at`; the states met; the mean processor time per key.
proc per_key {start at text {kind pure21}} {
    global rounds
    .e configure -kind $kind
    set times {}
    set cpu 0
    # Once first, untimed: the keyboard map, the fonts and the glyphs.
    for {set round 0} {$round <= $rounds} {incr round} {
        .e set $start
        .e.text mark set insert $at
        .e.text see insert
        update
        set states {}
        foreach char [split $text ""] {
            set keysym [keysym $char]
            if {[info exists ::shifted($char)] && $::shifted($char)} {
                set keysym Shift-$keysym
            }
            set began [clock microseconds]
            set used [cpu_ms]
            press $keysym
            set took [expr {([clock microseconds] - $began) / 1000.0}]
            if {$round > 0} {
                lappend times $took
                incr cpu [expr {[cpu_ms] - $used}]
            }
            lappend states [.e state]
        }
    }
    list [lsort -real $times] [lsort -unique $states] [expr {double($cpu) / [llength $times]}]
}

proc row {what times states cpu} {
    set n [llength $times]
    set median [lindex $times [expr {$n / 2}]]
    set p95 [lindex $times [expr {int($n * 0.95)}]]
    puts [format "| %s | %d | %.2f | %.2f | %.2f | %.2f | %s |" $what $n $median $p95 [lindex $times end] \
              $cpu [join $states {, }]]
}

find_shifted
puts "| typing | keys | median ms | 95th percentile ms | slowest ms | wish CPU ms per key | states met |"
puts "|---|---|---|---|---|---|---|"
set label {3;go and not stop;lamp,`log("on")`.}
row "a typical label, [string length $label] characters, typed from empty" {*}[per_key "" end $label]
set valued {n+1;a or pre(b);?S > limit(x);O(?S * 2), `log("S")`.}
row "a valued label, [string length $valued] characters, typed from empty" {*}[per_key "" end $valued valued21]

# 2 KB labels: a wrong one (its mark far from the typing), typed at its
# end and in its middle, and an incomplete one typed at its end.
set long ";[string repeat {go and not stop or } 107]ready;lamp"
set wrong "$long x"
row "a 2 KB label ([string length $wrong] characters) marked wrong at its end, typed at the end" \
    {*}[per_key $wrong end { and more}]
row "the same, typed in its middle" {*}[per_key $wrong "1.0 + 1000 chars" { go and}]
set at_start ";go and and[string range $long 7 end]"
row "a 2 KB label wrong near its start, typed at its end" {*}[per_key $at_start end {, armed}]
row "a 2 KB label ([string length $long] characters) incomplete, typed at its end" {*}[per_key $long end {, armed, go}]

# The completion list: Control-space to the list drawn.
puts ""
puts "| completion list | opens | median ms | slowest ms | choices |"
puts "|---|---|---|---|---|"
foreach {what start} [list "after \`and\` in a typical label" "3;go and " \
                           "at the end of the 2 KB label" "$long, "] {
    set times {}
    for {set round 0} {$round <= 10 * $rounds} {incr round} {
        .e set $start
        .e.text mark set insert end
        update
        set began [clock microseconds]
        press Control-space
        set took [expr {([clock microseconds] - $began) / 1000.0}]
        if {![winfo ismapped .e.list]} {
            puts stderr "the list did not open"
            exit 1
        }
        set choices [.e.list.choices size]
        press Escape
        if {$round > 0} {
            lappend times $took
        }
    }
    set times [lsort -real $times]
    puts [format "| %s | %d | %.2f | %.2f | %d |" $what [llength $times] \
              [lindex $times [expr {[llength $times] / 2}]] [lindex $times end] $choices]
}

# Coalescing: keys that come faster than the checks cost one check.
set checks 0
bind .e <<Checked>> {incr checks}
.e set ""
update
set checks 0
foreach char [split $label ""] {
    set shift [expr {[info exists ::shifted($char)] && $::shifted($char)}]
    event generate .e.text <KeyPress> -keysym [keysym $char] -state $shift
}
update
puts ""
puts "$checks check(s) for [string length $label] keys queued before the entry caught up ([.e state])."
exit
