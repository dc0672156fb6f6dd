// The cyclic activity area of the card image: one CardActivityDailyRecord at a time, and the
// span from the first to the last recorded activity.
#pragma once

#include "tacho/card_image.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tacho {

// One day record copied out of the ring.
struct DailyRecord {
    std::size_t start = 0;   // ring offset of the record's first byte
    std::size_t last = 0;    // ring offset of its last byte (the next record follows it)
    std::size_t length = 0;  // activityRecordLength; 0 when there is no record here
    // The length field was 1..3 or longer than the ring, or the position lay outside the
    // ring: the walk must stop here. `length` is then 0.
    bool damaged = false;
    std::vector<std::uint8_t> bytes;  // the record (`length` bytes), or the header bytes read

    std::uint32_t Date() const;             // activityRecordDate (TimeReal seconds)
    std::uint16_t PresenceCounter() const;  // the two BCD bytes as stored
    std::uint16_t Distance() const;         // km
    // The change words (activityRecordLength - 12 bytes); empty for a record shorter than 12.
    std::span<const std::uint8_t> ChangeWords() const;
};

// Reads the record that starts at ring offset `position`, wrapping at the ring's end
// (ActivityStructureLength). Never reads outside the ring's bytes.
DailyRecord ReadDailyRecord(const CardImageData& image, std::size_t position);
// Ring offset after `record` (wrapping); only meaningful for a record with a length.
std::size_t NextRecordPosition(const CardImageData& image, const DailyRecord& record);

struct ActivitySpan {
    double first = 0;  // date-time of the first change of the oldest day; 0 when none
    double last = 0;   // date-time of the last change of the newest day; 0 when none
    // A change time of 24:00 or later was read as 23:59; `error` says which (Polish).
    bool timesValid = true;
    std::string error;
};

ActivitySpan GetActivitySpan(const CardImageData& image);

}  // namespace tacho
