// Exact decimal digits of a double. A double's exact expansion has at most 767 significant
// digits, so asking std::to_chars for that many loses nothing, and rounding on those digits
// treats a true half (0.125) apart from a value a hair below it (2.675).
#include "utility/decimaldigits.h"

#include <charconv>
#include <cmath>

namespace utility {
namespace {

constexpr int kExactPrecision = 767;

void StripTrailingZeros(std::string& digits)
{
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
}

}  // namespace

DecimalDigits ExactDigits(double value)
{
    DecimalDigits d;
    value = std::fabs(value);
    if (value == 0.0 || !std::isfinite(value))
        return d;
    char buffer[kExactPrecision + 16];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, kExactPrecision);
    const std::string_view text(buffer, static_cast<std::size_t>(r.ptr - buffer));
    // "d.ddd...e+XX"
    const std::size_t e = text.find('e');
    d.digits.push_back(text[0]);
    d.digits.append(text.substr(2, e - 2));
    int exponent = 0;
    std::size_t at = e + 1;
    const bool negative = text[at] == '-';
    if (text[at] == '+' || text[at] == '-')
        ++at;
    std::from_chars(text.data() + at, text.data() + text.size(), exponent);
    d.exponent = (negative ? -exponent : exponent) + 1;
    StripTrailingZeros(d.digits);
    return d;
}

void RoundDigits(DecimalDigits& d, int keep)
{
    if (d.IsZero() || keep >= static_cast<int>(d.digits.size()))
        return;
    if (keep < 0) {
        d.digits.clear();
        d.exponent = 0;
        return;
    }
    const bool up = d.digits[static_cast<std::size_t>(keep)] >= '5';
    d.digits.resize(static_cast<std::size_t>(keep));
    if (up) {
        while (!d.digits.empty() && d.digits.back() == '9')
            d.digits.pop_back();
        if (d.digits.empty()) {
            d.digits.assign(1, '1');
            ++d.exponent;
        } else {
            ++d.digits.back();
        }
    }
    StripTrailingZeros(d.digits);
    if (d.IsZero())
        d.exponent = 0;
}

void RoundToDecimals(DecimalDigits& d, int decimals)
{
    if (!d.IsZero())
        RoundDigits(d, d.exponent + decimals);
}

std::string IntegerDigits(const DecimalDigits& d)
{
    std::string result;
    for (int i = 0; i < d.exponent; ++i)
        result.push_back(DigitAt(d, i));
    return result;
}

std::string FractionDigits(const DecimalDigits& d, int count)
{
    std::string result;
    for (int i = 0; i < count; ++i)
        result.push_back(DigitAt(d, d.exponent + i));
    return result;
}

char DigitAt(const DecimalDigits& d, int index)
{
    if (index < 0 || index >= static_cast<int>(d.digits.size()))
        return '0';
    return d.digits[static_cast<std::size_t>(index)];
}

std::string GroupThousands(std::string_view integerDigits, char separator)
{
    std::string result;
    const std::size_t n = integerDigits.size();
    for (std::size_t i = 0; i < n; ++i) {
        result.push_back(integerDigits[i]);
        const std::size_t left = n - i - 1;
        if (left > 0 && left % 3 == 0)
            result.push_back(separator);
    }
    return result;
}

}  // namespace utility
