#include "smartcard/atr.h"

#include "smartcard/hextext.h"
#include "utility/stringi.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

namespace smartcard {
namespace {

bool IsAtrDigit(char c) { return IsHexDigit(c) || c == 'X' || c == 'x'; }

// Bytes of an ATR or mask text; nullopt when the text is not valid or has more than 32 pairs.
std::optional<std::vector<unsigned char>> ParseAtrText(std::string_view text)
{
    const std::string t = utility::TrimBoth(text);
    std::vector<unsigned char> bytes;
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < t.size() && t[i] == ' ')
            ++i;
    };
    skipBlanks();
    while (i < t.size()) {
        if (i + 1 >= t.size() || !IsAtrDigit(t[i]) || !IsAtrDigit(t[i + 1]))
            return std::nullopt;
        bytes.push_back(static_cast<unsigned char>(HexDigitValue(t[i]) * 16 + HexDigitValue(t[i + 1])));
        if (bytes.size() > static_cast<std::size_t>(TAtr::kMaxBytes))
            return std::nullopt;
        i += 2;
        skipBlanks();
        if (i < t.size() && (t[i] == ',' || t[i] == '|')) {
            ++i;
            skipBlanks();
        }
    }
    return bytes;
}

std::string MaskOf(std::string_view text)
{
    std::string mask(text);
    for (char& c : mask) {
        if (IsHexDigit(c))
            c = 'F';
        else if (c == 'X' || c == 'x')
            c = '0';
    }
    return mask;
}

// Digit values of a mask text, separators skipped; nullopt for any other character.
std::optional<std::string> MaskDigits(std::string_view text)
{
    std::string digits;
    for (char c : text) {
        if (c == ' ' || c == ',' || c == '|')
            continue;
        if (!IsHexDigit(c))
            return std::nullopt;
        digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return digits;
}

bool MasksDiffer(std::string_view a, std::string_view b)
{
    const auto da = MaskDigits(a);
    const auto db = MaskDigits(b);
    return !da || !db || *da != *db;
}

}  // namespace

void TAtr::SetBytes(const unsigned char* data, int count)
{
    const int kept = data ? std::clamp(count, 0, kMaxBytes) : 0;
    if (kept != length_) {
        maskLength_ = 0;
        maskHex_.clear();
    }
    length_ = kept;
    std::copy_n(data ? data : bytes_.data(), kept, bytes_.begin());
    hex_ = BytesToHex(bytes_.data(), length_);
}

void TAtr::SetHex(std::string_view text)
{
    const auto bytes = ParseAtrText(text);
    if (!bytes)
        return;
    std::copy(bytes->begin(), bytes->end(), bytes_.begin());
    length_ = static_cast<int>(bytes->size());
    const std::string mask = MaskOf(text);
    if (MasksDiffer(mask, maskHex_))
        SetMaskHex(mask);
    hex_ = std::string(text);
}

void TAtr::SetMaskHex(std::string_view text)
{
    const auto bytes = ParseAtrText(text);
    if (!bytes)
        return;
    std::copy(bytes->begin(), bytes->end(), mask_.begin());
    maskLength_ = static_cast<int>(bytes->size());
    maskHex_ = std::string(text);
}

}  // namespace smartcard
