# Charts with a mandatory part missing or out of place, wrong lists and tokens
# that no rule accepts: each is a syntax error, reported once, after the
# records of the reductions made so far; nothing of the unfinished macro
# reaches standard output.
. "$(dirname "$0")/lib.sh"
ic3="$bin/ic3-translator"
report='Tessel intermediate code (Ic3) Parser:syntax error'

M=':<main> P'
D=':<macro> P :<degree> 0 :<dcl> :<edcl>'
C=':<constel> C :{c} :<degree> 0 :{v} :<initial> :{i} :<endInitial>'
S=':<stars> :<star> S :<degree> 0 :<final> 0 :{s} :<endStar> :<endStars>'
E=':<endConstel> :<endMacro>'
X=':<extern> :<endExtern> :<end>'
L="$M :<macro> P :<degree> 0 :<dcl>"
block=$'module P:\nc\nv\ni\ns\n      end signal\n    % end C\n\nend module %P\n\n'

# rejected NAME INPUT LAST-RECORD [STDOUT]: status 1, the report alone on
# standard error, the expected standard output, and the trace ending with
# the record (its first line) of the last reduction before the error.
rejected() {
    printf '%s' "$2" | "$ic3" > out 2> err
    expect_eq "$1: status" 1 "$?"
    expect_file "$1: report" err "$report"
    expect_file "$1: output" out "${4:-}"
    expect_eq "$1: last record" "$3" "$(grep -a '^#debug:\|^addElement' log | tail -n 1)"
}

# The skeleton itself is accepted.
printf '%s' "$M $D $C $S $E $X" | "$ic3" > out 2> err
expect_eq "skeleton: status" 0 "$?"
expect_file "skeleton: output" out "$block"

rejected "main without name"        ":<main> $D $C $S $E $X"                         '#debug:header -> '
rejected "no macro"                 "$M $X"                                          '#debug:ident  ID -> P'
rejected "macro without name"       "$M :<macro> :<degree> 0"                        '#debug:ident  ID -> P'
rejected "macro without degree"     "$M :<macro> P :<dcl> :<edcl>"                   '#debug:ident  ID -> P'
rejected "degree without number"    "$M :<macro> P :<degree> :<dcl>"                 '#debug:ident  ID -> P'
rejected "no declaration part"      "$M :<macro> P :<degree> 0 $C"                   '#debug:integer  INT  -> 0'
rejected "declaration part open"    "$M :<macro> P :<degree> 0 :<dcl> $C"            '#debug:integer  INT  -> 0'
rejected "no constellation"         "$M $D :<endMacro> $X"                           '#debug:optverb  -> '
rejected "constellation no name"    "$M $D :<constel> :{c}"                          '#debug:optverb  -> '
rejected "no verbatim after name"   "$M $D :<constel> C :<degree> 0"                 '#debug:ident  ID -> C'
rejected "constellation no degree"  "$M $D :<constel> C :{c} :{v}"                   '#debug:vdcl  -> '
rejected "no verbatim after degree" "$M $D :<constel> C :{c} :<degree> 0 :<initial>" '#debug:integer  INT  -> 0'
rejected "no initial part"          "$M $D :<constel> C :{c} :<degree> 0 :{v} $S"    '#debug:verbatims verbatim -> v'
rejected "initial part empty"       "$M $D :<constel> C :{c} :<degree> 0 :{v} :<initial> :<endInitial>" '#debug:verbatims verbatim -> v'
rejected "no stars part"            "$M $D $C :<endConstel>"                         '#debug:initdcl INI verbatims EINI -> i'
rejected "stars part empty"         "$M $D $C :<stars> :<endStars>"                  '#debug:optverb  -> '
rejected "star without name"        "$M $D $C :<stars> :<star> :<degree> 0"          '#debug:optverb  -> '
rejected "star without degree"      "$M $D $C :<stars> :<star> S :<final> 0"         '#debug:ident  ID -> S'
rejected "star without final"       "$M $D $C :<stars> :<star> S :<degree> 0 :{s}"   '#debug:integer  INT  -> 0'
rejected "star without verbatim"    "$M $D $C :<stars> :<star> S :<degree> 0 :<final> 0 :<endStar>" '#debug:integer  INT  -> 0'
rejected "constellation not closed" "$M $D $C $S :<endMacro>"                        '#debug:cBody STARS verbatim stars ESTARS verbatims -> s'

# Once a macro is complete its block stays written.
rejected "no extern part"           "$M $D $C $S $E :<end>"                          '#debug:macros macro -> ' "$block"
rejected "no final tag"             "$M $D $C $S $E :<extern> :<endExtern>"          '#debug:extdecl EXT  EEXT -> ' "$block"

# Lists and initial values.
rejected "empty list"               "$L :<idcl> { } :<edcl>"                         '#debug:integer  INT  -> 0'
rejected "initial value in sdcl"    "$L :<sdcl> { s := 1 : T } :<edcl>"              '#debug:sigDeclLBody aTSig -> s'
rejected ":= in cdcl"               "$L :<cdcl> { k := 1 : T } :<edcl>"              '#debug:constInitDeclLBody aInitTConst -> k'
rejected "= in idcl"                "$L :<idcl> { i = 1 : T } :<edcl>"               '#debug:sigInitDeclLBody aInitTSig -> i'
rejected "= in odcl"                "$L :<odcl> { i = 1 : T } :<edcl>"               '#debug:sigInitDeclLBody aInitTSig -> i'
rejected "= in signal"              "$L :<signal> { i = 1 : T } :<edcl>"             '#debug:sigInitDeclLBody aInitTSig -> i'
rejected "= in vdcl"                "$M $D :<constel> C :{c} :<vdcl> { n = 1 : T } :<degree> 0" '#debug:sigInitDeclLBody aInitTSig -> n'
rejected "negative initial value"   "$L :<odcl> { o := -1 : integer } :<edcl>"       '#debug:ident  ID -> o'
rejected "initial value, no type"   "$L :<odcl> { o := 1 } :<edcl>"                  '#debug:expr literal -> 1'
rejected "name with a tilde"        "$L :<idcl> { a~b } :<edcl>"                     '#debug:integer  INT  -> 0'
rejected "keyword as a name"        "$L :<idcl> { true } :<edcl>"                    '#debug:integer  INT  -> 0'
rejected "pre as a name"            "$L :<idcl> { pre } :<edcl>"                     '#debug:integer  INT  -> 0'
rejected "list after tdcl"          "$L :<tdcl> { T } :<edcl>"                       '#debug:integer  INT  -> 0'
rejected "verbatim after idcl"      "$L :<idcl> :{ I;} :<edcl>"                      '#debug:integer  INT  -> 0'

# Tokens that no rule accepts, and a misspelt tag, where a verbatim belongs.
for t in ':<arc>' ':<endArc>' ':<abortion>' ':<endAbortion>' ':<immed>' ':<delayed>' \
         ':<halt>' ':<sustain>' ':<run>' ':<to>' ':<suspension>' ':<strongAbort>' \
         ':<weakAbort>' ':<normalTerm>' '#' ':<Main>' ':<endmacro>'; do
    rejected "token $t" "$M $D $C :<stars> :<star> S :<degree> 0 :<final> 0 $t :{s} :<endStar> :<endStars> $E $X" \
        '#debug:integer  INT  -> 0'
done

finish_tests
