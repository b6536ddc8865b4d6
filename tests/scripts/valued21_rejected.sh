# Labels the grammar refuses: status 1, no "set" or "break" line, and exactly
# the lines of the reductions made before the error was found, those made on
# the offending lookahead included.
. "$(dirname "$0")/lib.sh"
v21="$bin/valued21-translator"
start=$'set loutput ""\nset linterf ""\nset lvsignal ""\nset lvariable ""\nset lfunc   ""\n'
banner='Tessel intermediate code (Valued21) Parser:'
a=$'#debug:ident  ID -> a\naddElement lvariable a\n#debug:constorvarid ident -> a\n#debug:expr constorvarid -> a\n'
A=$'#debug:ident  ID -> A\naddElement linterf "A"\n#debug:bexpr   ident -> A\n'

# rejected INPUT EXPECTED-STDOUT-AFTER-START-LINES [EXPECTED-STDERR]
rejected() { expect_run "$1" "$v21" "$1" 1 "$start$2" "${3:-${banner}syntax error}"; }

# Brackets and "#" are tokens that no rule accepts.
rejected ';;[;.'              ''
rejected ';;a];.'             "$a"$'#debug:cond  expr -> a\n'
rejected ';#;;.'              ''
# The trigger takes signals, "pre(S)", operators and parentheses only, or
# "tick" alone.
rejected ';true;;.'           ''
rejected ';3;;.'              ''
rejected ';?S;;.'             ''
rejected ';!x!;;.'            ''
rejected ';not;;.'            ''
rejected ';pre S;;.'          ''
rejected ';pre(?S);;.'        ''
rejected ';tick or A;;.'      $'#debug:trigger TICK -> tick\n'
rejected ';A or tick;;.'      "$A"
rejected ';f(x);;.'           $'#debug:ident  ID -> f\naddElement linterf "f"\n#debug:bexpr   ident -> f\n#debug:trigger  bexpr -> f\n'
# Expressions: "pre" wants "(?" and a name; two operands need an operator.
rejected ';;pre(S);.'         ''
rejected ';;a b;.'            "$a"$'#debug:cond  expr -> a\n'
rejected ';;a->b;.'           "$a"
# The effect: names, "tick", one valued emission or a verbatim text each.
rejected ';;;f().'            $'#debug:ident  ID -> f\n'
rejected ';;;V(1, 2).'        $'#debug:ident  ID -> V\n#debug:literal  INT -> 1\n#debug:expr literal -> 1\n'
rejected ';;;$.'              $'#debug:label / -> /\n'
rejected ';;;a b.'            $'#debug:ident  ID -> a\naddElement loutput a\n#debug:puresig ident -> a\n#debug:emit puresig -> a\n#debug:emits emit -> a\n#debug:effect emits -> a\n#debug:label /. -> /a\n'
# A stray character where an operand is expected names itself first.
rejected ';(A or |);;.'       "$A" $'unknown symbol: |\n'"${banner}bad boolean expression"
rejected ';;a and ~;.'        "$a" $'unknown symbol: ~\n'"${banner}bad expression"
rejected ';;f($);.'           $'#debug:ident  ID -> f\n' $'unknown symbol: $\n'"${banner}bad expression"
rejected ';;;V(&).'           $'#debug:ident  ID -> V\n' $'unknown symbol: &\n'"${banner}bad expression"
rejected $'\f;;;.'            '' $'unknown symbol: \f\n'"${banner}bad expression"

finish_tests
