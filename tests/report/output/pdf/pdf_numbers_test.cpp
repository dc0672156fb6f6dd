#include "report/output/pdf/pdf_numbers.h"

#include <gtest/gtest.h>

#include <locale.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <locale>
#include <random>
#include <string>
#include <vector>

namespace report::output {
namespace {

TEST(PdfNumbers, Integers)
{
    struct Row {
        long long value;
        int digits;
        const char* text;
    };
    const Row rows[] = {
        {0, 0, "0"},           {-42, 0, "-42"},          {2147483648LL, 0, "2147483648"},
        {0, 10, "0000000000"}, {1234, 10, "0000001234"}, {12345678901LL, 10, "12345678901"},
        {5, 2, "05"},          {123, 2, "123"},          {-5, 2, "-05"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(row.digits == 0 ? PdfInt(row.value) : PdfInt(row.value, row.digits), row.text);
    }
}

TEST(PdfNumbers, CutTowardZero)
{
    struct Row {
        long double value;
        const char* text;
    };
    const Row rows[] = {
        {75.9L, "75"},
        {676.0L, "676"},
        {-1.5L, "-1"},
        {-0.7L, "0"},
        {-0.0L, "0"},
        {1e20L, "100000000000000000000"},
        {std::numeric_limits<long double>::quiet_NaN(), "0"},
        {std::numeric_limits<long double>::infinity(), "0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(PdfTrunc(row.value), row.text);
    }
}

TEST(PdfNumbers, FixedPoint)
{
    struct Row {
        long double value;
        int decimals;
        int width;
        const char* text;
    };
    const Row rows[] = {
        // "%f"
        {0.75L, 2, 0, "0.75"},
        {1e6L, 2, 0, "1000000.00"},
        {-0.004L, 2, 0, "0.00"},
        {-0.0L, 2, 0, "0.00"},
        {-12.346L, 2, 0, "-12.35"},
        // "%2.0f": the width pads on the left
        {0.75L, 0, 2, " 1"},
        {3.0L, 0, 2, " 3"},
        {100.0L, 0, 2, "100"},
        {-0.3L, 0, 2, " 0"},
        // "%6.1f"
        {595.2756L, 1, 6, " 595.3"},
        {-3.14159L, 1, 6, "  -3.1"},
        {-0.04L, 1, 6, "   0.0"},
        {12345.67L, 1, 6, "12345.7"},
        // "%4.2f" of colour fractions
        {128.0L / 255.0L, 2, 4, "0.50"},
        {1.0L, 2, 4, "1.00"},
        // "%6.4f"
        {std::cos(0.0L), 4, 6, "1.0000"},
        {-std::sin(0.0L), 4, 6, "0.0000"},
        {std::numeric_limits<long double>::quiet_NaN(), 2, 0, "0.00"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(PdfFixed(row.value, row.decimals, row.width), row.text);
    }
}

// What printf writes in the C locale, without the sign of a value that rounds to zero: the text
// the writer gave before it had a number writer of its own.
std::string PrintfFixed(long double value, int decimals, int width)
{
    const locale_t c = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    const locale_t previous = uselocale(c);
    std::vector<char> text(6000);
    std::snprintf(text.data(), text.size(), "%.*Lf", decimals, value);
    uselocale(previous);
    freelocale(c);
    std::string s = text.data();
    if (s.front() == '-' && s.find_first_not_of("-0.") == std::string::npos)
        s.erase(0, 1);
    if (width > 0 && s.size() < static_cast<std::size_t>(width))
        s.insert(0, static_cast<std::size_t>(width) - s.size(), ' ');
    return s;
}

// Values of every kind the writer meets and some it never should: ties of the binary value at
// each decimal, decimal ties that long double and double store on different sides, the
// writer's own colour fractions, cosines and coordinates, large and tiny values, and a spread
// of random ones.
std::vector<long double> NumberTable()
{
    std::vector<long double> values;
    for (int j = 1; j <= 10; ++j) {
        for (int n = -1025; n <= 1025; n += 2)
            values.push_back(std::ldexp(static_cast<long double>(n), -j));
    }
    const long double decimalTies[] = {2.675L, 1.005L,     0.045L,   1.115L, 0.285L, 0.125L,  2.5L,   0.35L,
                                       8.345L, 1234.5675L, 0.00005L, 0.15L,  0.25L,  99.995L, 0.995L, 1.45L};
    for (const long double tie : decimalTies) {
        for (const long double v : {tie, static_cast<long double>(static_cast<double>(tie)), std::nextafter(tie, 0.0L),
                                    std::nextafter(tie, 10000.0L)}) {
            values.push_back(v);
            values.push_back(-v);
        }
    }
    for (int c = 0; c <= 255; ++c)
        values.push_back(c / 255.0L);
    for (int degrees = 0; degrees < 360; ++degrees) {
        const long double theta = degrees / 360.0L * 2 * 3.14159265358979323846264338327950288L;
        values.push_back(std::cos(theta));
        values.push_back(std::sin(theta));
        values.push_back(-std::sin(theta));
    }
    for (int k = -200; k <= 3600; k += 7) {
        values.push_back(k * 0.75L);
        values.push_back(k * 0.37795L);
        values.push_back(k * (72.0L / 25.4L) / 10);
        values.push_back(841.8897637795L - k * 0.75L);
    }
    const long double large[] = {1e6L,
                                 123456789.125L,
                                 9.2e18L,
                                 1.8e19L,
                                 1.8446744073709551615e19L,
                                 1e20L,
                                 1e30L,
                                 -1e25L,
                                 9223372036854775807.0L,
                                 18446744073709551616.0L,
                                 4294967296.5L,
                                 std::numeric_limits<long double>::max(),
                                 -std::numeric_limits<double>::max()};
    const long double tiny[] = {1e-30L,
                                4.9e-324L,
                                std::numeric_limits<long double>::min(),
                                std::numeric_limits<long double>::denorm_min(),
                                5e-5L,
                                -5e-5L,
                                4.99999e-10L,
                                5e-10L,
                                -0.0L,
                                0.0L};
    values.insert(values.end(), std::begin(large), std::end(large));
    // Powers of two around the 128 bits the fast road scales in.
    for (int k = 60; k <= 140; ++k)
        values.push_back(std::ldexp(1.0L, k));
    values.insert(values.end(), std::begin(tiny), std::end(tiny));
    std::mt19937_64 random(20240515);
    std::uniform_int_distribution<int> exponent(-45, 70);
    for (int i = 0; i < 20000; ++i) {
        const long double v = std::ldexp(static_cast<long double>(random()), exponent(random) - 64);
        values.push_back(i % 2 == 0 ? v : -v);
    }
    return values;
}

TEST(PdfNumbers, FixedPointAndCutAsPrintfGivesThemOverALargeTable)
{
    const std::vector<long double> values = NumberTable();
    struct Pattern {
        int decimals;
        int width;
    };
    const Pattern patterns[] = {{0, 0}, {0, 2}, {1, 6}, {2, 0},  {2, 4}, {3, 0},
                                {4, 6}, {6, 0}, {9, 0}, {12, 0}, {18, 0}};
    int mismatches = 0;
    for (const long double value : values) {
        for (const Pattern& p : patterns) {
            const std::string want = PrintfFixed(value, p.decimals, p.width);
            const std::string got = PdfFixed(value, p.decimals, p.width);
            if (got != want && ++mismatches <= 20) {
                ADD_FAILURE() << "%" << p.width << "." << p.decimals << "f of " << PrintfFixed(value, 25, 0) << ": "
                              << got << " instead of " << want;
            }
            std::string appended = "x";
            AppendPdfFixed(appended, value, p.decimals, p.width);
            EXPECT_EQ(appended, "x" + got);
        }
        if (std::isfinite(value)) {
            const std::string want = PrintfFixed(std::trunc(value), 0, 0);
            const std::string got = PdfTrunc(value);
            if (got != want && ++mismatches <= 20)
                ADD_FAILURE() << "cut of " << PrintfFixed(value, 25, 0) << ": " << got << " instead of " << want;
        }
    }
    EXPECT_EQ(mismatches, 0) << "of " << values.size() << " values";
}

// A locale that writes numbers the Polish way: a comma before the decimals, grouped thousands.
class CommaNumbers : public std::numpunct<char> {
protected:
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return ' '; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(PdfNumbers, TheProcessLocaleTakesNoPart)
{
    const std::locale previous = std::locale::global(std::locale(std::locale::classic(), new CommaNumbers));
    // The C locale too, where a system locale with a comma exists.
    const std::string previousC = std::setlocale(LC_NUMERIC, nullptr);
    std::setlocale(LC_NUMERIC, "pl_PL.UTF-8");
    const std::string fixed = PdfFixed(1234567.891L, 2, 12);
    const std::string integer = PdfInt(1234567);
    const std::string cut = PdfTrunc(-1234.5L);
    std::setlocale(LC_NUMERIC, previousC.c_str());
    std::locale::global(previous);
    EXPECT_EQ(fixed, "  1234567.89");
    EXPECT_EQ(integer, "1234567");
    EXPECT_EQ(cut, "-1234");
}

}  // namespace
}  // namespace report::output
