// Day-number dates (day 0 = 30 December 1899, the fraction is the time of day) and the
// fixed-width date and time texts built from them.
#pragma once

#include <cstdint>
#include <string>

namespace utility {

struct DateTimeParts {
    std::int32_t dayNumber = 0;  // whole days (truncated toward zero)
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int dayOfWeek = 7;  // 1 = Sunday .. 7 = Saturday
};

// Splits a day number into its parts. The value is rounded to the millisecond first, so an
// exact time computed as a double never loses a second; date and time come from the same
// rounded value. A negative value counts days before 1899-12-30 with the time taken from
// the absolute fraction.
DateTimeParts SplitDateTime(double value);
// Whole seconds since day 0 of the rounded value.
std::int64_t DateTimeToSeconds(double value);
// Day number of a calendar date (proleptic Gregorian); false for an impossible date.
bool TryEncodeDate(int year, int month, int day, double& date);
double EncodeDate(int year, int month, int day);
double EncodeTime(int hour, int minute, int second, int millisecond = 0);
// The local date and time now as a day number.
double Now();

std::string DateToYYYYMMDD(double date);
// The same from parts already split, for callers that write several texts of one moment.
std::string DateToYYYYMMDD(const DateTimeParts& parts);
std::string DateToYMDText(double date);
std::int16_t YearOfDate(double date);
// Whole days of the value; hours and minutes of the time of day to the nearest minute
// (halves to even), with 60 minutes and 24 hours carried upward.
std::int32_t DecodeTimeRounded(double dateTime, int& hours, int& minutes);
void TimeToHoursMinutes(double dateTime, std::int64_t& hours, int& minutes);
std::string HoursMinutesToText(std::int64_t hours, int minutes);
std::string TimeToHoursMinutesText(double dateTime);
std::string TimeOfDayToHHMM(double dateTime);
std::string HMSToText(int hours, int minutes, int seconds);
std::string TimeToHMSText(double dateTime);
std::string TimeToHHMMSS(double dateTime);

// Private copies used by the listing builders (same results as their twins, except
// DateToYMDTextB, which writes a zero year, month or day as blanks).
std::string SpaceStringB(int count);
std::string PadLeftB(const std::string& text, int width, bool cut);
std::string RemoveSpacesB(const std::string& text);
std::string SpacesToZerosB(const std::string& text);
std::string HMSToTextB(int hours, int minutes, int seconds);
std::string TimeToHMSTextB(double dateTime);
std::string DateToYMDTextB(double date);
std::string DateToYMDTextB(const DateTimeParts& parts);

}  // namespace utility
