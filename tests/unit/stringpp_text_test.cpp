// Stringpp: substitution, search and slicing, case, tokenizer, Stoa.
#include "Stringpp.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace std::string_literals;
using namespace stringpp;

TEST(StringppSubstitution, CharByChar)
{
    EXPECT_EQ(substitute_char("a b  c", ' ', '~'), "a~b~~c");
    EXPECT_EQ(substitute_char("", ' ', '~'), "");
    EXPECT_EQ(substitute_char("abc", ' ', '~'), "abc");
    EXPECT_EQ(substitute_char("x}y}", '}', '\n'), "x\ny\n");
    EXPECT_EQ(substitute_char("a\0b\0"s, '\0', '!'), "a!b!");
}

TEST(StringppSubstitution, CharByText)
{
    EXPECT_EQ(substitute_char("a,b", ',', "::"), "a::b");
    EXPECT_EQ(substitute_char("a,b", ',', ""), "ab");
    EXPECT_EQ(substitute_char(",a,,", ',', "<>"), "<>a<><>");
    EXPECT_EQ(substitute_char("", ',', "::"), "");
}

TEST(StringppSubstitution, String)
{
    EXPECT_EQ(substitute_string("aaa", "aa", "b"), "ba");
    EXPECT_EQ(substitute_string("abcabc", "bc", ""), "aa");
    EXPECT_EQ(substitute_string("ab", "abc", "x"), "ab");      // cut by the end
    EXPECT_EQ(substitute_string("xab", "ab", "Z"), "xZ");      // occurrence at the end
    EXPECT_EQ(substitute_string("a", "a", "aa"), "aa");        // result not rescanned
    EXPECT_EQ(substitute_string("", "a", "b"), "");
    EXPECT_EQ(substitute_string("abc", "", "x"), "abc");       // empty init: a copy
}

TEST(StringppSearchSlice, Contains)
{
    EXPECT_EQ(contains("abc", ""), 1);
    EXPECT_EQ(contains("", ""), 1);
    EXPECT_EQ(contains("", "a"), 0);
    EXPECT_EQ(contains("abc", "bc"), 1);
    EXPECT_EQ(contains("abc", "ac"), 0);
    EXPECT_EQ(contains("ab", "abc"), 0);
}

TEST(StringppSearchSlice, BeforeAfter)
{
    EXPECT_EQ(my_before("abc", 5), "abc");
    EXPECT_EQ(my_before("abc", 2), "ab");
    EXPECT_EQ(my_before("abc", 0), "");
    EXPECT_EQ(my_before("abc", -1), "");
    EXPECT_EQ(my_after("abc", 3), "");
    EXPECT_EQ(my_after("abc", 1), "bc");
    EXPECT_EQ(my_after("abc", 100), "");
    EXPECT_EQ(my_after("abc", -2), "abc");   // negative counts from 0
    EXPECT_EQ(my_after("", 0), "");
}

TEST(StringppSearchSlice, At)
{
    EXPECT_EQ(my_at("abcdef", 2, 4), "cd");
    EXPECT_EQ(my_at("abc", 1, 10), "bc");
    EXPECT_EQ(my_at("abc", 2, 2), "");
    EXPECT_EQ(my_at("abc", 2, 1), "");
    EXPECT_EQ(my_at("abc", 5, 10), "");
    EXPECT_EQ(my_at("abc", -1, 2), "ab");    // negative counts from 0
    EXPECT_EQ(my_at("abc", -5, -1), "");
    EXPECT_EQ(my_at("", 0, 3), "");
}

TEST(StringppCase, PlainAscii)
{
    // '@', '[', '`' and '{' border the letter ranges.
    EXPECT_EQ(upcase("az AZ 09 @[`{_"), "AZ AZ 09 @[`{_");
    EXPECT_EQ(downcase("az AZ 09 @[`{_"), "az az 09 @[`{_");
    EXPECT_EQ(upcase_accent("az AZ 09 @[`{_"), "AZ AZ 09 @[`{_");
}

TEST(StringppCase, HighBytes)
{
    const std::string ete = "\xE9t\xE9";
    EXPECT_EQ(upcase(ete), "T");
    EXPECT_EQ(upcase_accent(ete), "ETE");
    EXPECT_EQ(downcase("\xC9T\xE9"), "\xC9t\xE9");
    EXPECT_EQ(upcase_accent("\xE9\xE8\xEA\xE0\xE2\xF4\xE7\x8C"), "EEEAAOCI");
    EXPECT_EQ(upcase_accent("a\x80\xC9\xFF"), "A");   // not in the table: left out
    EXPECT_EQ(upcase("\x80\xFF"), "");
}

TEST(StringppCase, EstLc)
{
    for (char c : "azAZ09"s)
        EXPECT_EQ(est_lc(c), 1) << c;
    for (char c : "@[`{/: _\0\xE9\xFF"s)
        EXPECT_EQ(est_lc(c), 0) << int(c);
}

TEST(StringppTokenizer, Examples)
{
    std::string rest = "unchanged";
    EXPECT_EQ(next_Stringtoken("abc def", ' ', &rest), "abc");
    EXPECT_EQ(rest, " def");
    EXPECT_EQ(next_Stringtoken(" def", ' ', &rest), "def");
    EXPECT_EQ(rest, "");
    EXPECT_EQ(next_Stringtoken("a+b", ' ', &rest), "a");
    EXPECT_EQ(rest, "+b");
    EXPECT_EQ(next_Stringtoken("+b", ' ', &rest), "+");
    EXPECT_EQ(rest, "b");
    EXPECT_EQ(next_Stringtoken("a_b", ' ', &rest), "a");
    EXPECT_EQ(rest, "_b");
    EXPECT_EQ(next_Stringtoken("ab1 ", ' ', &rest), "ab1");
    EXPECT_EQ(rest, " ");
}

TEST(StringppTokenizer, EmptyAndSeparatorsOnly)
{
    std::string rest = "x";
    EXPECT_EQ(next_Stringtoken("", ' ', &rest), "");
    EXPECT_EQ(rest, "");
    rest = "x";
    EXPECT_EQ(next_Stringtoken("   ", ' ', &rest), "");
    EXPECT_EQ(rest, "");
    EXPECT_EQ(next_Stringtoken(" a", ' ', nullptr), "a");
}

TEST(StringppTokenizer, LetterSeparatorEndsToken)
{
    std::string rest;
    EXPECT_EQ(next_Stringtoken("axbay", 'a', &rest), "xb");
    EXPECT_EQ(rest, "ay");
}

TEST(StringppTokenizer, RestInPlace)
{
    // The usual loop hands the rest back as the next input.
    std::string text = "x1 + (y2)";
    std::vector<std::string> tokens;
    while (!text.empty())
        tokens.push_back(next_Stringtoken(text, ' ', &text));
    EXPECT_EQ(tokens, (std::vector<std::string>{"x1", "+", "(", "y2", ")"}));
}

TEST(StringppStoa, Copy)
{
    const std::string texts[] = {"", "abc", "a\0b"s, "\xE9t\xE9"};
    for (const std::string& text : texts) {
        char* copy = Stoa(text);
        EXPECT_EQ(std::memcmp(copy, text.c_str(), text.size() + 1), 0);
        delete[] copy;
    }
}
