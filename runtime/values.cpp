// Building the grammar actions' values.
#include "grammar.h"

namespace tessel::runtime {

std::string* build(Translation& t, std::initializer_list<Piece> pieces)
{
    size_t size = 0;
    for (const Piece& p : pieces)
        size += p.size();
    std::string* value = t.value();
    // (Only to grow: libc++'s reserve() shrinks a recycled value's storage.)
    if (value->capacity() < size)
        value->reserve(size);
    return extend(t, value, pieces);
}

std::string* extend(Translation& t, std::string* value, std::initializer_list<Piece> pieces)
{
    for (const Piece& p : pieces)
        p.append_to(*value);
    for (const Piece& p : pieces)
        t.release(p.owned());
    return value;
}

std::string* traced_only(Translation& t, const char* text, std::initializer_list<Piece> pieces)
{
    if (t.tracing())
        return traced(t, text, build(t, pieces));
    for (const Piece& p : pieces)
        t.release(p.owned());
    return t.value();
}

std::string* token_text(Translation& t)
{
    return t.value(t.token());
}

}  // namespace tessel::runtime
