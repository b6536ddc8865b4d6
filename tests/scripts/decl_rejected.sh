# Declarations the grammar refuses: each ends with "syntax error", status 1,
# no "set" or "break" line, and only the trace lines of the reductions made
# before the error was found.
. "$(dirname "$0")/lib.sh"
decl="$bin/decl-translator"
in=$'#debug:INOUT  IN -> input\n'

# rejected INPUT EXPECTED-STDOUT
rejected() { expect_run "$1" "$decl" "$1" 1 "$2" 'Tessel intermediate code (Decl) Parser:syntax error'; }

# Keywords are whole words in lower case; other words cannot start.
rejected 'input output;'        "$in"
rejected 'Input I;'             ''
rejected 'foo x;'               ''
rejected 'inputout I;'          ''
rejected 'combine I;'           ''
rejected 'type input;'          ''
# ":=" is never accepted, wherever it stands.
rejected ':= x;'                ''
rejected 'type T := 3;'         $'#debug:ident  ID -> T\n#debug:dcl type -> type T;\n'
# Stray characters after the first token.
rejected 'input 3;'             "$in"
rejected 'input _I;'            "$in"
rejected 'relation A > B;'      $'#debug:ident  ID -> A\n'
rejected 'relation A =>;'       $'#debug:ident  ID -> A\n'
# Incomplete or misplaced parts.
rejected 'function f : T;'      $'#debug:ident  ID -> f\n'
rejected 'function f();'        $'#debug:ident  ID -> f\n#debug:aList (void) -> \n'
rejected 'procedure P(a);'      $'#debug:ident  ID -> P\n#debug:ident  ID -> a\n#debug:aList ident -> a\n'
rejected 'task K(,)();'         $'#debug:ident  ID -> K\n#debug:aList (void) -> \n'
rejected 'output O(a, b);'      $'#debug:INOUT  OU -> output\n#debug:ident  ID -> O\n#debug:ident  ID -> a\n'
rejected 'output O : combine integer plus;' $'#debug:INOUT  OU -> output\n#debug:ident  ID -> O\n#debug:ident  ID -> integer\n'
rejected 'output O(combine integer with plus;' $'#debug:INOUT  OU -> output\n#debug:ident  ID -> O\n#debug:ident  ID -> integer\n#debug:ident  ID -> plus\n'
rejected 'sensor S : ;'         $'#debug:INOUT  SE -> sensor\n#debug:ident  ID -> S\n'
rejected 'return;'              $'#debug:INOUT  RT -> return\n'
rejected 'input I'              "$in"$'#debug:ident  ID -> I\n#debug:dcl INOUT -> input I;\n'

finish_tests
