// The kinds by name and title, and the error report that carries the title.
#include <tessel/translate.h>

#include <iterator>

#include "kinds.h"

namespace tessel {

namespace {

struct Names {
    Kind kind;
    const char* name;
    const char* title;
};

#define TESSEL_NAMES(kind, Title) {Kind::kind, #kind, #Title},
constexpr Names names[] = {TESSEL_KINDS(TESSEL_NAMES)};
#undef TESSEL_NAMES

// The list of kinds and tessel::Kind in one order, which every table made
// from the list relies on.
constexpr bool in_order()
{
    for (size_t i = 0; i < std::size(names); ++i)
        if (static_cast<size_t>(names[i].kind) != i)
            return false;
    return true;
}
static_assert(in_order(), "runtime/kinds.h lists the kinds in the order of tessel::Kind");

}  // namespace

std::vector<Kind> kinds()
{
    std::vector<Kind> all;
    all.reserve(std::size(names));
    for (const Names& n : names)
        all.push_back(n.kind);
    return all;
}

bool kind_from_name(std::string_view name, Kind& kind)
{
    for (const Names& n : names)
        if (name == n.name) {
            kind = n.kind;
            return true;
        }
    return false;
}

const char* kind_name(Kind kind)
{
    return names[static_cast<int>(kind)].name;
}

const char* kind_title(Kind kind)
{
    return names[static_cast<int>(kind)].title;
}

std::string error_report(Kind kind, std::string_view message)
{
    std::string report = "Tessel intermediate code (";
    report += kind_title(kind);
    report += ") Parser:";
    report += message;
    return report;
}

}  // namespace tessel
