// Decoders of the card's own encodings: TimeReal, Datef, ActivityChangeInfo, the activity
// and place entry-type names.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tacho {

// TimeReal (big-endian seconds since 1970-01-01 00:00, UTC as stored) as a day number.
double TimeRealToDate(std::uint32_t seconds);
// The four bytes of a TimeReal; a shorter span gives 1970-01-01.
double TimeRealToDate(std::span<const std::uint8_t> bytes);

// Datef (BCD year of four digits, month, day) as a day number; empty for a nibble above 9
// or a date that does not exist (month 0, day 0, 31 February ...).
std::optional<double> DatefToDate(std::array<std::uint8_t, 4> datef);

// One decoded ActivityChangeInfo word.
struct ActivityChangeItem {
    std::uint8_t cardStatus = 0;     // p: 0 inserted, 1 not inserted
    std::uint8_t slot = 0;           // s: 0 driver, 1 co-driver
    std::uint8_t drivingStatus = 0;  // c
    std::uint8_t activity = 0;       // 0..3 from the word; 4 when not inserted and unknown
    std::uint16_t minutes = 0;       // since midnight, 0..2047
    std::uint16_t hours = 0;
    std::uint16_t minuteOfHour = 0;
    std::uint16_t seconds = 0;  // always 0
};

// Decodes a change word (first byte as the card stores it first). When `wantText`, `text`
// becomes the Polish description: " hh:mm:ss " + what happened + "/" + the activity name.
void DecodeActivityChange(std::uint8_t first, std::uint8_t second, bool wantText, ActivityChangeItem& item,
                          std::string& text);
// What happened at a change, without its time: the text DecodeActivityChange puts after
// " hh:mm:ss " (code page 1250). The words' flags and activity decide it, not the minutes.
const std::string& ActivityChangeDescription(std::uint8_t first, std::uint8_t second);

// Names of the activity codes 0..4 (code page 1250); empty for any other code.
const std::string& ActivityNames(unsigned code);
// Text of a place record's entry type 0..5 (code page 1250); empty for any other code.
const std::string& EntryTypeName(unsigned code);

// Time of day (fraction of a day) of the first / last whole change word of a day record's
// change words; 00:00 when there is none. Empty when the word's time is 24:00 or later.
std::optional<double> FirstChangeTime(std::span<const std::uint8_t> changeWords);
std::optional<double> LastChangeTime(std::span<const std::uint8_t> changeWords);

}  // namespace tacho
