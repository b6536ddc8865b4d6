# cmake -DIN=<file> -DOUT=<file> -P flex_streams.cmake
#
# The web build's copy of flex's FlexLexer.h or of a scanner flex generated:
# the same text with the standard streams replaced by the stand-ins of
# flex_streams.h (which says why). Stops the build if a standard stream is
# left, so that a later flex cannot bring them back unnoticed.
file(READ "${IN}" text)
string(REPLACE "#include <iostream>" "#include \"flex_streams.h\"" text "${text}")
string(REGEX REPLACE "std::(istream|ostream|cin|cout|cerr|endl)([^A-Za-z0-9_])" "tessel::flex_streams::\\1\\2"
       text "${text}")
if(text MATCHES "<iostream>|<[io]?fstream>|<sstream>|std::(w?[io]?(f|string)?stream|w?c(in|out|err|log)|endl)[^A-Za-z0-9_]")
  message(FATAL_ERROR "${IN} names a standard stream (${CMAKE_MATCH_0}) that flex_streams.h does not stand in for")
endif()
file(WRITE "${OUT}.new" "${text}")
file(RENAME "${OUT}.new" "${OUT}")
