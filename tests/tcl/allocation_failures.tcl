# Memory running out inside tessel::translate, at every allocation in turn:
# each call gives its result with status 2 and the report "memory
# exhausted", or, when even its result cannot be made, a Tcl error; the
# interpreter goes on, and the next call gives what it gave before. (Run
# with the failing allocator preloaded; leaks show in the sanitizer build.
# The interpreter's translator keeps what it made for the next call, so a
# later call may need fewer allocations: one not reached fails nothing.)
#
#   tclsh allocation_failures.tcl SOURCE_DIR TCLTK_DIR ALLOCATOR

lassign $argv top tcltk allocator
source [file join [file dirname [info script]] lib.tcl]
lappend auto_path $tcltk
package require tessel
load $allocator Failing

set points 0
set results 0
foreach {kind text} {
    pure21 {3;a and not pre(b);c,`x y`,tick.}
    pure21 {;a b;c.}
    valued21 {3;S or pre(R);?V >= 2;O(?V+1), `x y`, f(a, !b c!).}
    valued21 {;;;$.}
    decl {function f(integer, boolean) : integer;}
    decl {1;}
    ic3 {:{% c} :<main> M :<macro> M :<degree> 1 :<dcl> :<odcl> { C := 0 : integer } :<edcl>
         :<constel> A :{} :<degree> 1 :{a} :<initial> :{i} :<endInitial>
         :<stars> :<star> S :<degree> 0 :<final> 0 :{x} :<endStar> :<endStars> :<endConstel>
         :<endMacro> :<extern> :{ f;} :<endExtern> :<end>}
} {
    set expected [tessel::translate $kind $text]
    failing::arm 0
    tessel::translate $kind $text
    failing::disarm
    set made [failing::made]
    for {set n 1} {$n <= $made} {incr n} {
        incr points
        set name "$kind [show [string range $text 0 20]]: allocation $n of $made"
        failing::arm $n [expr {$n % 5 == 0}]
        set failed [catch {tessel::translate $kind $text} r options]
        failing::disarm
        if {![failing::failed]} {
            if {$failed || $r ne $expected} {
                fail "$name: not reached, yet the result differs"
            }
        } elseif {$failed} {
            if {$r ne "tessel::translate: std::bad_alloc" ||
                [dict get $options -errorcode] ne {TESSEL NO_MEMORY}} {
                fail "$name: error [show $r]"
            }
        } else {
            incr results
            set report "Tessel intermediate code ([string totitle $kind]) Parser:memory exhausted"
            if {[dict get $r status] != 2 || [string range [dict get $r err] end-[expr {[string length $report] - 1}] end] ne $report} {
                fail "$name: status [dict get $r status], err [show [dict get $r err]]"
            }
        }
        if {[tessel::translate $kind $text] ne $expected} {
            fail "$name: the next translation differs"
        }
    }
}
finish "$points allocation points failed in turn through tessel::translate, $results of them with a result"
