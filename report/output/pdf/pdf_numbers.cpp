#include "report/output/pdf/pdf_numbers.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace report::output {
namespace {

// Fixed-point text of any finite value through std::to_chars; grows the buffer for the rare
// value with hundreds of digits before the point. Slow (the library prints long doubles through
// printf), so only for what FastFixed leaves.
std::string FixedText(long double value, int decimals)
{
    std::string text(64, '\0');
    for (;;) {
        const auto [end, error] =
            std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, decimals);
        if (error == std::errc()) {
            text.resize(static_cast<std::size_t>(end - text.data()));
            break;
        }
        text.resize(text.size() * 8);
    }
    // "-0.00": the value rounded to zero, and a negative zero has no place in the file.
    if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos)
        text.erase(0, 1);
    return text;
}

__extension__ typedef unsigned __int128 Uint128;

constexpr int kFastDecimals = 9;
constexpr std::uint64_t kPowersOfTen[kFastDecimals + 1] = {
    1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000, 1000000000,
};

// The value times 10^decimals rounded to an integer, from its exact binary value: its 64-bit
// significand m and exponent e (value = m x 2^e) give m x 10^decimals x 2^e in 128 bits, and
// the bits shifted out decide the rounding, halves to even. False when the result would not
// fit in 64 bits (the caller then takes the slow road).
bool ScaledRounded(long double magnitude, int decimals, std::uint64_t& result)
{
    if (magnitude == 0) {
        result = 0;
        return true;
    }
    int exponent = 0;
    const long double fraction = std::frexp(magnitude, &exponent);  // [0.5, 1)
    const auto significand = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
    const int shift = exponent - 64;  // magnitude = significand x 2^shift
    const Uint128 product = static_cast<Uint128>(significand) * kPowersOfTen[decimals];  // below 2^94
    Uint128 scaled;
    if (shift >= 0) {
        if (shift > 127 - 94)
            return false;
        scaled = product << shift;
    } else if (-shift >= 128) {
        scaled = 0;  // below half of the last decimal
    } else {
        const int right = -shift;
        scaled = product >> right;
        const Uint128 rest = product - (scaled << right);
        const Uint128 half = Uint128{1} << (right - 1);
        if (rest > half || (rest == half && (scaled & 1) != 0))
            ++scaled;
    }
    if (scaled > UINT64_MAX)
        return false;
    result = static_cast<std::uint64_t>(scaled);
    return true;
}

// The digits of `scaled` with a full stop before the last `decimals` of them and at least one
// digit before it, written at `at` (room for 32 characters); returns the end.
char* PlaceDigits(char* at, std::uint64_t scaled, int decimals)
{
    char digits[24];
    const int count = static_cast<int>(std::to_chars(digits, digits + sizeof digits, scaled).ptr - digits);
    const int zeros = count < decimals + 1 ? decimals + 1 - count : 0;
    const int total = count + zeros;
    const int whole = total - decimals;
    for (int k = 0; k < total; ++k) {
        if (k == whole)
            *at++ = '.';
        *at++ = k < zeros ? '0' : digits[k - zeros];
    }
    return at;
}

void Pad(std::string& out, std::size_t length, int width)
{
    if (width > 0 && length < static_cast<std::size_t>(width))
        out.append(static_cast<std::size_t>(width) - length, ' ');
}

}  // namespace

std::string PdfInt(long long value)
{
    std::string text;
    AppendPdfInt(text, value);
    return text;
}

void AppendPdfInt(std::string& out, long long value)
{
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    out.append(text, result.ptr);
}

std::string PdfInt(long long value, int digits)
{
    std::string text = PdfInt(value);
    const std::size_t signWidth = value < 0 ? 1 : 0;
    const std::size_t digitCount = text.size() - signWidth;
    if (digits > 0 && digitCount < static_cast<std::size_t>(digits))
        text.insert(signWidth, static_cast<std::size_t>(digits) - digitCount, '0');
    return text;
}

std::string PdfTrunc(long double value)
{
    std::string text;
    AppendPdfTrunc(text, value);
    return text;
}

void AppendPdfTrunc(std::string& out, long double value)
{
    if (!std::isfinite(value)) {
        out += '0';
        return;
    }
    const long double cut = std::trunc(value);
    // Whole numbers that fit in 64 bits, which covers every page; -0 becomes 0.
    if (cut > -9.2e18L && cut < 9.2e18L) {
        AppendPdfInt(out, static_cast<long long>(cut));
        return;
    }
    out += FixedText(cut, 0);
}

void AppendPdfTrunc(std::string& out, std::initializer_list<long double> values)
{
    bool first = true;
    for (const long double value : values) {
        if (!first)
            out += ' ';
        first = false;
        AppendPdfTrunc(out, value);
    }
}

std::string PdfFixed(long double value, int decimals, int width)
{
    std::string text;
    AppendPdfFixed(text, value, decimals, width);
    return text;
}

void AppendPdfFixed(std::string& out, long double value, int decimals, int width)
{
    if (!std::isfinite(value))
        value = 0;
    if (decimals < 0)
        decimals = 0;
    std::uint64_t scaled = 0;
    if (decimals <= kFastDecimals && ScaledRounded(std::fabs(value), decimals, scaled)) {
        char text[40];
        char* at = text;
        // A value that rounds to zero has no sign.
        if (std::signbit(value) && scaled != 0)
            *at++ = '-';
        at = PlaceDigits(at, scaled, decimals);
        const auto length = static_cast<std::size_t>(at - text);
        Pad(out, length, width);
        out.append(text, length);
        return;
    }
    const std::string text = FixedText(value, decimals);
    Pad(out, text.size(), width);
    out += text;
}

}  // namespace report::output
