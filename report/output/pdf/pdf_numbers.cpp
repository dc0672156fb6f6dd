#include "report/output/pdf/pdf_numbers.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace report::output {
namespace {

// Fixed-point text of a finite value; grows the buffer for the rare value with hundreds of
// digits before the point.
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

}  // namespace

std::string PdfInt(long long value)
{
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
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
    if (!std::isfinite(value))
        return "0";
    return FixedText(std::trunc(value), 0);
}

std::string PdfFixed(long double value, int decimals, int width)
{
    std::string text = FixedText(std::isfinite(value) ? value : 0.0L, decimals < 0 ? 0 : decimals);
    if (width > 0 && text.size() < static_cast<std::size_t>(width))
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    return text;
}

}  // namespace report::output
