// The integer rounding the layout relies on: halves to even for lengths and positions, halves
// away from zero where the original platform's MulDiv rounds.
#pragma once

#include <cstdint>

namespace report::output {

// number x numerator / denominator, rounded to the nearest integer, halves away from zero;
// -1 when the denominator is 0 or the result does not fit in an int.
[[nodiscard]] int MulDiv(int number, int numerator, int denominator);
// To the nearest integer, halves to even. NaN gives 0; values beyond the range saturate.
[[nodiscard]] std::int64_t RoundHalfEven(long double value);
[[nodiscard]] int RoundHalfEvenInt(long double value);

}  // namespace report::output
