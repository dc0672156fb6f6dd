// Shared pieces of the printout's text lines.
#include "tacho/list_lines.h"

#include "utility/datetime.h"
#include "utility/formatsettings.h"
#include "utility/stringi.h"

#include <algorithm>

namespace tacho {

std::string PresenceCounterText(std::uint16_t counter)
{
    int value = 0;
    for (int shift = 12; shift >= 0; shift -= 4) {
        const int digit = counter >> shift & 0xF;
        if (digit > 9)
            return utility::IntToHexText(counter);
        value = value * 10 + digit;
    }
    return std::to_string(value);
}

std::string PaddedCounter(std::string_view counterText)
{
    std::string padded(counterText);
    if (padded.size() < 4)
        padded.insert(0, 4 - padded.size(), '0');
    return padded;
}

std::string LineKey(double date, std::string_view counterText, std::string_view time, std::string_view tag)
{
    std::string key = utility::DateToYMDTextB(date);
    key += ' ';
    key += PaddedCounter(counterText);
    key += ". ";
    key += time;
    key += tag;
    return key;
}

std::string DateTimeText(double dateTime) { return DateTimeText(utility::SplitDateTime(dateTime)); }

std::string DateTimeText(const utility::DateTimeParts& p)
{
    std::string text = utility::FormatShortDate(p);
    if (p.hour != 0 || p.minute != 0 || p.second != 0 || p.millisecond != 0)
        text.append(" ").append(utility::FormatLongTime(p));
    return text;
}

std::string_view KeyOfLine(std::string_view line)
{
    const std::size_t hash = line.find('#');
    return hash == std::string_view::npos ? line : line.substr(0, hash + 1);
}

void SortLinesByKey(std::vector<std::string>& lines)
{
    // char_traits<char> compares bytes as unsigned char: an ordinal order.
    std::stable_sort(lines.begin(), lines.end(),
                     [](const std::string& a, const std::string& b) { return KeyOfLine(a) < KeyOfLine(b); });
}

}  // namespace tacho
