# Every manual page renders without a warning, from groff or from mandoc's
# lint, and has the sections a reader looks for: the programs' pages
# (section 1) and the Tcl package's (section n).
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/lib.sh"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$bin/../CMakeCache.txt")

check_page() {  # PAGE SECTION...
    local page=$1; shift
    local warnings
    warnings=$(groff -ww -z -man "$page" 2>&1)
    [ -z "$warnings" ] || { fail "groff warns about ${page##*/}"; echo "$warnings" | head -n 5; }
    warnings=$(mandoc -T lint -W warning "$page" 2>&1)
    [ -z "$warnings" ] || { fail "mandoc warns about ${page##*/}"; echo "$warnings" | head -n 5; }
    for section in "$@"; do
        grep -q "^\.SH \"\?$section" "$page" || fail "${page##*/} has no $section section"
    done
}

pages=0
for page in "$top"/docs/man/*.1; do
    pages=$((pages + 1))
    check_page "$page" NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" DIAGNOSTICS EXAMPLES
done
expect_eq "one page per program" 5 "$pages"
# As Tcl packages' and Tk widgets' pages have them.
check_page "$top/docs/man/tessel.n" NAME SYNOPSIS DESCRIPTION EXAMPLES "SEE ALSO" KEYWORDS
check_page "$top/docs/man/tessel_tk.n" NAME SYNOPSIS DESCRIPTION "WIDGET-SPECIFIC OPTIONS" "WIDGET COMMAND" \
    BINDINGS EXAMPLES "SEE ALSO" KEYWORDS

# A reader finds what a page points to: a guide or reference of the source
# tree (docs/...) is also named where it is installed, and SEE ALSO, which
# names long paths that cannot be broken, reads on a terminal of 80 or 100
# columns with no gap wider than the two blanks after a sentence (justified,
# groff spread a line around such a path with runs of up to 19 blanks).
for page in "$top"/docs/man/*.1 "$top"/docs/man/*.n; do
    if grep -q 'docs/' "$page" && ! grep -q '/usr/share/doc/tessel\\-translators/' "$page"; then
        fail "${page##*/} names a document of the source tree only"
    fi
    for width in 80 100; do
        gaps=$(groff -man -Tascii -rLL=${width}n -P-cbou "$page" 2> /dev/null |
               awk '/^SEE ALSO/ { on = 1; next } /^[^ ]/ { on = 0 } on' | grep -E '[^ ] {3,}[^ ]')
        [ -z "$gaps" ] || { fail "${page##*/}: gaps in SEE ALSO at $width columns"; echo "$gaps" | head -n 3; }
    done
done

# The pages name the project's version (the Tcl package's is the same).
for page in "$top"/docs/man/*.1 "$top"/docs/man/*.n; do
    grep -q "^\.TH .* \"Tessel translators ${version%.*}\" " "$page" || fail "${page##*/} is not of version ${version%.*}"
done
for page in tessel.n tessel_tk.n; do
    expect_eq "$page: the package's version" "1" "$(grep -c -e "^\.RB ? $version ?\$" "$top/docs/man/$page")"
done
finish_tests
