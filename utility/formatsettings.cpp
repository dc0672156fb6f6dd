// Locale 1045 pinned here: the Polish patterns of QLocale and glibc differ from the
// Windows values stored files and printouts were made with.
#include "utility/formatsettings.h"

#include "utility/cp1250.h"
#include "utility/datetime.h"
#include "utility/stringi.h"

namespace utility {

const FormatSettings& PolishFormatSettings()
{
    static const FormatSettings settings = [] {
        FormatSettings s;
        s.currencyString = Pl("zł");
        s.shortDateFormat = "yyyy-MM-dd";
        s.longDateFormat = "d MMMM yyyy";
        s.shortTimeFormat = "HH:mm";
        s.longTimeFormat = "HH:mm:ss";
        const char* shortMonths[] = {"sty", "lut", "mar", "kwi", "maj", "cze",
                                     "lip", "sie", "wrz", "paź", "lis", "gru"};
        const char* longMonths[] = {"styczeń", "luty",     "marzec",   "kwiecień",    "maj",      "czerwiec",
                                    "lipiec",  "sierpień", "wrzesień", "październik", "listopad", "grudzień"};
        const char* shortDays[] = {"niedz.", "pon.", "wt.", "śr.", "czw.", "pt.", "sob."};
        const char* longDays[] = {"niedziela", "poniedziałek", "wtorek", "środa", "czwartek", "piątek", "sobota"};
        for (int i = 0; i < 12; ++i) {
            s.shortMonthNames[i] = Pl(shortMonths[i]);
            s.longMonthNames[i] = Pl(longMonths[i]);
        }
        for (int i = 0; i < 7; ++i) {
            s.shortDayNames[i] = Pl(shortDays[i]);
            s.longDayNames[i] = Pl(longDays[i]);
        }
        return s;
    }();
    return settings;
}

std::string FormatShortDate(double date) { return FormatShortDate(SplitDateTime(date)); }

std::string FormatLongTime(double dateTime) { return FormatLongTime(SplitDateTime(dateTime)); }

std::string FormatShortDate(const DateTimeParts& p)
{
    const char sep = PolishFormatSettings().dateSeparator;
    return JoinZeroPadded(p.year, 4, p.month, 2, p.day, 2, std::string_view(&sep, 1));
}

std::string FormatLongTime(const DateTimeParts& p)
{
    const char sep = PolishFormatSettings().timeSeparator;
    return JoinZeroPadded(p.hour, 2, p.minute, 2, p.second, 2, std::string_view(&sep, 1));
}

std::string FormatShortTime(double dateTime)
{
    const DateTimeParts p = SplitDateTime(dateTime);
    return IntToZeroPadded(p.hour, 2) + PolishFormatSettings().timeSeparator + IntToZeroPadded(p.minute, 2);
}

std::string FormatShortDateTime(double dateTime)
{
    const DateTimeParts p = SplitDateTime(dateTime);
    const bool midnight = p.hour == 0 && p.minute == 0 && p.second == 0 && p.millisecond == 0;
    return midnight ? FormatShortDate(dateTime) : FormatShortDate(dateTime) + " " + FormatLongTime(dateTime);
}

}  // namespace utility
