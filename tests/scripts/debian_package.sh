# cpack -G DEB packs the programs, their manual pages, the library with its
# headers, CMake package and pkg-config file, and the Tcl package with its
# page, with the dependencies of the shared library. The packed (stripped)
# Tcl package loads from where the package puts it.
. "$(dirname "$0")/lib.sh"
build=$(cd "$bin/.." && pwd)
(cd "$build" && cpack -G DEB -B "$work/deb" > "$work/cpack.log" 2>&1) || { fail "cpack failed"; tail -n 20 cpack.log; }
deb=$(ls deb/*.deb 2>/dev/null | head -n 1)
if [ -n "$deb" ]; then
    dpkg -c "$deb" | awk '{print $6}' > contents
    for f in usr/bin/pure21-translator usr/share/man/man1/ic3-translator.1 usr/bin/tessel-batch usr/lib/libtessel.so.2 \
             usr/lib/libtessel.a usr/include/tessel/translate.h usr/include/tessel/translate_c.h \
             usr/lib/cmake/Tessel/TesselConfig.cmake usr/lib/pkgconfig/tessel.pc \
             usr/lib/tcltk/tessel2.0.0/pkgIndex.tcl usr/lib/tcltk/tessel2.0.0/libtessel2.0.0.so \
             usr/share/man/mann/tessel.n; do
        grep -q "^\./$f\$" contents || fail "the package lacks $f"
    done
    dpkg -I "$deb" > info
    grep -q 'Depends:.*libstdc++6' info || fail "the package does not depend on libstdc++6"
    [ -n "$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep shlibs)" ] || fail "the package has no shlibs file"
    dpkg-deb -x "$deb" root
    expect_tcl_package "packaged Tcl package" "$work/root/usr/lib/tcltk"
else
    fail "no package built"
fi
finish_tests
