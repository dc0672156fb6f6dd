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

#include <charconv>
#include <map>

namespace tacho {
namespace {

constexpr int kFirstYear = 1980;

std::string Sign(std::uint8_t nation)
{
    std::string sign;
    std::string name;
    NationName(nation, sign, name);
    return sign;
}

// Counter of a day by its eight date digits; empty when missing or not a number.
std::string CounterOfDay(const std::map<std::string, std::string, std::less<>>& counters, double date)
{
    const auto it = counters.find(utility::DateToYYYYMMDD(date));
    if (it == counters.end())
        return {};
    unsigned value = 0;
    const std::string& text = it->second;
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

void AppendVehicle(std::span<const std::uint8_t> record, const std::map<std::string, std::string, std::less<>>& counters,
                   std::vector<std::string>& vehicleLines, std::vector<std::string>& keyedLines)
{
    const std::string odometerBegin = std::to_string(ReadUint24BE(record.subspan(0, 3)));
    const std::string odometerEnd = std::to_string(ReadUint24BE(record.subspan(3, 3)));
    const double firstUse = TimeRealToDate(record.subspan(6, 4));
    const double lastUse = TimeRealToDate(record.subspan(10, 4));
    const std::string vehicle = Sign(record[14]) + " " + utility::RemoveSpaces(CodePageFixedText(record.subspan(15, 14)));

    std::string firstCounter = CounterOfDay(counters, firstUse);
    if (firstCounter.empty())
        firstCounter = "0";
    std::string lastCounter = CounterOfDay(counters, lastUse);
    if (lastCounter.empty())
        lastCounter = firstCounter;

    keyedLines.push_back(LineKey(firstUse, firstCounter, utility::FormatLongTime(CutToMinute(firstUse)), " BA#")
                         + vehicle + " " + utility::Pl("używany od: ") + utility::DateToYMDTextB(firstUse) + " "
                         + utility::TimeToHMSTextB(firstUse) + " stan licznika: " + odometerBegin + " km /wyj");
    keyedLines.push_back(LineKey(lastUse, lastCounter, utility::TimeToHMSTextB(lastUse), " BB#") + vehicle + " "
                         + utility::Pl("używany do: ") + utility::DateToYMDTextB(lastUse) + " "
                         + utility::FormatLongTime(lastUse) + " stan licznika: " + odometerEnd + "km /przyj");
    vehicleLines.push_back(vehicle + " " + utility::FormatShortDate(firstUse) + " " + utility::FormatLongTime(firstUse)
                           + " " + utility::FormatShortDate(lastUse) + " " + utility::FormatLongTime(lastUse) + " "
                           + odometerBegin + "-" + odometerEnd + "km ");
}

} // namespace

void BuildVehiclesList(const CardImageData& image, std::vector<std::string>& vehicleLines,
                       std::vector<std::string>& keyedLines, const std::vector<std::string>& dayValues)
{
    std::map<std::string, std::string, std::less<>> counters;
    for (const std::string& line : dayValues) {
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos)
            counters.emplace(line.substr(0, eq), line.substr(eq + 1));
    }
    const std::size_t count = VehicleRecordCount(image);
    std::size_t index = VehiclePointerNewestRecord(image) + 1;
    for (std::size_t n = 0; n < count; ++n, ++index) {
        if (index > count - 1)
            index = 0;
        const auto record = VehicleRecord(image, index);
        if (utility::YearOfDate(TimeRealToDate(record.subspan(6, 4))) < kFirstYear)
            continue;
        AppendVehicle(record, counters, vehicleLines, keyedLines);
    }
}

void BuildPlacesList(const CardImageData& image, std::vector<std::string>& placeLines)
{
    const std::size_t count = PlaceRecordCount(image);
    std::size_t index = PlacePointerNewestRecord(image) + 1;
    for (std::size_t n = 0; n < count; ++n, ++index) {
        if (index > count - 1)
            index = 0;
        const auto record = PlaceRecord(image, index);
        const double entry = TimeRealToDate(record.subspan(0, 4));
        if (utility::YearOfDate(entry) < kFirstYear)
            continue;
        placeLines.push_back(DateTimeText(entry) + " "
                             + utility::PadLeftB(std::to_string(ReadUint24BE(record.subspan(7, 3))), 7, false) + "km "
                             + Sign(record[5]) + " " + EntryTypeName(record[4]));
    }
}

} // namespace tacho
