# Limits and awkward input, the same for every program: tokens at the
# buffer's edge (with and without look-ahead), comments and white space as long tokens, carriage returns,
# NUL bytes and bytes 128-255 anywhere, input that ends inside a token.
# No input may crash a program: the status is always 0, 1 or 2.
. "$(dirname "$0")/lib.sh"
overflow=$'input buffer overflow, can\'t enlarge buffer because scanner uses REJECT\n'
run() {  # PROGRAM INPUT-FILE: sets status
    timeout 20 "$bin/$1-translator" -i "$2" > out 2> err
    status=$?
}
repeat() { head -c "$2" /dev/zero | tr '\0' "$1"; }

# A name of 16,382 characters then a blank is fine; 16,383 overflow with
# status 2 and the exact message. The same for a comment, and for white space.
check_edge() {  # PROGRAM LABEL PREFIX FILL SUFFIX [LEAD]: the token is LEAD
    local program=$1 label=$2 prefix=$3 fill=$4 suffix=$5 lead=${6:-}  # then FILL repeated
    local n=$((16382 - ${#lead}))
    { printf '%s%s' "$prefix" "$lead"; repeat "$fill" $n; printf '%s' "$suffix"; } > in
    run "$program" in
    [ "$status" != 2 ] || fail "$program: $label of 16,382 characters overflowed"
    { printf '%s%s' "$prefix" "$lead"; repeat "$fill" $((n + 1)); printf '%s' "$suffix"; } > in
    run "$program" in
    expect_eq "$program: $label of 16,383 characters: status" 2 "$status"
    expect_file "$program: $label of 16,383 characters: message" err "$overflow"
}
check_edge pure21 name ';' a ' ;.'
check_edge pure21 "white space" ';' ' ' 'a;.'
check_edge valued21 name ';' a ' ;;.'
check_edge valued21 comment ';a ' x $'\n;;.' --
check_edge decl name 'input ' a ' ;'
check_edge decl comment 'input ' x $'\nI;' %
check_edge ic3 name ':<main> ' a ' x'
check_edge ic3 comment '' x $'\n:<main> M' %

# A token that ends where no rule can go on (a closing backquote or "!")
# needs no look-ahead: 16,383 characters, delimiters included, are
# translated; 16,384 overflow.
check_closed_edge() {  # PROGRAM LABEL PREFIX OPEN FILL CLOSE SUFFIX
    local program=$1 label=$2 prefix=$3 open=$4 fill=$5 close=$6 suffix=$7
    local n=$((16383 - ${#open} - ${#close}))
    { printf '%s%s' "$prefix" "$open"; repeat "$fill" $n; printf '%s%s' "$close" "$suffix"; } > in
    run "$program" in
    expect_eq "$program: $label of 16,383 characters: status" 0 "$status"
    { printf '%s%s' "$prefix" "$open"; repeat "$fill" $((n + 1)); printf '%s%s' "$close" "$suffix"; } > in
    run "$program" in
    expect_eq "$program: $label of 16,384 characters: status" 2 "$status"
    expect_file "$program: $label of 16,384 characters: message" err "$overflow"
}
check_closed_edge pure21 "inline text" ';a;' '`' x '`' '.'
check_closed_edge valued21 "inline text" ';a;;' '`' x '`' '.'
check_closed_edge valued21 "!-text" ';;' '!' x '!' ';.'
check_closed_edge ic3 "!-text" ':<main> M :<macro> M :<degree> 1 :<dcl> :<odcl> { C := ' '!' x '!' \
    ' : T } :<edcl> :<constel> C :{} :<degree> 1 :{x} :<initial> :{i} :<endInitial> :<stars> :<star> S :<degree> -1 :<final> 0 :{b} :<endStar> :<endStars> :<endConstel> :<endMacro> :<extern> :<endExtern> :<end>'

# Carriage returns are white space: CR LF line ends translate as LF ones.
for case in "pure21;a;b." "valued21;a;;b." "decl:input I;"; do
    program=${case%%[;:]*}; text=${case#$program}; text=${text#:}
    printf '%s' "$text" | sed 's/;/\r\n;/g' > crlf
    printf '%s' "$text" | sed 's/;/\n;/g' > lf
    run "$program" crlf; cp out out.crlf
    run "$program" lf
    cmp -s out out.crlf || fail "$program: CR LF line ends change the translation"
done

# Bytes 0, 13, 128 and 255 at every position of a valid text (every third one
# in the long chart), and every prefix of it (input ending inside a token):
# never a crash, a hang or a sanitizer report.
texts=("pure21:3;a and not pre(b);c,\`x y\`." "valued21:3;S or pre(R);?V >= 2;O(?V+1), \`x y\`, !a b!."
       "decl:function f(integer, boolean) : integer;"
       "ic3::<main> M :<macro> M :<degree> 1 :<dcl> :<odcl> { C := !a~b! : T } :<edcl> :<constel> C :{} :<degree> 1 :{x} :<initial> :{i} :<endInitial> :<stars> :<star> S :<degree> -1 :<final> 0 :{b} :<endStar> :<endStars> :<endConstel> :<endMacro> :<extern> :<endExtern> :<end>")
for entry in "${texts[@]}"; do
    program=${entry%%:*}; text=${entry#*:}
    step=1; [ "$program" = ic3 ] && step=3
    for ((i = 0; i <= ${#text}; i += step)); do
        printf '%s' "${text:0:i}" > in; run "$program" in
        case $status in 0|1|2) ;; *) fail "$program: prefix of $i characters: status $status" ;; esac
        for byte in '\000' '\r' '\200' '\377'; do
            { printf '%s' "${text:0:i}"; printf "$byte"; printf '%s' "${text:i}"; } > in
            run "$program" in
            case $status in 0|1|2) ;; *) fail "$program: byte $byte at $i: status $status" ;; esac
            grep -q -E "Sanitizer|runtime error" err && { fail "$program: byte $byte at $i: sanitizer report"; head -n 3 err; }
        done
    done
done
finish_tests
