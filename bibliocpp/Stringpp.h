// Stringpp: free functions on byte strings, shared by all translators.
#ifndef STRINGPP_H
#define STRINGPP_H

#include <string>

// A copy of value in which every character equal to init is replaced by nouv.
std::string substitute_char(const std::string& value, char init, char nouv);

#endif
