# cmake --install with a prefix puts the programs, their manual pages, the
# language reference where those say it is, the library (in the build's
# libdir: lib/<triplet> on Debian), its headers, its CMake package and its
# pkg-config file, and the Tcl package with its page in place (where tclsh
# looks: <prefix>/lib/tcltk); the installed programs run, programs build
# against the library, and tclsh loads the package. Only what cmake
# --install gives: the Debian packages' own files (debian_package.sh) stay
# out.
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/lib.sh"
libdir=$(sed -n 's/^CMAKE_INSTALL_LIBDIR:PATH=//p' "$bin/../CMakeCache.txt")
cmake --install "$bin/.." --prefix "$work/inst" > /dev/null || fail "cmake --install failed"
for program in $("$bin/tessel-batch" --kinds | sed 's/$/-translator/') tessel-batch; do
    [ -x "inst/bin/$program" ] || fail "$program not installed"
    [ -f "inst/share/man/man1/$program.1.gz" ] || fail "manual page of $program not installed"
done
expect_eq "installed program runs" break "$(printf ';;.' | inst/bin/pure21-translator | tail -n 1)"
expect_eq "installed batch runs" "0 -1 133 0 0" "$(printf 'pure21 3\n;;.' | inst/bin/tessel-batch | head -n 1)"
expect_eq "installed manual page" "$(cat "$top/docs/man/pure21-translator.1")" "$(zcat inst/share/man/man1/pure21-translator.1.gz)"
for f in libtessel.so libtessel.a cmake/Tessel/TesselConfig.cmake pkgconfig/tessel.pc; do
    [ -e "inst/$libdir/$f" ] || fail "$libdir/$f not installed"
done
expect_eq "nothing of the Debian packages" "" \
    "$(cd inst && find share/doc share/lintian share/tcltk lib/tcltk/*-* \( -name copyright -o -name 'changelog*' -o -path 'share/lintian*' -o -path 'share/tcltk*' -o -path 'lib/tcltk/*-*' \) -print 2>/dev/null)"

# The language reference, where the manual pages say it is: its HTML pages,
# each diagram inline, and what they show beside them.
reference=share/doc/tessel-translators/languages
named=$(cat "$top"/docs/man/*.1 "$top"/docs/man/*.n | sed 's/\\%//g; s/\\-/-/g' |
        grep -o '/usr/share/doc/tessel-translators/[^ ;]*' | sort -u)
[ -n "$named" ] || fail "the manual pages name no installed reference"
for path in $named; do
    [ -f "inst/${path#/usr/}" ] || fail "${path#/usr/}, which the manual pages name, is not installed"
done
for page in index pure-labels valued-labels declarations intermediate-code; do
    [ -f "inst/$reference/$page.html" ] || fail "$reference/$page.html not installed"
done
expect_eq "installed diagrams: those drawn" "$(cd "$bin/../docs/reference/languages/diagrams" && ls)" \
    "$(cd "inst/$reference/diagrams" 2>/dev/null && ls)"
drawn=$(ls "inst/$reference/diagrams" | wc -l)
shown=$(cat inst/$reference/*.html | grep -c '<svg .*class="syntax-diagram"')
[ "$shown" -ge "$drawn" ] || fail "the installed pages show $shown diagrams inline, of $drawn drawn"
[ -f "inst/$reference/pictures/pure21-label.png" ] || fail "the reference's pictures are not installed"

# The Tcl package, found from <prefix>/lib/tcltk. Built against Tcl's stubs
# with the library linked in, it needs neither libtcl nor libtessel.
[ -f inst/share/man/mann/tessel.n.gz ] || fail "manual page tessel.n not installed"
expect_tcl_package "installed Tcl package" "$work/inst/lib/tcltk"
# The Tk widget beside it, pure Tcl, with its page.
[ -f inst/share/man/mann/tessel_tk.n.gz ] || fail "manual page tessel_tk.n not installed"
expect_tk_package "installed Tk widget" "$work/inst/lib/tcltk"
for f in inst/lib/tcltk/tessel*/*.so; do
    needed=$(readelf -d "$f" | grep NEEDED)
    case $needed in *libtcl*|*libtessel*) fail "${f##*/} needs a library of its own: $needed";; esac
done

# The embedding example, through find_package(Tessel CONFIG).
if cmake -S "$top/examples/embed" -B embed -DCMAKE_PREFIX_PATH="$work/inst" \
         -DCMAKE_CXX_FLAGS="$consumer_flags" > embed.log 2>&1 &&
   cmake --build embed >> embed.log 2>&1; then
    printf '3;a and not b;c.\n;a b;c.\n' | LD_LIBRARY_PATH="$work/inst/$libdir" embed/check-labels > out
    expect_eq "embedded: status" 1 "$?"
    expect_file "embedded: output" out $'3;a and not b;c.: trigger a~and~not~b\n;a b;c.: rejected at byte 3: Tessel intermediate code (Pure21) Parser:syntax error\n'
else
    fail "the embedding example does not build against the installed library"; tail -n 20 embed.log
fi

# The same program through pkg-config, against the static library too.
export PKG_CONFIG_PATH="$work/inst/$libdir/pkgconfig"
expect_eq "pkg-config: the library's folder" "$work/inst/$libdir" "$(cd "$(pkg-config --variable=libdir tessel)" && pwd)"
if g++ -std=c++17 $consumer_flags "$top/examples/embed/check_labels.cpp" $(pkg-config --cflags --libs tessel) -o pc-dynamic 2> pc.log &&
   g++ -std=c++17 $consumer_flags "$top/examples/embed/check_labels.cpp" $(pkg-config --cflags tessel) "$work/inst/$libdir/libtessel.a" -o pc-static 2>> pc.log; then
    expect_eq "pkg-config build runs" 0 "$(echo ';a;b.' | LD_LIBRARY_PATH="$work/inst/$libdir" ./pc-dynamic > /dev/null; echo $?)"
    expect_eq "static build runs" 0 "$(echo ';a;b.' | ./pc-static > /dev/null; echo $?)"
else
    fail "no build through pkg-config"; cat pc.log
fi
finish_tests
