# Every manual page renders without a warning.
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/lib.sh"
pages=0
for page in "$top"/docs/man/*.1; do
    pages=$((pages + 1))
    warnings=$(groff -ww -z -man "$page" 2>&1)
    [ -z "$warnings" ] || { fail "groff warns about ${page##*/}"; echo "$warnings" | head -n 5; }
    # Each page names its program and has the sections a user looks for.
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" DIAGNOSTICS EXAMPLES; do
        grep -q "^\.SH \"\?$section" "$page" || fail "${page##*/} has no $section section"
    done
done
expect_eq "one page per program" 5 "$pages"
finish_tests
