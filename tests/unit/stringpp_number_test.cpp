// Stringpp: numbers to text and text to numbers.
#include "Stringpp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

using namespace std::string_literals;
using namespace stringpp;

TEST(StringppNumberToText, Characters)
{
    EXPECT_EQ(ctoS('a'), "a");
    EXPECT_EQ(ctoS('\0'), "\0"s);
}

TEST(StringppNumberToText, Decimal)
{
    EXPECT_EQ(unslong2S(0), "0");
    EXPECT_EQ(unslong2S(10), "10");
    EXPECT_EQ(unslong2S(4294967295u), "4294967295");
    EXPECT_EQ(itoS(0), "0");
    EXPECT_EQ(itoS(42), "42");
    EXPECT_EQ(itoS(-7), "-7");
    EXPECT_EQ(itoS(INT32_MAX), "2147483647");
    EXPECT_EQ(itoS(INT32_MIN), "-2147483648");
}

TEST(StringppNumberToText, Binary)
{
    EXPECT_EQ(bin8toS(0), "00000000");
    EXPECT_EQ(bin8toS(5), "00000101");
    EXPECT_EQ(bin8toS(128), "10000000");
    EXPECT_EQ(bin8toS(259), "00000011");
    EXPECT_EQ(bin8toS(-1), "11111111");
}

TEST(StringppNumberToText, Hexadecimal)
{
    EXPECT_EQ(hex1toS(9), "9");
    EXPECT_EQ(hex1toS(10), "a");
    EXPECT_EQ(hex1toS(31), "f");
    EXPECT_EQ(hex2toS(171), "ab");
    EXPECT_EQ(hex2toS(0x1234), "34");
    EXPECT_EQ(hex4toS(255), "00ff");
    EXPECT_EQ(hex8toS(4096), "00001000");
    EXPECT_EQ(hex8toS(0x123456789L), "23456789");
}

TEST(StringppNumberToText, HexadecimalNegative)
{
    // Two's complement bits, never a character outside 0-9 a-f.
    EXPECT_EQ(hex1toS(-1), "f");
    EXPECT_EQ(hex1toS(-16), "0");
    EXPECT_EQ(hex2toS(-1), "ff");
    EXPECT_EQ(hex4toS(-2), "fffe");
    EXPECT_EQ(hex8toS(-1), "ffffffff");
    EXPECT_EQ(hex8toS(0x80000000L), "80000000");
    EXPECT_EQ(hex8toS(INT32_MIN), "80000000");
}

TEST(StringppNumberToText, Fixed)
{
    EXPECT_EQ(dtoS(3.14159, 2), "3.14");
    EXPECT_EQ(dtoS(-2.5, 1), "-2.5");
    EXPECT_EQ(dtoS(0.05, 3), "0.050");
    EXPECT_EQ(dtoS(3.2, 0), "3.");
    EXPECT_EQ(dtoS(2.0, 3), "2.000");
    EXPECT_EQ(dtoS(-0.0, 2), "0.00");
    EXPECT_EQ(dtoS(0.125, 2), "0.12");     // exactly one half: not rounded up
    EXPECT_EQ(dtoS(0.126, 2), "0.13");
    EXPECT_EQ(dtoS(1.5, 9), "1.500000000");
    EXPECT_EQ(dtoS(2147483647.25, 2), "2147483647.25");
}

TEST(StringppNumberToText, FixedCarry)
{
    EXPECT_EQ(dtoS(0.9999, 2), "1.00");
    EXPECT_EQ(dtoS(-0.9999, 2), "-1.00");
    EXPECT_EQ(dtoS(9.99999, 3), "10.000");
    EXPECT_EQ(dtoS(3.7, 0), "4.");
    EXPECT_EQ(dtoS(0.5, 0), "0.");
    EXPECT_EQ(dtoS(4294967295.9999, 2), "4294967296.00");
}

TEST(StringppNumberToText, FixedOutsideUsualRange)
{
    EXPECT_EQ(dtoS(3.14159, -1), "3.");
    EXPECT_EQ(dtoS(0.5, 12), "0.500000000000");
    EXPECT_EQ(dtoS(1.0 / 3, 1000), "0.333333333333333248");   // at most 18 decimals
    EXPECT_EQ(dtoS(1.0 / 3, INT32_MAX).size(), 20u);
    EXPECT_EQ(dtoS(1e10, 1), "10000000000.0");
    EXPECT_EQ(dtoS(-1e20, 0), "-100000000000000000000.");
    const std::string huge = dtoS(-1e300, 2);
    EXPECT_EQ(huge.size(), 305u);
    EXPECT_EQ(huge.substr(0, 3), "-10");
    EXPECT_EQ(dtoS(std::numeric_limits<double>::quiet_NaN(), 2), "nan");
    EXPECT_EQ(dtoS(std::numeric_limits<double>::infinity(), 2), "inf");
    EXPECT_EQ(dtoS(-std::numeric_limits<double>::infinity(), 2), "-inf");
}

TEST(StringppTextToNumber, Stol)
{
    EXPECT_EQ(Stol("123"), 123);
    EXPECT_EQ(Stol("0042"), 42);
    EXPECT_EQ(Stol(""), 0);
    EXPECT_EQ(Stol("-1"), -29);       // '-' enters the sum as 45 - 48
    EXPECT_EQ(Stol("a"), 49);
    EXPECT_EQ(Stol("\xE9"), -71);     // a signed byte
}

TEST(StringppTextToNumber, StolWrapsAt32Bits)
{
    EXPECT_EQ(Stol("2147483647"), 2147483647L);
    EXPECT_EQ(Stol("2147483648"), -2147483648L);
    EXPECT_EQ(Stol("4294967295"), -1);
    EXPECT_EQ(Stol("4294967296"), 0);
    EXPECT_EQ(Stol("99999999999999999999"), 1661992959L);
    EXPECT_EQ(Stol(std::string(100000, '\x80')) >= -2147483648L, true);
}

TEST(StringppTextToNumber, Stod)
{
    EXPECT_DOUBLE_EQ(Stod("12"), 12);
    EXPECT_DOUBLE_EQ(Stod("0.125"), 0.125);
    EXPECT_DOUBLE_EQ(Stod("  -3.25"), -3.25);
    EXPECT_DOUBLE_EQ(Stod("5."), 5);
    EXPECT_DOUBLE_EQ(Stod(".5"), 0.5);
    EXPECT_DOUBLE_EQ(Stod("1e3"), 1);
    EXPECT_DOUBLE_EQ(Stod("abc"), 0);
    EXPECT_DOUBLE_EQ(Stod(""), 0);
    EXPECT_DOUBLE_EQ(Stod("+1"), 0);
    EXPECT_DOUBLE_EQ(Stod("\t1"), 0);     // only blanks are skipped
    EXPECT_DOUBLE_EQ(Stod("1.2.3"), 12.3);
    EXPECT_DOUBLE_EQ(Stod("-12x"), -12);
}

TEST(StringppTextToNumber, StodLongTexts)
{
    EXPECT_DOUBLE_EQ(Stod("0." + std::string(305, '0') + "5"), 5e-306);
    EXPECT_NEAR(Stod("0." + std::string(1000, '9')), 1.0, 1e-12);
    EXPECT_TRUE(std::isinf(Stod(std::string(400, '9'))));
}
