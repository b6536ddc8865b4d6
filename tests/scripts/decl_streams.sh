# Declarations read from pipes: nothing after the semicolon (or after a stray
# first character) is waited for, and both output streams keep their order.
. "$(dirname "$0")/lib.sh"
decl="$bin/decl-translator"
input_i=$'#debug:INOUT  IN -> input\n#debug:ident  ID -> I\n#debug:dcl INOUT -> input I;\n#debug:axiom -> input I;\nset arg0 "IN"\nset arg1 "I"\nset arg2 ""\nset arg3 ""\nset arg4 ""\nbreak\n'

run_open_pipe "after the semicolon" "$decl" 'input I;'
expect_eq "after the semicolon: exit status" 0 "$status"
expect_file "after the semicolon: output" out "$input_i"

run_open_pipe "stray first character" "$decl" '3'
expect_eq "stray first character: exit status" 1 "$status"
expect_file "stray first character: output" out $'#debug:dcl OTHER -> 3\nerrorReport "Bad keyword: 3"\n'
expect_file "stray first character: message" err 'Tessel intermediate code (Decl) Parser:Unknown keyword3'

# While the program waits for more input, the lines written so far are out.
{ printf 'function f(a'; sleep 1; cp out snapshot; printf ') : T;'; } | timeout 10 "$decl" > out 2> err
expect_file "lines out before waiting" snapshot $'#debug:ident  ID -> f\n'
grep -qx 'set arg2 "a"' out || fail "waiting run: list not complete"

# Standard output and standard error through one pipe keep the order written.
printf '=;' | "$decl" 2>&1 | cat > both
expect_file "one pipe: stray character" both $'#debug:dcl OTHER -> =\nerrorReport "Bad keyword: ="\nTessel intermediate code (Decl) Parser:Unknown keyword='
printf 'input I J;' | "$decl" 2>&1 | cat > both
expect_file "one pipe: syntax error" both $'#debug:INOUT  IN -> input\n#debug:ident  ID -> I\n#debug:dcl INOUT -> input I;\nTessel intermediate code (Decl) Parser:syntax error'

# A diagnostic sees all that one write put in the pipe, whether or not the
# program was already waiting for it: the hint for `//` needs both slashes.
{ sleep 0.3; printf '// the start button\ninput I;'; } | timeout 10 "$decl" -d > out 2> err
grep -q 'decl.comment-slashes' err || fail "a pipe written late: $(tail -n 3 err)"

finish_tests
