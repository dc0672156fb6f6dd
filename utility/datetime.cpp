// Day-number dates and their fixed-width texts.
#include "utility/datetime.h"

#include "utility/stringi.h"

#include <QDateTime>

#include <cmath>

namespace utility {
namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
// Days from 1970-01-01 to 1899-12-30.
constexpr std::int64_t kDay0FromUnix = -25'569;

// Days since 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y += m <= 2;
}

// Milliseconds of the absolute value, rounded; the sign is returned apart.
std::int64_t RoundedMs(double value, bool& negative)
{
    negative = value < 0;
    const long double ms = std::fabs(static_cast<long double>(value)) * kMsPerDay;
    if (!std::isfinite(ms) || ms > 9.0e18L)
        return 0;
    return std::llround(ms);
}

}  // namespace

DateTimeParts SplitDateTime(double value)
{
    bool negative = false;
    const std::int64_t ms = RoundedMs(value, negative);
    const std::int64_t whole = ms / kMsPerDay;
    const std::int64_t msOfDay = ms % kMsPerDay;
    DateTimeParts p;
    const std::int64_t days = negative ? -whole : whole;
    p.dayNumber = static_cast<std::int32_t>(days);
    std::int64_t y = 0;
    unsigned m = 0;
    unsigned d = 0;
    CivilFromDays(days + kDay0FromUnix, y, m, d);
    p.year = static_cast<int>(y);
    p.month = static_cast<int>(m);
    p.day = static_cast<int>(d);
    p.hour = static_cast<int>(msOfDay / 3'600'000);
    p.minute = static_cast<int>(msOfDay / 60'000 % 60);
    p.second = static_cast<int>(msOfDay / 1000 % 60);
    p.millisecond = static_cast<int>(msOfDay % 1000);
    // 1899-12-30 was a Saturday (7).
    p.dayOfWeek = static_cast<int>(((days % 7) + 7 + 6) % 7) + 1;
    return p;
}

std::int64_t DateTimeToSeconds(double value)
{
    bool negative = false;
    const std::int64_t ms = RoundedMs(value, negative);
    const std::int64_t secs = ms / 1000;
    return negative ? -secs : secs;
}

bool TryEncodeDate(int year, int month, int day, double& date)
{
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1)
        return false;
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int maxDay = lengths[month - 1] + (month == 2 && leap ? 1 : 0);
    if (day > maxDay)
        return false;
    date = static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                               kDay0FromUnix);
    return true;
}

double EncodeDate(int year, int month, int day)
{
    double d = 0;
    return TryEncodeDate(year, month, day, d) ? d : 0.0;
}

double EncodeTime(int hour, int minute, int second, int millisecond)
{
    return (((hour * 60.0 + minute) * 60.0 + second) * 1000.0 + millisecond) / kMsPerDay;
}

double Now()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    return EncodeDate(d.year(), d.month(), d.day()) + EncodeTime(t.hour(), t.minute(), t.second(), t.msec());
}

std::string DateToYYYYMMDD(double date) { return DateToYYYYMMDD(SplitDateTime(date)); }

std::string DateToYYYYMMDD(const DateTimeParts& p) { return JoinZeroPadded(p.year, 4, p.month, 2, p.day, 2, ""); }

std::string DateToYMDText(double date)
{
    const DateTimeParts p = SplitDateTime(date);
    return JoinZeroPadded(p.year, 4, p.month, 2, p.day, 2, "-");
}

std::int16_t YearOfDate(double date) { return static_cast<std::int16_t>(SplitDateTime(date).year); }

std::int32_t DecodeTimeRounded(double dateTime, int& hours, int& minutes)
{
    // Minute rounding works from whole seconds of the millisecond-rounded value.
    const std::int64_t total = DateTimeToSeconds(dateTime);
    const bool negative = total < 0;
    const std::int64_t abs = negative ? -total : total;
    std::int64_t days = abs / 86400;
    const std::int64_t secOfDay = abs % 86400;
    hours = static_cast<int>(secOfDay / 3600);
    const int secOfHour = static_cast<int>(secOfDay % 3600);
    minutes = secOfHour / 60;
    const int rest = secOfHour % 60;
    if (rest > 30 || (rest == 30 && minutes % 2 == 1))
        ++minutes;
    if (minutes == 60) {
        minutes = 0;
        ++hours;
    }
    if (hours == 24) {
        hours = 0;
        ++days;
    }
    return static_cast<std::int32_t>(negative ? -days : days);
}

void TimeToHoursMinutes(double dateTime, std::int64_t& hours, int& minutes)
{
    int h = 0;
    const std::int32_t days = DecodeTimeRounded(dateTime, h, minutes);
    hours = static_cast<std::int64_t>(days) * 24 + h;
}

std::string HoursMinutesToText(std::int64_t hours, int minutes)
{
    return PadLeft(std::to_string(hours), 4, false) + ":" + IntToZeroPadded(minutes, 2);
}

std::string TimeToHoursMinutesText(double dateTime)
{
    std::int64_t h = 0;
    int m = 0;
    TimeToHoursMinutes(dateTime, h, m);
    return HoursMinutesToText(h, m);
}

std::string TimeOfDayToHHMM(double dateTime)
{
    const std::int64_t secs = DateTimeToSeconds(dateTime);
    const std::int64_t ofDay = ((secs % 86400) + 86400) % 86400;
    return TimeToHoursMinutesText(static_cast<double>(ofDay) / 86400.0);
}

std::string HMSToText(int hours, int minutes, int seconds)
{
    return JoinZeroPadded(hours, 2, minutes, 2, seconds, 2, ":");
}

std::string TimeToHMSText(double dateTime)
{
    const DateTimeParts p = SplitDateTime(dateTime);
    return HMSToText(p.hour, p.minute, p.second);
}

std::string TimeToHHMMSS(double dateTime) { return ZeroPadNumberText(RemoveChar(TimeToHMSText(dateTime), ':'), 6); }

std::string SpaceStringB(int count) { return SpaceString(count); }
std::string PadLeftB(const std::string& text, int width, bool cut) { return PadLeft(text, width, cut); }
std::string RemoveSpacesB(const std::string& text) { return RemoveSpaces(text); }
std::string SpacesToZerosB(const std::string& text) { return SpacesToZeros(text); }
std::string HMSToTextB(int hours, int minutes, int seconds) { return HMSToText(hours, minutes, seconds); }
std::string TimeToHMSTextB(double dateTime) { return TimeToHMSText(dateTime); }

std::string DateToYMDTextB(double date) { return DateToYMDTextB(SplitDateTime(date)); }

std::string DateToYMDTextB(const DateTimeParts& p)
{
    // Dates before 1 January of year 1 decode to 0-0-0 and are written as blanks.
    if (p.year < 1)
        return SpaceString(10);
    return JoinZeroPadded(p.year, 4, p.month, 2, p.day, 2, "-");
}

}  // namespace utility
