// The Polish (locale 1045) format settings every date, time and number text of the
// program uses, whatever the user's own locale. Texts are code page 1250.
#pragma once

#include "utility/datetime.h"

#include <array>
#include <string>

namespace utility {

struct FormatSettings {
    int currencyFormat = 3;     // "1 zł"
    int negCurrencyFormat = 8;  // "-1 zł"
    char thousandSeparator = ' ';
    char decimalSeparator = ',';
    int currencyDecimals = 2;
    char dateSeparator = '-';
    char timeSeparator = ':';
    char listSeparator = ';';
    std::string currencyString;
    std::string shortDateFormat;
    std::string longDateFormat;
    std::string timeAMString;
    std::string timePMString;
    std::string shortTimeFormat;
    std::string longTimeFormat;
    std::array<std::string, 12> shortMonthNames;
    std::array<std::string, 12> longMonthNames;
    std::array<std::string, 7> shortDayNames;  // [0] is Sunday
    std::array<std::string, 7> longDayNames;
    int twoDigitYearCenturyWindow = 50;
};

// The pinned values of locale 1045; built once at start-up.
const FormatSettings& PolishFormatSettings();

// A date (day number) in the short date format "yyyy-MM-dd".
std::string FormatShortDate(double date);
// The time of day in the long time format "HH:mm:ss".
std::string FormatLongTime(double dateTime);
// The time of day in the short time format "HH:mm" (the date-time code "t").
std::string FormatShortTime(double dateTime);
// The short date, then a blank and the long time unless the time of day is exactly midnight
// (the date-time code "c").
std::string FormatShortDateTime(double dateTime);
// FormatShortDate and FormatLongTime of parts already split (SplitDateTime).
std::string FormatShortDate(const DateTimeParts& parts);
std::string FormatLongTime(const DateTimeParts& parts);

}  // namespace utility
