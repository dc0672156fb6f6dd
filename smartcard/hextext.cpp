#include "smartcard/hextext.h"

#include "utility/stringi.h"

namespace smartcard {

std::string BytesToHex(const unsigned char* bytes, int count)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    if (!bytes || count < 1)
        return text;
    text.reserve(static_cast<std::size_t>(count) * 3);
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            text += ' ';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0F];
    }
    return text;
}

int FindFirstOf(std::string_view chars, std::string_view text)
{
    for (char c : chars) {
        const auto pos = text.find(c);
        if (pos != std::string_view::npos)
            return static_cast<int>(pos);
    }
    return -1;
}

std::string NormalizeHexText(std::string_view text)
{
    std::string rest = utility::TrimBoth(text);
    std::string result;
    if (rest.empty())
        return result;
    rest += ' ';
    while (!rest.empty()) {
        std::size_t lead = 0;
        while (rest.size() - lead > 1 && (rest[lead] == ' ' || rest[lead] == ','))
            ++lead;
        rest.erase(0, lead);
        // A blank always remains at the end, so there is a cut.
        const int cut = FindFirstOf(", ", rest);
        const auto group = std::string_view(rest).substr(0, static_cast<std::size_t>(cut));
        if (group.size() % 2 == 1)
            result += '0';
        result += group;
        rest.erase(0, static_cast<std::size_t>(cut) + 1);
    }
    return result;
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return 0;
}

}  // namespace smartcard
