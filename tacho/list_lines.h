// Pieces shared by the text lines of the printout: the sort key of a line, the presence
// counter texts, the default date-time text, and the ordinal sort by key.
#pragma once

#include "utility/datetime.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tacho {

// activityDailyPresenceCounter as shown: the decimal number its four BCD digits spell
// ("123" for 0x01 0x23); a counter with a nibble above 9 shows its four hexadecimal digits
// without leading zeros, so the card's value stays visible.
std::string PresenceCounterText(std::uint16_t counter);
// A counter text zero-padded to 4 characters.
std::string PaddedCounter(std::string_view counterText);

// Key of a line: date as year-month-day, " ", the counter zero-padded to 4, ". ", the time
// text, the tag (" " + two capitals + "#").
std::string LineKey(double date, std::string_view counterText, std::string_view time, std::string_view tag);

// The parts (texts, string views or literals) joined into one string, allocated once at its
// final size: the printout makes thousands of lines for every preview.
template <class... Parts>
std::string JoinParts(const Parts&... parts)
{
    std::string joined;
    joined.reserve((std::string_view(parts).size() + ... + 0));
    (joined.append(parts), ...);
    return joined;
}

// Short date, then the long time unless the value is exactly midnight.
std::string DateTimeText(double dateTime);
std::string DateTimeText(const utility::DateTimeParts& parts);

// The line's key: its text up to and including the first "#" (the whole line without one).
std::string_view KeyOfLine(std::string_view line);
// Sorts by key, byte by byte; lines with equal keys keep their order.
void SortLinesByKey(std::vector<std::string>& lines);

}  // namespace tacho
