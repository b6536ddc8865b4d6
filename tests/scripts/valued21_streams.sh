# Pipes left open, the scanner's look-ahead, the order of the two output
# streams, and the limits of the scanner's buffer and the parse stacks.
. "$(dirname "$0")/lib.sh"
v21="$bin/valued21-translator"
start=$'set loutput ""\nset linterf ""\nset lvsignal ""\nset lvariable ""\nset lfunc   ""\n'
name() { head -c "$1" /dev/zero | tr '\0' 'a'; }
empty_label=$'#debug:label / -> /\n#debug:axiom -> /\nset factor ""\nset trigger ""\nset cond ""\nset effect ""\nbreak\n'

# The start lines are out before the first character arrives.
{ sleep 1; cp out snapshot; printf ';;;.'; } | timeout 10 "$v21" > out 2> err
expect_file "start lines before input" snapshot "$start"
expect_file "start lines before input: whole output" out "$start$empty_label"

# A label in a pipe that stays open after the period: the run ends at once.
run_open_pipe "open pipe" "$v21" ';;;.'
expect_eq "open pipe: exit status" 0 "$status"
expect_file "open pipe: complete output" out "$start$empty_label"

# An exclamation mark waits for its partner, across a pause in the input and
# past semicolons and periods.
{ printf ';;!a;.'; sleep 1; printf ' b!;.'; } | timeout 10 "$v21" > out 2> err
expect_eq "late partner: cond" 'set cond "!a;.~b!"' "$(grep '^set cond' out)"

# Standard output and standard error through one pipe keep the order written.
printf ';;a + $;.' | "$v21" 2>&1 | cat > both
expect_file "one pipe: unknown symbol after the lines" both "$start"$'#debug:ident  ID -> a\naddElement lvariable a\n#debug:constorvarid ident -> a\n#debug:expr constorvarid -> a\nunknown symbol: $\nTessel intermediate code (Valued21) Parser:bad expression'

# A name of 16,382 characters followed by a blank is one token; one more
# character overflows the buffer: exact message, status 2, start lines out.
{ printf ';'; name 16382; printf ' ;;.'; } > in
"$v21" -i in > out 2> err
expect_eq "16382: status" 0 "$?"
expect_eq "16382: trigger" "set trigger \"$(name 16382)\"" "$(grep '^set trigger' out)"
overflow=$'input buffer overflow, can\'t enlarge buffer because scanner uses REJECT\n'
{ printf ';'; name 16383; printf ' ;;.'; } > in
"$v21" -i in > out 2> err
expect_eq "16383: status" 2 "$?"
expect_file "16383: message" err "$overflow"
expect_file "16383: lines before" out "$start"

# The look-ahead of an exclamation mark without partner is bounded the same
# way; the lines of the reductions before it stay written.
{ printf '1;;!'; name 20000; } > in
"$v21" -i in > out 2> err
expect_eq "unterminated: status" 2 "$?"
expect_file "unterminated: message" err "$overflow"
expect_file "unterminated: lines before" out "$start"$'#debug:literal  INT -> 1\n#debug:expr literal -> 1\n#debug:factor expr  -> 1\n'

# Nesting deeper than 20,000,000 stack entries: "parser stack overflow".
{ printf ';;'; head -c 20000000 /dev/zero | tr '\0' '('; } | "$v21" > out 2> err
expect_eq "stack: status" 1 "$?"
expect_file "stack: message" err 'Tessel intermediate code (Valued21) Parser:parser stack overflow'
expect_file "stack: lines before" out "$start"

finish_tests
