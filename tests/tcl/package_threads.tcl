# The Tcl package in several threads at once (Tcl's Thread package): each
# thread loads it into its own interpreter and translates every golden text
# and made text, as byte arrays and as strings, round after round, at the
# same time as the others. Every result must be the one computed here in
# one thread.
#
#   tclsh package_threads.tcl SOURCE_DIR TCLTK_DIR

lassign $argv top tcltk
source [file join [file dirname [info script]] lib.tcl]
package require Thread
lappend auto_path $tcltk
package require tessel

set jobs {}
foreach kind [tessel::kinds] {
    foreach dir [golden_dirs $top $kind] {
        if {![program_only $dir]} {
            lappend jobs $kind [read_bytes $dir/stdin]
        }
    }
}
foreach {kind text -} [made_texts] {
    lappend jobs $kind $text
}
set expected {}
foreach {kind text} $jobs {
    lappend expected [tessel::translate $kind $text]
}

# In a thread: loads the package (while the other threads do too), then
# gives the results of the first round and how many results of the later
# rounds differ from them.
set work {
    proc translate_all {jobs rounds} {
        package require tessel
        set first {}
        set differing 0
        for {set round 0} {$round < $rounds} {incr round} {
            set i 0
            foreach {kind text} $jobs {
                if {$round % 2} {
                    set text [encoding convertto iso8859-1 $text]
                }
                set r [tessel::translate $kind $text]
                if {$round == 0} {
                    lappend first $r
                } elseif {$r ne [lindex $first $i]} {
                    incr differing
                }
                incr i
            }
        }
        return [list $differing $first]
    }
}

set threads 4
set rounds 40
for {set t 0} {$t < $threads} {incr t} {
    set id [thread::create]
    thread::send $id [list lappend auto_path $tcltk]
    thread::send $id $work
    lappend ids $id
}
for {set t 0} {$t < $threads} {incr t} {
    thread::send -async [lindex $ids $t] [list translate_all $jobs $rounds] ::done($t)
}
for {set t 0} {$t < $threads} {incr t} {
    if {![info exists ::done($t)]} {
        vwait ::done($t)
    }
}
for {set t 0} {$t < $threads} {incr t} {
    lassign $done($t) differing first
    if {![string is integer -strict $differing]} {
        fail "thread $t: [show $done($t)]"
        continue
    }
    if {$differing} {
        fail "thread $t: $differing results differ from its first round"
    }
    set i 0
    foreach r $first {
        if {$r ne [lindex $expected $i]} {
            fail "thread $t: the result of text $i ([lindex $jobs [expr {2 * $i}]]) differs from the one in one thread"
        }
        incr i
    }
    thread::release [lindex $ids $t]
}
finish "$threads threads, [llength $expected] texts, $rounds rounds each"
