# tessel::tk: an entry for the texts of the Tessel translators (labels,
# declarations, intermediate code) that checks its text as the user types,
# shows where and why it is wrong, says what may come next and completes it.
#
#   package require tessel::tk
#   tessel::tk::entry .label -kind pure21 -names {go stop lamp} -command apply
#
# The widget is a frame (class TesselEntry) holding a text widget
# (pathName.text, which takes the keys), a sign beside it and a status line
# below. Its command is an object of the class tessel::tk::Entry. Every
# change of the text, typed, pasted or set, schedules one check when the
# events pending are done (so fast typing costs one translation); the check
# translates the whole text with tessel::translate and shows one of three
# states:
#   valid       no mark; -command gets the translation
#   incomplete  a correct beginning: a calm mark after the text, and what may
#               come next; never red
#   wrong       the offending range underlined, a sign, the message (on hover
#               and in the status line), the range scrolled into view
# See tessel_tk(n).

package require Tcl 8.6
package require Tk 8.6
package require tessel 3.0

namespace eval ::tessel::tk {
    namespace export entry

    # The widget's own options: name, database name and class, default.
    variable own {
        -kind         kind         Kind         pure21
        -textvariable textVariable Variable     {}
        -command      command      Command      {}
        -names        names        Names        {}
        -width        width        Width        40
        -height       height       Height       1
        -font         font         Font         TkFixedFont
        -status       status       Status       1
        -state        state        State        normal
        -wrongcolor   wrongColor   Foreground   #c00000
        -hintcolor    hintColor    Foreground   #4a6a94
    }
    # The look options passed on to the text widget as they are.
    variable passed {
        -background -foreground -insertbackground -selectbackground
        -selectforeground -relief -borderwidth -highlightthickness
        -highlightcolor -highlightbackground -padx -pady -cursor -takefocus
        -exportselection -insertwidth
    }
    # How long the pointer rests on a mark before its message shows (ms).
    variable hoverDelay 350
}

# Makes the widget pathName; returns pathName.
proc ::tessel::tk::entry {path args} {
    if {[winfo exists $path]} {
        return -code error "window name \"[lindex [split $path .] end]\" already exists in parent"
    }
    set object [Entry new $path]
    rename $object ::$path
    if {[catch {$path configure {*}$args} message options]} {
        destroy $path
        return -options $options $message
    }
    return $path
}

# Calls an unexported method of the widget that holds the text widget w
# (class bindings know only the text widget). Returns its result.
proc ::tessel::tk::Call {w method args} {
    set path [winfo parent $w]
    if {[info commands ::$path] eq "" || ![info object isa typeof ::$path ::tessel::tk::Entry]} {
        return 0
    }
    [info object namespace ::$path]::my $method {*}$args
}

# Joins entries for a person: "a, b or c".
proc ::tessel::tk::Readable {entries} {
    if {[llength $entries] < 2} {
        return [join $entries]
    }
    return "[join [lrange $entries 0 end-1] {, }] or [lindex $entries end]"
}

# The list without its repeats, in its order.
proc ::tessel::tk::Unique {list} {
    set seen {}
    set kept {}
    foreach item $list {
        if {![dict exists $seen $item]} {
            dict set seen $item 1
            lappend kept $item
        }
    }
    return $kept
}

# The bindings of a one-line text: the text widget's, but Return, Enter and
# Control-o insert nothing (and Return goes on to the toplevel's bindings,
# a dialog's default button).
proc ::tessel::tk::LineBindings {} {
    if {[llength [bind TesselLine]]} {
        return
    }
    foreach sequence [bind Text] {
        bind TesselLine $sequence [bind Text $sequence]
    }
    foreach sequence {<Return> <KP_Enter> <Control-o>} {
        bind TesselLine $sequence {# a one-line text gets no line break}
    }
}

# The keys of the widget (the tag TesselKeys, before the text widget's own
# bindings). A handler that returns 1 has used the key.
proc ::tessel::tk::KeyBindings {} {
    foreach {sequence call} {
        <F8>              {GotoProblem}
        <Control-space>   {CompleteKey}
        <Tab>             {TabKey}
        <Shift-Tab>       {BackTabKey}
        <ISO_Left_Tab>    {BackTabKey}
        <Escape>          {ListKey close}
        <Return>          {ListKey pick}
        <KP_Enter>        {ListKey pick}
        <Up>              {ListKey -1}
        <Down>            {ListKey 1}
        <Prior>           {ListKey -5}
        <Next>            {ListKey 5}
    } {
        bind TesselKeys $sequence "if {\[::tessel::tk::Call %W $call\]} break"
    }
    # Moving the cursor or leaving closes the list; any key hides a message
    # shown on hover.
    foreach sequence {<Left> <Right> <Home> <End> <ButtonPress>} {
        bind TesselKeys $sequence {::tessel::tk::Call %W CloseList}
    }
    bind TesselKeys <FocusOut> {::tessel::tk::Call %W CloseList; ::tessel::tk::Call %W HideTip}
    bind TesselKeys <KeyPress> {::tessel::tk::Call %W HideTip}
}
::tessel::tk::KeyBindings

oo::class create ::tessel::tk::Entry {
    variable Path Text Inner Options State Diagnostic Pending \
        Shown Size Drawn Reported Syncing TipAfter TipText List

    constructor {path} {
        namespace upvar ::tessel::tk own own
        set Path $path
        set Text $path.text
        set State ""
        set Diagnostic {}
        set Pending ""
        set Shown ""
        set Size 0
        set Drawn ""
        set Reported ""
        set Syncing 0
        set TipAfter ""
        set TipText ""
        set List {}
        foreach {option - - default} $own {
            set Options($option) $default
        }

        frame $path -class TesselEntry -borderwidth 0 -highlightthickness 0 -takefocus 0
        rename ::$path [namespace current]::hull
        text $Text -width $Options(-width) -height 1 -wrap none -font $Options(-font) \
            -undo 1 -autoseparators 1 -maxundo 0 -borderwidth 1 -relief sunken
        # The text widget's command checks every change: its own command is
        # kept here, and its name calls TextCommand.
        set Inner [namespace current]::text
        rename ::$Text $Inner
        interp alias {} ::$Text {} [namespace which my] TextCommand
        $Inner tag configure wrong
        $Inner tag configure incomplete
        $Inner tag raise sel
        foreach tag {wrong incomplete} {
            $Inner tag bind $tag <Enter> [list [namespace which my] Hover $tag]
            $Inner tag bind $tag <Leave> [list [namespace which my] HideTip]
        }
        canvas $path.sign -width 18 -height 18 -highlightthickness 0 -borderwidth 0 -takefocus 0
        bind $path.sign <Enter> [list [namespace which my] Hover sign]
        bind $path.sign <Leave> [list [namespace which my] HideTip]
        label $path.status -anchor w -justify left -font TkDefaultFont -padx 2 -pady 1
        grid $Text -row 0 -column 0 -sticky nsew
        grid $path.sign -row 0 -column 1 -sticky n -padx {3 0} -pady 2
        grid $path.status -row 1 -column 0 -columnspan 2 -sticky we
        grid columnconfigure $path 0 -weight 1
        grid rowconfigure $path 0 -weight 1
        bind $path <Configure> [list [namespace which my] Wrap]
        bind $path <Destroy> [list apply {{my window path} {
            if {$window eq $path && [info commands $my] ne ""} {
                $my destroy
            }
        }} [namespace which my] %W $path]
        bind $path <FocusIn> [list focus $Text]
        ::tessel::tk::LineBindings
        my Look
        my Changed
    }

    destructor {
        after cancel $Pending
        after cancel $TipAfter
        my TraceVariable remove
        catch {interp alias {} ::$Text {}}
        if {[winfo exists $Path]} {
            bind $Path <Destroy> {}
            destroy $Path
        }
    }

    # --- Options ---------------------------------------------------------

    method configure {args} {
        namespace upvar ::tessel::tk own own passed passed
        if {[llength $args] == 0} {
            set all {}
            foreach {option - - -} $own {
                lappend all [my configure $option]
            }
            foreach option $passed {
                lappend all [$Inner configure $option]
            }
            return [lsort -index 0 $all]
        }
        if {[llength $args] == 1} {
            set option [my OptionName [lindex $args 0]]
            if {[info exists Options($option)]} {
                set at [lsearch -exact $own $option]
                return [list {*}[lrange $own $at [expr {$at + 3}]] $Options($option)]
            }
            return [$Inner configure $option]
        }
        if {[llength $args] % 2} {
            return -code error "value for \"[lindex $args end]\" missing"
        }
        set recheck 0
        foreach {option value} $args {
            set option [my OptionName $option]
            if {![info exists Options($option)]} {
                $Inner configure $option $value
                continue
            }
            switch -- $option {
                -kind {
                    # The package knows the kinds, and says which they are.
                    if {[catch {tessel::translate -trace 0 $value ""} message]} {
                        return -code error $message
                    }
                    set recheck [expr {$recheck || $value ne $Options(-kind)}]
                }
                -height - -width {
                    if {![string is integer -strict $value] || $value < 1} {
                        return -code error "expected a positive integer for $option but got \"$value\""
                    }
                }
                -status {
                    if {![string is boolean -strict $value]} {
                        return -code error "expected boolean value for -status but got \"$value\""
                    }
                }
                -wrongcolor - -hintcolor {
                    winfo rgb $Path $value
                }
                -state {
                    if {$value ni {normal disabled}} {
                        return -code error "bad state \"$value\": must be normal or disabled"
                    }
                }
                -names {
                    if {[catch {llength $value}]} {
                        return -code error "-names: expected a list but got \"$value\""
                    }
                }
                -font {
                    $Inner configure -font $value
                }
                -textvariable {
                    my TraceVariable remove
                }
            }
            set Options($option) $value
            switch -- $option {
                -textvariable {
                    my TraceVariable add
                }
                -names {
                    if {[llength $List]} {
                        my OpenList 0
                    }
                }
            }
        }
        my Look
        if {$recheck} {
            set Reported ""
            my Schedule
        }
        return
    }

    method cget {option} {
        set option [my OptionName $option]
        if {[info exists Options($option)]} {
            return $Options($option)
        }
        $Inner cget $option
    }

    # An option's full name from a unique abbreviation, as Tk allows.
    method OptionName {option} {
        namespace upvar ::tessel::tk own own passed passed
        set names [concat [lmap {name - - -} $own {set name}] $passed]
        if {$option in $names} {
            return $option
        }
        set matches [lsearch -all -inline -glob $names [string map {* \\* ? \\? [ \\[ \\ \\\\} $option]*]
        if {[llength $matches] == 1} {
            return [lindex $matches 0]
        }
        # Else the text widget's own name (-bg) or its error.
        return $option
    }

    # Applies the options that shape the widget.
    method Look {} {
        set line [expr {$Options(-height) == 1}]
        $Inner configure -width $Options(-width) -height $Options(-height) \
            -wrap [expr {$line ? "none" : "word"}] -state $Options(-state)
        bindtags $Text [list $Text TesselKeys [expr {$line ? "TesselLine" : "Text"}] \
                            [winfo toplevel $Path] all]
        $Inner tag configure wrong -underline 1 -underlinefg $Options(-wrongcolor) \
            -foreground $Options(-wrongcolor) -background [my Pale $Options(-wrongcolor) 0.88]
        $Inner tag configure incomplete -background [my Pale $Options(-hintcolor) 0.85]
        my Wrap
        if {$Options(-status)} {
            grid $Path.status
        } else {
            grid remove $Path.status
        }
        set Drawn ""
        my Sign
    }

    # A colour mixed with white: fraction 0 is the colour, 1 white.
    method Pale {colour fraction} {
        lassign [winfo rgb $Path $colour] r g b
        set mix {}
        foreach c [list $r $g $b] {
            lappend mix [expr {int(($c / 257.0) * (1 - $fraction) + 255 * $fraction)}]
        }
        format #%02x%02x%02x {*}$mix
    }

    # The status line wraps at the width of the entry (before it is shown,
    # the width it asks for), never widening it.
    method Wrap {} {
        set width [winfo width $Path]
        if {$width <= 1} {
            set width [expr {[winfo reqwidth $Text] + [winfo reqwidth $Path.sign] + 3}]
        }
        $Path.status configure -wraplength [expr {max(100, $width - 6)}]
    }

    # -textvariable: the variable follows the text, and the text the variable.
    method TraceVariable {how} {
        set name $Options(-textvariable)
        if {$name eq ""} {
            return
        }
        set command [list [namespace which my] VariableChanged]
        upvar #0 $name variable
        if {$how eq "remove"} {
            trace remove variable variable {write unset} $command
            return
        }
        if {[info exists variable]} {
            my Replace $variable
        } else {
            set variable [my get]
        }
        trace add variable variable {write unset} $command
    }

    method VariableChanged {name1 name2 op} {
        if {$Syncing} {
            return
        }
        upvar #0 $Options(-textvariable) variable
        if {$op eq "unset"} {
            set variable [my get]
            trace add variable variable {write unset} [list [namespace which my] VariableChanged]
        } elseif {$variable ne [my get]} {
            my Replace $variable
        }
    }

    # --- The text --------------------------------------------------------

    method get {} {
        $Inner get 1.0 end-1c
    }

    # Puts text in place of the whole text, exactly (line breaks included),
    # as a new start: the undo history is forgotten.
    method set {text} {
        my Replace $text
        $Inner edit reset
        return
    }

    method Replace {text} {
        set state [$Inner cget -state]
        $Inner configure -state normal
        $Inner delete 1.0 end
        $Inner insert 1.0 $text
        $Inner mark set insert end-1c
        $Inner configure -state $state
        my Changed
    }

    # The text widget's command: an insertion into a one-line text gets
    # blanks for its line breaks (a pasted text stays on one line); any
    # change schedules a check.
    method TextCommand {args} {
        set sub [lindex $args 0]
        if {$Options(-height) == 1 && $sub in {insert replace}} {
            set first [expr {$sub eq "insert" ? 2 : 3}]
            for {set i $first} {$i < [llength $args]} {incr i 2} {
                lset args $i [string map {"\r\n" " " "\n" " " "\r" " "} [lindex $args $i]]
            }
        }
        set result [$Inner {*}$args]
        if {$sub in {insert delete replace} || ($sub eq "edit" && [lindex $args 1] in {undo redo})} {
            my Changed
        }
        return $result
    }

    method Changed {} {
        if {$Options(-textvariable) ne ""} {
            upvar #0 $Options(-textvariable) variable
            set Syncing 1
            set variable [my get]
            set Syncing 0
        }
        my HideTip
        my Schedule
    }

    method Schedule {} {
        if {$Pending eq ""} {
            set Pending [after idle [list [namespace which my] Idle]]
        }
    }

    method Idle {} {
        set Pending ""
        my check
        if {[llength $List]} {
            my OpenList 0
        }
    }

    # A character offset (an integer) or a text index: the offset.
    method Offset {index} {
        set size [$Inner count -chars 1.0 end-1c]
        if {[string is integer -strict $index]} {
            return [expr {max(0, min($index, $size))}]
        }
        return [$Inner count -chars 1.0 [$Inner index $index]]
    }

    # --- Checking --------------------------------------------------------

    # Translates the text now, shows the result and returns the state.
    method check {} {
        after cancel $Pending
        set Pending ""
        set text [my get]
        if {[catch {tessel::translate -trace 0 $Options(-kind) $text} result]} {
            # Only when even the result could not be made (memory): wrong
            # as a whole, with the package's message.
            set size [string length $text]
            set result [dict create status 2 commands {} diagnostic \
                [dict create start $size end $size expecting {} incomplete 0 message $result]]
        }
        set Diagnostic [dict get $result diagnostic]
        if {[dict get $result status] == 0} {
            set State valid
        } elseif {[dict size $Diagnostic] == 0} {
            # A failure that the package gave no diagnostic for: its report.
            set size [string length $text]
            set Diagnostic [dict create start $size end $size expecting {} incomplete 0 \
                                message [dict get $result err]]
            set State wrong
        } else {
            set State [expr {[dict get $Diagnostic incomplete] ? "incomplete" : "wrong"}]
        }
        my Show
        if {$State eq "valid" && $Options(-command) ne ""} {
            set key [list $Options(-kind) $text]
            if {$key ne $Reported} {
                set Reported $key
                if {[catch {uplevel #0 [list {*}$Options(-command) $result]} message options]} {
                    [interp bgerror {}] $message $options
                }
            }
        } elseif {$State ne "valid"} {
            set Reported ""
        }
        event generate $Path <<Checked>>
        return $State
    }

    # The state of the text as it is (checked first if a check is due).
    method state {} {
        my Settle
        return $State
    }

    # The diagnostic of the text as it is; empty when it is valid.
    method diagnostic {} {
        my Settle
        return $Diagnostic
    }

    method Settle {} {
        if {$Pending ne "" || $State eq ""} {
            my check
        }
    }

    # Marks the text as its state says.
    method Show {} {
        set size [$Inner count -chars 1.0 end-1c]
        $Inner tag remove wrong 1.0 end
        $Inner tag remove incomplete 1.0 end
        set status ""
        switch -- $State {
            wrong {
                lassign [my Range] first last
                $Inner tag add wrong "1.0 + $first chars" "1.0 + $last chars"
                set status [dict get $Diagnostic message]
                # The range is brought into sight when the text turns wrong,
                # or after a change of more than a key (a paste, a text
                # set); typing on in a wrong text keeps the view where the
                # typing is.
                if {$Shown ne "wrong" || abs($size - $Size) > 1} {
                    $Inner see "1.0 + $last chars"
                    $Inner see "1.0 + $first chars"
                }
            }
            incomplete {
                $Inner tag add incomplete end-1c end
                set status [my Hint]
            }
        }
        set Shown $State
        set Size $size
        $Path.status configure -text $status
        my Sign
    }

    # The range marked as wrong, in characters: the diagnostic's, or the
    # character after an empty one (the line's end at the end of the text).
    method Range {} {
        set size [string length [my get]]
        set first [expr {min([dict get $Diagnostic start], $size)}]
        set last [expr {min([dict get $Diagnostic end], $size)}]
        if {$last <= $first} {
            set last [expr {$first + 1}]
        }
        list $first $last
    }

    # What may come next, for a person.
    method Hint {} {
        set expecting [dict get $Diagnostic expecting]
        if {![llength $expecting]} {
            return [dict get $Diagnostic message]
        }
        return "Next: [::tessel::tk::Readable $expecting]"
    }

    # The sign beside the text: nothing, three dots (incomplete) or an
    # exclamation mark in a disc (wrong); the status line in the state's
    # colour. Drawn again only when the state or the look changes.
    method Sign {} {
        if {$State eq $Drawn} {
            return
        }
        set Drawn $State
        $Path.status configure -foreground [expr {$State eq "wrong" ? $Options(-wrongcolor) : $Options(-hintcolor)}]
        set c $Path.sign
        $c delete all
        $c configure -background [[namespace current]::hull cget -background]
        switch -- $State {
            incomplete {
                foreach x {3 8 13} {
                    $c create oval $x 11 [expr {$x + 3}] 14 -fill $Options(-hintcolor) -outline ""
                }
            }
            wrong {
                $c create oval 1 1 17 17 -fill $Options(-wrongcolor) -outline ""
                $c create rectangle 8 4 10 11 -fill white -outline ""
                $c create rectangle 8 13 10 15 -fill white -outline ""
            }
        }
    }

    # F8: the cursor to the problem: the start of a wrong range, the end of
    # an incomplete text.
    method GotoProblem {} {
        switch -- [my state] {
            wrong {
                $Inner mark set insert "1.0 + [lindex [my Range] 0] chars"
            }
            incomplete {
                $Inner mark set insert end-1c
            }
            default {
                return 1
            }
        }
        $Inner see insert
        focus $Text
        return 1
    }

    # --- Hover -----------------------------------------------------------

    method Hover {what} {
        after cancel $TipAfter
        switch -- $State {
            wrong {set TipText [dict get $Diagnostic message]}
            incomplete {set TipText [my Hint]}
            default {return}
        }
        set TipAfter [after $::tessel::tk::hoverDelay [list [namespace which my] ShowTip]]
    }

    method ShowTip {} {
        set TipAfter ""
        set tip $Path.tip
        if {![winfo exists $tip]} {
            toplevel $tip -class TesselTip -borderwidth 1 -background #7f7f7f
            wm overrideredirect $tip 1
            wm withdraw $tip
            label $tip.text -justify left -background #ffffe1 -foreground black \
                -font TkDefaultFont -padx 4 -pady 2
            pack $tip.text
        }
        $tip.text configure -text $TipText -wraplength [expr {min(480, [winfo screenwidth $Path] / 2)}]
        lassign [winfo pointerxy $Path] x y
        update idletasks
        set x [expr {max(0, min($x + 12, [winfo screenwidth $Path] - [winfo reqwidth $tip]))}]
        set y [expr {$y + 18}]
        if {$y + [winfo reqheight $tip] > [winfo screenheight $Path]} {
            set y [expr {$y - 24 - [winfo reqheight $tip]}]
        }
        wm geometry $tip +$x+$y
        wm deiconify $tip
        raise $tip
    }

    method HideTip {} {
        after cancel $TipAfter
        set TipAfter ""
        if {[winfo exists $Path.tip]} {
            wm withdraw $Path.tip
        }
    }

    # --- Completion ------------------------------------------------------

    # What may be inserted at index (by default the cursor), in the order
    # shown: each text takes the place of the word being typed there.
    method completions {{index insert}} {
        lindex [my Candidates [my Offset $index]] 1
    }

    # {start texts classes} at character offset at: the start of the word
    # being typed before it (letters, digits and underscores that start
    # with a letter), the texts that may replace it, and what else may come
    # there that is no text to insert ("a number").
    method Candidates {at} {
        set text [my get]
        set before [string range $text 0 [expr {$at - 1}]]
        set word ""
        regexp {[A-Za-z][A-Za-z0-9_]*$} $before word
        set start [expr {$at - [string length $word]}]
        set texts {}
        set classes {}
        # Names and words that go on with the word typed.
        if {$word ne ""} {
            foreach entry [my Next [string range $text 0 [expr {$start - 1}]]] {
                foreach choice [my Choices $entry] {
                    if {[string match [my Pattern $word]* $choice] && $choice ne $word} {
                        lappend texts $choice
                    }
                }
            }
        }
        # What may follow the text as it stands, after a blank where it
        # would run into the word before.
        set wordy [regexp {[A-Za-z0-9_]$} $before]
        foreach entry [my Next $before] {
            set choices [my Choices $entry]
            if {![llength $choices] || $entry eq "a name"} {
                lappend classes $entry
            }
            foreach choice $choices {
                set blank [expr {$wordy && [regexp {^[A-Za-z0-9_]} $choice] ? " " : ""}]
                lappend texts $word$blank$choice
            }
        }
        list $start [::tessel::tk::Unique $texts] $classes
    }

    # The entries of `expecting` when text is a correct beginning cut after
    # a whole token, so that they may come at its end; else none. The place
    # of such a text is empty, after its last token; or it is a comment that
    # the package points at (one that may have swallowed what was meant),
    # which is skipped like a blank. It is not when the text ends within a
    # token (an unfinished word) or inside a quoted text left open, which
    # its own delimiter closes.
    method Next {text} {
        set d [my Stop $text]
        if {![dict size $d] || ![dict get $d incomplete]} {
            return {}
        }
        set start [dict get $d start]
        set end [dict get $d end]
        if {$start != $end} {
            if {$end >= [string length $text]} {
                return {}
            }
            set closed [my Stop $text[string range $text $start [expr {$end - 1}]]]
            if {![dict size $closed] || [dict get $closed start] != $start} {
                return {}
            }
        }
        dict get $d expecting
    }

    # The diagnostic of text (empty when it is valid).
    method Stop {text} {
        if {[catch {tessel::translate -trace 0 $Options(-kind) $text} result]} {
            return {}
        }
        dict get $result diagnostic
    }

    # The texts an entry of `expecting` stands for: a fixed text without its
    # backquotes, the -names for "a name", nothing for another class.
    method Choices {entry} {
        if {[string length $entry] > 2 && [string index $entry 0] eq "`" && [string index $entry end] eq "`"} {
            return [list [string range $entry 1 end-1]]
        }
        if {$entry eq "a name"} {
            return $Options(-names)
        }
        return {}
    }

    method Pattern {text} {
        string map {* \\* ? \\? [ \\[ \\ \\\\} $text
    }

    # Opens the list of completions at the cursor (or updates it); returns
    # the texts it shows.
    method complete {} {
        my OpenList 1
    }

    # Opens or updates the list; when nothing may come, closes it, with the
    # bell if asked (a key asked for it, not typing that narrowed it).
    method OpenList {bell} {
        my Settle
        lassign [my Candidates [my Offset insert]] start texts classes
        if {$Options(-state) ne "normal" || (![llength $texts] && ![llength $classes])} {
            my CloseList
            if {$bell && $Options(-state) eq "normal"} {
                bell -displayof $Path
            }
            return {}
        }
        set popup $Path.list
        if {![winfo exists $popup]} {
            toplevel $popup -class TesselList -borderwidth 1 -background #7f7f7f
            wm overrideredirect $popup 1
            wm withdraw $popup
            listbox $popup.choices -activestyle none -exportselection 0 -borderwidth 0 -takefocus 0 \
                -highlightthickness 0 -yscrollcommand [list $popup.bar set]
            scrollbar $popup.bar -orient vertical -command [list $popup.choices yview]
            label $popup.more -anchor w -justify left -font TkDefaultFont -padx 3
            grid $popup.choices $popup.bar -sticky nsew
            grid $popup.more -columnspan 2 -sticky we
            grid columnconfigure $popup 0 -weight 1
            # A click takes the choice under the pointer; the text keeps the
            # focus (the list's own bindings would take it, and close the list).
            bind $popup.choices <ButtonPress-1> break
            bind $popup.choices <ButtonRelease-1> [list [namespace which my] Click %y]
        }
        $popup.choices configure -font $Options(-font) -foreground [$Inner cget -foreground] \
            -background [$Inner cget -background] -height [expr {min(8, max(1, [llength $texts]))}] \
            -width [expr {max(8, [tcl::mathfunc::max 0 {*}[lmap t $texts {string length $t}]] + 1)}]
        $popup.choices delete 0 end
        $popup.choices insert end {*}$texts
        if {[llength $texts]} {
            $popup.choices selection set 0
            $popup.choices see 0
            grid $popup.choices
        } else {
            grid remove $popup.choices
        }
        if {[llength $texts] > 8} {
            grid $popup.bar
        } else {
            grid remove $popup.bar
        }
        if {[llength $classes]} {
            $popup.more configure -text [expr {[llength $texts] ? "or " : ""}][::tessel::tk::Readable $classes] \
                -foreground $Options(-hintcolor) -background [$Inner cget -background]
            grid $popup.more
        } else {
            grid remove $popup.more
        }
        set List [list $start $texts]
        # Below the word being completed, on the screen.
        $Inner see insert
        set box [$Inner bbox "1.0 + $start chars"]
        if {![llength $box]} {
            set box [$Inner bbox insert]
        }
        lassign $box x y - height
        update idletasks
        set x [expr {[winfo rootx $Text] + $x - 4}]
        set y [expr {[winfo rooty $Text] + $y + $height + 2}]
        set x [expr {max(0, min($x, [winfo screenwidth $Path] - [winfo reqwidth $popup]))}]
        if {$y + [winfo reqheight $popup] > [winfo screenheight $Path]} {
            set y [expr {$y - $height - 4 - [winfo reqheight $popup]}]
        }
        wm geometry $popup +$x+$y
        wm deiconify $popup
        raise $popup
        return $texts
    }

    method CompleteKey {} {
        my complete
        return 1
    }

    method CloseList {} {
        set List {}
        if {[winfo exists $Path.list]} {
            wm withdraw $Path.list
        }
        return 0
    }

    method Click {y} {
        set box $Path.list.choices
        $box selection clear 0 end
        $box selection set [$box nearest $y]
        my Pick
    }

    # Puts the selected completion in place of the word it completes.
    method Pick {} {
        if {![llength $List]} {
            return 0
        }
        lassign $List start texts
        set chosen [$Path.list.choices curselection]
        my CloseList
        if {![llength $chosen]} {
            return 1
        }
        my Insert $start [lindex $texts [lindex $chosen 0]]
        return 1
    }

    # Puts text in place of the word from start to the cursor: one step to
    # undo.
    method Insert {start text} {
        set word [$Inner get "1.0 + $start chars" insert]
        $Inner configure -autoseparators 0
        $Inner edit separator
        if {[string first $word $text] == 0} {
            $Inner insert insert [string range $text [string length $word] end]
        } else {
            $Inner delete "1.0 + $start chars" insert
            $Inner insert "1.0 + $start chars" $text
        }
        $Inner edit separator
        $Inner configure -autoseparators 1
        $Inner see insert
        my Changed
    }

    # Keys that act on the list while it is open: close, pick, or move the
    # selection by a step.
    method ListKey {what} {
        if {![llength $List]} {
            return 0
        }
        switch -- $what {
            close {return [expr {[my CloseList] || 1}]}
            pick {return [my Pick]}
        }
        set box $Path.list.choices
        set size [$box size]
        if {!$size} {
            return 1
        }
        set at [lindex [$box curselection] 0]
        set at [expr {max(0, min($size - 1, ($at eq "" ? -1 : $at) + $what))}]
        $box selection clear 0 end
        $box selection set $at
        $box see $at
        return 1
    }

    # Tab: picks from an open list; completes when there is one choice;
    # else moves the focus on, as in any entry.
    method TabKey {} {
        if {[llength $List]} {
            return [my Pick]
        }
        if {$Options(-state) eq "normal"} {
            lassign [my Candidates [my Offset insert]] start texts
            if {[llength $texts] == 1} {
                my Insert $start [lindex $texts 0]
                return 1
            }
        }
        tk::TabToWindow [tk_focusNext $Text]
        return 1
    }

    method BackTabKey {} {
        my CloseList
        tk::TabToWindow [tk_focusPrev $Text]
        return 1
    }
}

