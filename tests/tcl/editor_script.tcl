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
source [file join [file dirname [info script]] lib.tcl]
set work [exec mktemp -d /tmp/editor-script.XXXXXX]
cd $work
set evaluated 0

# Evaluates what chan delivers; returns {variables calls errors}.
proc evaluate {chan translation} {
    if {$translation eq "binary"} {
        fconfigure $chan -translation binary
    } else {
        fconfigure $chan -encoding iso8859-1
    }
    set lines {}
    while {[gets $chan line] >= 0} {
        lappend lines $line
    }
    catch {close $chan}
    return [evaluate_lines $lines]
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
        check_state "$name ($translation)" [normalised [expected_state $commands] $translation] \
            [list $variables $calls]
    }
}

# Every golden case and example of the three programs.
foreach kind {pure21 valued21 decl} {
    foreach dir [golden_dirs $top $kind] {
        set name [case_name $dir]
        if {[program_only $dir]} {
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

set n 0
foreach {kind text want} [made_texts] {
    set file made[incr n]
    set f [open $file wb]
    puts -nonewline $f $text
    close $f
    set commands [recorded_commands $kind $file]
    check_made_values "made text $n ($kind)" $commands $want
    check_run "made text $n ($kind)" $kind $file $commands
}
if {[file exists HACKED]} {
    fail "a label ran a command"
}

cd /
file delete -force $work
finish "$evaluated outputs evaluated ([expr {$evaluated / 2}] texts, each read both ways)"
