# The label and declaration translators' output, evaluated by Tcl as the
# editor does: read the pipe line by line, join lines until `info complete`,
# evaluate, in a safe interpreter where every command is hidden but `set` and
# `break`, and `addElement` and `errorReport` are recorders. Any other command
# is an error. Each text is read both ways (-translation binary, and Tcl's
# default, where a carriage return ends a line too).
#
# What Tcl holds afterwards (variables, list calls in order, error reports,
# break) must be the values the translation built, as the library records
# them unescaped, and for the texts made for this test, as written here.
#
#   tclsh editor_script.tcl BIN_DIR SCRIPT_COMMANDS SOURCE_DIR

lassign $argv bin helper top
set work [exec mktemp -d /tmp/editor-script.XXXXXX]
cd $work
set failures 0
set evaluated 0

proc fail {message} {
    global failures
    incr failures
    puts "FAIL: $message"
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

# Evaluates what chan delivers; returns {variables calls errors}.
proc evaluate {chan translation} {
    global calls
    set calls {}
    if {$translation eq "binary"} {
        fconfigure $chan -translation binary
    } else {
        fconfigure $chan -encoding iso8859-1
    }
    set child [editor]
    set buffer ""
    set errors {}
    while {[gets $chan line] >= 0} {
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
    catch {close $chan}
    set variables {}
    foreach name [lsort [interp invokehidden $child info vars]] {
        if {$name ni {tcl_interactive tcl_version tcl_patchLevel tcl_platform errorCode errorInfo}} {
            dict set variables $name [interp eval $child [list set $name]]
        }
    }
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
    return [list [dict create {*}[lsort -stride 2 -index 0 $variables]] $calls]
}

# The library's commands for a text.
proc recorded_commands {kind file} {
    global helper
    set commands {}
    foreach line [split [exec $helper $kind < $file] "\n"] {
        if {$line eq ""} continue
        set command {}
        foreach word $line {
            lappend command [binary decode hex $word]
        }
        lappend commands $command
    }
    return $commands
}

# What a channel with Tcl's default translation makes of a text.
proc as_read {text translation} {
    if {$translation eq "binary"} {
        return $text
    }
    return [string map [list "\r\n" "\n" "\r" "\n"] $text]
}

proc normalised {state translation} {
    lassign $state variables calls
    set v {}
    dict for {name value} $variables {
        dict set v $name [as_read $value $translation]
    }
    set c {}
    foreach call $calls {
        set words {}
        foreach word $call {
            lappend words [as_read $word $translation]
        }
        lappend c $words
    }
    return [list $v $c]
}

proc show {text} {
    string range [string map [list "\n" "\\n" "\r" "\\r" "\0" "\\0"] $text] 0 300
}

# Runs the program on file through a pipe and checks the state reached with
# each translation. commands: what the translation built; null: only check
# that nothing but the known commands ran.
proc check_run {name kind file commands {pipe 1}} {
    global bin evaluated
    foreach translation {binary auto} {
        if {$pipe} {
            set chan [open |[list $bin/$kind-translator < $file 2> /dev/null] r]
        } else {
            set chan [open $file r]
        }
        lassign [evaluate $chan $translation] variables calls errors
        incr evaluated
        if {[llength $errors]} {
            fail "$name ($translation): [show [join $errors {; }]]"
            continue
        }
        foreach call $calls {
            if {[lindex $call 0] ni {addElement errorReport break}} {
                fail "$name ($translation): unexpected call $call"
            }
        }
        if {$commands eq "null"} continue
        lassign [normalised [expected_state $commands] $translation] want_variables want_calls
        set got_variables [dict create {*}[lsort -stride 2 -index 0 $variables]]
        if {$got_variables ne $want_variables} {
            fail "$name ($translation): variables\n  expected [show $want_variables]\n  got      [show $got_variables]"
        }
        if {$calls ne $want_calls} {
            fail "$name ($translation): calls\n  expected [show $want_calls]\n  got      [show $calls]"
        }
    }
}

# Every golden case and example of the three programs.
foreach kind {pure21 valued21 decl} {
    foreach dir [lsort [concat [glob -nocomplain -type d $top/tests/golden/$kind/*] \
                               [glob -nocomplain -type d $top/examples/$kind/*]]] {
        set name [file tail [file dirname $dir]]/[file tail $dir]
        if {[file exists $dir/args] || [file exists $dir/program]} {
            # Options and files of the program: its recorded output.
            if {[file exists $dir/stdout]} {
                check_run $name $kind $dir/stdout null 0
            }
            continue
        }
        set input $dir/stdin
        if {![file exists $input]} {
            set input /dev/null
        }
        check_run $name $kind $input [recorded_commands $kind $input]
    }
}

# Texts made for this test: kind, text, and the values to expect (the
# variables, or the error report) as the translators build them.
set made [list \
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
    decl "\]" [list errorReport "Bad keyword: \]"] \
]
set n 0
foreach {kind text want} $made {
    set file made[incr n]
    set f [open $file wb]
    puts -nonewline $f $text
    close $f
    set commands [recorded_commands $kind $file]
    # The library's values are the ones written here.
    lassign [expected_state $commands] variables calls
    dict for {name value} $want {
        if {$name eq "errorReport"} {
            if {[list errorReport $value] ni $calls} {
                fail "made text $n ($kind): no error report [show $value] in [show $calls]"
            }
        } elseif {![dict exists $variables $name] || [dict get $variables $name] ne $value} {
            fail "made text $n ($kind): $name is not [show $value] but [show [dict get $variables $name]]"
        }
    }
    check_run "made text $n ($kind)" $kind $file $commands
}
if {[file exists HACKED]} {
    fail "a label ran a command"
}

cd /
file delete -force $work
puts "$evaluated outputs evaluated ([expr {$evaluated / 2}] texts, each read both ways)"
if {$failures} {
    puts "$failures check(s) failed"
    exit 1
}
puts "all checks passed"
