// Text routines of the program, on code page 1250 byte strings.
#include "utility/stringi.h"

#include "utility/cp1250.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>

namespace utility {

const std::string& ForbiddenFileNameChars()
{
    static const std::string chars = [] {
        std::string s = "\"*+,./:;<=>?[\\]|";
        for (int c = 0; c < 32; ++c)
            if (c != 5)
                s.push_back(static_cast<char>(c));
        return s;
    }();
    return chars;
}

const std::string& AlphanumericAlphabet()
{
    static const std::string alphabet = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    return alphabet;
}

int LastPos(std::string_view sub, std::string_view text, int limit)
{
    if (sub.empty())
        return 0;
    int last = 0;
    std::size_t from = 0;
    while (from <= text.size()) {
        const std::size_t hit = text.find(sub, from);
        if (hit == std::string_view::npos)
            break;
        const int pos = static_cast<int>(hit) + 1;
        if (limit >= 0 && pos > limit)
            break;
        last = pos;
        from = hit + sub.size();
    }
    return last;
}

std::string SpaceString(int count)
{
    return count > 0 ? std::string(static_cast<std::size_t>(count), ' ') : std::string();
}

std::string PadLeft(std::string_view text, int width, bool cut)
{
    const auto w = static_cast<std::size_t>(std::max(width, 0));
    if (text.size() >= w) {
        if (cut && text.size() > w)
            return std::string(text.substr(text.size() - w));
        return std::string(text);
    }
    return std::string(w - text.size(), ' ') + std::string(text);
}

std::string TrimBoth(std::string_view text)
{
    auto isTrim = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    std::size_t b = 0;
    std::size_t e = text.size();
    while (b < e && isTrim(text[b]))
        ++b;
    while (e > b && isTrim(text[e - 1]))
        --e;
    return std::string(text.substr(b, e - b));
}

std::string RemoveChar(std::string_view text, char c)
{
    std::string r;
    r.reserve(text.size());
    for (char x : text)
        if (x != c)
            r.push_back(x);
    return r;
}

std::string RemoveSpaces(std::string_view text) { return RemoveChar(text, ' '); }

std::string SpacesToZeros(std::string_view text) { return ReplaceChar(text, ' ', '0'); }

void SpacesToZerosInPlace(std::string& text) { std::replace(text.begin(), text.end(), ' ', '0'); }

std::string ZeroPadNumberText(std::string_view text, int width) { return SpacesToZeros(PadLeft(text, width, false)); }

std::string IntToZeroPadded(long long value, int width)
{
    if (value < 0 || width > 20)
        return ZeroPadNumberText(std::to_string(value), width);
    // The common case without temporaries: the digits right-aligned in zeros.
    char digits[20];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), value).ptr;
    const auto count = static_cast<std::size_t>(end - digits);
    std::string result;
    if (width > 0 && static_cast<std::size_t>(width) > count)
        result.assign(static_cast<std::size_t>(width) - count, '0');
    result.append(digits, count);
    return result;
}

std::string JoinZeroPadded(long long a, int widthA, long long b, int widthB, long long c, int widthC,
                           std::string_view separator)
{
    // Dates and times are written for every line of a printout: the usual values go straight
    // into one buffer, anything else the long way.
    const auto fits = [](long long value, int width) {
        constexpr long long kLimits[] = {1, 10, 100, 1'000, 10'000};
        return width >= 1 && width <= 4 && value >= 0 && value < kLimits[width];
    };
    if (!fits(a, widthA) || !fits(b, widthB) || !fits(c, widthC) || separator.size() > 1)
        return IntToZeroPadded(a, widthA) + std::string(separator) + IntToZeroPadded(b, widthB) +
               std::string(separator) + IntToZeroPadded(c, widthC);
    char text[16];
    std::size_t at = 0;
    const auto put = [&](long long value, int width) {
        for (int i = width - 1; i >= 0; --i) {
            text[at + static_cast<std::size_t>(i)] = static_cast<char>('0' + value % 10);
            value /= 10;
        }
        at += static_cast<std::size_t>(width);
    };
    put(a, widthA);
    if (!separator.empty())
        text[at++] = separator.front();
    put(b, widthB);
    if (!separator.empty())
        text[at++] = separator.front();
    put(c, widthC);
    return std::string(text, at);
}

std::string IntToHexText(unsigned long long value)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string r;
    do {
        r.insert(r.begin(), digits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return r;
}

std::string ReplaceChar(std::string_view text, char oldChar, char newChar)
{
    std::string r(text);
    if (oldChar != newChar)
        std::replace(r.begin(), r.end(), oldChar, newChar);
    return r;
}

std::string ReplaceAllPlain(std::string_view text, std::string_view oldText, std::string_view newText)
{
    // One pass from left to right: inserted text is never searched again, so replacements
    // cannot cascade and the loop always ends.
    if (text.empty() || oldText.empty())
        return std::string(text);
    std::string r;
    r.reserve(text.size());
    std::size_t from = 0;
    for (;;) {
        const std::size_t hit = text.find(oldText, from);
        if (hit == std::string_view::npos)
            break;
        r.append(text.substr(from, hit - from));
        r.append(newText);
        from = hit + oldText.size();
    }
    r.append(text.substr(from));
    return r;
}

std::string ReplaceText(std::string_view text, std::string_view oldText, std::string_view newText)
{
    if (oldText.size() == 1 && newText.size() == 1)
        return ReplaceChar(text, oldText[0], newText[0]);
    return ReplaceAllPlain(text, oldText, newText);
}

std::string RemoveCharsOf(std::string_view set, std::string_view text)
{
    std::string r;
    r.reserve(text.size());
    for (char c : text)
        if (set.find(c) == std::string_view::npos)
            r.push_back(c);
    return r;
}

std::string KeepCharsOf(std::string_view set, std::string_view text)
{
    std::string r;
    for (char c : text)
        if (set.find(c) != std::string_view::npos)
            r.push_back(c);
    return r;
}

std::string KeepCharsInSet(const std::function<bool(unsigned char)>& member, std::string_view text)
{
    std::string r;
    for (char c : text)
        if (member(static_cast<unsigned char>(c)))
            r.push_back(c);
    return r;
}

std::string IfThenText(std::string_view text, bool condition) { return condition ? std::string(text) : std::string(); }

std::string WithTrailingBackslash(std::string_view path)
{
    std::string p = TrimBoth(path);
    if (p.empty())
        return p;
    if (p.back() == '/')
        p.back() = '\\';
    else if (p.back() != '\\')
        p.push_back('\\');
    return p;
}

void WeekdayName(int number, std::string& name)
{
    // Converted once: the printout asks for a name per day.
    static const std::array<std::string, 7> names = [] {
        const char* const utf8[] = {"Niedziela", "Poniedziałek", "Wtorek", "Środa", "Czwartek", "Piątek", "Sobota"};
        std::array<std::string, 7> cp1250;
        for (std::size_t i = 0; i < cp1250.size(); ++i)
            cp1250[i] = Pl(utf8[i]);
        return cp1250;
    }();
    if (number >= 1 && number <= 7)
        name = names[static_cast<std::size_t>(number - 1)];
}

void SplitIntoStrings(StringList& list, std::string_view sep1, std::string_view sep2, std::string_view text)
{
    auto active = [](std::string_view s) { return !s.empty() && !(s.size() == 1 && s[0] == '\0'); };
    const bool use1 = active(sep1);
    const bool use2 = active(sep2);
    std::string_view rest = text;
    for (;;) {
        std::size_t p1 = use1 ? rest.find(sep1) : std::string_view::npos;
        std::size_t p2 = use2 ? rest.find(sep2) : std::string_view::npos;
        if (p1 == std::string_view::npos && p2 == std::string_view::npos)
            break;
        // The earlier separator wins; on a tie separator 1 does.
        const bool first = p2 == std::string_view::npos || (p1 != std::string_view::npos && p1 <= p2);
        const std::size_t at = first ? p1 : p2;
        const std::size_t len = first ? sep1.size() : sep2.size();
        list.emplace_back(rest.substr(0, at));
        rest = rest.substr(at + len);
    }
    if (!rest.empty())
        list.emplace_back(rest);
}

StringList SplitToList(std::string_view sep1, std::string_view sep2, std::string_view text)
{
    StringList list;
    SplitIntoStrings(list, sep1, sep2, text);
    return list;
}

StringList SplitSemicolonList(std::string_view text) { return SplitToList(";", std::string_view(), text); }

std::mt19937& RandomEngine()
{
    static std::mt19937 engine(static_cast<std::uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                                          std::chrono::system_clock::now().time_since_epoch().count()));
    return engine;
}

void SetRandomSeed(std::uint32_t seed) { RandomEngine().seed(seed); }

std::string RandomText(int count)
{
    static const std::string pool = "01ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    std::string r;
    if (count < 1)
        return r;
    std::uniform_int_distribution<std::size_t> pick(0, pool.size() - 1);
    for (int i = 0; i < count; ++i)
        r.push_back(pool[pick(RandomEngine())]);
    return r;
}

std::string RandomAlphanumeric(int count)
{
    const std::string& alphabet = AlphanumericAlphabet();
    std::string r;
    if (count < 1)
        return r;
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    for (int i = 0; i < count; ++i)
        r.push_back(alphabet[pick(RandomEngine())]);
    return r;
}

}  // namespace utility
