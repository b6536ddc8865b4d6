# The Tk example examples/tk/label-checker.tcl, sourced into this wish and
# driven as a person drives it: keys typed one at a time into its label,
# the label kind switched, a text pasted; after each, what its widgets show
# (the underlined range, the message, the parts). Saves a picture of the
# window showing a wrong label.
#
#   wish label_checker.tcl SOURCE_DIR TCLTK_DIR SCREENSHOT_PNG   (DISPLAY set)

lassign $argv top tcltk screenshot
source [file join $top tests tcl lib.tcl]
after 20000 {puts "FAIL: timed out"; exit 1}

set argv [list $tcltk]
source [file join $top examples tk label-checker.tcl]
update
focus -force .label
update

array set keysyms {" " space ";" semicolon . period > greater ` grave}

# Presses and releases the key of each character, letting the window catch up
# after each as it would between two keys.
proc type {text} {
    foreach char [split $text ""] {
        set keysym [expr {[info exists ::keysyms($char)] ? $::keysyms($char) : $char}]
        event generate .label <KeyPress> -keysym $keysym
        event generate .label <KeyRelease> -keysym $keysym
        update
    }
}

# Select all and delete, as keys.
proc clear {} {
    event generate .label <Control-slash>
    event generate .label <Delete>
    update
}

# Checks the label's text, its underlined range (text indices), the start of
# the message and the parts shown ({name value ...}; those not named empty).
proc check {name text underline message parts} {
    set shown [dict create text [.label get 1.0 end-1c] underline [.label tag ranges error]]
    dict set shown message [.message cget -text]
    foreach part {factor trigger cond effect} {
        dict set shown $part [.$part get]
    }
    set want [dict merge {factor {} trigger {} cond {} effect {}} \
                  [dict create text $text underline $underline] $parts]
    dict for {key value} $want {
        if {[dict get $shown $key] ne $value} {
            fail "$name: $key shows \"[show [dict get $shown $key]]\", not \"[show $value]\""
        }
    }
    if {![string match $message [dict get $shown message]]} {
        fail "$name: the message is \"[show [dict get $shown message]]\", not \"$message\""
    }
}

set after_and "cannot follow `and`: after `and` comes a signal: a name, `not`, `pre(name)` or a parenthesis.\nExpected: a name, `not`, `pre`, `(`"

# A wrong pure21 label as it is typed: first its end is marked (the final
# newline, 1.7-2.0), then the offending ";" at column 9.
type "3;a and"
check "pure21, stopped at the end" "3;a and" {1.7 2.0} "The end of the text $after_and" {}
type " ;c."
check "pure21, wrong" "3;a and ;c." {1.8 1.9} "`;` $after_and" {}
exec xwd -silent -id [winfo id .] | xwdtopnm -quiet 2>@ stderr | pnmtopng 2>@ stderr > $screenshot
if {[string range [read_bytes $screenshot] 1 3] ne "PNG"} {
    fail "no picture of the window in $screenshot"
}

clear
check "cleared" "" {} "" {}
type "3;a and not b;c."
check "pure21, right" "3;a and not b;c." {} "" {factor 3 trigger a~and~not~b effect c}

# The same text is checked again under the kind chosen: a valued21 label
# wants a condition before the effect.
.kinds.valued21 invoke
update
check "valued21, the pure21 label" "3;a and not b;c." {1.15 1.16} "The condition ends here: *" {}
clear
type "1;a;x>1;b."
check "valued21, right" "1;a;x>1;b." {} "" {factor 1 trigger a cond x~>~1 effect b}

# Pasted text, not typed: the offsets count bytes, the underline characters.
.kinds.pure21 invoke
clear
.label insert end "3;a;`\u00e9` x."
update
check "after a two-byte character" "3;a;`\u00e9` x." {1.8 1.9} "`x` follows an element of the effect without a comma: *" {}
clear
.label insert end "3;\u00e9;c."
update
check "stopped inside a character" "3;\u00e9;c." {1.2 1.3} "`\u00e9` is not an ASCII character: *" {}
# A name too long for the scanner stops the translation inside the package
# (status 2): the window goes on and underlines the name's first 16,383 bytes.
clear
set long "3;[string repeat a 17000];c."
.label insert end $long
update
check "a name too long" $long {1.2 1.16385} "This name is too long: *" {}

finish "label checker: typed, switched, pasted; picture in $screenshot"
