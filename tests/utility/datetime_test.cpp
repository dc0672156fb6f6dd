#include "utility/datetime.h"

#include "utility/formatsettings.h"

#include <gtest/gtest.h>

using namespace utility;

namespace {
double At(int h, int m, int s) { return EncodeTime(h, m, s); }
constexpr double kDate1970 = 25569.0;
}  // namespace

TEST(DateTime, DateTexts)
{
    const double d = EncodeDate(2012, 1, 5);
    EXPECT_EQ(DateToYYYYMMDD(d), "20120105");
    EXPECT_EQ(DateToYMDText(d), "2012-01-05");
    EXPECT_EQ(YearOfDate(d), 2012);
    EXPECT_EQ(FormatShortDate(d + 0.75), "2012-01-05");
    EXPECT_EQ(EncodeDate(1970, 1, 1), kDate1970);
    EXPECT_EQ(DateToYMDText(0), "1899-12-30");
    EXPECT_EQ(DateToYMDText(-1.25), "1899-12-29");
    EXPECT_EQ(TimeToHMSText(-1.25), "06:00:00");
    EXPECT_EQ(DateToYMDTextB(d), "2012-01-05");
    EXPECT_EQ(DateToYMDTextB(-700000), "          ");
    double x = 0;
    EXPECT_FALSE(TryEncodeDate(2011, 2, 29, x));
    EXPECT_TRUE(TryEncodeDate(2012, 2, 29, x));
    EXPECT_EQ(SplitDateTime(EncodeDate(2011, 5, 17)).dayOfWeek, 3);  // a Tuesday
}

TEST(DateTime, RoundedHoursAndMinutes)
{
    struct Case {
        double value;
        int days;
        int hours;
        int minutes;
    };
    const Case cases[] = {
        {At(10, 59, 31), 0, 11, 0}, {At(10, 59, 29), 0, 10, 59},   {At(10, 58, 30), 0, 10, 58},  // half to even
        {At(10, 59, 30), 0, 11, 0}, {5 + At(23, 59, 30), 6, 0, 0}, {5 + At(23, 59, 29), 5, 23, 59},
    };
    for (const auto& c : cases) {
        int h = -1;
        int m = -1;
        EXPECT_EQ(DecodeTimeRounded(c.value, h, m), c.days) << c.value;
        EXPECT_EQ(h, c.hours) << c.value;
        EXPECT_EQ(m, c.minutes) << c.value;
    }
    EXPECT_EQ(TimeOfDayToHHMM(At(8, 5, 0)), "   8:05");
    EXPECT_EQ(TimeOfDayToHHMM(0), "   0:00");
    EXPECT_EQ(TimeOfDayToHHMM(3 + At(23, 59, 30)), "  24:00");
    EXPECT_EQ(TimeToHoursMinutesText(1.5), "  36:00");
    EXPECT_EQ(HoursMinutesToText(123456, 7), "123456:07");
    EXPECT_EQ(TimeToHHMMSS(At(7, 3, 9)), "070309");
    EXPECT_EQ(HMSToText(1, 2, 3), "01:02:03");
    EXPECT_EQ(FormatLongTime(At(13, 3, 0)), "13:03:00");
    // Day counts are not 16-bit.
    std::int64_t hours = 0;
    int minutes = 0;
    TimeToHoursMinutes(40000.25, hours, minutes);
    EXPECT_EQ(hours, 40000LL * 24 + 6);
}

TEST(DateTime, EverySecondOfADayIsExact)
{
    // Card times become Date1970 + seconds / 86400: each must come back as its own second.
    const std::int64_t base = 1305633600;  // 2011-05-17 12:00:00 UTC
    const std::int64_t dayStart = base - base % 86400;
    for (std::int64_t s = 0; s < 86400; ++s) {
        const double v = kDate1970 + static_cast<double>(dayStart + s) / 86400.0;
        const DateTimeParts p = SplitDateTime(v);
        ASSERT_EQ(p.hour * 3600 + p.minute * 60 + p.second, s) << s;
        ASSERT_EQ(p.millisecond, 0) << s;
        ASSERT_EQ(DateToYMDText(v), "2011-05-17") << s;
        ASSERT_EQ(DateTimeToSeconds(v), static_cast<std::int64_t>(kDate1970) * 86400 + dayStart + s);
    }
}
