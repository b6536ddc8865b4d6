// Stringpp: free functions on byte strings, shared by all translators.
//
// Texts are std::string of 8-bit characters; char is signed, so the bytes
// 128..255 are negative where a function compares with 0. Every function
// returns a new value and leaves its arguments alone, except Stoa (returns a
// heap array the caller frees with delete[]) and next_Stringtoken (writes the
// rest of the text through its third parameter). Positions count from 0.
// No function throws (other than std::bad_alloc) and none keeps state.
#ifndef STRINGPP_H
#define STRINGPP_H

#include <cstdint>
#include <string>

// The library's names live in their own namespace: compiled into a library
// that is loaded into other programs, they must not meet those programs' own.
namespace stringpp {

// ---- Substitution ---------------------------------------------------------

// A copy of value in which every character equal to init is replaced by nouv.
std::string substitute_char(const std::string& value, char init, char nouv);

// A copy of value in which every character equal to init is replaced by the
// whole text nouv; an empty nouv deletes the occurrences.
std::string substitute_char(const std::string& value, char init, const std::string& nouv);

// A copy of value in which the occurrences of init, found left to right and
// never overlapping, are replaced by nouv ("aaa", "aa", "b" gives "ba").
// An empty init finds nothing: the result is a copy of value.
std::string substitute_string(const std::string& value, const std::string& init,
                              const std::string& nouv);

// ---- Search and slicing ---------------------------------------------------

// 1 if elem occurs in init (an empty elem occurs everywhere), else 0.
int contains(const std::string& init, const std::string& elem);

// The first limit characters of value (all of them if value is shorter);
// empty when limit <= 0.
std::string my_before(const std::string& value, int limit);

// The characters from position init to the end; empty when init is at or
// beyond the end. A negative init counts from position 0.
std::string my_after(const std::string& value, int init);

// The characters from position init up to, not including, position limit,
// stopping at the end of value; empty unless init is below both limit and the
// length. A negative init counts from position 0.
std::string my_at(const std::string& value, int init, int limit);

// ---- Case -----------------------------------------------------------------

// "A".."Z" become lower case; everything else, bytes 128..255 included, stays.
std::string downcase(const std::string& chaine);

// "a".."z" become upper case; bytes 128..255 are left out; the rest stays.
std::string upcase(const std::string& chaine);

// Like upcase, but the Latin-1 accented lower-case letters e-acute (E9),
// e-grave (E8), e-circumflex (EA), a-grave (E0), a-circumflex (E2),
// o-circumflex (F4), c-cedilla (E7) and the byte 8C become "E", "E", "E",
// "A", "A", "O", "C" and "I"; other bytes 128..255 are left out.
std::string upcase_accent(const std::string& chaine);

// 1 if c is an ASCII letter or digit, else 0 (no locale involved).
int est_lc(char c);

// ---- Tokenizer ------------------------------------------------------------

// Splits off the first token of initial: leading separateur characters are
// skipped; a token starting with a letter or digit runs over the following
// letters and digits (stopping at separateur), any other character is a
// token of its own. *preste receives what follows the token, starting with
// the character that ended it, or the empty text when the token reaches the
// end. A text that is empty or made only of separators gives an empty token
// and an empty rest. preste may point to initial itself; a null preste is
// allowed and then nothing is written.
std::string next_Stringtoken(const std::string& initial, char separateur, std::string* preste);

// ---- Number to text -------------------------------------------------------

// The text of exactly one character (a NUL gives a text of length 1).
std::string ctoS(char c);

// Decimal digits of an unsigned 32-bit value, no sign, no leading zeros.
std::string unslong2S(std::uint32_t diviseur);

// Decimal text of a signed 32-bit value, as "%d" writes it.
std::string itoS(std::int32_t valeur);

// Exactly 8 characters "0"/"1": the 8 lowest bits, the bit of value 128 first.
std::string bin8toS(int valeur);

// Lower-case hexadecimal digits of the lowest 4, 8, 16 or 32 bits of valeur
// (two's complement for negative values: hex2toS(-1) is "ff").
std::string hex1toS(int valeur);
std::string hex2toS(int valeur);
std::string hex4toS(int valeur);
std::string hex8toS(long valeur);

// x with a fixed count of decimals, rounded (a remainder of exactly one half
// is not rounded up, and rounding that reaches a whole unit carries into the
// integer part: dtoS(0.9999, 2) is "1.00"). "-" for values below 0.0, so -0.0
// has no sign. With nbdecimal 0 or negative the text ends with the point
// ("3." for 3.2). See the definition for the range of nbdecimal and x.
std::string dtoS(double x, int nbdecimal);

// ---- Text to number -------------------------------------------------------

// 0, then for every character c: times 10 plus (c - '0'). Nothing is checked
// or skipped ("-1" is not -1). The arithmetic is 32-bit two's complement,
// wrapping around on overflow; the result is that signed 32-bit value.
long Stol(const std::string& chaine);

// A decimal number: leading blanks, an optional "-", then digits and points
// up to the first other character ("+1" gives 0, "1e3" gives 1). A point
// restarts the scale, so "1.2.3" gives 12.3.
double Stod(const std::string& chaine);

// A heap copy of param ended by NUL; the caller frees it with delete[].
char* Stoa(const std::string& param);

}  // namespace stringpp

#endif
