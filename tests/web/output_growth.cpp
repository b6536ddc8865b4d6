// A translation's output grows geometrically whatever the standard library:
// libc++ (the web build's) makes a string's reserve() exact, so that growing
// by each write's size copied the whole output at every line, a time that
// grows with the square of the output. Built for WebAssembly and run under
// Node (CTest web/output-growth); counts how often the storage moves.
#include <cstdio>
#include <string>

#include "output.h"

int main()
{
    std::string text;
    tessel::runtime::Output out(text);
    const char* last = text.data();
    int moves = 0;
    for (int i = 0; i < 200000; ++i) {
        out.write({"set x ", "\"1\"", "\n"});
        if (text.data() != last) {
            ++moves;
            last = text.data();
        }
    }
    std::printf("%d moves for %zu bytes\n", moves, text.size());
    return moves <= 64 ? 0 : 1;
}
