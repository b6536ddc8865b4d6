#include "Stringpp.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace stringpp {

namespace {

bool is_lower(char c) { return c >= 'a' && c <= 'z'; }
bool is_upper(char c) { return c >= 'A' && c <= 'Z'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Clamps a signed position to [0, size].
std::string::size_type clamp_pos(long long pos, std::string::size_type size)
{
    if (pos <= 0)
        return 0;
    if (static_cast<unsigned long long>(pos) >= size)
        return size;
    return static_cast<std::string::size_type>(pos);
}

// The lowest `count` hexadecimal digits of bits, most significant first.
std::string hex_digits(std::uint32_t bits, int count)
{
    static const char digits[] = "0123456789abcdef";
    std::string result(static_cast<std::string::size_type>(count), '0');
    for (int k = count - 1; k >= 0; --k) {
        result[static_cast<std::string::size_type>(k)] = digits[bits & 0xFu];
        bits >>= 4;
    }
    return result;
}

// Decimal digits of a 64-bit unsigned value.
std::string u64toS(std::uint64_t value)
{
    std::string result;
    do {
        result.insert(result.begin(), static_cast<char>('0' + value % 10));
        value /= 10;
    } while (value != 0);
    return result;
}

// Decimal digits of a non-negative whole double.
std::string whole_toS(double whole)
{
    if (whole < 4294967296.0)
        return unslong2S(static_cast<std::uint32_t>(whole));
    if (whole < 18446744073709551616.0)
        return u64toS(static_cast<std::uint64_t>(whole));
    char buffer[400];  // the largest double has 309 digits
    std::snprintf(buffer, sizeof buffer, "%.0f", whole);
    return buffer;
}

} // namespace

// ---- Substitution ---------------------------------------------------------

std::string substitute_char(const std::string& value, char init, char nouv)
{
    std::string result(value);
    for (char& c : result)
        if (c == init)
            c = nouv;
    return result;
}

std::string substitute_char(const std::string& value, char init, const std::string& nouv)
{
    std::string result;
    result.reserve(value.size());
    for (char c : value) {
        if (c == init)
            result += nouv;
        else
            result += c;
    }
    return result;
}

std::string substitute_string(const std::string& value, const std::string& init,
                              const std::string& nouv)
{
    // An empty init would match at every position without moving on.
    if (init.empty())
        return value;
    std::string result;
    result.reserve(value.size());
    std::string::size_type pos = 0;
    while (pos < value.size()) {
        if (value.size() - pos >= init.size() && value.compare(pos, init.size(), init) == 0) {
            result += nouv;
            pos += init.size();
        } else {
            result += value[pos];
            ++pos;
        }
    }
    return result;
}

// ---- Search and slicing ---------------------------------------------------

int contains(const std::string& init, const std::string& elem)
{
    return init.find(elem) != std::string::npos ? 1 : 0;
}

std::string my_before(const std::string& value, int limit)
{
    return value.substr(0, clamp_pos(limit, value.size()));
}

std::string my_after(const std::string& value, int init)
{
    return value.substr(clamp_pos(init, value.size()));
}

std::string my_at(const std::string& value, int init, int limit)
{
    std::string::size_type from = clamp_pos(init, value.size());
    std::string::size_type to = clamp_pos(limit, value.size());
    if (from >= to)
        return std::string();
    return value.substr(from, to - from);
}

// ---- Case -----------------------------------------------------------------

std::string downcase(const std::string& chaine)
{
    std::string result(chaine);
    for (char& c : result)
        if (is_upper(c))
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

std::string upcase(const std::string& chaine)
{
    std::string result;
    result.reserve(chaine.size());
    for (char c : chaine) {
        if (c < 0)
            continue;
        result += is_lower(c) ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return result;
}

std::string upcase_accent(const std::string& chaine)
{
    std::string result;
    result.reserve(chaine.size());
    for (char c : chaine) {
        if (c >= 0) {
            result += is_lower(c) ? static_cast<char>(c - 'a' + 'A') : c;
            continue;
        }
        switch (static_cast<unsigned char>(c)) {
        case 0xE9: case 0xE8: case 0xEA: result += 'E'; break;
        case 0xE0: case 0xE2:            result += 'A'; break;
        case 0xF4:                       result += 'O'; break;
        case 0xE7:                       result += 'C'; break;
        case 0x8C:                       result += 'I'; break;
        default:                         break;  // no plain letter for it
        }
    }
    return result;
}

int est_lc(char c)
{
    return is_lower(c) || is_upper(c) || is_digit(c) ? 1 : 0;
}

// ---- Tokenizer ------------------------------------------------------------

std::string next_Stringtoken(const std::string& initial, char separateur, std::string* preste)
{
    const std::string::size_type n = initial.size();
    std::string::size_type start = 0;
    while (start < n && initial[start] == separateur)
        ++start;

    std::string token;
    std::string rest;
    if (start < n) {
        std::string::size_type end = start + 1;
        if (est_lc(initial[start]))
            while (end < n && est_lc(initial[end]) && initial[end] != separateur)
                ++end;
        token = initial.substr(start, end - start);
        rest = initial.substr(end);
    }
    // Written last: preste may be the very string that initial refers to.
    if (preste)
        *preste = std::move(rest);
    return token;
}

// ---- Number to text -------------------------------------------------------

std::string ctoS(char c)
{
    return std::string(1, c);
}

std::string unslong2S(std::uint32_t diviseur)
{
    return u64toS(diviseur);
}

std::string itoS(std::int32_t valeur)
{
    // Magnitude computed unsigned so that the most negative value works too.
    std::uint32_t magnitude = static_cast<std::uint32_t>(valeur);
    if (valeur >= 0)
        return unslong2S(magnitude);
    return "-" + unslong2S(0u - magnitude);
}

std::string bin8toS(int valeur)
{
    std::uint32_t bits = static_cast<std::uint32_t>(valeur);
    std::string result(8, '0');
    for (int k = 7; k >= 0; --k) {
        if (bits & 1u)
            result[static_cast<std::string::size_type>(k)] = '1';
        bits >>= 1;
    }
    return result;
}

std::string hex1toS(int valeur)
{
    return hex_digits(static_cast<std::uint32_t>(valeur), 1);
}

std::string hex2toS(int valeur)
{
    return hex_digits(static_cast<std::uint32_t>(valeur), 2);
}

std::string hex4toS(int valeur)
{
    return hex_digits(static_cast<std::uint32_t>(valeur), 4);
}

std::string hex8toS(long valeur)
{
    return hex_digits(static_cast<std::uint32_t>(valeur), 8);
}

// The fraction is written from n = round((f + 1.0) * 10^nbdecimal): the
// leading 1 keeps the fraction's leading zeros and is dropped from the text.
// Beyond the usual range:
// - nbdecimal 0 or negative writes no decimals; above 18 it is taken as 18
//   (a double holds no more than 17 significant digits, and 10^18 is the
//   largest power that keeps n within 64 bits);
// - integer parts of any size are written in full (all their digits);
// - NaN and infinities give "nan", "inf" and "-inf".
std::string dtoS(double x, int nbdecimal)
{
    if (std::isnan(x))
        return "nan";
    if (std::isinf(x))
        return x < 0.0 ? "-inf" : "inf";

    std::string sign;
    if (x < 0.0) {
        sign = "-";
        x = -x;
    }
    double whole = std::trunc(x);
    const double f = x - whole;

    const int decimals = nbdecimal < 0 ? 0 : (nbdecimal > 18 ? 18 : nbdecimal);
    std::uint64_t p = 1;
    for (int k = 0; k < decimals; ++k)
        p *= 10;

    const double d = (f + 1.0) * static_cast<double>(p);
    std::uint64_t n = static_cast<std::uint64_t>(d);
    if (d - static_cast<double>(n) > 0.5)
        ++n;
    if (n >= 2 * p) {  // the fraction rounded up to a whole unit
        whole += 1.0;
        n = p;
    }
    return sign + whole_toS(whole) + "." + u64toS(n).substr(1);
}

// ---- Text to number -------------------------------------------------------

long Stol(const std::string& chaine)
{
    // Unsigned arithmetic wraps modulo 2^32 without undefined behaviour.
    std::uint32_t sum = 0;
    for (char c : chaine)
        sum = sum * 10u + static_cast<std::uint32_t>(c - '0');
    if (sum <= 0x7FFFFFFFu)
        return static_cast<long>(sum);
    return static_cast<long>(sum) - 4294967296L;
}

double Stod(const std::string& chaine)
{
    const std::string::size_type n = chaine.size();
    std::string::size_type pos = 0;
    while (pos < n && chaine[pos] == ' ')
        ++pos;
    double sign = 1.0;
    if (pos < n && chaine[pos] == '-') {
        sign = -1.0;
        ++pos;
    }
    double value = 0.0;
    double scale = 0.0;
    for (; pos < n; ++pos) {
        const char c = chaine[pos];
        if (is_digit(c)) {
            // A digit some 308 places behind a point adds less than 1e-307;
            // skipping it keeps scale finite (no inf / inf = NaN).
            if (scale > 1e307)
                continue;
            value = value * 10.0 + (c - '0');
            scale *= 10.0;
        } else if (c == '.') {
            scale = 1.0;
        } else {
            break;
        }
    }
    value *= sign;
    if (scale > 1.0)
        value /= scale;
    return value;
}

char* Stoa(const std::string& param)
{
    char* result = new char[param.size() + 1];
    std::memcpy(result, param.data(), param.size());
    result[param.size()] = '\0';
    return result;
}

}  // namespace stringpp
