# Shared by the Tk tests (sourced into wish on a virtual X server): keys
# typed as a person types them, the texts the project documents as valid,
# and pictures of windows.

# An error in a binding or an idle handler is a failure, not a dialog that
# waits for a click.
set background_errors {}
interp bgerror {} {apply {{message options} {
    lappend ::background_errors [dict get $options -errorinfo]
    puts "background error: [dict get $options -errorinfo]"
}}}

# The key that types each character that is not a letter or a digit.
array set keysyms {
    " " space ";" semicolon . period , comma ( parenleft ) parenright ` grave
    ! exclam ? question < less > greater = equal + plus - minus * asterisk
    / slash # numbersign : colon \{ braceleft \} braceright \[ bracketleft
    \] bracketright % percent \" quotedbl ' apostrophe _ underscore & ampersand
    $ dollar @ at \\ backslash | bar ~ asciitilde ^ asciicircum \n Return
}

proc keysym {char} {
    expr {[info exists ::keysyms($char)] ? $::keysyms($char) : $char}
}

# Which characters need Shift on the server's keyboard map ("A", "+" or
# ":" on most): each printable character typed once into a text of its own.
proc find_shifted {} {
    set focus [focus]
    toplevel .keys
    text .keys.t
    pack .keys.t
    update
    focus -force .keys.t
    for {set code 32} {$code < 127} {incr code} {
        set char [format %c $code]
        foreach state {0 1} {
            .keys.t delete 1.0 end
            event generate .keys.t <KeyPress> -keysym [keysym $char] -state $state
            event generate .keys.t <KeyRelease> -keysym [keysym $char] -state $state
            if {[.keys.t get 1.0 end-1c] eq $char} {
                set ::shifted($char) $state
                break
            }
        }
    }
    destroy .keys
    if {$focus ne ""} {
        focus -force $focus
    }
    update
}

# Presses and releases the keys that type text into the window that has the
# focus, letting the window catch up after each key as it would between two
# keys. `script` runs after each key (with the text typed so far appended).
proc type {text {script {}}} {
    if {![array exists ::shifted]} {
        find_shifted
    }
    set typed ""
    foreach char [split $text ""] {
        set keysym [keysym $char]
        if {[info exists ::shifted($char)] && $::shifted($char)} {
            set keysym Shift-$keysym
        }
        press $keysym
        append typed $char
        if {$script ne ""} {
            uplevel 1 [list {*}$script $typed]
        }
    }
}

# One key (a keysym, with modifiers as in Control-space) into the focus.
proc press {key} {
    set w [focus]
    set modifiers [lrange [split $key -] 0 end-1]
    set keysym [lindex [split $key -] end]
    if {$keysym eq ""} {
        set keysym -
        set modifiers [lrange $modifiers 0 end-1]
    }
    set state 0
    foreach modifier $modifiers {
        set state [expr {$state | [dict get {Shift 1 Control 4} $modifier]}]
    }
    event generate $w <KeyPress> -keysym $keysym -state $state
    event generate $w <KeyRelease> -keysym $keysym -state $state
    update
}

proc read_text {file} {
    set f [open $file rb]
    set bytes [read $f]
    close $f
    encoding convertfrom utf-8 $bytes
}

# The texts of the language reference's examples (docs/languages): for each
# command line that gives a translator its text on standard input (printf
# or echo with one quoted argument, or a here-document), {kind text}.
proc documented_texts {top} {
    set texts {}
    foreach page [lsort [glob $top/docs/languages/*.md]] {
        set lines [split [read_text $page] \n]
        for {set i 0} {$i < [llength $lines]} {incr i} {
            set line [lindex $lines $i]
            if {[regexp {^\$ printf '([^'%]*(?:%%[^'%]*)*)' \| (\w+)-translator} $line - text kind]} {
                lappend texts $kind [string map {%% %} [subst -nocommands -novariables $text]]
            } elseif {[regexp {^\$ echo '([^']*)' \| (\w+)-translator} $line - text kind]} {
                lappend texts $kind $text\n
            } elseif {[regexp {^\$ (\w+)-translator .*<<'EOF'} $line - kind]} {
                set text ""
                while {[incr i] < [llength $lines] && [lindex $lines $i] ne "> EOF"} {
                    append text [string range [lindex $lines $i] 2 end] \n
                }
                lappend texts $kind $text
            }
        }
    }
    return $texts
}

# The texts of kind that succeed: from the golden cases and the examples
# (those about the programs' options and files left out) and the language
# reference. A list of {name text}.
proc valid_texts {top kind} {
    set texts {}
    foreach dir [lsort [concat [glob -nocomplain -type d $top/tests/golden/$kind/*] \
                              [glob -nocomplain -type d $top/examples/$kind/*]]] {
        if {[file exists $dir/args] || [file exists $dir/program] || ![file exists $dir/stdin]} {
            continue
        }
        set status [expr {[file exists $dir/status] ? [string trim [read_text $dir/status]] : 0}]
        if {$status == 0} {
            lappend texts [file tail [file dirname $dir]]/[file tail $dir] [read_text $dir/stdin]
        }
    }
    set n 0
    foreach {documented text} [documented_texts $top] {
        incr n
        if {$documented eq $kind && [dict get [tessel::translate -trace 0 $kind $text] status] == 0} {
            lappend texts "docs example $n" $text
        }
    }
    return $texts
}

# The tokens of a text as a person reads them, {start length type} each,
# type: "word" (a name or keyword), "punctuation" (an operator, a tag), or
# "class" (a number, a quoted or verbatim text, a comment), blanks left out.
# Enough of each language's words to tell where a cut falls inside a token.
proc tokens {kind text} {
    set word [expr {$kind eq "ic3" ? {^[A-Za-z][A-Za-z0-9_~]*} : {^[A-Za-z][A-Za-z0-9_]*}}]
    set quotes [dict get {pure21 {` `} valued21 {` ` ! !} decl {} ic3 {:\{ \} ! !}} $kind]
    set comment [dict get {pure21 {} valued21 -- decl % ic3 %} $kind]
    set operators {<= >= <> := => :<[A-Za-z]+>}
    set tokens {}
    set at 0
    while {$at < [string length $text]} {
        set rest [string range $text $at end]
        set type class
        if {[regexp {^\s+} $rest blanks]} {
            incr at [string length $blanks]
            continue
        } elseif {[regexp $word $rest match]} {
            set type word
        } elseif {[regexp {^[0-9]+} $rest match]} {
        } elseif {$comment ne "" && [string first $comment $rest] == 0} {
            regexp {^[^\n]*} $rest match
        } else {
            set match ""
            foreach {open close} $quotes {
                if {[string first $open $rest] == 0} {
                    set end [string first $close $rest [string length $open]]
                    set match [string range $rest 0 [expr {$end < 0 ? "end" : $end + [string length $close] - 1}]]
                    break
                }
            }
            if {$match eq ""} {
                set type punctuation
                if {![regexp ^(?:[join $operators |]) $rest match]} {
                    set match [string index $rest 0]
                }
            }
        }
        lappend tokens [list $at [string length $match] $type]
        incr at [string length $match]
    }
    return $tokens
}

# Saves a picture of the screen around the windows given (a toplevel and
# the lists it opened, say) as PNG, with a margin.
proc picture {file windows {margin 6}} {
    update
    set left 100000; set top 100000; set right 0; set bottom 0
    foreach w $windows {
        if {![winfo ismapped $w]} {
            continue
        }
        set x [winfo rootx $w]; set y [winfo rooty $w]
        set left [expr {min($left, $x)}]
        set top [expr {min($top, $y)}]
        set right [expr {max($right, $x + [winfo width $w])}]
        set bottom [expr {max($bottom, $y + [winfo height $w])}]
    }
    set left [expr {max(0, $left - $margin)}]
    set top [expr {max(0, $top - $margin)}]
    exec xwd -silent -root | xwdtopnm -quiet 2>@ stderr \
        | pnmcut -left $left -top $top -width [expr {$right - $left + $margin}] \
                 -height [expr {$bottom - $top + $margin}] 2>@ stderr \
        | pnmtopng 2>@ stderr > $file
}
