# tessel-batch as its users drive it: a whole set of texts in one stream (the
# golden cases, with one thread and with two), malformed streams, a
# coprocess that keeps its pipe open, and the documented Tcl example.
#
#   tclsh batch.tcl BIN_DIR SOURCE_DIR

lassign $argv bin top
source [file join [file dirname [info script]] lib.tcl]
set batch $bin/tessel-batch
set work [exec mktemp -d /tmp/batch-test.XXXXXX]
cd $work

proc expect_eq {what expected actual} {
    if {$expected ne $actual} {
        fail "$what\n  expected [show $expected]\n  got      [show $actual]"
    }
}

# Runs tessel-batch on stream; returns {status output}.
proc run_batch {stream args} {
    global batch
    set f [open stream wb]
    puts -nonewline $f $stream
    close $f
    set chan [open |[list $batch {*}$args < stream 2> stderr] rb]
    set output [read $chan]
    set status 0
    if {[catch {close $chan} message options]} {
        set status [lindex [dict get $options -errorcode] 2]
    }
    return [list $status $output]
}

# Splits a batch's output into responses: {status offset out err trace}
# (and the diagnostic, with -d), or {error MESSAGE}.
proc responses {output} {
    set at 0
    set list {}
    while {$at < [string length $output]} {
        set end [string first "\n" $output $at]
        if {$end < 0} {
            lappend list [list partial [string range $output $at end]]
            break
        }
        set header [string range $output $at [expr {$end - 1}]]
        set at [expr {$end + 1}]
        if {[string match "error *" $header]} {
            lappend list [list error [string range $header 6 end]]
            continue
        }
        set parts {}
        lassign $header status offset
        foreach size [lrange $header 2 end] {
            lappend parts [string range $output $at [expr {$at + $size - 1}]]
            incr at $size
        }
        if {[string index $output $at] ne "\n"} {
            fail "response [llength $list] does not end with a newline"
        }
        incr at
        lappend list [list $status $offset {*}$parts]
    }
    return $list
}

proc request {kind text} {
    return "$kind [string length $text]\n$text"
}

# Every golden case and example that a text alone decides, in one stream.
set cases {}
foreach kind [split [string trim [exec $batch --kinds]] \n] {
    foreach dir [golden_dirs $top $kind] {
        if {[program_only $dir]} {
            continue
        }
        set status [string trim [read_bytes $dir/status]]
        if {$status eq ""} {
            set status 0
        }
        set trace_known [expr {$kind ne "ic3" || [file exists $dir/files/log]}]
        lappend cases [list $dir $kind [read_bytes $dir/stdin] [read_bytes $dir/stdout] \
                           [read_bytes $dir/stderr] $status $trace_known [read_bytes $dir/files/log] \
                           [encoding convertfrom utf-8 [read_bytes $dir/diagnostic]]]
    }
}
set stream ""
foreach c $cases {
    append stream [request [lindex $c 1] [lindex $c 2]]
}
lassign [run_batch $stream] status one_thread
expect_eq "golden stream: exit status" 0 $status
set got [responses $one_thread]
expect_eq "golden stream: number of responses" [llength $cases] [llength $got]
lassign [run_batch $stream -d] status diagnosed
expect_eq "golden stream with diagnostics: exit status" 0 $status
lassign [run_batch $stream --no-trace] status untraced
expect_eq "golden stream without trace: exit status" 0 $status
foreach c $cases r $got d [responses $diagnosed] u [responses $untraced] {
    lassign $c dir kind text out err want_status trace_known trace diagnostic
    set name [case_name $dir]
    expect_eq "$name: the answer with its diagnostic" $r [lrange $d 0 end-1]
    expect_eq "$name: diagnostic" $diagnostic [batch_diagnostic_text [lindex $d end]]
    expect_eq "$name: stdout without trace" [without_records [lindex $r 2]] [lindex $u 2]
    if {$trace_known} {
        expect_eq "$name: trace file without trace" [expr {$kind eq "ic3" ? [variable_lines $trace] : ""}] [lindex $u 4]
    }
    lassign $r status offset got_out got_err got_trace
    expect_eq "$name: status" $want_status $status
    expect_eq "$name: stdout" $out $got_out
    expect_eq "$name: stderr" $err $got_err
    if {$trace_known} {
        expect_eq "$name: trace file" $trace $got_trace
    }
    if {($status == 0) != ($offset == -1) || $offset > [string length $text]} {
        fail "$name: error offset $offset with status $status"
    }
}
# Read from a file, the stream never makes the reader wait: with twenty
# times as many texts, more groups are pending than the two threads' window
# holds, and answers go out while reading goes on, still all of them, in
# order.
lassign [run_batch [string repeat $stream 20] -j 2] status twenty_times
expect_eq "golden stream twenty times, two threads: exit status" 0 $status
if {[string repeat $one_thread 20] ne $twenty_times} {
    fail "golden stream twenty times: two threads answer differently from one"
}
lassign [run_batch $stream -j 2] status two_threads
expect_eq "golden stream, two threads: exit status" 0 $status
if {$one_thread ne $two_threads} {
    fail "golden stream: two threads answer differently from one"
}

# Streams that are not well formed, and texts that fail: what is answered,
# and how the batch ends.
set ok [request pure21 ";;."]
lassign [run_batch $ok] status ok_response
set too_long [string repeat a 20000]
set malformed [list \
    "" {} 0 \
    "pure21 0\n" {{1 0 {set loutput ""
set linterf ""
set lfunc   ""
} {Tessel intermediate code (Pure21) Parser:syntax error} {}}} 0 \
    "$ok[request bogus xx]$ok" [list ok {error {unknown kind bogus}} ok] 0 \
    "[request pure21 ";$too_long;."]$ok" [list \
        {2 1 {set loutput ""
set linterf ""
set lfunc   ""
} {input buffer overflow, can't enlarge buffer because scanner uses REJECT
} {}} ok] 0 \
    "[request pure21 ";[string repeat ( 20000000]"]$ok" [list \
        {1 19999997 {set loutput ""
set linterf ""
set lfunc   ""
} {Tessel intermediate code (Pure21) Parser:parser stack overflow} {}} ok] 0 \
    "${ok}pure21 -3\n;;." [list ok {error {malformed header "pure21 -3" (expected "<kind> <size>")}}] 2 \
    "pure21 99999999999\n" {{error {size 99999999999 larger than 1073741824}}} 2 \
    "pure21 1073741825\n" {{error {size 1073741825 larger than 1073741824}}} 2 \
    "pure21 0001073741824\n;;." {{error {text cut short by the end of input: 3 of 0001073741824 bytes}}} 2 \
    "${ok}pure21 10\n;;." [list ok {error {text cut short by the end of input: 3 of 10 bytes}}] 2 \
    "${ok}pure21" [list ok {error {header cut short by the end of input: "pure21"}}] 2 \
    "\n$ok" {{error {malformed header "" (expected "<kind> <size>")}}} 2 \
    "pure21 3 \n;;." {{error {malformed header "pure21 3 " (expected "<kind> <size>")}}} 2 \
    "pure21  3\n;;." {{error {malformed header "pure21  3" (expected "<kind> <size>")}}} 2 \
    "[string repeat x 100] 3\n;;." {{error {header line longer than 64 bytes}}} 2 \
]
foreach {stream want want_status} $malformed {
    foreach jobs {1 3} {
        lassign [run_batch $stream -j $jobs] status output
        set what "stream [show [string range $stream 0 40]] (-j $jobs)"
        expect_eq "$what: exit status" $want_status $status
        set expected {}
        foreach w $want {
            lappend expected [expr {$w eq "ok" ? [lindex [responses $ok_response] 0] : $w}]
        }
        expect_eq "$what: responses" $expected [responses $output]
    }
}

# Options.
foreach help {-h --help} {
    lassign [run_batch "" $help] status output
    expect_eq "$help: status" 0 $status
    if {![string match "Usage: tessel-batch*" $output]} {
        fail "$help: no usage text"
    }
}
lassign [run_batch "" --kinds] status output
expect_eq "--kinds: status" 0 $status
expect_eq "--kinds: the kinds, one a line" {pure21 valued21 decl ic3} [lrange [split $output \n] 0 3]
expect_eq "--kinds: every line ended" "\n" [string index $output end]
# What one text may cost, at the edges: its output (--max-output; 0: no
# limit) and the parser's stack (--max-depth).
set size [string length [lindex [responses $ok_response] 0 2]]
set deep [request pure21 ";[string repeat ( 1000]a[string repeat ) 1000];b."]
foreach {stream options want} [list \
    $ok "--max-output $size" 0 \
    $ok "--max-output [expr {$size - 1}]" 2 \
    $ok "--max-output 0" 0 \
    $deep "--max-depth 1000" 1 \
    $deep "--max-depth 1100" 0 \
    $deep "" 0 \
] {
    lassign [run_batch $stream {*}$options] status output
    expect_eq "$options: exit status" 0 $status
    expect_eq "$options: the text's status" $want [lindex [responses $output] 0 0]
}
# A bad option: status 2, nothing answered, and the complaint, which names
# the option and what it takes, before the usage text.
foreach {bad complaint} {
    {-x} {unknown option -x}
    {-j 0} {-j takes a number of threads from 1 to 256}
    {-j 2x} {-j takes a number of threads from 1 to 256}
    {-j} {-j needs a value: a number of threads from 1 to 256}
    {extra} {unexpected argument extra}
    {--max-output x} {--max-output takes a number of bytes (0: no limit)}
    {--max-output -1} {--max-output takes a number of bytes (0: no limit)}
    {--max-output} {--max-output needs a value: a number of bytes (0: no limit)}
    {--max-depth 199} {--max-depth takes a number of entries from 200}
    {--max-depth} {--max-depth needs a value: a number of entries from 200}
    {--kinds=all} {--kinds takes no value}
    {--no-trace=1} {--no-trace takes no value}
    {--bogus} {unknown option --bogus}
    "-\x01" {unknown option character \x01}
} {
    lassign [run_batch $ok {*}$bad] status output
    expect_eq "$bad: status" 2 $status
    expect_eq "$bad: nothing answered" "" $output
    expect_eq "$bad: the complaint" "tessel-batch: $complaint" [lindex [split [read_bytes stderr] \n] 0]
}

# A coprocess: each answer arrives while the writer keeps the pipe open.
proc answer_within {chan seconds} {
    global answer
    set answer ""
    fileevent $chan readable [list apply {{chan} {
        global answer
        append answer [read $chan]
        if {[string index $answer end] eq "\n" && [llength [responses $answer]] > 0} {
            set ::done 1
        }
    }} $chan]
    set timer [after [expr {$seconds * 1000}] {set ::done timeout}]
    vwait ::done
    after cancel $timer
    fileevent $chan readable {}
    return [expr {$::done eq "timeout" ? "" : $answer}]
}
foreach jobs {1 2} {
    set chan [open |[list $batch -j $jobs] r+]
    fconfigure $chan -translation binary -buffering none -blocking 0
    foreach text {";a;b." ";;."} {
        puts -nonewline $chan [request pure21 $text]
        flush $chan
        set answer [answer_within $chan 5]
        if {$answer eq ""} {
            fail "coprocess (-j $jobs): no answer to [show $text] while the pipe is open"
        } else {
            expect_eq "coprocess (-j $jobs): status" 0 [lindex [responses $answer] 0 0]
        }
    }
    close $chan
}

# The Tcl example of the integration guide, run as it stands.
set guide [read_bytes $top/docs/integration.md]
set from [string first "### From an editor: a coprocess" $guide]
regexp -start $from {```tcl\n(.*?)```.*?```text\n(.*?)```} $guide -> example expected
set f [open example.tcl w]
puts -nonewline $f $example
close $f
set env(PATH) "$bin:$env(PATH)"
if {[catch {exec timeout 20 [info nameofexecutable] example.tcl} printed]} {
    fail "the guide's coprocess example fails: $printed"
} else {
    expect_eq "the guide's coprocess example" [string trimright $expected "\n"] $printed
}

cd /
file delete -force $work
finish "[llength $cases] golden cases through one batch stream, [expr {[llength $malformed] / 3}] other streams"
