// Building the grammar actions' values.
#include "grammar.h"

namespace tessel::runtime {

size_t Piece::size() const
{
    if (text_)
        return std::strlen(text_);
    return owned_ ? owned_->size() : 0;
}

void Piece::append_to(std::string& out) const
{
    if (text_)
        out += text_;
    else if (owned_)
        out += *owned_;
}

std::string* build(Translation& t, std::initializer_list<Piece> pieces)
{
    size_t size = 0;
    for (const Piece& p : pieces)
        size += p.size();
    std::string* value = t.value();
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

std::string* token_text(Translation& t)
{
    return t.value(t.token());
}

}  // namespace tessel::runtime
