// <kind>-translator: one text, from standard input or -i, translated by the
// library. TESSEL_KIND names the kind (one of runtime/kinds.list).
#include "frame.h"

int main(int argc, char* argv[])
{
    return tessel::program::translator_main(tessel::Kind::TESSEL_KIND, argc, argv);
}
