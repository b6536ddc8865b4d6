#include "Stringpp.h"

std::string substitute_char(const std::string& value, char init, char nouv)
{
    std::string result(value);
    for (char& c : result)
        if (c == init)
            c = nouv;
    return result;
}
