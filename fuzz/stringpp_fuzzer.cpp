// The Stringpp conversions and the tokenizer, on any bytes and any numbers:
// no crash and no undefined behaviour, and what each promises of its result.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include <fuzzer/FuzzedDataProvider.h>

#include "Stringpp.h"
#include "check.h"

using namespace stringpp;

namespace {

bool only(const std::string& text, const char* allowed)
{
    return text.find_first_not_of(allowed) == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int number = input.ConsumeIntegral<int>();
    const long wide = input.ConsumeIntegral<long>();
    const double real = input.ConsumeFloatingPoint<double>();
    const int decimals = input.ConsumeIntegralInRange<int>(-3, 40);
    const char separator = input.ConsumeIntegral<char>();
    const std::string text = input.ConsumeRemainingBytesAsString();

    // Numbers to text.
    const std::string decimal = itoS(number);
    CHECK(Stol(decimal.substr(number < 0 ? 1 : 0)) == (number < 0 ? -static_cast<long>(number) : number) ||
              number == INT32_MIN,
          "itoS reads back through Stol");
    CHECK(unslong2S(static_cast<std::uint32_t>(number)) == std::to_string(static_cast<std::uint32_t>(number)),
          "unslong2S is the decimal text");
    CHECK(hex1toS(number).size() == 1 && hex2toS(number).size() == 2 && hex4toS(number).size() == 4 &&
              hex8toS(wide).size() == 8,
          "hex writers have fixed widths");
    CHECK(only(hex1toS(number) + hex2toS(number) + hex4toS(number) + hex8toS(wide), "0123456789abcdef"),
          "hex writers write lower-case digits");
    CHECK(bin8toS(number).size() == 8 && only(bin8toS(number), "01"), "bin8toS writes eight bits");
    const std::string fixed = dtoS(real, decimals);
    if (std::isfinite(real)) {
        const size_t point = fixed.find('.');
        CHECK(point != std::string::npos, "dtoS writes a point");
        CHECK(fixed.size() - point - 1 == static_cast<size_t>(decimals < 0 ? 0 : decimals > 18 ? 18 : decimals),
              "dtoS writes the count of decimals asked for");
        CHECK(only(fixed, "-0123456789."), "dtoS writes a plain decimal");
    }

    // Text to numbers: any bytes.
    Stol(text);
    const double parsed = Stod(text);
    CHECK(!std::isnan(parsed), "Stod never gives NaN");
    char* copy = Stoa(text);
    CHECK(std::memcmp(copy, text.data(), text.size()) == 0 && copy[text.size()] == '\0', "Stoa copies");
    delete[] copy;

    // The tokenizer: the token and the rest are what follows the skipped
    // separators, in order.
    std::string rest;
    const std::string token = next_Stringtoken(text, separator, &rest);
    const size_t start = text.find_first_not_of(separator);
    if (start == std::string::npos) {
        CHECK(token.empty() && rest.empty(), "separators only: nothing");
    } else {
        CHECK(text.compare(start, token.size() + rest.size(), token + rest) == 0 &&
                  start + token.size() + rest.size() == text.size(),
              "token and rest make up the text after the separators");
        CHECK(!token.empty(), "a token where there is text");
    }

    // Edits keep what they promise.
    CHECK(substitute_char(text, separator, 'x').size() == text.size(), "substitute_char keeps the length");
    CHECK(downcase(text).size() == text.size(), "downcase keeps the length");
    CHECK(my_at(text, number % 64, number % 97).size() <= text.size(), "my_at is a part");
    return 0;
}
