// The general float text and the one-value "%" formatter.
#include "utility/floatformat.h"

#include "utility/decimaldigits.h"
#include "utility/formatsettings.h"

#include <algorithm>
#include <cmath>

namespace utility {
namespace {

constexpr int kMaxPrecision = 18;
constexpr int kMaxWidth = 9999;

std::string NonFiniteText(double value)
{
    if (std::isnan(value))
        return "NAN";
    return value < 0 ? "-INF" : "INF";
}

std::string ExponentText(int exponent, bool alwaysSign, int minDigits)
{
    std::string digits = std::to_string(exponent < 0 ? -static_cast<long long>(exponent) : exponent);
    if (static_cast<int>(digits.size()) < minDigits)
        digits.insert(0, static_cast<std::size_t>(minDigits) - digits.size(), '0');
    if (exponent < 0)
        return "-" + digits;
    return alwaysSign ? "+" + digits : digits;
}

// Fixed text of |value| with `decimals` decimals, grouped or not; `negative` tells whether a
// minus is due (the rounded value is not zero).
std::string FixedText(double value, int decimals, bool grouped, bool& negative)
{
    const FormatSettings& fs = PolishFormatSettings();
    DecimalDigits d = ExactDigits(value);
    RoundToDecimals(d, decimals);
    negative = std::signbit(value) && !d.IsZero();
    std::string integer = IntegerDigits(d);
    if (integer.empty())
        integer.assign(1, '0');
    std::string text = grouped ? GroupThousands(integer, fs.thousandSeparator) : integer;
    if (decimals > 0)
        text.append(1, fs.decimalSeparator).append(FractionDigits(d, decimals));
    return text;
}

std::string ScientificText(double value, int precision)
{
    DecimalDigits d = ExactDigits(value);
    RoundDigits(d, precision);
    std::string text = std::signbit(value) && !d.IsZero() ? "-" : "";
    text.push_back(DigitAt(d, 0));
    if (precision > 1) {
        text.push_back(PolishFormatSettings().decimalSeparator);
        for (int i = 1; i < precision; ++i)
            text.push_back(DigitAt(d, i));
    }
    return text + "E" + ExponentText(d.IsZero() ? 0 : d.exponent - 1, true, 3);
}

// The currency placement patterns: "$" stands for the currency string, "1" for the amount.
std::string CurrencyText(const std::string& amount, bool negative)
{
    static const char* const kPositive[] = {"$1", "1$", "$ 1", "1 $"};
    static const char* const kNegative[] = {"($1)", "-$1",  "$-1",  "$1-",  "(1$)", "-1$",  "1-$",   "1$-",
                                            "-1 $", "-$ 1", "1 $-", "$ 1-", "$ -1", "1- $", "($ 1)", "(1 $)"};
    const FormatSettings& fs = PolishFormatSettings();
    const char* pattern =
        negative ? kNegative[std::clamp(fs.negCurrencyFormat, 0, 15)] : kPositive[std::clamp(fs.currencyFormat, 0, 3)];
    std::string text;
    for (const char* p = pattern; *p; ++p) {
        if (*p == '$')
            text += fs.currencyString;
        else if (*p == '1')
            text += amount;
        else
            text.push_back(*p);
    }
    return text;
}

struct Directive {
    bool leftAlign = false;
    int width = 0;
    int precision = -1;  // none given
    char type = 0;
};

// Reads a run of digits at `pos`; false when the number is above kMaxWidth.
bool ReadNumber(std::string_view text, std::size_t& pos, int& number)
{
    number = 0;
    while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
        number = number * 10 + (text[pos] - '0');
        if (number > kMaxWidth)
            return false;
        ++pos;
    }
    return true;
}

// Parses the directive after a "%" at `pos`; moves `pos` past it.
std::optional<Directive> ParseDirective(std::string_view text, std::size_t& pos)
{
    Directive d;
    if (pos < text.size() && text[pos] == '-') {
        d.leftAlign = true;
        ++pos;
    }
    if (!ReadNumber(text, pos, d.width))
        return std::nullopt;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        if (pos >= text.size() || text[pos] < '0' || text[pos] > '9')
            return std::nullopt;
        if (!ReadNumber(text, pos, d.precision))
            return std::nullopt;
    }
    if (pos >= text.size())
        return std::nullopt;
    const char type = static_cast<char>(text[pos] | 0x20);
    if (type != 'e' && type != 'f' && type != 'g' && type != 'n' && type != 'm')
        return std::nullopt;
    d.type = type;
    ++pos;
    return d;
}

std::string DirectiveText(const Directive& d, double value)
{
    bool negative = false;
    switch (d.type) {
    case 'e':
        return ScientificText(value, std::clamp(d.precision < 0 ? 15 : d.precision, 1, kMaxPrecision));
    case 'g':
        return FloatToTextGeneral(value, d.precision < 0 ? 15 : d.precision);
    case 'f':
    case 'n': {
        const std::string text =
            FixedText(value, std::min(d.precision < 0 ? 2 : d.precision, kMaxPrecision), d.type == 'n', negative);
        return negative ? "-" + text : text;
    }
    default: {
        const int decimals = d.precision < 0 ? PolishFormatSettings().currencyDecimals : d.precision;
        const std::string amount = FixedText(value, std::clamp(decimals, 0, kMaxPrecision), true, negative);
        return CurrencyText(amount, negative);
    }
    }
}

std::string Padded(std::string text, const Directive& d)
{
    if (static_cast<int>(text.size()) >= d.width)
        return text;
    const std::string blanks(static_cast<std::size_t>(d.width) - text.size(), ' ');
    return d.leftAlign ? text + blanks : blanks + text;
}

}  // namespace

std::string FloatToTextGeneral(double value, int precision)
{
    if (!std::isfinite(value))
        return NonFiniteText(value);
    precision = std::clamp(precision, 1, kMaxPrecision);
    DecimalDigits d = ExactDigits(value);
    RoundDigits(d, precision);
    if (d.IsZero())
        return "0";
    const char decimalSeparator = PolishFormatSettings().decimalSeparator;
    std::string text = std::signbit(value) ? "-" : "";
    if (d.exponent > precision || d.exponent < -4) {
        text.push_back(d.digits[0]);
        if (d.digits.size() > 1)
            text += decimalSeparator + d.digits.substr(1);
        return text + "E" + ExponentText(d.exponent - 1, false, 0);
    }
    const std::string integer = IntegerDigits(d);
    text += integer.empty() ? "0" : integer;
    const int decimals = static_cast<int>(d.digits.size()) - d.exponent;
    if (decimals > 0)
        text += decimalSeparator + FractionDigits(d, decimals);
    return text;
}

std::optional<std::string> FormatOneFloat(std::string_view format, double value)
{
    std::string result;
    bool used = false;
    std::size_t pos = 0;
    while (pos < format.size()) {
        const char c = format[pos++];
        if (c != '%') {
            result.push_back(c);
            continue;
        }
        if (pos < format.size() && format[pos] == '%') {
            result.push_back('%');
            ++pos;
            continue;
        }
        const std::optional<Directive> d = ParseDirective(format, pos);
        if (!d || used || !std::isfinite(value))
            return std::nullopt;
        used = true;
        result += Padded(DirectiveText(*d, value), *d);
    }
    return result;
}

}  // namespace utility
