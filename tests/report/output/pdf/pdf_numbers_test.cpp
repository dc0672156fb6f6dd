#include "report/output/pdf/pdf_numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>

namespace report::output {
namespace {

TEST(PdfNumbers, Integers) {
    struct Row { long long value; int digits; const char* text; };
    const Row rows[] = {
        {0, 0, "0"},          {-42, 0, "-42"},        {2147483648LL, 0, "2147483648"},
        {0, 10, "0000000000"}, {1234, 10, "0000001234"}, {12345678901LL, 10, "12345678901"},
        {5, 2, "05"},         {123, 2, "123"},         {-5, 2, "-05"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(row.digits == 0 ? PdfInt(row.value) : PdfInt(row.value, row.digits), row.text);
    }
}

TEST(PdfNumbers, CutTowardZero) {
    struct Row { long double value; const char* text; };
    const Row rows[] = {
        {75.9L, "75"},  {676.0L, "676"}, {-1.5L, "-1"}, {-0.7L, "0"}, {-0.0L, "0"},
        {1e20L, "100000000000000000000"}, {std::numeric_limits<long double>::quiet_NaN(), "0"},
        {std::numeric_limits<long double>::infinity(), "0"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(PdfTrunc(row.value), row.text);
    }
}

TEST(PdfNumbers, FixedPoint) {
    struct Row { long double value; int decimals; int width; const char* text; };
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

// A locale that writes numbers the Polish way: a comma before the decimals, grouped thousands.
class CommaNumbers : public std::numpunct<char> {
protected:
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return ' '; }
    std::string do_grouping() const override { return "\3"; }
};

TEST(PdfNumbers, TheProcessLocaleTakesNoPart) {
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
