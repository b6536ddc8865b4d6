# Another project builds the library in from this tree, through
# add_subdirectory (a C++ program) or FetchContent (a C program, the tree
# as SOURCE_DIR, offline), and links Tessel::tessel: the translation runs
# there, TESSEL_TCL=OFF leaves the Tcl package out, and the other project
# keeps its build type, its output folder, its tests and its packaging.
top=$(cd "$(dirname "$0")/../.." && pwd)
. "$(dirname "$0")/lib.sh"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$bin/../CMakeCache.txt")

# What the other project sees of the tree once it is in, into facts.txt.
facts='file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/facts.txt CONTENT
  "build type: ${CMAKE_BUILD_TYPE}\nBUILD_TESTING: ${BUILD_TESTING}\nTcl package: $<TARGET_EXISTS:tessel_tcl>\nstatic library: $<TARGET_EXISTS:Tessel::tessel_static>\n")'

mkdir -p by-subdirectory by-fetch
cat > by-subdirectory/CMakeLists.txt <<EOF
cmake_minimum_required(VERSION 3.18)
project(Labels LANGUAGES CXX)
add_subdirectory(\${TESSEL_TREE} tessel)
add_executable(labels labels.cpp)
target_link_libraries(labels PRIVATE Tessel::tessel)
$facts
EOF
cat > by-subdirectory/labels.cpp <<'EOF'
#include <iostream>
#include <tessel/translate.h>
int main()
{
    tessel::Result r = tessel::translate(tessel::Kind::pure21, ";a;b.");
    bool trigger = false;
    for (const tessel::Command& c : r.commands)
        trigger = trigger || c == tessel::Command{"set", "trigger", "a"};
    std::cout << tessel::version() << " " << r.status << " " << (trigger ? "trigger a" : "no trigger") << "\n";
}
EOF
# (A C program's project enables C++ too: the library asks for C++17.)
cat > by-fetch/CMakeLists.txt <<EOF
cmake_minimum_required(VERSION 3.18)
project(Labels LANGUAGES C CXX)
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY \${CMAKE_BINARY_DIR}/out)
include(FetchContent)
FetchContent_Declare(tessel SOURCE_DIR \${TESSEL_TREE} DOWNLOAD_COMMAND "")
set(TESSEL_TCL OFF)
FetchContent_MakeAvailable(tessel)
add_executable(labels labels.c)
target_link_libraries(labels PRIVATE Tessel::tessel)
$facts
EOF
cat > by-fetch/labels.c <<'EOF'
#include <stdio.h>
#include <string.h>
#include <tessel/translate_c.h>
int main(void)
{
    static const char text[] = ";a;b.";
    tessel_result* r = tessel_translate(TESSEL_PURE21, text, sizeof text - 1);
    if (r == NULL)
        return 2;
    printf("%s %d %s\n", tessel_version(), r->status, strstr(r->out, "set trigger \"a\"\n") ? "trigger a" : "no trigger");
    tessel_result_free(r);
    return 0;
}
EOF

# build NAME PROGRAM CMAKE-OPTION...: configures and builds the program and
# the library only, then runs the program.
build() {
    local name=$1 program=$2; shift 2
    if cmake -S "$name" -B "$name/build" -DTESSEL_TREE="$top" "$@" > "$name.log" 2>&1 &&
       cmake --build "$name/build" --target labels -j2 >> "$name.log" 2>&1; then
        expect_eq "$name: translation" "$version 0 trigger a" "$("$name/build/$program" 2>&1)"
    else
        fail "$name: the project does not build"; tail -n 20 "$name.log"
    fi
}
# (A sanitizer build builds the library in with the same sanitizers.)
build by-subdirectory labels -DCMAKE_CXX_FLAGS="$consumer_flags"
build by-fetch out/labels -DCMAKE_C_FLAGS="$consumer_flags" -DCMAKE_CXX_FLAGS="$consumer_flags" -DCMAKE_BUILD_TYPE=Debug

expect_file "add_subdirectory: the project's settings" by-subdirectory/build/facts.txt \
    $'build type: \nBUILD_TESTING: \nTcl package: 1\nstatic library: 1\n'
expect_file "FetchContent, TESSEL_TCL=OFF: the project's settings" by-fetch/build/facts.txt \
    $'build type: Debug\nBUILD_TESTING: \nTcl package: 0\nstatic library: 1\n'
for name in by-subdirectory by-fetch; do
    expect_eq "$name: no tests of the library, no packaging" "" \
        "$(cd "$name/build" && find . -name CTestTestfile.cmake -o -name CPackConfig.cmake -o -name DartConfiguration.tcl)"
done
finish_tests
