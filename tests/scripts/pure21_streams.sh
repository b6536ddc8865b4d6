# Pipes, waiting for input and the order of the two output streams.
. "$(dirname "$0")/lib.sh"
p21="$bin/pure21-translator"
start=$'set loutput ""\nset linterf ""\nset lfunc   ""\n'

# A label in a pipe that stays open after the period: the run ends at once.
run_open_pipe "open pipe" "$p21" ';;.'
expect_eq "open pipe: exit status" 0 "$status"
expect_file "open pipe: complete output" out "$start"$'#debug:label / -> /\n#debug:axiom -> /\n\nset factor ""\nset trigger ""\nset effect ""\nbreak\n'

# While the program waits for more input, the lines written so far are out.
{ printf ';a '; sleep 1; cp out snapshot; printf ';.'; } | timeout 10 "$p21" > out 2> err
if ! grep -q '^#debug:ident  ID -> a$' snapshot || ! grep -qx 'addElement linterf a' snapshot; then
    fail "lines written before waiting for input were not out"; cat -A snapshot
fi

# Standard output and standard error through one pipe keep the order written.
printf '2;;e.' | "$p21" 2>&1 | cat > both
expect_file "one pipe: error report after the lines" both "$start"$'#debug:literal  INT -> 2\n#debug: factor literal -> 2\n#debug:ident  ID -> e\naddElement loutput e\n#debug:puresig ID -> e\n#debug:sig puresig -> e\n#debug:effects sig -> e\n#debug:effect effects -> e\n#debug:label /. -> 2* /e\nTessel intermediate code (Pure21) Parser:Trigger missing'
printf ';a and _;.' | "$p21" 2>&1 | cat > both
expect_file "one pipe: stray character after the lines" both "$start"$'#debug:ident  ID -> a\naddElement linterf a\n#debug:boolfacti  ID -> a\n#debug:booltermi boolfacti -> a\nunknown symbol: _\n'

# Standard input that is the trace file itself is never emptied.
printf ';;.' > log
{ "$p21" < log > out 2> err; } 2>/dev/null
expect_eq "stdin is the log: status" 134 "$?"
expect_file "stdin is the log: message" err $'Can\'t open log for trace. Abort.\n'
expect_file "stdin is the log: file kept" log ';;.'

finish_tests
