// The layout's integer rounding: MulDiv halves away from zero, the rest halves to even, both
// within the range of their result.
#include "report/output/canvas/rounding.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace report::output {
namespace {

TEST(Rounding, MulDivRoundsHalvesAwayFromZero)
{
    struct Row {
        int a, b, c, want;
    };
    const Row rows[] = {
        {9, 300, 72, 38},
        {-9, 300, 72, 38 * -1},
        {7, 96, 72, 9},
        {8, 96, 72, 11},
        {10, 96, 72, 13},
        {11, 96, 72, 15},
        {12, 96, 72, 16},
        {3, 1, 2, 2},
        {-3, 1, 2, -2},
        {3, -1, 2, -2},
        {3, 1, -2, -2},
        {-3, -1, -2, -2},
        {5, 1, 4, 1},
        {1, 1, 3, 0},
        {2, 1, 3, 1},
        {5, 7, 0, -1},
        {INT_MAX, 2, 1, -1},
        {INT_MAX, 1, 1, INT_MAX},
        {INT_MIN, 1, 1, INT_MIN},
        {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
    };
    for (const Row& r : rows)
        EXPECT_EQ(MulDiv(r.a, r.b, r.c), r.want) << r.a << " " << r.b << " " << r.c;
}

TEST(Rounding, RoundHalfEvenTiesToEven)
{
    const std::pair<long double, std::int64_t> rows[] = {
        {0.5L, 0},       {1.5L, 2},       {2.5L, 2},    {-0.5L, 0},     {-1.5L, -2}, {-2.5L, -2},
        {1122.5L, 1122}, {1123.5L, 1124}, {2.4999L, 2}, {-2.5001L, -3}, {0, 0},
    };
    for (const auto& [value, want] : rows)
        EXPECT_EQ(RoundHalfEven(value), want) << static_cast<double>(value);
    EXPECT_EQ(RoundHalfEven(std::nanl("")), 0);
    EXPECT_GT(RoundHalfEven(1e30L), 9'000'000'000'000'000'000LL);
    EXPECT_EQ(RoundHalfEvenInt(1e30L), INT_MAX);
    EXPECT_EQ(RoundHalfEvenInt(-1e30L), INT_MIN);
    EXPECT_EQ(RoundHalfEvenInt(-7.5L), -8);
}

// The layout's rounding as the one the program was laid out with, nearbyint on long double,
// gives it: halves of every size, long double halves no double holds, values by the limits.
TEST(Rounding, RoundHalfEvenAsNearbyintGivesIt)
{
    std::vector<long double> values;
    for (int k = -4100; k <= 4100; ++k) {
        values.push_back(k / 2.0L);
        values.push_back(k / 4.0L);
        values.push_back(k * 0.37795L);
        values.push_back(k * 0.1L * 72 / 25.4L);
    }
    for (const long double big : {4611686018427387904.5L, 1e18L + 0.5L, 9007199254740993.5L, 9.19e18L, 9.2e18L,
                                  std::nextafter(9.2e18L, 0.0L), 2147483647.5L, 2147483648.5L}) {
        values.push_back(big);
        values.push_back(-big);
    }
    for (const long double v : values) {
        const std::int64_t want = std::fabs(v) >= 9.2e18L ? (v > 0 ? 1 : -1) * static_cast<std::int64_t>(9.2e18L)
                                                          : static_cast<std::int64_t>(std::nearbyint(v));
        EXPECT_EQ(RoundHalfEven(v), want) << static_cast<double>(v);
    }
}

}  // namespace
}  // namespace report::output
