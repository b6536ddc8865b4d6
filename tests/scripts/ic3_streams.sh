# When the declaration text and the trace reach their files, and how the two
# output streams and standard error meet.
. "$(dirname "$0")/lib.sh"
ic3="$bin/ic3-translator"

macro() {  # NAME
    printf ':<macro> %s :<degree> 0 :<dcl> :<edcl> :<constel> C :{c} :<degree> 0 :{v} :<initial> :{i} :<endInitial> :<stars> :<star> S :<degree> 0 :<final> 0 :{s} :<endStar> :<endStars> :<endConstel> :<endMacro>\n' "$1"
}
block() {  # NAME
    printf 'module %s:\nc\nv\ni\ns\n      end signal\n    %% end C\n\nend module %%%s\n\n' "$1" "$1"
}

same() {  # NAME ACTUAL EXPECTED: the two files are equal
    cmp -s "$2" "$3" || { fail "$1"; diff -a "$3" "$2" | head -n 8; }
}

# A module block is out as soon as its ":<endMacro>" has been read, while the
# program waits for the rest of the chart; its trace records too.
{ printf ':{%% head}\n:<main> P\n'; macro First; sleep 1; cp out snapshot; cp log snapshot.log
  macro Second; printf ':<extern> :{ type T;}'; sleep 1; cp out snapshot2
  printf ' :<endExtern> :<end>'; } | timeout 10 "$ic3" > out 2> err
expect_eq "streaming: status" 0 "$?"
{ printf '%% head\n\n'; block First; } > expected
same "streaming: first block out before more input" snapshot expected
expect_eq "streaming: its trace record out" "#debug:MAC ident mBody EMAC -> module First:" \
    "$(grep -a '^#debug:MAC' snapshot.log)"
{ printf '%% head\n\n'; block First; block Second; printf '%% To be provided by the host language:\n'; } > expected
same "streaming: opening line out before the extern section ends" snapshot2 expected
printf " type T;\n\n%% ------ That's All Folks ! ------\n" >> expected
same "streaming: whole output" out expected

# A chart in a pipe that stays open after ":<end>": the run waits for the end
# of the input (text after ":<end>" would be an error), then ends normally.
mkfifo pipe
{ printf ':<main> P\n'; macro P; printf ':<extern> :<endExtern> :<end>'; sleep 1; } > pipe &
timeout 10 "$ic3" < pipe > out 2> err
expect_eq "open pipe: status" 0 "$?"
block P > expected
same "open pipe: output" out expected
wait

# Standard output and standard error through one pipe keep the order written:
# the first block, then the report.
{ printf ':<main> P\n'; macro P; printf ':<macro> Q :<degree> 0 :<dcl> :<edcl> :<endMacro>'; } \
    | "$ic3" 2>&1 | cat > both
{ block P; printf 'Tessel intermediate code (Ic3) Parser:syntax error'; } > expected
same "one pipe: block, then report" both expected

# The trace goes to the file named by -o; no "log" is made then.
rm -f log
{ printf ':<main> P\n'; macro P; printf ':<extern> :<endExtern> :<end>'; } > chart
"$ic3" -o trace.txt < chart > out 2> err
expect_eq "-o: status" 0 "$?"
[ -e log ] && fail "-o: a file \"log\" was made"
expect_eq "-o: last record" '#debug:axiom -> ' "$(grep -a '^#debug:' trace.txt | tail -n 1)"
"$ic3" -i chart > out2 2> err
expect_eq "-i: status" 0 "$?"
cmp -s out out2 || fail "-i: output differs from the one read on standard input"
cmp -s log trace.txt || fail "-i: trace differs from the one written with -o"

finish_tests
