# cpack -G DEB packs the project as Debian packs a library, one package per
# part, each with its copyright and changelog in /usr/share/doc/<package>:
#   libtessel<major>    the shared library, in /usr/lib/<triplet>, with its
#                       shlibs and the ldconfig trigger
#   libtessel-dev       headers, libtessel.so and .a, CMake package, tessel.pc;
#                       it depends on the library of its own version
#   tcl-tessel          the Tcl package in /usr/lib/tcltk/<triplet>/ and its
#                       page in section 3tcl (Debian's Tcl/Tk policy)
#   tessel-translators  the programs (static: no dependencies), their pages
#                       and the language reference (HTML pages)
#   tk-tessel           the Tk widget in /usr/share/tcltk/ (pure Tcl,
#                       architecture all) and its page in section 3tk
# The extracted packages work: the Tcl package loads, a program builds
# against libtessel-dev and runs with libtessel<major>. lintian reports
# neither errors nor warnings (those left are overridden in the packages,
# each with its reason).
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/lib.sh"
build=$(cd "$bin/.." && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
major=${version%%.*}
triplet=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null)
arch=$(dpkg --print-architecture)
# The packages' version is the changelog's: <version>-<Debian revision>.
debversion=$(dpkg-parsechangelog -l "$top/packaging/debian/changelog" -S Version)
case $debversion in "$version"-[0-9]*) ;; *) fail "the changelog's version $debversion is not of version $version";; esac

(cd "$build" && cpack -G DEB -B "$work/deb" > "$work/cpack.log" 2>&1) || { fail "cpack failed"; tail -n 20 cpack.log; finish_tests; }
expect_eq "the packages" "libtessel-dev libtessel$major tcl-tessel tessel-translators tk-tessel" \
    "$(cd deb && ls *.deb 2>/dev/null | sed "s/_${debversion}_\(${arch}\|all\)\.deb\$//" | LC_ALL=C sort | xargs)"

# expect_package PACKAGE FILE...: the package holds exactly these files (and
# folders), besides its copyright, changelog and lintian overrides.
expect_package() {
    local package=$1; shift
    local deb
    deb=$(ls deb/${package}_${debversion}_*.deb 2>/dev/null)
    [ -f "$deb" ] || return
    expect_eq "$package: files" \
        "$(printf '%s\n' "$@" usr/share/doc/$package/copyright usr/share/doc/$package/changelog.Debian.gz \
                         usr/share/lintian/overrides/$package | LC_ALL=C sort)" \
        "$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | LC_ALL=C sort)"
    dpkg-deb -x "$deb" root
    expect_eq "$package: the changelog" "$debversion" \
        "$(dpkg-parsechangelog -l root/usr/share/doc/$package/changelog.Debian.gz -S Version 2>&1)"
    dpkg-deb -f "$deb" Depends > "$package.depends"
}
lib=usr/lib/$triplet
headers=$( (cd "$top/include" && find tessel -type f; cd "$build/include" && find tessel -type f) | sed 's|^|usr/include/|')
build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:STRING=//p' "$build/CMakeCache.txt" | tr '[:upper:]' '[:lower:]')
expect_package libtessel$major $lib/libtessel.so.$major $lib/libtessel.so.$version
expect_package libtessel-dev $headers $lib/libtessel.so $lib/libtessel.a $lib/pkgconfig/tessel.pc \
    $lib/cmake/Tessel/TesselConfig.cmake $lib/cmake/Tessel/TesselConfigVersion.cmake \
    $lib/cmake/Tessel/TesselTargets.cmake $lib/cmake/Tessel/TesselTargets-${build_type:-noconfig}.cmake
expect_package tcl-tessel usr/lib/tcltk/$triplet/tessel$version/pkgIndex.tcl \
    usr/lib/tcltk/$triplet/tessel$version/libtessel$version.so usr/share/man/man3/tessel.3tcl.gz
expect_package tk-tessel usr/share/tcltk/tessel_tk$version/pkgIndex.tcl usr/share/tcltk/tessel_tk$version/tessel_tk.tcl \
    usr/share/man/man3/tessel_tk.3tk.gz
programs="$("$bin/tessel-batch" --kinds | sed 's/$/-translator/') tessel-batch"
reference=$(cd "$build/docs/reference" && find . -type f ! -name .written | sed 's|^\./|usr/share/doc/tessel-translators/|')
[ -n "$reference" ] || fail "no language reference was written (TESSEL_DOCS)"
expect_package tessel-translators $(for p in $programs; do echo usr/bin/$p usr/share/man/man1/$p.1.gz; done) $reference

# Dependencies: the library's from dpkg-shlibdeps, the same version of it for
# libtessel-dev; tcl for the Tcl package, which has the library linked in,
# and nothing for the programs, which are static (but in the sanitizer and
# coverage builds).
depends_on() { echo " $(tr ',' '\n' < "$1.depends" | sed 's/^ *//; s/ *(.*//' | xargs) "; }
[[ $(depends_on libtessel$major) == *" libstdc++6 "* ]] || fail "libtessel$major does not depend on libstdc++6"
expect_eq "libtessel-dev: depends on its library" "libtessel$major (= $debversion)" "$(cat libtessel-dev.depends)"
[[ $(depends_on tcl-tessel) == *" tcl "* ]] || fail "tcl-tessel does not depend on tcl"
[[ $(depends_on tcl-tessel) == *" libtessel"* || $(depends_on tcl-tessel) == *" libtcl"* ]] &&
    fail "tcl-tessel depends on a library it has in itself or takes from tclsh: $(cat tcl-tessel.depends)"
readelf -d "$bin/pure21-translator" | grep -q NEEDED ||
    expect_eq "tessel-translators: depends on nothing" "" "$(cat tessel-translators.depends)"
expect_eq "tk-tessel: depends on Tk and on tcl-tessel of its own version" "tcl-tessel (= $debversion), tk (>= 8.6)" \
    "$(cat tk-tessel.depends)"
expect_eq "tk-tessel: the same on every architecture" all "$(dpkg-deb -f deb/tk-tessel_${debversion}_all.deb Architecture)"
control() { dpkg-deb --ctrl-tarfile "deb/$1_${debversion}_${arch}.deb" | tar -xO "./$2" 2>/dev/null; }
expect_eq "libtessel$major: shlibs" "libtessel $major libtessel$major (>= $debversion)" "$(control libtessel$major shlibs)"
expect_eq "libtessel$major: ldconfig by trigger" "activate-noawait ldconfig" "$(control libtessel$major triggers)"
expect_eq "libtessel$major: no maintainer scripts" "" "$(control libtessel$major postinst)$(control libtessel$major postrm)"

# The extracted packages work: a page in section 3tcl, the Tcl package found
# from Debian's folder (stripped, as packed), the library through
# libtessel-dev's pkg-config file.
expect_eq "tessel.3tcl: its section" ".TH tessel 3tcl " "$(zcat root/usr/share/man/man3/tessel.3tcl.gz | head -n 1 | cut -d'"' -f1)"
expect_tcl_package "packaged Tcl package" "$work/root/usr/lib/tcltk/$triplet"
expect_eq "tessel_tk.3tk: its section" ".TH tessel::tk 3tk " "$(zcat root/usr/share/man/man3/tessel_tk.3tk.gz | head -n 1 | cut -d'"' -f1)"
expect_tk_package "packaged Tk widget" "$work/root/usr/lib/tcltk/$triplet" "$work/root/usr/share/tcltk"
export PKG_CONFIG_PATH="$work/root/$lib/pkgconfig"
if g++ -std=c++17 $consumer_flags "$top/examples/embed/check_labels.cpp" $(pkg-config --cflags --libs tessel) \
       -o check-labels 2> build.log; then
    expect_eq "packaged library: a program built against it" ";a;b.: trigger a" \
        "$(echo ';a;b.' | LD_LIBRARY_PATH="$work/root/$lib" ./check-labels)"
else
    fail "no build against libtessel-dev"; cat build.log
fi

# lintian: no error, no warning left.
if command -v lintian > /dev/null; then
    lintian deb/*.deb > lintian.log 2>&1
    if grep -q '^[EW]: ' lintian.log; then fail "lintian:"; grep '^[EW]: ' lintian.log; fi
else
    fail "lintian is missing (scripts/install-deps.sh installs it)"
fi
finish_tests
