# Output that cannot be written is never reported as a success, and a closed
# standard stream never sends output into the trace file.
. "$(dirname "$0")/lib.sh"
p21="$bin/pure21-translator"
banner='Tessel intermediate code (Pure21) Parser:'

printf ';;.' | "$p21" >&- 2> err
expect_eq "closed stdout: status" 1 "$?"
expect_file "closed stdout: message" err "${banner}write error on standard output"
expect_file "closed stdout: nothing in the trace file" log ''

printf ';;.' | "$p21" > /dev/full 2> err
expect_eq "full stdout: status" 1 "$?"
expect_file "full stdout: message" err "${banner}write error on standard output"

# A translation larger than the output block (256 KiB) meets the full
# device while it is still being written, not at its end.
name=$(head -c 16000 /dev/zero | tr '\0' b)
{ printf ';a;'; for i in 1 2 3 4 5 6 7; do printf '%s,' "$name"; done; printf '%s.' "$name"; } > large
"$p21" -i large | wc -c > size
[ "$(cat size)" -gt 262144 ] || fail "large translation: only $(cat size) bytes, within one block"
"$p21" -i large > /dev/full 2> err
expect_eq "full stdout, large translation: status" 1 "$?"
expect_file "full stdout, large translation: message" err "${banner}write error on standard output"

printf ';;.' | "$p21" 2>&- > out
expect_eq "closed stderr: status" 0 "$?"
expect_file "closed stderr: trace file empty" log ''
printf ';;' | "$p21" 2>&- > out
expect_eq "closed stderr, syntax error: status" 1 "$?"
expect_file "closed stderr, syntax error: report not in the trace file" log ''

"$p21" <&- > out 2> err
expect_eq "closed stdin: status" 1 "$?"
expect_file "closed stdin: read as empty input" err "${banner}syntax error"

if [ -x "$bin/ic3-translator" ]; then
    chart=':<main> M :<macro> M :<degree> 1 :<dcl> :<edcl> :<constel> C :{} :<degree> 1 :{x} :<initial> :{i} :<endInitial> :<stars> :<star> S :<degree> 0 :<final> 0 :{b} :<endStar> :<endStars> :<endConstel> :<endMacro> :<extern> :<endExtern> :<end>'
    printf '%s' "$chart" | "$bin/ic3-translator" -o /dev/full > out 2> err
    expect_eq "full trace file: status" 1 "$?"
    expect_file "full trace file: message" err 'Tessel intermediate code (Ic3) Parser:write error on trace file'
fi
if [ -x "$bin/tessel-batch" ]; then
    printf 'pure21 3\n;;.' | "$bin/tessel-batch" > /dev/full 2> err
    expect_eq "tessel-batch, full stdout: status" 2 "$?"
    expect_file "tessel-batch, full stdout: message" err $'tessel-batch: write error on standard output\n'
fi
finish_tests
