# Shared by the Tcl tests (sourced): failures, the editor's interpreter and
# its script evaluated as the editor does, the state that command lines give,
# golden cases, and texts made to try the escaping.

set failures 0

proc fail {message} {
    global failures
    incr failures
    puts "FAIL: $message"
}

# Prints the summary and exits: 1 after any failure.
proc finish {summary} {
    global failures
    puts $summary
    if {$failures} {
        puts "$failures check(s) failed"
        exit 1
    }
    puts "all checks passed"
    exit 0
}

proc show {text} {
    string range [string map [list "\n" "\\n" "\r" "\\r" "\0" "\\0"] $text] 0 300
}

proc read_bytes {file} {
    if {![file exists $file]} {
        return ""
    }
    set f [open $file rb]
    set bytes [read $f]
    close $f
    return $bytes
}

# The golden cases and examples of kind under top, sorted; those with `args`
# or `program` are about the program's options and files.
proc golden_dirs {top kind} {
    lsort [concat [glob -nocomplain -type d $top/tests/golden/$kind/*] \
                  [glob -nocomplain -type d $top/examples/$kind/*]]
}

proc program_only {dir} {
    expr {[file exists $dir/args] || [file exists $dir/program]}
}

proc case_name {dir} {
    return [file tail [file dirname $dir]]/[file tail $dir]
}

proc record {args} {
    global calls
    lappend calls $args
    return
}

# The editor: what it can do, and nothing else.
proc editor {} {
    set child [interp create -safe]
    foreach command [$child eval {info commands}] {
        if {$command ni {set break}} {
            $child hide $command
        }
    }
    $child alias addElement record addElement
    $child alias errorReport record errorReport
    return $child
}

# The global variables of child, by name: those it was made with left out.
proc editor_variables {child} {
    set info [expr {"info" in [interp hidden $child] ? [list interp invokehidden $child info] : [list interp eval $child info]}]
    set variables {}
    foreach name [lsort [{*}$info vars]] {
        if {$name ni {tcl_interactive tcl_version tcl_patchLevel tcl_platform errorCode errorInfo}} {
            dict set variables $name [interp eval $child [list set $name]]
        }
    }
    return $variables
}

# Evaluates lines as the editor does, joining them until `info complete`:
# returns {variables calls errors}.
proc evaluate_lines {lines} {
    global calls
    set calls {}
    set child [editor]
    set buffer ""
    set errors {}
    foreach line $lines {
        append buffer $line "\n"
        if {![info complete $buffer]} {
            continue
        }
        set code [catch {interp eval $child $buffer} message]
        if {$code == 3} {
            lappend calls break
        } elseif {$code != 0} {
            lappend errors $message
        }
        set buffer ""
    }
    if {$buffer ne ""} {
        lappend errors "an incomplete command at the end: $buffer"
    }
    set variables [editor_variables $child]
    interp delete $child
    return [list $variables $calls $errors]
}

# What evaluating the commands gives: {variables calls}.
proc expected_state {commands} {
    set variables {}
    set calls {}
    foreach command $commands {
        if {[lindex $command 0] eq "set"} {
            dict set variables [lindex $command 1] [lindex $command 2]
        } else {
            lappend calls $command
        }
    }
    return [list $variables $calls]
}

# Texts made to try the escaping: kind, text, and the values to expect (the
# variables, or the error report) as the translators build them.
proc made_texts {} {
    list \
        pure21 ";a;`x\[3\]=1`." [list effect "{`x\[3\]=1`}"] \
        pure21 ";a;`\[exec touch HACKED\]`." [list effect "{`\[exec touch HACKED\]`}"] \
        pure21 ";a;`\"q\" \$v \\n {}`,b." [list effect "{`\"q\" \$v \\n {}`} b"] \
        pure21 ";a;`line one\nline \[two\]\n`." [list effect "{`line one\nline \[two\]\n`}"] \
        pure21 ";a;`ends in \\\nnext`." [list effect "{`ends in \\\nnext`}"] \
        pure21 ";a;`two \\\\\n`." [list effect "{`two \\\\\n`}"] \
        pure21 ";a;`last\\`." [list effect "{`last\\`}"] \
        pure21 ";a;`cr\r\nlf`." [list effect "{`cr\r\nlf`}"] \
        pure21 ";a;`\nset trigger pwned\n`." [list effect "{`\nset trigger pwned\n`}" trigger a] \
        valued21 ";;;`printf(\"%d\\n\", \$v)`." [list effect "{`printf(\"%d\\n\",~\$v)`}"] \
        valued21 ";tick;!a\[1\] \$b \"c\" \\d!;e." [list cond "!a\[1\]~\$b~\"c\"~\\d!"] \
        valued21 ";tick;f(!x\ny!);`\]\\\n\[`." [list cond "f(!x\ny!)" effect "{`\]\\\n\[`}"] \
        valued21 ";;;`\\`." [list effect "{`\\`}"] \
        decl "\"" [list errorReport "Bad keyword: \""] \
        decl "\\" [list errorReport "Bad keyword: \\"] \
        decl "\[" [list errorReport "Bad keyword: \["] \
        decl "\$x;" [list errorReport "Bad keyword: \$"] \
        decl "\]" [list errorReport "Bad keyword: \]"]
}

# Checks that the commands hold the values wanted ({name value ...}, or
# errorReport MESSAGE) for a made text.
proc check_made_values {name commands want} {
    lassign [expected_state $commands] variables calls
    dict for {key value} $want {
        if {$key eq "errorReport"} {
            if {[list errorReport $value] ni $calls} {
                fail "$name: no error report [show $value] in [show $calls]"
            }
        } elseif {![dict exists $variables $key] || [dict get $variables $key] ne $value} {
            fail "$name: $key is not [show $value] but [show [expr {[dict exists $variables $key] ? [dict get $variables $key] : {(unset)}}]]"
        }
    }
}

# Checks that the state reached ({variables calls}) is the one wanted.
proc check_state {name want got} {
    lassign $want want_variables want_calls
    lassign $got got_variables got_calls
    set want_variables [dict create {*}[lsort -stride 2 -index 0 $want_variables]]
    set got_variables [dict create {*}[lsort -stride 2 -index 0 $got_variables]]
    if {$got_variables ne $want_variables} {
        fail "$name: variables\n  expected [show $want_variables]\n  got      [show $got_variables]"
    }
    if {$got_calls ne $want_calls} {
        fail "$name: calls\n  expected [show $want_calls]\n  got      [show $got_calls]"
    }
}

# A diagnostic as the golden cases keep it (their file "diagnostic"), from
# the package's dict of one ("" for the empty dict of a success): a line per
# field, the found bytes escaped.
proc diagnostic_text {d} {
    if {![dict size $d]} {
        return ""
    }
    set found ""
    binary scan [dict get $d found] cu* bytes
    foreach c $bytes {
        switch -- $c {
            92 {append found "\\\\"}
            10 {append found "\\n"}
            13 {append found "\\r"}
            9 {append found "\\t"}
            default {
                append found [expr {$c < 32 || $c > 126 ? [format "\\x%02x" $c] : [format %c $c]}]
            }
        }
    }
    set text ""
    foreach key {offset length line column} {
        append text "$key [dict get $d $key]\n"
    }
    append text "found $found\nexpected"
    foreach name [dict get $d expected] {
        append text " $name"
    }
    append text "\nexpecting"
    if {[llength [dict get $d expecting]]} {
        append text " [join [dict get $d expecting] {, }]"
    }
    append text "\ncode [dict get $d code]\nincomplete [expr {[dict get $d incomplete] ? "yes" : "no"}]"
    if {[dict get $d rule] ne ""} {
        append text "\nrule [dict get $d rule]"
    }
    return "$text\nmessage [dict get $d message]\n"
}

proc batch_diagnostic_text {part} {
    if {$part eq ""} {
        return ""
    }
    set lines [split $part "\n"]
    lassign [lindex $lines 0] offset length line column found_size message_size
    set expected [split [lindex $lines 1] " "]
    lassign [split [lindex $lines 2] " "] code incomplete rule
    set expecting [split [lindex $lines 3] "\t"]
    set at [string length [join [lrange $lines 0 3] "\n"]\n]
    set found [string range $part $at [expr {$at + $found_size - 1}]]
    set message [string range $part [expr {$at + $found_size}] end]
    if {[string length $message] != $message_size} {
        fail "diagnostic part: message of [string length $message] bytes, announced $message_size"
    }
    diagnostic_text [dict create offset $offset length $length line $line column $column found $found \
                         expected [expr {$expected eq {""} ? {} : $expected}] \
                         expecting [expr {$expecting eq {""} ? {} : $expecting}] code $code incomplete $incomplete \
                         rule [expr {$rule eq "-" ? "" : $rule}] message [encoding convertfrom utf-8 $message]]
}

# What a translation without trace writes: the script without its "#debug:"
# records (each ends at the first newline that does not follow an odd number
# of backslashes), and ic3's trace file with only its "addElement lvariable"
# lines.
proc without_records {script} {
    set kept ""
    set at 0
    set size [string length $script]
    while {$at < $size} {
        if {[string range $script $at [expr {$at + 6}]] eq "#debug:"} {
            set backslashes 0
            for {set end $at} {$end < $size} {incr end} {
                set c [string index $script $end]
                if {$c eq "\n" && $backslashes % 2 == 0} {
                    break
                }
                set backslashes [expr {$c eq "\\" ? $backslashes + 1 : 0}]
            }
            set at [expr {$end + 1}]
            continue
        }
        set end [string first "\n" $script $at]
        set end [expr {$end < 0 ? $size : $end + 1}]
        append kept [string range $script $at [expr {$end - 1}]]
        set at $end
    }
    return $kept
}

proc variable_lines {trace} {
    set kept ""
    foreach line [split $trace "\n"] {
        if {[string match "addElement lvariable *" $line]} {
            append kept $line\n
        }
    }
    return $kept
}
