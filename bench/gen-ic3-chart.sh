#!/usr/bin/env bash
# Writes an intermediate-code chart of N macros to standard output:
#   bench/gen-ic3-chart.sh N [STAR_BODY_BYTES]
# Each macro has declarations of every kind, two constellations (one with a
# variable list) and three stars whose verbatim bodies are about
# STAR_BODY_BYTES long (default 600), so 10,000 macros make some 25 MB.
set -eu
n=$1 body=${2:-600}
awk -v n="$n" -v body="$body" 'BEGIN {
    line = "  emit Count(?Count+1); await Tick; if ?Count > Max then emit Alarm end if;\n"
    text = ""
    while (length(text) < body) text = text line
    print ":{% generated chart with " n " macros}"
    print ":<main> Chart"
    for (m = 1; m <= n; m++) {
        printf ":<macro> M%d :<degree> %d\n", m, m % 7
        print ":<dcl>"
        print ":<idcl> { Tick Reset Start : integer }"
        print ":<odcl> { Count := 0 : integer Alarm }"
        print ":<sdcl> { Level : my~level }"
        print ":<cdcl> { Max = 10 : integer }"
        print ":<tdcl> :{ Colour;}"
        print ":<fdcl> :{ inc(integer) : integer;}"
        print ":<signal> { Local Flag : boolean }"
        print ":<edcl>"
        for (c = 1; c <= 2; c++) {
            printf ":<constel> C%d :{signal L%d in}\n", c, c
            if (c == 1) print ":<vdcl> { n := Max : integer k := !a~b! : string }"
            print ":<degree> 1"
            print ":{ emit Start;}"
            print ":<initial> :{ n := 0;} :<endInitial>"
            print ":<stars>"
            for (s = 1; s <= 3; s++) {
                printf ":<star> S%d :<degree> %d :<final> %d\n", s, s - 2, s % 2
                printf ":{%s} :<endStar>\n", text
            }
            print ":<endStars> :{ % after stars}"
            print ":<endConstel>"
        }
        print ":<endMacro>"
    }
    print ":<extern> :{ function inc(integer) : integer;} :{ type Colour;} :<endExtern>"
    print ":<end>"
}'
