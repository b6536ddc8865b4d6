#!/usr/bin/env wish
# A transition label checked as it is typed, with the entry of the package
# tessel::tk: it translates the label in-process at every change, marks
# what is wrong and says what may come next; a valid label shows its
# normalised parts here, read from the commands of its translation.
#
#   wish label-checker.tcl ?TCLTK_DIR?
#
# TCLTK_DIR: a folder holding the packages (a build's lib/tcltk) when they
# are not installed where Tcl looks; TCLLIBPATH does the same.

package require Tk 8.6
if {[llength $argv]} {
    lappend auto_path [lindex $argv 0]
}
package require tessel::tk

namespace eval checker {
    variable kind pure21     ;# the grammar of the label: pure21 or valued21
    variable parts           ;# the fields shown, by name of their `set` command
    array set parts {factor {} trigger {} cond {} effect {}}
}

# The parts of a valid label: the values of its `set` commands.
proc checker::show {translation} {
    variable parts
    foreach command [dict get $translation commands] {
        lassign $command verb name value
        if {$verb eq "set" && [info exists parts($name)]} {
            set parts($name) $value
        }
    }
}

# A label that is not valid (any more) has no parts.
proc checker::checked {} {
    variable parts
    if {[.label state] ne "valid"} {
        foreach name [array names parts] {
            set parts($name) ""
        }
    }
}

wm title . "Label checker"
ttk::frame .kinds
foreach {kind title} {pure21 "pure21   factor;trigger;effect."
                      valued21 "valued21   factor;trigger;condition;effect."} {
    ttk::radiobutton .kinds.$kind -text $title -variable checker::kind -value $kind \
        -command {.label configure -kind $checker::kind}
    pack .kinds.$kind -side top -anchor w
}
grid .kinds -columnspan 2 -sticky w -padx 6 -pady 4

ttk::label .caption_label -text Label:
tessel::tk::entry .label -kind pure21 -width 40 -command checker::show
bind .label <<Checked>> checker::checked
grid .caption_label .label -sticky nwe -padx 6 -pady 2
grid configure .caption_label -pady {5 2}

# The parts of a valid label, read-only (they can still be selected and copied).
foreach {name title} {factor Factor: trigger Trigger: cond Condition: effect Effect:} {
    ttk::label .caption_$name -text $title
    ttk::entry .$name -textvariable checker::parts($name) -state readonly -font TkFixedFont
    grid .caption_$name .$name -sticky we -padx 6 -pady 2
}
grid columnconfigure . 1 -weight 1
focus .label
