# The scanner's fixed buffer against long verbatim texts, and a chart of
# several megabytes.
. "$(dirname "$0")/lib.sh"
ic3="$bin/ic3-translator"
text() { head -c "$1" /dev/zero | tr '\0' 'a'; }

macro() {  # NAME BODY
    printf ':<macro> %s :<degree> 0 :<dcl> :<edcl> :<constel> C :{c} :<degree> 0 :{v} :<initial> :{i} :<endInitial> :<stars> :<star> S :<degree> 0 :<final> 0 :{%s} :<endStar> :<endStars> :<endConstel> :<endMacro>\n' "$1" "$2"
}
block() {  # NAME BODY
    printf 'module %s:\nc\nv\ni\n%s\n      end signal\n    %% end C\n\nend module %%%s\n\n' "$1" "$2" "$1"
}

# A verbatim text of 16,383 characters (":{", 16,380 characters, "}") fits.
{ printf ':<main> P\n'; macro P "$(text 16380)"; printf ':<extern> :<endExtern> :<end>'; } > chart
"$ic3" < chart > out 2> err
expect_eq "16383: status" 0 "$?"
block P "$(text 16380)" > expected
cmp -s out expected || fail "16383: output"

# One more character overflows the buffer: the scanner's message, status 2,
# and the block of the macro before it stays written.
{ printf ':<main> P\n'; macro First s; macro P "$(text 16381)"; printf ':<extern> :<endExtern> :<end>'; } > chart
"$ic3" < chart > out 2> err
expect_eq "16384: status" 2 "$?"
expect_file "16384: message" err $'input buffer overflow, can\'t enlarge buffer because scanner uses REJECT\n'
block First s > expected
cmp -s out expected || fail "16384: block before the long text"

# About 4 MB of intermediate code in 1,000 macros: translated completely and
# quickly (values are built without re-copying the lists).
body="loop await Tick; emit Count(?Count+1); $(text 200) end loop"
{ printf ':{%% big}\n:<main> Big\n'
  for m in $(seq 1000); do
      printf ':<macro> M%s :<degree> 1 :<dcl> :<idcl> { Tick } :<odcl> { Count := 0 : integer } :<signal> { L } :<edcl>\n' "$m"
      for c in 1 2 3 4; do
          printf ':<constel> C%s :{signal S in} :<vdcl> { n := N : integer } :<degree> 1 :{ emit L;} :<initial> :{ n := 0;} :<endInitial> :<stars>\n' "$c"
          for s in 1 2 3 4; do printf ':<star> S%s :<degree> 0 :<final> 0 :{ %s} :<endStar>\n' "$s" "$body"; done
          printf ':<endStars> :<endConstel>\n'
      done
      printf ':<endMacro>\n'
  done
  printf ':<extern> :{ function f(integer) : integer;} :<endExtern> :<end>\n'; } > big
began=$SECONDS
timeout 60 "$ic3" < big > out 2> err
expect_eq "big: status" 0 "$?"
[ $((SECONDS - began)) -le 20 ] || fail "big: took $((SECONDS - began)) s"
expect_eq "big: module blocks" 1000 "$(grep -c '^module M' out)"
expect_eq "big: star bodies" 16000 "$(grep -c '^ loop await Tick' out)"
expect_eq "big: last line" "% ------ That's All Folks ! ------" "$(tail -n 1 out)"
expect_eq "big: variables traced" 4000 "$(grep -c '^addElement lvariable N$' log)"
rm -f big log

finish_tests
