// Reading day records out of the cyclic activity area.
#include "tacho/activity_ring.h"

#include "tacho/decoders.h"
#include "utility/cp1250.h"
#include "utility/datetime.h"
#include "utility/formatsettings.h"

namespace tacho {
namespace {

constexpr std::size_t kHeaderSize = 4;
constexpr std::size_t kChangeWordsAt = 12;

// The day of the record plus the time of its first or last change; a time past the end of the
// day becomes 23:59 and is reported.
double DayTime(const DailyRecord& record, bool firstChange, ActivitySpan& span)
{
    const double day = utility::SplitDateTime(TimeRealToDate(record.Date())).dayNumber;
    const auto words = record.ChangeWords();
    const std::optional<double> time = firstChange ? FirstChangeTime(words) : LastChangeTime(words);
    if (time)
        return day + *time;
    span.timesValid = false;
    span.error =
        utility::Pl("Niepoprawny czas zmiany czynności (24:00 lub później) w dniu ") + utility::FormatShortDate(day);
    return day + utility::EncodeTime(23, 59, 0);
}

}  // namespace

std::uint32_t DailyRecord::Date() const { return bytes.size() >= 8 ? ReadUint32BE(std::span(bytes).subspan(4, 4)) : 0; }

std::uint16_t DailyRecord::PresenceCounter() const { return bytes.size() >= 10 ? ReadWordBE(bytes[8], bytes[9]) : 0; }

std::uint16_t DailyRecord::Distance() const { return bytes.size() >= 12 ? ReadWordBE(bytes[10], bytes[11]) : 0; }

std::span<const std::uint8_t> DailyRecord::ChangeWords() const
{
    if (length < kChangeWordsAt || bytes.size() < length)
        return {};
    return std::span(bytes).subspan(kChangeWordsAt, length - kChangeWordsAt);
}

DailyRecord ReadDailyRecord(const CardImageData& image, std::size_t position)
{
    DailyRecord record;
    record.start = position;
    record.last = position;
    const std::size_t ring = ActivityStructureLength(image);
    if (ring == 0)
        return record;
    if (position >= ring) {
        record.damaged = true;
        return record;
    }
    const auto at = [&](std::size_t offset) { return image[field::kActivityRing + (position + offset) % ring]; };
    const std::size_t header = std::min(kHeaderSize, ring);
    record.bytes.reserve(header);
    for (std::size_t i = 0; i < header; ++i)
        record.bytes.push_back(at(i));
    const std::size_t length = header < kHeaderSize ? 0 : ReadWordBE(record.bytes[2], record.bytes[3]);
    record.last = (position + header - 1) % ring;
    if (length == 0)
        return record;
    if (length < kHeaderSize || length > ring) {
        record.damaged = true;
        return record;
    }
    record.length = length;
    record.bytes.resize(length);
    for (std::size_t i = kHeaderSize; i < length; ++i)
        record.bytes[i] = at(i);
    record.last = (position + length - 1) % ring;
    return record;
}

std::size_t NextRecordPosition(const CardImageData& image, const DailyRecord& record)
{
    const std::size_t ring = ActivityStructureLength(image);
    return ring == 0 ? 0 : (record.last + 1) % ring;
}

ActivitySpan GetActivitySpan(const CardImageData& image)
{
    ActivitySpan span;
    if (const auto oldest = ActivityPointerOldestDayRecord(image)) {
        const DailyRecord record = ReadDailyRecord(image, *oldest);
        if (record.length > 0)
            span.first = DayTime(record, true, span);
    }
    if (const auto newest = ActivityPointerNewestRecord(image)) {
        const DailyRecord record = ReadDailyRecord(image, *newest);
        if (record.length > 0)
            span.last = DayTime(record, false, span);
    }
    return span;
}

}  // namespace tacho
