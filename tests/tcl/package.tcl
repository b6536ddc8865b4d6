# The Tcl package tessel, loaded from the build tree as from an install:
#   - every golden case and example of the four kinds, through
#     tessel::translate -binary 1, gives the golden bytes (out, err, trace,
#     status); as a string, the same decoded from UTF-8;
#   - for the label and declaration kinds, the commands applied by the
#     integration guide's applyTranslation in a fresh interpreter give the
#     same variables and list calls as evaluating out as the editor does;
#   - texts are strings (bytes with -binary 1), the diagnostic's start and
#     end are indices of characters, bad calls are errors with their
#     messages, memory too short for a result ends no process, and the
#     package works in safe interpreters, where no text runs a command.
#
#   tclsh package.tcl SOURCE_DIR TCLTK_DIR VERSION EXTENSION_FILE

lassign $argv top tcltk version extension
source [file join [file dirname [info script]] lib.tcl]
set work [file join [expr {[info exists env(TMPDIR)] ? $env(TMPDIR) : "/tmp"}] tcl-package.[pid]]
file mkdir $work
cd $work

lappend auto_path $tcltk
if {[catch {package require tessel} loaded] || $loaded ne $version} {
    fail "package require tessel: $loaded (expected $version)"
    finish "the package does not load"
}

# The guide's applyTranslation, as the guide shows it.
set f [open $top/docs/integration.md r]
set guide [read $f]
close $f
set apply_code ""
foreach {- block} [regexp -all -inline {```tcl\n(.*?)```} $guide] {
    if {[string match "*proc applyTranslation*" $block]} {
        set apply_code $block
    }
}
if {$apply_code eq ""} {
    fail "docs/integration.md shows no applyTranslation"
}

# A fresh interpreter of the editor's: safe, with addElement and errorReport
# recording and applyTranslation defined.
proc applier {} {
    global apply_code
    set child [interp create -safe]
    $child alias addElement record addElement
    $child alias errorReport record errorReport
    $child eval $apply_code
    return $child
}

# What applying the translation's commands in a fresh interpreter gives:
# {variables calls}, calls ending in break for a complete translation.
proc applied_state {translation} {
    global calls
    set calls {}
    set child [applier]
    if {[$child eval [list applyTranslation $translation]]} {
        lappend calls break
    }
    set variables [editor_variables $child]
    interp delete $child
    return [list $variables $calls]
}

# What evaluating out as the editor does gives: {variables calls}.
proc evaluated_state {name out} {
    set lines [split $out "\n"]
    if {[lindex $lines end] eq ""} {
        set lines [lrange $lines 0 end-1]
    }
    lassign [evaluate_lines $lines] variables calls errors
    if {[llength $errors]} {
        fail "$name: evaluating out: [show [join $errors {; }]]"
    }
    return [list $variables $calls]
}

proc check_equal {name expected actual} {
    if {$expected ne $actual} {
        fail "$name\n  expected [show $expected]\n  got      [show $actual]"
    }
}

# A text given as a string (when its bytes are UTF-8) gives what its bytes
# give, as strings, the diagnostic's place counted in characters.
proc check_as_string {name kind bytes binary} {
    set text [encoding convertfrom utf-8 $bytes]
    if {[encoding convertto utf-8 $text] ne $bytes} {
        return
    }
    set r [tessel::translate $kind $text]
    foreach key {status offset} {
        check_equal "$name as a string: $key" [dict get $binary $key] [dict get $r $key]
    }
    foreach key {out err trace} {
        check_equal "$name as a string: $key" [encoding convertfrom utf-8 [dict get $binary $key]] [dict get $r $key]
    }
    set words {}
    foreach command [dict get $binary commands] {
        set line {}
        foreach word $command {
            lappend line [encoding convertfrom utf-8 $word]
        }
        lappend words $line
    }
    check_equal "$name as a string: commands" $words [dict get $r commands]
    set d [dict get $r diagnostic]
    if {[dict size $d]} {
        set b [dict get $binary diagnostic]
        set start [string length [encoding convertfrom utf-8 [string range $bytes 0 [dict get $b offset]-1]]]
        set end [string length [encoding convertfrom utf-8 \
                     [string range $bytes 0 [expr {[dict get $b offset] + [dict get $b length] - 1}]]]]
        check_equal "$name as a string: start" $start [dict get $d start]
        check_equal "$name as a string: end" $end [dict get $d end]
        check_equal "$name as a string: found" [encoding convertfrom utf-8 [dict get $b found]] [dict get $d found]
        dict unset d start
        dict unset d end
        dict unset d found
        dict unset b start
        dict unset b end
        dict unset b found
        check_equal "$name as a string: the rest of the diagnostic" $b $d
    }
}

# 1. Golden cases.
set cases 0
foreach kind [tessel::kinds] {
    foreach dir [golden_dirs $top $kind] {
        if {[program_only $dir]} continue
        incr cases
        set name [case_name $dir]
        set text [read_bytes $dir/stdin]
        set r [tessel::translate -binary 1 $kind $text]
        check_equal "$name: keys" {status offset out err trace commands diagnostic} [dict keys $r]
        check_equal "$name: out" [read_bytes $dir/stdout] [dict get $r out]
        check_equal "$name: err" [read_bytes $dir/stderr] [dict get $r err]
        set status [string trim [read_bytes $dir/status]]
        check_equal "$name: status" [expr {$status eq "" ? 0 : $status}] [dict get $r status]
        if {[file exists $dir/files/log]} {
            check_equal "$name: trace" [read_bytes $dir/files/log] [dict get $r trace]
        } elseif {$kind ne "ic3"} {
            check_equal "$name: trace" "" [dict get $r trace]
        }
        check_equal "$name: diagnostic" [encoding convertfrom utf-8 [read_bytes $dir/diagnostic]] \
            [diagnostic_text [dict get $r diagnostic]]
        check_as_string $name $kind $text $r
        set untraced [tessel::translate -binary 1 -trace 0 $kind $text]
        check_equal "$name: out without trace" [without_records [dict get $r out]] [dict get $untraced out]
        check_equal "$name: trace without trace" \
            [expr {$kind eq "ic3" ? [variable_lines [dict get $r trace]] : ""}] [dict get $untraced trace]
        check_equal "$name: commands without trace" [dict get $r commands] [dict get $untraced commands]
        set offset [dict get $r offset]
        if {[dict get $r status] == 0 ? $offset != -1 : $offset < 0 || $offset > [string length $text]} {
            fail "$name: offset $offset with status [dict get $r status]"
        }
        if {$kind eq "ic3"} {
            check_equal "$name: commands" {} [dict get $r commands]
        } else {
            check_state "$name: commands applied" [evaluated_state $name [dict get $r out]] [applied_state $r]
        }
    }
}

# 2. Texts made to try the escaping: the values as built, and the same state
# both ways.
set n 0
foreach {kind text want} [made_texts] {
    set name "made text [incr n] ($kind)"
    set r [tessel::translate $kind $text]
    check_made_values $name [dict get $r commands] $want
    check_state "$name: commands applied" [evaluated_state $name [dict get $r out]] [applied_state $r]
}
if {[file exists HACKED]} {
    fail "a text ran a command"
}

# The kinds, in the order of the library's.
check_equal "tessel::kinds" {pure21 valued21 decl ic3} [lrange [tessel::kinds] 0 3]

# 3. Bad calls: Tcl errors with their messages and error codes.
set usage {wrong # args: should be "tessel::translate ?-trace bool? ?-maxoutput bytes? ?-maxdepth entries? ?-binary bool? kind text"}
# A kind not in the list: Tcl's own error for a word not in a table of
# them ("bad kind "%s": must be pure21, valued21, decl, or ic3").
catch {tcl::prefix match -message kind -exact [tessel::kinds] %s} bad_kind
foreach {call message code} [list \
    {tessel::translate} $usage {TCL WRONGARGS} \
    {tessel::translate pure21} $usage {TCL WRONGARGS} \
    {tessel::translate pure21 {;;.} more} $usage {TCL WRONGARGS} \
    {tessel::translate -trace pure21 {;;.}} $usage {TCL WRONGARGS} \
    {tessel::translate -depth 3 pure21 {;;.}} {bad option "-depth": must be -trace, -maxoutput, -maxdepth, or -binary} {TCL LOOKUP INDEX option -depth} \
    {tessel::translate -trace maybe pure21 {;;.}} {expected boolean value but got "maybe"} {TCL VALUE NUMBER} \
    {tessel::translate -maxdepth 199 pure21 {;;.}} {tessel::translate: -maxdepth must be at least 200} NONE \
    {tessel::translate -maxoutput -1 pure21 {;;.}} {tessel::translate: -maxoutput must be 0 (no limit) or more} NONE \
    {tessel::translate pure {;;.}} [format $bad_kind pure] {TCL LOOKUP INDEX kind pure} \
    {tessel::translate Pure21 {;;.}} [format $bad_kind Pure21] {TCL LOOKUP INDEX kind Pure21} \
    {tessel::translate {} {;;.}} [format $bad_kind ""] {TCL LOOKUP INDEX kind {}} \
    {tessel::kinds pure21} {wrong # args: should be "tessel::kinds"} {TCL WRONGARGS} \
    [list tessel::translate -binary 1 pure21 ";a;`\u20ac`."] \
        {tessel::translate: the text is not bytes: character U+20AC at index 4 is above U+00FF (give -binary 0 to translate a string)} \
        {TESSEL NOT_BYTES} \
] {
    if {![catch $call result options]} {
        fail "[show $call]: no error"
        continue
    }
    check_equal "[show $call]: message" $message $result
    check_equal "[show $call]: error code" $code [dict get $options -errorcode]
}

# 4. What a translation may cost, at the limits' edges: its output (the
# bytes of out, err and trace; 0 is no limit) and the parser's stack, by
# default a capacity of 100,000 entries.
set r [tessel::translate pure21 {;a;b.}]
set size [string length [dict get $r out]]
check_equal "-maxoutput: exactly the output" $r [tessel::translate -maxoutput $size pure21 {;a;b.}]
check_equal "-maxoutput 0: no limit" $r [tessel::translate -maxoutput 0 pure21 {;a;b.}]
set r [tessel::translate -maxoutput [expr {$size - 1}] pure21 {;a;b.}]
check_equal "-maxoutput: a byte less: status" 2 [dict get $r status]
check_equal "-maxoutput: a byte less: report" "Tessel intermediate code (Pure21) Parser:output limit exceeded" [dict get $r err]
proc nested {levels} {
    return ";[string repeat ( $levels]a[string repeat ) $levels];b."
}
foreach {options levels status} {
    {} 99990 0
    {} 100000 1
    {-maxdepth 100100} 100000 0
    {-maxdepth 1000} 1000 1
} {
    check_equal "nesting $levels deep, [list {*}$options]: status" $status \
        [dict get [tessel::translate -trace 0 {*}$options pure21 [nested $levels]] status]
}

# 5. Texts are strings: their UTF-8 is translated, the results are strings
# (a byte that is not UTF-8 is the character of the same number), the
# diagnostic's start and end count characters. With -binary 1 texts are
# bytes: a pure byte array as it is, a string character by character; a
# character above U+00FF is refused, also from a string that Tcl has
# already turned into a (truncated) byte array.
set emoji [encoding convertfrom utf-8 "\xf0\x9f\x98\x80"]
set label ";a;`x\u20ac${emoji}y`."
set r [tessel::translate pure21 $label]
check_equal "a string: the value" "{`x\u20ac${emoji}y`}" [lindex [dict get $r commands] end-1 2]
check_equal "a string: its bytes" \
    [encoding convertfrom utf-8 [dict get [tessel::translate -binary 1 pure21 [encoding convertto utf-8 $label]] out]] \
    [dict get $r out]
set r [tessel::translate pure21 ";\u00e9t\u00e9 b;c."]
check_equal "a string: the stray byte of the report" "unknown symbol: \u00c3\n" [dict get $r err]
set d [dict get $r diagnostic]
check_equal "a string: the character found" [list 1 2 \u00e9 1 2] \
    [list [dict get $d start] [dict get $d end] [dict get $d found] [dict get $d offset] [dict get $d length]]
set text ";a;`\u65e5\t${emoji}` b."
set d [dict get [tessel::translate pure21 $text] diagnostic]
check_equal "a string: after a wide character, a tab, an emoji" "b 1 13 [string first b $text]" \
    [list [dict get $d found] [dict get $d line] [dict get $d column] [dict get $d start]]
check_equal "a string: start and end" b [string range $text [dict get $d start] [dict get $d end]-1]
set label ";a;`x\0\u00e9\u00ffy`."
set as_string [tessel::translate -binary 1 pure21 $label]
set as_bytes [tessel::translate -binary 1 pure21 [encoding convertto iso8859-1 $label]]
check_equal "-binary: a string and its bytes" $as_string $as_bytes
set label ";a;`\u00e9\u00ffy`."
set r [tessel::translate -binary 1 pure21 $label]
check_equal "-binary: bytes kept" "{`\u00e9\u00ffy`}" [lindex [dict get $r commands] end-1 2]
set r [tessel::translate -binary 1 pure21 [encoding convertto utf-8 $label]]
set effect [lindex [dict get $r commands] end-1 2]
check_equal "-binary: UTF-8 bytes: the value's length" 9 [string length $effect]
check_equal "-binary: UTF-8 bytes: the value" "{`\u00e9\u00ffy`}" [encoding convertfrom utf-8 $effect]
set end "set effect \"$effect\"\nbreak\n"
check_equal "-binary: UTF-8 bytes: out" $end [string range [dict get $r out] end-[expr {[string length $end] - 1}] end]
foreach {what text index} [list \
    "a character above U+00FF" ";a;`x\u0101`." 5 \
    "a character above U+FFFF" ";a;`\U0001F600`." 4] {
    check_equal "-binary: $what: refused" 1 [catch {tessel::translate -binary 1 pure21 $text} message]
    check_equal "-binary: $what: at its index" "at index $index" [lindex [regexp -inline {at index [0-9]+} $message] 0]
}
set shimmered ";a;`\u0101`."
binary scan $shimmered c* -
check_equal "-binary: a truncated byte array is refused" 1 [catch {tessel::translate -binary 1 pure21 $shimmered}]

# 6. Safe interpreters: one that its master loads the package into, and one
# of the Safe Base that requires it from its access path. Texts that name
# commands and variables run nothing there.
set safe [interp create -safe]
load $extension Tessel $safe
set base [::safe::interpCreate -accessPath [list $tcl_library [file dirname $extension]]]
check_equal "Safe Base: package require" $version [$base eval {package require tessel}]
check_equal "safe: the package" $version [$safe eval {package present tessel}]
check_equal "safe: its commands" {::tessel::kinds ::tessel::translate} [lsort [$safe eval {info commands ::tessel::*}]]
$safe alias addElement record addElement
$safe alias errorReport record errorReport
$safe eval $apply_code
$safe eval {
    set ran 0
    proc pwned {args} {incr ::ran}
}
foreach {kind text value} {
    pure21 {;a;`[pwned]`,`$ran`.} {{`[pwned]`} {`$ran`}}
    valued21 {;tick;![pwned] $ran!;`${ran}[pwned]`.} {{`${ran}[pwned]`}}
} {
    foreach child [list $safe $base] {
        set r [$child eval [list tessel::translate $kind $text]]
        check_equal "safe: $kind [show $text]" [tessel::translate $kind $text] $r
        if {$child eq $safe} {
            set calls {}
            $safe eval [list applyTranslation $r]
            check_equal "safe: $kind effect" $value [$safe eval {set effect}]
        }
    }
}
check_equal "safe: commands run by texts" 0 [$safe eval {set ran}]
interp delete $safe
::safe::interpDelete $base

cd /
file delete -force $work
finish "$cases golden cases, $n made texts"
