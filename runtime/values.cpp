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

std::string* build(std::initializer_list<Piece> pieces)
{
    size_t size = 0;
    for (const Piece& p : pieces)
        size += p.size();
    auto* value = new std::string;
    value->reserve(size);
    return extend(value, pieces);
}

std::string* extend(std::string* value, std::initializer_list<Piece> pieces)
{
    for (const Piece& p : pieces)
        p.append_to(*value);
    for (const Piece& p : pieces)
        p.release();
    return value;
}

std::string* token_text(const Translation& t)
{
    return new std::string(t.token());
}

}  // namespace tessel::runtime
