# The scanner's fixed buffer and the parse engine's stack limit.
. "$(dirname "$0")/lib.sh"
p21="$bin/pure21-translator"
start=$'set loutput ""\nset linterf ""\nset lfunc   ""\n'
name() { head -c "$1" /dev/zero | tr '\0' 'a'; }

# A name of 16,382 characters followed by a blank is one token.
{ printf ';'; name 16382; printf ' ;.'; } > in
"$p21" -i in > out 2> err
expect_eq "16382: status" 0 "$?"
expect_eq "16382: trigger" "set trigger \"$(name 16382)\"" "$(grep '^set trigger' out)"

# One more character and the buffer overflows: exact message, status 2, the
# start lines already out.
for n in 16383 20000; do
    { printf ';'; name $n; printf ' ;.'; } > in
    "$p21" -i in > out 2> err
    expect_eq "$n: status" 2 "$?"
    expect_file "$n: message" err $'input buffer overflow, can\'t enlarge buffer because scanner uses REJECT\n'
    expect_file "$n: lines before" out "$start"
done

# Nesting deeper than 20,000,000 stack entries: "parser stack overflow".
{ printf ';'; head -c 20000000 /dev/zero | tr '\0' '('; } | "$p21" > out 2> err
expect_eq "stack: status" 1 "$?"
expect_file "stack: message" err 'Tessel intermediate code (Pure21) Parser:parser stack overflow'
expect_file "stack: lines before" out "$start"

finish_tests
