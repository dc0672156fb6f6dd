// The decimal digits of a double, exact, and their rounding: the common ground of the number
// formatters in floatformat.h.
#pragma once

#include <string>
#include <string_view>

namespace utility {

// A non-negative decimal: 0.digits x 10^exponent. `digits` has no leading or trailing zeros;
// empty digits are zero.
struct DecimalDigits {
    std::string digits;
    int exponent = 0;
    [[nodiscard]] bool IsZero() const { return digits.empty(); }
};

// The exact decimal expansion of |value|, which must be finite.
DecimalDigits ExactDigits(double value);
// Keeps the first `keep` digits, rounding the rest half away from zero; keep < 0 gives zero.
void RoundDigits(DecimalDigits& d, int keep);
// Rounds to `decimals` digits after the decimal point.
void RoundToDecimals(DecimalDigits& d, int decimals);
// The integer digits ("" for a value below 1).
std::string IntegerDigits(const DecimalDigits& d);
// `count` digits after the decimal point, zeros past the last digit.
std::string FractionDigits(const DecimalDigits& d, int count);
// The digit at `index` from the first significant one, '0' past the end.
char DigitAt(const DecimalDigits& d, int index);
// The digits with `separator` between groups of three, counted from the right.
std::string GroupThousands(std::string_view integerDigits, char separator);

}  // namespace utility
