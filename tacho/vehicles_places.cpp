// The vehicles and places lists.
#include "tacho/vehicles_places.h"

#include "tacho/codepage.h"
#include "tacho/decoders.h"
#include "tacho/list_lines.h"
#include "tacho/nations.h"
#include "utility/cp1250.h"
#include "utility/datetime.h"
#include "utility/formatsettings.h"
#include "utility/stringi.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

namespace tacho {
namespace {

constexpr int kFirstYear = 1980;

// The distinguishing sign of every nation code, looked up once.
const std::string& Sign(std::uint8_t nation)
{
    static const std::array<std::string, 256> signs = [] {
        std::array<std::string, 256> all;
        for (unsigned code = 0; code < all.size(); ++code) {
            std::string name;
            NationName(static_cast<std::uint8_t>(code), all[code], name);
        }
        return all;
    }();
    return signs[nation];
}

// The day values ("YYYYMMDD=counter") by date text; of equal dates the first one counts.
class DayCounters {
public:
    explicit DayCounters(const std::vector<std::string>& dayValues)
    {
        for (const std::string& line : dayValues) {
            const std::size_t eq = line.find('=');
            if (eq != std::string::npos)
                entries_.emplace_back(std::string_view(line).substr(0, eq), std::string_view(line).substr(eq + 1));
        }
        std::stable_sort(entries_.begin(), entries_.end(),
                         [](const Entry& a, const Entry& b) { return a.first < b.first; });
    }
    // The counter text of a date; null when there is none.
    const std::string_view* Find(std::string_view date) const
    {
        const auto it = std::lower_bound(entries_.begin(), entries_.end(), date,
                                         [](const Entry& e, std::string_view d) { return e.first < d; });
        return it != entries_.end() && it->first == date ? &it->second : nullptr;
    }

private:
    using Entry = std::pair<std::string_view, std::string_view>;
    std::vector<Entry> entries_;
};

// The texts of one moment, written from a single split.
struct MomentTexts {
    explicit MomentTexts(double dateTime)
        : parts(utility::SplitDateTime(dateTime)), ymd(utility::DateToYMDTextB(parts)),
          shortDate(utility::FormatShortDate(parts)), longTime(utility::FormatLongTime(parts)),
          hms(utility::HMSToTextB(parts.hour, parts.minute, parts.second)), digits(utility::DateToYYYYMMDD(parts))
    {}
    utility::DateTimeParts parts;
    std::string ymd;        // of the line keys
    std::string shortDate;  // "yyyy-MM-dd"
    std::string longTime;   // "HH:mm:ss"
    std::string hms;        // "hh:mm:ss"
    std::string digits;     // "YYYYMMDD" of the day values
};

// A line key as LineKey writes it, from texts already made.
std::string Key(const MomentTexts& moment, const std::string& counter, std::string_view time, std::string_view tag)
{
    return JoinParts(moment.ymd, " ", PaddedCounter(counter), ". ", time, tag);
}

// Counter of a day by its eight date digits; empty when missing or not a number.
std::string CounterOfDay(const DayCounters& counters, const std::string& dateDigits)
{
    const std::string_view* found = counters.Find(dateDigits);
    if (!found)
        return {};
    unsigned value = 0;
    const std::string_view text = *found;
    const auto [ptr, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || ptr != text.data() + text.size())
        return {};
    return std::to_string(value);
}

// The value cut to its whole minute, in whole seconds so no second is lost to rounding.
double CutToMinute(double dateTime)
{
    const std::int64_t seconds = utility::DateTimeToSeconds(dateTime);
    return static_cast<double>(seconds - seconds % 60) / 86'400.0;
}

// Calls `visit` with every index of a ring of `count` records, oldest first: from the one after
// `newest` round to `newest` itself.
template <typename Visit>
void ForEachOldestFirst(std::size_t count, std::size_t newest, Visit visit)
{
    std::size_t index = newest + 1;
    for (std::size_t n = 0; n < count; ++n, ++index) {
        if (index > count - 1)
            index = 0;
        visit(index);
    }
}

void AppendVehicle(std::span<const std::uint8_t> record, const DayCounters& counters,
                   std::vector<std::string>& vehicleLines, std::vector<std::string>& keyedLines)
{
    static const std::string usedFrom = utility::Pl("używany od: ");
    static const std::string usedUntil = utility::Pl("używany do: ");
    const std::string odometerBegin = std::to_string(ReadUint24BE(record.subspan(0, 3)));
    const std::string odometerEnd = std::to_string(ReadUint24BE(record.subspan(3, 3)));
    const double firstUse = TimeRealToDate(record.subspan(6, 4));
    const double lastUse = TimeRealToDate(record.subspan(10, 4));
    const std::string vehicle =
        Sign(record[14]) + " " + utility::RemoveSpaces(CodePageFixedText(record.subspan(15, 14)));
    const MomentTexts first(firstUse);
    const MomentTexts last(lastUse);

    std::string firstCounter = CounterOfDay(counters, first.digits);
    if (firstCounter.empty())
        firstCounter = "0";
    std::string lastCounter = CounterOfDay(counters, last.digits);
    if (lastCounter.empty())
        lastCounter = firstCounter;

    keyedLines.push_back(JoinParts(Key(first, firstCounter, utility::FormatLongTime(CutToMinute(firstUse)), " BA#"),
                                   vehicle, " ", usedFrom, first.ymd, " ", first.hms, " stan licznika: ", odometerBegin,
                                   " km /wyj"));
    keyedLines.push_back(JoinParts(Key(last, lastCounter, last.hms, " BB#"), vehicle, " ", usedUntil, last.ymd, " ",
                                   last.longTime, " stan licznika: ", odometerEnd, "km /przyj"));
    vehicleLines.push_back(JoinParts(vehicle, " ", first.shortDate, " ", first.longTime, " ", last.shortDate, " ",
                                     last.longTime, " ", odometerBegin, "-", odometerEnd, "km "));
}

}  // namespace

void BuildVehiclesList(const CardImageData& image, std::vector<std::string>& vehicleLines,
                       std::vector<std::string>& keyedLines, const std::vector<std::string>& dayValues)
{
    const DayCounters counters(dayValues);
    ForEachOldestFirst(VehicleRecordCount(image), VehiclePointerNewestRecord(image), [&](std::size_t index) {
        const auto record = VehicleRecord(image, index);
        if (utility::YearOfDate(TimeRealToDate(record.subspan(6, 4))) >= kFirstYear)
            AppendVehicle(record, counters, vehicleLines, keyedLines);
    });
}

void BuildPlacesList(const CardImageData& image, std::vector<std::string>& placeLines)
{
    ForEachOldestFirst(PlaceRecordCount(image), PlacePointerNewestRecord(image), [&](std::size_t index) {
        const auto record = PlaceRecord(image, index);
        const utility::DateTimeParts entry = utility::SplitDateTime(TimeRealToDate(record.subspan(0, 4)));
        if (entry.year < kFirstYear)
            return;
        placeLines.push_back(JoinParts(DateTimeText(entry), " ",
                                       utility::PadLeftB(std::to_string(ReadUint24BE(record.subspan(7, 3))), 7, false),
                                       "km ", Sign(record[5]), " ", EntryTypeName(record[4])));
    });
}

}  // namespace tacho
