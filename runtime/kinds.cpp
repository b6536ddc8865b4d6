// The kinds by name and title, and the error report that carries the title,
// from the registry of languages.
#include <tessel/translate.h>

#include "language.h"

namespace tessel {

namespace runtime {

const Language& language(Kind kind)
{
    return *languages().begin()[static_cast<int>(kind)];
}

std::string error_report(const Language& language, std::string_view message)
{
    std::string report = "Tessel intermediate code (";
    report += language.title;
    report += ") Parser:";
    report += message;
    return report;
}

}  // namespace runtime

std::vector<Kind> kinds()
{
    std::vector<Kind> all;
    all.reserve(runtime::languages().size());
    for (size_t i = 0; i < runtime::languages().size(); ++i)
        all.push_back(static_cast<Kind>(i));
    return all;
}

bool kind_from_name(std::string_view name, Kind& kind)
{
    int i = 0;
    for (const runtime::Language* language : runtime::languages()) {
        if (name == language->name) {
            kind = static_cast<Kind>(i);
            return true;
        }
        ++i;
    }
    return false;
}

const char* kind_name(Kind kind)
{
    return runtime::language(kind).name;
}

const char* kind_title(Kind kind)
{
    return runtime::language(kind).title;
}

std::string error_report(Kind kind, std::string_view message)
{
    return runtime::error_report(runtime::language(kind), message);
}

}  // namespace tessel
