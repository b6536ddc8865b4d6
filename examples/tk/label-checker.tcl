#!/usr/bin/env wish
# A transition label checked as it is typed: at every change of the text the
# label is translated in-process (package tessel, no process started); a
# right label shows its normalised parts, a wrong one gets the offending token
# underlined and the diagnostic's message below it.
#
#   wish label-checker.tcl ?TCLTK_DIR?
#
# TCLTK_DIR: a folder holding the package (a build's lib/tcltk) when it is
# not installed where Tcl looks; TCLLIBPATH does the same.

package require Tk 8.6
if {[llength $argv]} {
    lappend auto_path [lindex $argv 0]
}
package require tessel

namespace eval checker {
    variable kind pure21     ;# the grammar of the label: pure21 or valued21
    variable parts           ;# the fields shown, by name of their `set` command
    array set parts {factor {} trigger {} cond {} effect {}}
}

# --- The window ------------------------------------------------------------

wm title . "Label checker"
ttk::frame .kinds
ttk::radiobutton .kinds.pure21 -text "pure21   factor;trigger;effect." \
    -variable checker::kind -value pure21 -command checker::check
ttk::radiobutton .kinds.valued21 -text "valued21   factor;trigger;condition;effect." \
    -variable checker::kind -value valued21 -command checker::check
pack .kinds.pure21 .kinds.valued21 -side top -anchor w
grid .kinds -columnspan 2 -sticky w -padx 6 -pady 4

# A text widget of one line, rather than an entry, because a range of it can
# carry a tag: the offending token gets the tag "error".
ttk::label .caption_label -text Label:
text .label -height 1 -width 40 -font TkFixedFont -wrap none -undo 1
.label tag configure error -underline 1 -foreground red3 -background "#ffe0e0"
grid .caption_label .label -sticky we -padx 6 -pady 2

# The parts of a right label, read-only (they can still be selected and copied).
foreach {name title} {factor Factor: trigger Trigger: cond Condition: effect Effect:} {
    ttk::label .caption_$name -text $title
    ttk::entry .$name -textvariable checker::parts($name) -state readonly -font TkFixedFont
    grid .caption_$name .$name -sticky we -padx 6 -pady 2
}
ttk::label .message -foreground red3 -wraplength 420 -justify left
grid .message -columnspan 2 -sticky w -padx 6 -pady 6
grid columnconfigure . 1 -weight 1

# A label is one line: Return adds nothing. <<Modified>> comes after every
# change, typed, pasted or undone; the handler clears the flag to hear the next.
bind .label <Return> break
bind .label <KP_Enter> break
bind .label <<Modified>> {
    if {[.label edit modified]} {
        .label edit modified 0
        checker::check
    }
}

# --- Checking --------------------------------------------------------------

# Translates the label as it is now and shows the result.
proc checker::check {} {
    variable kind
    variable parts
    .label tag remove error 1.0 end
    foreach name [array names parts] {
        set parts($name) ""
    }
    .message configure -text ""
    set text [.label get 1.0 end-1c]
    if {$text eq ""} {
        return
    }
    set result [tessel::translate -trace 0 $kind $text]
    if {[dict get $result status] == 0} {
        # The parts are the values of the `set` commands.
        foreach command [dict get $result commands] {
            lassign $command verb name value
            if {$verb eq "set" && [info exists parts($name)]} {
                set parts($name) $value
            }
        }
        return
    }

    # The place counts characters, as the text widget's indices do.
    set diagnostic [dict get $result diagnostic]
    set first [dict get $diagnostic start]
    set last [dict get $diagnostic end]
    if {$last == $first} {
        # Stopped at the end of the text (an empty place): mark the
        # character after it, a blank or the text widget's final newline.
        set last [expr {$first + 1}]
    }
    .label tag add error "1.0 + $first chars" "1.0 + $last chars"
    .label see "1.0 + $first chars"
    set message [dict get $diagnostic message]
    if {[llength [dict get $diagnostic expecting]]} {
        append message "\nExpected: [join [dict get $diagnostic expecting] {, }]"
    }
    .message configure -text $message
}

focus .label
checker::check
