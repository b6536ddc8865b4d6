#!/usr/bin/env bash
# show.sh BUILD_BIN_DIR [KIND]
#
# Reads the mistakes of KIND (all four without it) from <kind>.txt beside this
# script and, for each, prints its slip line, the text and what
# `<kind>-translator -d` writes on standard error for it: the messages a new
# user would see, for people to read and judge.
#
# It also keeps the files true to their word: every text must be refused
# (status 1 or 2, with a diagnostic line FILE:LINE:COLUMN: error: MESSAGE),
# every fix accepted (status 0). The exit status is 1 when an entry breaks
# that, or when a file is not in the format its head describes.
set -u
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
    echo "usage: $0 BUILD_BIN_DIR [KIND]" >&2
    exit 2
fi
bin=$(cd "$1" && pwd) || exit 2
here=$(cd "$(dirname "$0")" && pwd)
kinds=${2:-"pure21 valued21 decl ic3"}
work=$(mktemp -d "${TMPDIR:-/tmp}/mistakes.XXXXXX") || exit 2
trap 'rm -rf "$work"' EXIT
broken=0

complain() { echo "BROKEN: $*"; broken=$((broken + 1)); }

# run KIND TEXT-FILE: the translator on the text, status in $status, its
# standard error in $err (the trace file stays in $work).
run() {
    timeout 10 "$bin/$1-translator" -d -o "$work/log" < "$2" > /dev/null 2> "$work/err"
    status=$?
    err=$(< "$work/err")
}

# quote PREFIX TEXT: TEXT's lines, each after PREFIX. Bytes, not characters:
# a message may quote a lone byte of a multibyte character.
quote() {
    local line LC_ALL=C
    [ -n "$2" ] || return 0
    while IFS= read -r line || [ -n "$line" ]; do
        printf '%s%s\n' "$1" "$line"
    done <<< "$2"
}

# check KIND FILE ENTRY-LINE SLIP: runs the entry gathered in $work/text and
# $work/fix, prints it (its text as written, in $shown) and checks its two
# halves.
check() {
    local kind=$1 where="$2:$3"
    echo "$where  $4"
    printf '%s' "$shown"
    run "$kind" "$work/text"
    echo "  status $status"
    quote '  | ' "$err"
    if [ "$status" -ne 1 ] && [ "$status" -ne 2 ]; then
        complain "$where: the text should be refused (status 1 or 2), got $status"
    elif ! [[ $err =~ (^|$'\n')[^:$'\n']+:[0-9]+:[0-9]+:\ error:\  ]]; then
        complain "$where: the text is refused without a diagnostic line"
    fi
    run "$kind" "$work/fix"
    if [ "$status" -ne 0 ]; then
        complain "$where: the fix should be accepted, got status $status:"
        quote '  | ' "$err"
    fi
    echo
}

for kind in $kinds; do
    file="$here/$kind.txt"
    if [ ! -f "$file" ]; then complain "$kind: no file $file"; continue; fi
    name=$(basename "$file")
    count=0 number=0 state=none slip='' start=0
    # state: none (between entries), text (after the slip line), fix.
    finish_entry() {
        if [ "$state" = fix ]; then
            check "$kind" "$name" "$start" "$slip"
            count=$((count + 1))
        elif [ "$state" != none ]; then
            complain "$name:$start: an entry needs its text (> lines) and its fix (= lines)"
        fi
        state=none
    }
    while IFS= read -r line || [ -n "$line" ]; do
        number=$((number + 1))
        case "$line" in
            '##'*) ;;
            '# '*)
                finish_entry
                slip=$line start=$number state=slip shown=''
                : > "$work/text"
                : > "$work/fix" ;;
            '> '*|'>')
                if [ "$state" = slip ] || [ "$state" = text ]; then
                    [ "$state" = text ] && printf '\n' >> "$work/text"
                    part=${line#>}
                    printf '%s' "${part# }" >> "$work/text"
                    shown+="  $line"$'\n'
                    state=text
                else
                    complain "$name:$number: a text line outside an entry's text"
                fi ;;
            '= '*|'=')
                if [ "$state" = text ] || [ "$state" = fix ]; then
                    [ "$state" = fix ] && printf '\n' >> "$work/fix"
                    part=${line#=}
                    printf '%s' "${part# }" >> "$work/fix"
                    state=fix
                else
                    complain "$name:$number: a fix line before the entry's text"
                fi ;;
            '') finish_entry ;;
            *) complain "$name:$number: not a line of the format: $line" ;;
        esac
    done < "$file"
    finish_entry
    echo "$kind: $count entries"
    echo
done

if [ "$broken" -ne 0 ]; then
    echo "$broken broken entries"
    exit 1
fi
exit 0
