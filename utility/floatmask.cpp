// The float mask formatter (grammar in floatformat.h).
#include "utility/decimaldigits.h"
#include "utility/floatformat.h"
#include "utility/formatsettings.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace utility {
namespace {

constexpr int kMaxExponentDigits = 4;

bool IsQuote(char c) { return c == '\'' || c == '"'; }

bool StartsExponent(std::string_view s, std::size_t i)
{
    return (s[i] == 'E' || s[i] == 'e') && i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-');
}

// Index just past the quoted text that starts at `i` (or the end when it is not closed).
std::size_t SkipQuoted(std::string_view s, std::size_t i)
{
    const std::size_t close = s.find(s[i], i + 1);
    return close == std::string_view::npos ? s.size() : close + 1;
}

std::vector<std::string_view> SplitSections(std::string_view mask)
{
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < mask.size()) {
        if (IsQuote(mask[i])) {
            i = SkipQuoted(mask, i);
        } else if (mask[i] == ';') {
            sections.push_back(mask.substr(start, i - start));
            start = ++i;
        } else {
            ++i;
        }
    }
    sections.push_back(mask.substr(start));
    return sections;
}

struct Layout {
    int intPlaceholders = 0;
    int intZeros = 0;  // integer digits always shown
    int decPlaceholders = 0;
    int decZeros = 0;  // decimals always shown
    bool grouped = false;
    bool scientific = false;
};

Layout ScanSection(std::string_view s)
{
    Layout l;
    int firstIntZero = -1;
    bool point = false;
    for (std::size_t i = 0; i < s.size();) {
        const char c = s[i];
        if (IsQuote(c)) {
            i = SkipQuoted(s, i);
            continue;
        }
        if (StartsExponent(s, i)) {
            l.scientific = true;
            break;
        }
        if (c == '0' || c == '#') {
            if (point) {
                ++l.decPlaceholders;
                if (c == '0')
                    l.decZeros = l.decPlaceholders;
            } else {
                if (c == '0' && firstIntZero < 0)
                    firstIntZero = l.intPlaceholders;
                ++l.intPlaceholders;
            }
        } else if (c == '.') {
            point = true;
        } else if (c == ',') {
            l.grouped = true;
        }
        ++i;
    }
    l.intZeros = firstIntZero < 0 ? 0 : l.intPlaceholders - firstIntZero;
    return l;
}

struct Digits {
    std::string integer;
    std::string fraction;
    int exponent = 0;
    bool zero = true;
};

Digits DigitsFor(const Layout& l, double value)
{
    Digits r;
    DecimalDigits d = ExactDigits(value);
    if (l.scientific) {
        RoundDigits(d, std::max(1, l.intPlaceholders + l.decPlaceholders));
        r.zero = d.IsZero();
        r.exponent = r.zero ? 0 : d.exponent - l.intPlaceholders;
        for (int i = 0; i < l.intPlaceholders && !r.zero; ++i)
            r.integer.push_back(DigitAt(d, i));
        for (int i = 0; i < l.decPlaceholders; ++i)
            r.fraction.push_back(DigitAt(d, l.intPlaceholders + i));
    } else {
        RoundToDecimals(d, l.decPlaceholders);
        r.zero = d.IsZero();
        r.integer = IntegerDigits(d);
        r.fraction = FractionDigits(d, l.decPlaceholders);
    }
    if (static_cast<int>(r.integer.size()) < l.intZeros)
        r.integer.insert(0, static_cast<std::size_t>(l.intZeros) - r.integer.size(), '0');
    while (static_cast<int>(r.fraction.size()) > l.decZeros && r.fraction.back() == '0')
        r.fraction.pop_back();
    return r;
}

// Writes one section with its digits, placeholder by placeholder.
class SectionWriter {
public:
    SectionWriter(const Layout& layout, const Digits& digits) : l_(layout), d_(digits) {}

    std::string Write(std::string_view s, bool minus)
    {
        out_ = minus ? "-" : "";
        std::size_t i = 0;
        while (i < s.size()) {
            const char c = s[i];
            if (IsQuote(c)) {
                const std::size_t close = s.find(c, i + 1);
                const std::size_t end = close == std::string_view::npos ? s.size() : close;
                out_.append(s.substr(i + 1, end - i - 1));
                i = end + 1;
            } else if (StartsExponent(s, i)) {
                i = WriteExponent(s, i);
                out_.append(s.substr(i));  // literal after the exponent
                break;
            } else {
                WriteChar(c);
                ++i;
            }
        }
        return out_;
    }

private:
    void WriteChar(char c)
    {
        if (c == '0' || c == '#') {
            Flush();
            if (!point_)
                WritePlaceholderDigit();
            else if (decIndex_ < d_.fraction.size())
                out_.push_back(d_.fraction[decIndex_++]);
        } else if (c == '.') {
            Flush();
            if (!point_ && !d_.fraction.empty())
                out_.push_back(PolishFormatSettings().decimalSeparator);
            point_ = true;
        } else if (c != ',') {
            out_.push_back(c);
        }
    }

    // Integer digits that have no placeholder of their own come out at the first one.
    void Flush()
    {
        if (flushed_)
            return;
        flushed_ = true;
        const int excess = static_cast<int>(d_.integer.size()) - l_.intPlaceholders;
        for (int k = 0; k < excess; ++k)
            WriteInteger(static_cast<std::size_t>(k));
    }

    void WritePlaceholderDigit()
    {
        const int place = l_.intPlaceholders - intIndex_++;  // 1 = units
        const int size = static_cast<int>(d_.integer.size());
        if (place <= size)
            WriteInteger(static_cast<std::size_t>(size - place));
    }

    void WriteInteger(std::size_t k)
    {
        out_.push_back(d_.integer[k]);
        const std::size_t place = d_.integer.size() - k;
        if (l_.grouped && place > 1 && (place - 1) % 3 == 0)
            out_.push_back(PolishFormatSettings().thousandSeparator);
    }

    std::size_t WriteExponent(std::string_view s, std::size_t i)
    {
        Flush();
        out_.push_back(s[i]);
        const bool alwaysSign = s[i + 1] == '+';
        i += 2;
        int minDigits = 0;
        while (i < s.size() && s[i] == '0') {
            ++minDigits;
            ++i;
        }
        minDigits = std::min(minDigits, kMaxExponentDigits);
        std::string digits = std::to_string(std::abs(d_.exponent));
        if (static_cast<int>(digits.size()) < minDigits)
            digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
        if (d_.exponent < 0)
            out_.push_back('-');
        else if (alwaysSign)
            out_.push_back('+');
        out_ += digits;
        return i;
    }

    const Layout& l_;
    const Digits& d_;
    std::string out_;
    bool flushed_ = false;
    bool point_ = false;
    int intIndex_ = 0;
    std::size_t decIndex_ = 0;
};

}  // namespace

std::optional<std::string> FormatFloatMask(std::string_view mask, double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const std::vector<std::string_view> sections = SplitSections(mask);
    std::string_view section = sections[0];
    bool minus = std::signbit(value);
    if (minus && sections.size() > 1 && !sections[1].empty()) {
        section = sections[1];
        minus = false;
    }
    if (section.empty())
        return FloatToTextGeneral(value);
    Layout layout = ScanSection(section);
    Digits digits = DigitsFor(layout, value);
    if (digits.zero && sections.size() > 2 && !sections[2].empty()) {
        section = sections[2];
        layout = ScanSection(section);
        digits = DigitsFor(layout, value);
    }
    if (digits.zero)
        minus = false;
    return SectionWriter(layout, digits).Write(section, minus);
}

}  // namespace utility
