// The daily activity list.
#include "tacho/activity_list.h"

#include "tacho/activity_ring.h"
#include "tacho/decoders.h"
#include "tacho/list_lines.h"
#include "utility/cp1250.h"
#include "utility/datetime.h"
#include "utility/dialogi.h"
#include "utility/formatsettings.h"
#include "utility/stringi.h"

#include <algorithm>

namespace tacho {
namespace {

constexpr std::int64_t kLastSecondOfDay = 86'399;
constexpr std::int64_t kSecondsPerDay = 86'400;
const std::string kMidnight = "00:00:00";

std::string DottedRule()
{
    std::string rule;
    for (int i = 0; i < 46; ++i)
        rule += ". ";
    return rule + ".";
}

void AppendDayLines(double date, const std::string& counter, std::uint16_t distance,
                    const std::array<std::int64_t, 5>& totals, const std::vector<std::string>& changes,
                    std::vector<std::string>& lines)
{
    const auto fixed = [&](const char* tag, const std::string& text) {
        lines.push_back(LineKey(date, counter, kMidnight, tag) + text);
    };
    std::string weekday;
    utility::WeekdayName(utility::SplitDateTime(date).dayOfWeek, weekday);
    fixed(" A5#", std::string(56, '_'));
    fixed(" AA#", counter + ". Data: " + DateTimeText(date) + " (" + weekday + ")");
    fixed(" AB#", utility::Pl("  I. Sumy czasów czynności:"));
    const char* totalTags[] = {" AC#", " AD#", " AE#", " AF#", " AG#"};
    for (unsigned a = 0; a < totals.size(); ++a)
        fixed(totalTags[a], "    " + utility::TimeToHMSTextB(static_cast<double>(totals[a]) / kSecondsPerDay) + "/"
                                + ActivityNames(a));
    fixed(" AP#", "  II. Dzienny przebieg: " + std::to_string(distance));
    fixed(" AR#", DottedRule());
    fixed(" AT#", utility::Pl("  III. Terminy rozpoczęcia kolejnych czynności:"));
    for (const std::string& change : changes)
        lines.push_back(LineKey(date, counter, change.substr(1, 8), " BB#") + change);
    lines.push_back(LineKey(date, counter, "23:59:59:99", " BW#") + DottedRule());
}

} // namespace

bool DecodeActivityDay(std::span<const std::uint8_t> changeWords, std::array<std::int64_t, 5>& totalsSeconds,
                       std::vector<std::string>& changeTexts)
{
    totalsSeconds.fill(0);
    changeTexts.clear();
    int previous = -1;
    std::int64_t previousTime = 0;
    // Times that run back and forth in a damaged record must not count a day twice over.
    std::int64_t counted = 0;
    const auto count = [&](std::int64_t until) {
        const std::int64_t span = std::clamp<std::int64_t>(until - previousTime, 0, kLastSecondOfDay - counted);
        totalsSeconds[static_cast<std::size_t>(previous)] += span;
        counted += span;
    };
    for (std::size_t i = 0; i + 1 < changeWords.size(); i += 2) {
        ActivityChangeItem item;
        std::string text;
        DecodeActivityChange(changeWords[i], changeWords[i + 1], true, item, text);
        if (item.minutes >= 24 * 60) {
            changeTexts.clear();
            return false;
        }
        changeTexts.push_back(text);
        const std::int64_t t = item.minutes * 60LL;
        if (previous >= 0)
            count(t);
        previous = item.activity;
        previousTime = t;
    }
    if (previous >= 0)
        count(kLastSecondOfDay);
    return true;
}

void BuildDailyActivityList(const CardImageData& image, double& firstDay, double& lastDay,
                            std::vector<std::string>& lines, std::vector<std::string>& dayValues)
{
    dayValues.clear();
    std::vector<std::string> values;
    std::vector<std::string> problems;
    const std::size_t ring = ActivityStructureLength(image);
    const auto oldest = ActivityPointerOldestDayRecord(image);
    const auto newest = ActivityPointerNewestRecord(image);
    bool damaged = ring > 0 && !oldest;
    if (ring > 0 && oldest) {
        std::vector<bool> visited(ring, false);
        std::size_t consumed = 0;
        std::size_t position = *oldest;
        while (true) {
            if (visited[position]) {
                damaged = true;
                break;
            }
            const DailyRecord record = ReadDailyRecord(image, position);
            if (record.damaged)
                damaged = true;
            if (record.length == 0)
                break;
            visited[position] = true;
            consumed += record.length;
            const double date = TimeRealToDate(record.Date());
            const bool isNewest = newest && record.start == *newest;
            if (record.start == *oldest)
                firstDay = date;
            const std::string counter = PresenceCounterText(record.PresenceCounter());
            values.push_back(utility::DateToYYYYMMDD(date) + "=" + counter);
            std::array<std::int64_t, 5> totals{};
            std::vector<std::string> changes;
            if (!DecodeActivityDay(record.ChangeWords(), totals, changes))
                problems.push_back(utility::Pl("Nie można utworzyć listy zmian dziennych dla ")
                                   + utility::FormatShortDate(date) + " l." + counter);
            AppendDayLines(date, counter, record.Distance(), totals, changes, lines);
            // A walk that ends early still names the last day it listed.
            lastDay = date;
            if (isNewest)
                break;
            if (consumed >= ring) {
                damaged = true;
                break;
            }
            position = NextRecordPosition(image, record);
        }
    }
    if (damaged)
        problems.push_back(utility::Pl("Obszar czynności karty jest uszkodzony: lista dni może być niepełna."));
    SortLinesByKey(values);
    dayValues = std::move(values);
    if (!problems.empty()) {
        std::string text;
        for (const std::string& p : problems)
            text += (text.empty() ? "" : "\r\n") + p;
        utility::ErrorBox(text);
    }
}

} // namespace tacho
