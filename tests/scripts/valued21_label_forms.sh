# The sixteen forms of a label (each of the four parts present or empty): the
# label's trace line, the editor's variables, and "trigger missing" for a
# factor without a trigger, after the label's trace line.
. "$(dirname "$0")/lib.sh"
v21="$bin/valued21-translator"

# form INPUT LABEL-LINE [FACTOR TRIGGER COND EFFECT]
# Without the four parts the form must fail with "trigger missing".
form() {
    printf '%s' "$1" | timeout 10 "$v21" > out 2> err
    local status=$?
    sed -n '/^#debug:label /,$p' out > tail
    if [ $# -eq 2 ]; then
        expect_eq "$1: exit status" 1 "$status"
        expect_file "$1: last lines" tail "$2"$'\n'
        expect_file "$1: message" err 'Tessel intermediate code (Valued21) Parser:trigger missing'
    else
        expect_eq "$1: exit status" 0 "$status"
        expect_file "$1: last lines" tail "$2"$'\n'"${2/#*-> /#debug:axiom -> }"$'\n'"set factor \"$3\""$'\n'"set trigger \"$4\""$'\n'"set cond \"$5\""$'\n'"set effect \"$6\""$'\n'$'break\n'
        expect_file "$1: nothing on standard error" err ''
    fi
}

form ';;;.'          '#debug:label / -> /'           '' '' '' ''
form ';;;e.'         '#debug:label /. -> /e'         '' '' '' 'e'
form ';;c;.'         '#debug:label /. -> [c]/'       '' '' 'c' ''
form ';;c;e.'        '#debug:label /. -> [c]/e'      '' '' 'c' 'e'
form ';T;;.'         '#debug:label ./ -> T/'         '' 'T' '' ''
form ';T;;e.'        '#debug:label ./. -> T/e'       '' 'T' '' 'e'
form ';T;c;.'        '#debug:label /. -> T[c]/'      '' 'T' 'c' ''
form ';T;c;e.'       '#debug:label /. -> T[c]/e'     '' 'T' 'c' 'e'
form 'f;;;.'         '#debug:label / -> f* /'
form 'f;;;e.'        '#debug:label /. -> f* /e'
form 'f;;c;.'        '#debug:label /. -> f* [c]/'
form 'f;;c;e.'       '#debug:label /. -> f* [c]/e'
form 'f;T;;.'        '#debug:label ./ -> f*T/'       'f' 'T' '' ''
form 'f;T;;e.'       '#debug:label ./. -> f*T/e'     'f' 'T' '' 'e'
form 'f;T;c;.'       '#debug:label /. -> f*T[c]/'    'f' 'T' 'c' ''
form 'f;T;c;e.'      '#debug:label /. -> f*T[c]/e'   'f' 'T' 'c' 'e'

finish_tests
