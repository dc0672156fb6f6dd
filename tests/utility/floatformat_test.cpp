#include "utility/floatformat.h"

#include "utility/cp1250.h"
#include "utility/datetime.h"
#include "utility/formatsettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace utility;

namespace {

struct MaskCase {
    const char* mask;
    double value;
    const char* expected;  // UTF-8
};

}  // namespace

TEST(FloatFormat, GeneralTextHasFifteenSignificantDigits)
{
    struct Case {
        double value;
        const char* expected;
    };
    const Case cases[] = {
        {1.0 / 3, "0,333333333333333"},
        {1E20, "1E20"},
        {5, "5"},
        {-2.5, "-2,5"},
        {0, "0"},
        {-0.0, "0"},
        {2147483648.0, "2147483648"},
        {1E15, "1E15"},
        {123456789012345.0, "123456789012345"},
        {999999999999999.9, "1E15"},
        {0.00001, "0,00001"},
        {0.000001, "1E-6"},
        {-2.5E-7, "-2,5E-7"},
        {0.1 + 0.2, "0,3"},
        {1.5, "1,5"},
        {100000, "100000"},
        {1E300, "1E300"},
        {2.0 / 3, "0,666666666666667"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FloatToTextGeneral(c.value), c.expected) << c.value;
    EXPECT_EQ(FloatToTextGeneral(std::numeric_limits<double>::infinity()), "INF");
    EXPECT_EQ(FloatToTextGeneral(-std::numeric_limits<double>::infinity()), "-INF");
    EXPECT_EQ(FloatToTextGeneral(std::nan("")), "NAN");
    EXPECT_EQ(FloatToTextGeneral(1234.5678, 3), "1,23E3");
    EXPECT_EQ(FloatToTextGeneral(2.5, 1), "3");
}

TEST(FloatFormat, MaskRoundsTheExactValueHalvesAwayFromZero)
{
    const MaskCase cases[] = {
        {"", 5, "5"},
        {"", 1.0 / 3, "0,333333333333333"},
        {"0.00", 5, "5,00"},
        {"0.00", 2.675, "2,67"},    // 2.67499999... in binary
        {"0.00", -0.125, "-0,13"},  // an exact half
        {"0.00", 0.125, "0,13"},
        {"0.00", 1.005, "1,00"},
        {"0.00", 0.995, "0,99"},
        {"0", 0.5, "1"},
        {"0", 2.5, "3"},
        {"0", -0.5, "-1"},
        {"0.00", -0.001, "0,00"},  // shows as zero: no minus
        {"0.0", 9.96, "10,0"},
        {"#,##0.00", 1234567, "1 234 567,00"},
        {"#,##0", -1234.5, "-1 235"},
        {"#,##0", 999.5, "1 000"},
        {"#,##0", 12, "12"},
        {"0.00;(0.00)", -5, "(5,00)"},
        {"0.00;(0.00)", 5, "5,00"},
        {"0.00;;zero", 0.001, "zero"},
        {"0.00;(0.00);'nic'", -0.001, "nic"},
        {";(0)", 5, "5"},
        {"0.00;", -5, "-5,00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFloatMask(Pl(c.mask), c.value), Pl(c.expected)) << c.mask << " " << c.value;
}

TEST(FloatFormat, MaskPlaceholdersLiteralsAndExponents)
{
    const MaskCase cases[] = {
        {"#.##", 0.5, ",5"},
        {"#.##", 12, "12"},
        {"#.##", 12.3, "12,3"},
        {"0.0#", 1.2, "1,2"},
        {"0.0#", 1.234, "1,23"},
        {"0.#0", 1.2, "1,20"},  // a trailing "0" forces every decimal before it
        {"000", 7, "007"},
        {"#0#", 7, "07"},
        {"#", 0, ""},
        {"0", 123456, "123456"},
        {"00-00", 1234, "12-34"},
        {"00-00", 123456, "1234-56"},
        {".00", 12.5, "12,50"},
        {"'Suma: '0.00' zł'", 3, "Suma: 3,00 zł"},
        {"\"a;b\"0", 4, "a;b4"},
        {"0 kg", -3, "-3 kg"},
        {"'open", 1, "open"},
        {"Total", 12, "Total"},
        {"0.00E+00", 12345, "1,23E+04"},
        {"0.00E+00", 0.00012345, "1,23E-04"},
        {"0.00E-00", 12345, "1,23E04"},
        {"0.00e+0", 0, "0,00e+0"},
        {"##0.0E+0", 12345, "123,5E+2"},
        {"0.0E+0000000", 5, "5,0E+0000"},
        {"0E+0 m", 5000, "5E+3 m"},
        {"0.00E+00", 9.999, "1,00E+01"},
        {"0,000.0", 1234.25, "1 234,3"},
        {"0.00", 1E20, "100000000000000000000,00"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatFloatMask(Pl(c.mask), c.value), Pl(c.expected)) << c.mask << " " << c.value;
}

TEST(FloatFormat, MaskRefusesValuesThatAreNotNumbers)
{
    EXPECT_FALSE(FormatFloatMask("0.00", std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(FormatFloatMask("", std::nan("")));
}

TEST(FloatFormat, OneValuePercentFormat)
{
    const MaskCase cases[] = {
        {"%m", -1234.5, "-1 234,50 zł"},
        {"%12m", 1, "     1,00 zł"},
        {"%-12m|", 1, "1,00 zł     |"},
        {"%.0m", 2.5, "3 zł"},
        {"%m", -0.001, "0,00 zł"},
        {"Razem: %m.", 10, "Razem: 10,00 zł."},
        {"%f", 2.675, "2,67"},
        {"%.3f", -1234.5, "-1234,500"},
        {"%.0f", 0.5, "1"},
        {"%n", 1234567.891, "1 234 567,89"},
        {"%e", 1234.5, "1,23450000000000E+003"},
        {"%.3e", -0.00012345, "-1,23E-004"},
        {"%.1E", 5, "5E+000"},
        {"%g", 1.0 / 3, "0,333333333333333"},
        {"%.3g", 1234.5, "1,23E3"},
        {"%G", 1E20, "1E20"},
        {"100%%", 1, "100%"},
        {"no value", 1, "no value"},
        {"%8.2f|", 3.14159, "    3,14|"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatOneFloat(Pl(c.mask), c.value), Pl(c.expected)) << c.mask << " " << c.value;
}

TEST(FloatFormat, PercentFormatRefusesWhatItCannotFill)
{
    for (const char* format :
         {"%f %m", "%s", "%d", "%x", "%", "abc%", "%0:m", "%*m", "%.m", "%10000m", "%5.99999f", "%q"})
        EXPECT_FALSE(FormatOneFloat(format, 1.5)) << format;
    EXPECT_FALSE(FormatOneFloat("%m", std::numeric_limits<double>::infinity()));
    EXPECT_EQ(FormatOneFloat("%%", std::nan("")), "%");
}

TEST(FloatFormat, DateTimeCodesTAndC)
{
    const double t = EncodeDate(2024, 5, 1) + EncodeTime(13, 5, 7);
    EXPECT_EQ(FormatShortTime(t), "13:05");
    EXPECT_EQ(FormatShortDateTime(t), "2024-05-01 13:05:07");
    EXPECT_EQ(FormatShortDateTime(EncodeDate(2024, 5, 1)), "2024-05-01");
    EXPECT_EQ(FormatShortDateTime(EncodeDate(2024, 5, 1) + EncodeTime(0, 0, 0, 1)), "2024-05-01 00:00:00");
    EXPECT_EQ(FormatShortTime(EncodeDate(2024, 5, 1) + EncodeTime(23, 59, 59, 999)), "23:59");
}

TEST(Cp1250Case, UpperAndLowerCaseFollowTheCodePage)
{
    EXPECT_EQ(Cp1250UpperCase(Pl("zażółć gęślą jaźń")), Pl("ZAŻÓŁĆ GĘŚLĄ JAŹŃ"));
    EXPECT_EQ(Cp1250LowerCase(Pl("ZAŻÓŁĆ GĘŚLĄ JAŹŃ")), Pl("zażółć gęślą jaźń"));
    EXPECT_EQ(Cp1250UpperCase(Pl("šťžľčřďňůűő")), Pl("ŠŤŽĽČŘĎŇŮŰŐ"));
    // No upper-case byte of their own: they stay.
    EXPECT_EQ(Cp1250UpperCase(Pl("ßµ")), Pl("ßµ"));
    EXPECT_EQ(Cp1250UpperCase("a1[]{}~\x7f"), "A1[]{}~\x7f");
    // Every byte maps to a byte and back again for letters with both cases.
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        const std::string upper = Cp1250UpperCase(one);
        ASSERT_EQ(upper.size(), 1u);
        if (upper != one) {
            EXPECT_EQ(Cp1250LowerCase(upper), one) << b;
        }
    }
}
