# The Tk example examples/tk/label-checker.tcl, sourced into this wish and
# driven as a person drives it: keys typed one at a time into its label,
# the label kind switched, a text pasted; after each, what its widgets show
# (the state, the marked range, the message, the parts). Saves a picture of
# the window showing a wrong label.
#
#   wish label_checker.tcl SOURCE_DIR TCLTK_DIR SCREENSHOT_PNG   (DISPLAY set)

lassign $argv top tcltk screenshot
source [file join $top tests tcl lib.tcl]
source [file join $top tests tk lib.tcl]
after 20000 {puts "FAIL: timed out"; exit 1}

set argv [list $tcltk]
source [file join $top examples tk label-checker.tcl]
update
focus -force .label.text
update

# Select all and delete, as keys.
proc clear {} {
    press Control-slash
    press Delete
}

# Checks the label's text, its state, the marked range (characters; "end"
# for the mark after an incomplete label), the message (a pattern, or
# "=diagnostic": the diagnostic's message as it stands) and the parts shown
# ({name value ...}; those not named empty).
proc check {name text state range message parts} {
    set marked {}
    foreach {first last} [.label.text tag ranges wrong] {
        set marked [list [.label.text count -chars 1.0 $first] [.label.text count -chars 1.0 $last]]
    }
    if {[llength [.label.text tag ranges incomplete]]} {
        set marked end
    }
    set shown [dict create text [.label get] state [.label state] range $marked]
    foreach part {factor trigger cond effect} {
        dict set shown $part [.$part get]
    }
    set want [dict merge {factor {} trigger {} cond {} effect {}} \
                  [dict create text $text state $state range $range] $parts]
    dict for {key value} $want {
        if {[dict get $shown $key] ne $value} {
            fail "$name: $key shows \"[show [dict get $shown $key]]\", not \"[show $value]\""
        }
    }
    if {$message eq "=diagnostic"} {
        set message [string map {* \\* ? \\? [ \\[ \\ \\\\} [dict get [.label diagnostic] message]]
    }
    if {![string match $message [.label.status cget -text]]} {
        fail "$name: the message is \"[show [.label.status cget -text]]\", not \"$message\""
    }
}

# A wrong pure21 label as it is typed: first it is a correct beginning (the
# end marked, what may come next said), then the offending ";" at column 9.
type "3;a and"
check "pure21, a beginning" "3;a and" incomplete end "Next: *a name*`not`*" {}
type " ;c."
check "pure21, wrong" "3;a and ;c." wrong {8 9} =diagnostic {}
picture $screenshot .
if {[string range [read_bytes $screenshot] 1 3] ne "PNG"} {
    fail "no picture of the window in $screenshot"
}

clear
check "cleared" "" incomplete end "Next: *" {}
type "3;a and not b;c."
check "pure21, right" "3;a and not b;c." valid {} "" {factor 3 trigger a~and~not~b effect c}

# The same text is checked again under the kind chosen: a valued21 label
# wants a condition before the effect.
.kinds.valued21 invoke
update
check "valued21, the pure21 label" "3;a and not b;c." wrong {15 16} =diagnostic {}
clear
type "1;a;x>1;b."
check "valued21, right" "1;a;x>1;b." valid {} "" {factor 1 trigger a cond x~>~1 effect b}

# Pasted, not typed: the range marked is the character's, whatever its
# bytes; a pasted line break is a blank.
.kinds.pure21 invoke
clear
clipboard clear
clipboard append "3;a;`\u00e9` x."
event generate .label.text <<Paste>>
update
check "after a two-byte character" "3;a;`\u00e9` x." wrong {8 9} =diagnostic {}
clear
clipboard clear
clipboard append "3;a and\nnot b;\r\nc."
event generate .label.text <<Paste>>
update
check "a pasted line break" "3;a and not b; c." valid {} "" {factor 3 trigger a~and~not~b effect c}
# A name too long for the scanner stops the translation inside the package
# (status 2): the window goes on and marks the name's first 16,383
# characters.
clear
set long "3;[string repeat a 17000];c."
.label.text insert end $long
update
check "a name too long" $long wrong {2 16385} =diagnostic {}

finish "label checker: typed, switched, pasted; picture in $screenshot"
