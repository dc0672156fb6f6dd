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
constexpr int kMinutesPerDay = 1'440;
const std::string kMidnight = "00:00:00";

// The texts every day repeats, in code page 1250, made once: a printout has a few hundred
// days, and the lines are built again for every preview.
struct DayTexts {
    std::string underscores = std::string(56, '_');
    std::string totalsHeading = utility::Pl("  I. Sumy czasów czynności:");
    std::string changesHeading = utility::Pl("  III. Terminy rozpoczęcia kolejnych czynności:");
    std::string rule = [] {
        std::string dots;
        for (int i = 0; i < 46; ++i)
            dots += ". ";
        return dots + ".";
    }();
};

const DayTexts& Texts()
{
    static const DayTexts texts;
    return texts;
}

// One change of a day: its minute of the day and what happened.
struct DayChange {
    std::uint16_t minutes = 0;
    const std::string* description = nullptr;
};

// "hh:mm:ss" of whole seconds within a day (0 to 86,399), as the date and time texts write
// a time of day.
class Clock {
public:
    explicit Clock(std::int64_t seconds)
    {
        Two(0, seconds / 3'600);
        text_[2] = ':';
        Two(3, seconds / 60 % 60);
        text_[5] = ':';
        Two(6, seconds % 60);
    }
    operator std::string_view() const { return {text_.data(), text_.size()}; }

private:
    void Two(std::size_t at, std::int64_t value)
    {
        text_[at] = static_cast<char>('0' + value / 10);
        text_[at + 1] = static_cast<char>('0' + value % 10);
    }
    std::array<char, 8> text_{};
};

// The totals and the changes of one day; see DecodeActivityDay.
bool DecodeDay(std::span<const std::uint8_t> changeWords, std::array<std::int64_t, 5>& totalsSeconds,
               std::vector<DayChange>& changes)
{
    totalsSeconds.fill(0);
    changes.clear();
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
        std::string unused;
        DecodeActivityChange(changeWords[i], changeWords[i + 1], false, item, unused);
        if (item.minutes >= kMinutesPerDay) {
            changes.clear();
            return false;
        }
        changes.push_back({item.minutes, &ActivityChangeDescription(changeWords[i], changeWords[i + 1])});
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

// Builds each line of one day in one piece: the day's key prefix (date and counter) is made
// once, and every line is allocated once at its final size.
class DayLineWriter {
public:
    // The key prefix as LineKey writes it: date, counter zero-padded to four, ". ".
    DayLineWriter(std::vector<std::string>& lines, const utility::DateTimeParts& date, const std::string& counter)
        : lines_(lines), prefix_(JoinParts(utility::DateToYMDTextB(date), " ", PaddedCounter(counter), ". "))
    {}

    template <class... Parts>
    void Add(std::string_view time, std::string_view tag, const Parts&... parts)
    {
        lines_.push_back(JoinParts(prefix_, time, tag, parts...));
    }

private:
    std::vector<std::string>& lines_;
    std::string prefix_;
};

void AppendDayLines(const utility::DateTimeParts& date, const std::string& counter, std::uint16_t distance,
                    const std::array<std::int64_t, 5>& totals, const std::vector<DayChange>& changes,
                    std::vector<std::string>& lines)
{
    const DayTexts& texts = Texts();
    DayLineWriter day(lines, date, counter);
    std::string weekday;
    utility::WeekdayName(date.dayOfWeek, weekday);
    day.Add(kMidnight, " A5#", texts.underscores);
    day.Add(kMidnight, " AA#", counter, ". Data: ", DateTimeText(date), " (", weekday, ")");
    day.Add(kMidnight, " AB#", texts.totalsHeading);
    const char* totalTags[] = {" AC#", " AD#", " AE#", " AF#", " AG#"};
    for (unsigned a = 0; a < totals.size(); ++a)
        day.Add(kMidnight, totalTags[a], "    ", Clock(totals[a]), "/", ActivityNames(a));
    day.Add(kMidnight, " AP#", "  II. Dzienny przebieg: ", std::to_string(distance));
    day.Add(kMidnight, " AR#", texts.rule);
    day.Add(kMidnight, " AT#", texts.changesHeading);
    for (const DayChange& change : changes) {
        const Clock clock(change.minutes * 60LL);
        day.Add(clock, " BB#", " ", clock, " ", *change.description);
    }
    day.Add("23:59:59:99", " BW#", texts.rule);
}

}  // namespace

bool DecodeActivityDay(std::span<const std::uint8_t> changeWords, std::array<std::int64_t, 5>& totalsSeconds,
                       std::vector<std::string>& changeTexts)
{
    std::vector<DayChange> changes;
    const bool decoded = DecodeDay(changeWords, totalsSeconds, changes);
    changeTexts.clear();
    for (const DayChange& change : changes)
        changeTexts.push_back(JoinParts(" ", Clock(change.minutes * 60LL), " ", *change.description));
    return decoded;
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
    std::vector<DayChange> changes;
    if (ring > 0 && oldest) {
        // Room for the most lines the ring can give (a day of 12 bytes has 11 lines).
        lines.reserve(lines.size() + ring * 11 / 12 + 1);
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
            // Split once: every text of the day is written from these parts.
            const utility::DateTimeParts parts = utility::SplitDateTime(date);
            const bool isNewest = newest && record.start == *newest;
            if (record.start == *oldest)
                firstDay = date;
            const std::string counter = PresenceCounterText(record.PresenceCounter());
            values.push_back(JoinParts(utility::DateToYYYYMMDD(parts), "=", counter));
            std::array<std::int64_t, 5> totals{};
            if (!DecodeDay(record.ChangeWords(), totals, changes))
                problems.push_back(utility::Pl("Nie można utworzyć listy zmian dziennych dla ") +
                                   utility::FormatShortDate(date) + " l." + counter);
            AppendDayLines(parts, counter, record.Distance(), totals, changes, lines);
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

}  // namespace tacho
