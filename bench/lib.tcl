# Shared by the Tcl benchmarks (sourced).

# Microseconds per call: the best of five runs of count calls of script.
proc per_call {script count} {
    set best Inf
    for {set run 0} {$run < 5} {incr run} {
        set us [lindex [uplevel 1 [list time $script $count]] 0]
        if {$us < $best} {
            set best $us
        }
    }
    return $best
}

proc read_bytes {file} {
    set f [open $file rb]
    set bytes [read $f]
    close $f
    return $bytes
}
