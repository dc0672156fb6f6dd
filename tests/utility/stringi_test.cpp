#include "utility/stringi.h"

#include "tests/support/system_charset.h"
#include "utility/cp1250.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

using namespace utility;

TEST(Stringi, LastPos)
{
    struct Case {
        const char* sub;
        const char* text;
        int limit;
        int expected;
    };
    const Case cases[] = {
        {"/", "a/b/c", -1, 4}, {"ab", "abxab", -1, 4}, {"ab", "abxab", 3, 1}, {"q", "abc", -1, 0},
        {"aa", "aaaa", -1, 3}, {"", "abc", -1, 0},     {"ab", "abxab", 0, 0}, {"aa", "aaa", -1, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LastPos(c.sub, c.text, c.limit), c.expected) << c.sub << " in " << c.text << " limit " << c.limit;
}

TEST(Stringi, ZeroPaddedNumbersMatchTheirDefinition)
{
    // IntToZeroPadded is the number's decimal text, blank-padded on the left and the blanks
    // made zeros; JoinZeroPadded is three of them with a separator between.
    const auto defined = [](long long value, int width) { return ZeroPadNumberText(std::to_string(value), width); };
    const long long values[] = {0,
                                1,
                                9,
                                10,
                                59,
                                99,
                                100,
                                999,
                                1'000,
                                2'024,
                                9'999,
                                10'000,
                                123'456,
                                -1,
                                -42,
                                -9'999,
                                std::numeric_limits<long long>::max(),
                                std::numeric_limits<long long>::min()};
    const int widths[] = {-3, 0, 1, 2, 4, 5, 20, 25};
    for (const long long value : values)
        for (const int width : widths)
            EXPECT_EQ(IntToZeroPadded(value, width), defined(value, width)) << value << " width " << width;
    struct Case {
        long long a;
        int wa;
        long long b;
        int wb;
        long long c;
        int wc;
        const char* separator;
    };
    const Case cases[] = {
        {2020, 4, 1, 2, 31, 2, "-"},  {6, 2, 5, 2, 0, 2, ":"},  {2020, 4, 12, 2, 1, 2, ""}, {0, 4, 0, 2, 0, 2, "-"},
        {12'345, 4, 7, 2, 7, 2, "-"}, {-1, 4, 1, 2, 1, 2, "-"}, {99, 2, 100, 2, 5, 2, ":"}, {1, 1, 2, 1, 3, 1, "."},
        {7, 0, 8, -1, 9, 5, "/"},     {1, 2, 3, 4, 5, 6, "::"},
    };
    for (const Case& c : cases) {
        const std::string separator = c.separator;
        EXPECT_EQ(JoinZeroPadded(c.a, c.wa, c.b, c.wb, c.c, c.wc, separator),
                  defined(c.a, c.wa) + separator + defined(c.b, c.wb) + separator + defined(c.c, c.wc))
            << c.a << separator << c.b << separator << c.c;
    }
}

TEST(Stringi, PaddingAndZeros)
{
    EXPECT_EQ(PadLeft("12345", 3, true), "345");
    EXPECT_EQ(PadLeft("12345", 3, false), "12345");
    EXPECT_EQ(PadLeft("7", 3, true), "  7");
    EXPECT_EQ(PadLeft("abc", -2, true), "");
    EXPECT_EQ(SpaceString(0), "");
    EXPECT_EQ(SpaceString(-4), "");
    EXPECT_EQ(SpaceString(3), "   ");
    EXPECT_EQ(IntToZeroPadded(-5, 4), "00-5");
    EXPECT_EQ(IntToZeroPadded(42, 5), "00042");
    EXPECT_EQ(ZeroPadNumberText("1 2", 5), "00102");
    EXPECT_EQ(IntToHexText(255), "FF");
    EXPECT_EQ(IntToHexText(0), "0");
    EXPECT_EQ(TrimBoth(std::string("\x01 ab c\t\n", 8)), "ab c");
    std::string s = "a b ";
    SpacesToZerosInPlace(s);
    EXPECT_EQ(s, "a0b0");
}

TEST(Stringi, ReplaceIsOnePass)
{
    struct Case {
        const char* text;
        const char* oldText;
        const char* newText;
        const char* expected;
    };
    const Case cases[] = {
        {"aabb", "ab", "", "ab"},  // no cascade
        {"aaba", "aba", "baab", "abaab"},
        {"aba", "a", "aa", "aabaa"},  // new text contains the old one
        {"", "a", "b", ""},
        {"abc", "", "x", "abc"},
        {"xyxy", "xy", "z", "zz"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReplaceAllPlain(c.text, c.oldText, c.newText), c.expected) << c.text;
    EXPECT_EQ(ReplaceText("a.b.c", ".", "\\"), "a\\b\\c");
    EXPECT_EQ(ReplaceText("a.b", ".", "::"), "a::b");
}

TEST(Stringi, CharacterSets)
{
    EXPECT_EQ(RemoveCharsOf("ab", "abcabc"), "cc");
    EXPECT_EQ(KeepCharsOf("ab", "abcabc"), "abab");
    EXPECT_EQ(KeepCharsInSet([](unsigned char c) { return c >= '0' && c <= '9'; }, "a1b2"), "12");
    EXPECT_EQ(RemoveSpaces(" a b "), "ab");
    EXPECT_EQ(IfThenText("x", true), "x");
    EXPECT_EQ(IfThenText("x", false), "");
    EXPECT_EQ(WithTrailingBackslash(" C:/a/ "), "C:/a\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\a"), "C:\\a\\");
    EXPECT_EQ(WithTrailingBackslash("  "), "");
}

TEST(Stringi, ForbiddenSet)
{
    const std::string& f = ForbiddenFileNameChars();
    EXPECT_EQ(f.size(), 47u);
    for (char c : std::string("\"*+,./:;<=>?[\\]|"))
        EXPECT_NE(f.find(c), std::string::npos) << c;
    EXPECT_EQ(f.find('\x05'), std::string::npos);
    EXPECT_EQ(f.find(' '), std::string::npos);
    EXPECT_EQ(f.find('-'), std::string::npos);
    EXPECT_NE(f.find('\0'), std::string::npos);
}

TEST(Stringi, WeekdayName)
{
    std::string name = "keep";
    WeekdayName(0, name);
    EXPECT_EQ(name, "keep");
    WeekdayName(8, name);
    EXPECT_EQ(name, "keep");
    WeekdayName(1, name);
    EXPECT_EQ(name, "Niedziela");
    WeekdayName(4, name);
    EXPECT_EQ(name, Pl("Środa"));
    EXPECT_EQ(name, "\x8Croda");
}

TEST(Stringi, Split)
{
    struct Case {
        const char* sep1;
        const char* sep2;
        const char* text;
        StringList expected;
    };
    const Case cases[] = {
        {";", "", "a;;b", {"a", "", "b"}},
        {";", "", "a;", {"a"}},
        {";", "", "", {}},
        {";", "", "x;;y;", {"x", "", "y"}},
        {";", ",", "a,b;c", {"a", "b", "c"}},
        {"ab", "a", "xaby", {"x", "y"}},  // tie: separator 1 wins
        {"a", "ab", "xaby", {"x", "by"}},
        {"::", "", "a::b::", {"a", "b"}},
        {";", "", ";", {""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SplitToList(c.sep1, c.sep2, c.text), c.expected) << c.text;
    EXPECT_EQ(SplitToList(std::string_view("\0", 1), ";", "a;b"), (StringList{"a", "b"}));
    StringList list{"keep"};
    SplitIntoStrings(list, ";", "", "z");
    EXPECT_EQ(list, (StringList{"keep", "z"}));
    EXPECT_EQ(SplitSemicolonList("x;;y;"), (StringList{"x", "", "y"}));
}

TEST(Stringi, RandomTexts)
{
    EXPECT_EQ(RandomText(0), "");
    EXPECT_EQ(RandomAlphanumeric(-1), "");
    const std::string t = RandomText(20000);
    ASSERT_EQ(t.size(), 20000u);
    std::set<char> seen(t.begin(), t.end());
    EXPECT_EQ(seen.size(), 54u);
    for (char c : seen) {
        EXPECT_TRUE((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '0' || c == '1') << c;
        EXPECT_EQ(ForbiddenFileNameChars().find(c), std::string::npos);
    }
    const std::string a = RandomAlphanumeric(20000);
    std::set<char> seenA(a.begin(), a.end());
    EXPECT_EQ(seenA.size(), 62u);
    // Two calls in one clock tick differ.
    EXPECT_NE(RandomText(16), RandomText(16));
    SetRandomSeed(7);
    const std::string first = RandomAlphanumeric(12);
    SetRandomSeed(7);
    EXPECT_EQ(RandomAlphanumeric(12), first);
}

TEST(Cp1250, TableAgreesWithTheSystemConverter)
{
    ASSERT_TRUE(testsupport::SystemKnowsCharset("CP1250")) << "glibc has no CP1250 converter";
    std::string undefined;
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<unsigned char>(b);
        char32_t expected = 0;
        if (!testsupport::SystemByteToUnicode("CP1250", byte, expected)) {
            // Bytes the code page leaves undefined keep their number, as C1 controls.
            undefined.push_back(static_cast<char>(byte));
            EXPECT_EQ(Cp1250ToUnicode(byte), char32_t(b)) << "byte " << b;
            continue;
        }
        EXPECT_EQ(Cp1250ToUnicode(byte), expected) << "byte " << b;
        unsigned char back = 0;
        EXPECT_TRUE(UnicodeToCp1250(expected, back)) << "byte " << b;
        EXPECT_EQ(back, byte) << "byte " << b;
    }
    EXPECT_EQ(undefined, "\x81\x83\x88\x90\x98");
}

TEST(Cp1250, RoundTripsEveryByte)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(QStringToCp1250(Cp1250ToQString(all)), all);
    EXPECT_EQ(Cp1250ToUtf8("\xA5\xB9\x8C\x9C\x8F\x9F\xAF\xBF\xA3\xB3"), "ĄąŚśŹźŻżŁł");
    EXPECT_EQ(Utf8ToCp1250("Łódź"), "\xA3\xF3"
                                    "d\x9F");
    EXPECT_EQ(Utf8ToCp1250("日"), "?");
}
