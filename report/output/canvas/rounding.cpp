#include "report/output/canvas/rounding.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace report::output {

int MulDiv(int number, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    const long long product = static_cast<long long>(number) * numerator;
    long long quotient = product / denominator;
    const long long remainder = product % denominator;
    // Halves away from zero: a remainder of at least half the divisor moves one step outward.
    if (2 * std::llabs(remainder) >= std::llabs(static_cast<long long>(denominator)))
        quotient += ((product < 0) != (denominator < 0)) ? -1 : 1;
    if (quotient > std::numeric_limits<int>::max() || quotient < std::numeric_limits<int>::min())
        return -1;
    return static_cast<int>(quotient);
}

std::int64_t RoundHalfEven(long double value)
{
    if (std::isnan(value))
        return 0;
    constexpr long double kMax = 9.2e18L;
    if (value >= kMax)
        return static_cast<std::int64_t>(kMax);
    if (value <= -kMax)
        return -static_cast<std::int64_t>(kMax);
    // rint rounds as nearbyint does, halves to even under the default rounding mode, without
    // saving and restoring the floating-point environment on every call.
    return static_cast<std::int64_t>(std::rint(value));
}

int RoundHalfEvenInt(long double value)
{
    const std::int64_t r = RoundHalfEven(value);
    if (r > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (r < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(r);
}

}  // namespace report::output
