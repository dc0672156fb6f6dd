// Number texts of the report library over the Polish format settings: the general float text,
// the float mask formatter and a one-value "%" formatter. Never printf, never QLocale. Every
// rounding here works on the double's exact value and takes halves away from zero, so 2.675
// (in truth 2.67499999...) shows as 2,67 with two decimals and -0.125 as -0,13. A value that
// shows as zero never carries a minus sign.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace utility {

// The general text of a float: rounded to `precision` significant digits (1..18), trailing
// zeros dropped, the decimal separator only when decimals remain. Fixed notation when the
// value has at most `precision` integer digits and is 0.00001 or more in magnitude, otherwise
// scientific as "1E20" or "-2,5E-7". NaN and the infinities give "NAN", "INF" and "-INF".
std::string FloatToTextGeneral(double value, int precision = 15);

// Formats a value with a mask. Grammar:
//   mask     = section [";" section [";" section]]   (further sections are ignored)
//   the first section formats positive values (and negative ones with a leading "-"), the
//   second negative values without a sign, the third values that show as zero; an empty or
//   missing section falls back to the first; an empty first section gives the general text.
//   In a section, outside quotes:
//   "0"  a digit, shown even when it is a leading or trailing zero
//   "#"  a digit, left out when it would be a leading or trailing zero
//   "."  the first one places the decimal separator (shown when decimals follow it)
//   ","  anywhere in the section: group the integer digits in thousands
//   "E+" "E-" "e+" "e-"  the first one makes the number scientific; the "0"s right after it give
//        the exponent's minimum digits (up to 4); "+" shows the exponent's sign always, "-"
//        only when it is negative; everything after the exponent is literal text
//   'text' "text"  literal text without the quotes (an unclosed quote runs to the section end)
//   any other character is copied as it is.
//   Integer digits beyond the placeholders are all shown, at the first placeholder.
// Refused (nullopt): a value that is NaN or infinite. An empty mask gives the general text.
[[nodiscard]] std::optional<std::string> FormatFloatMask(std::string_view mask, double value);

// Formats one float with a format text: literal text, "%%" for a percent sign, and at most one
// directive "%[-][width][.precision]type" (width and precision up to 9999) with type
//   e  scientific "-d,ddddE+ddd": `precision` digits in all (default 15, 1..18), exponent with
//      its sign and at least three digits
//   f  fixed: `precision` decimals (default 2, at most 18)
//   g  the general text with `precision` significant digits (default 15, 1..18)
//   n  as f, with thousands separators
//   m  money: as n with the currency decimals by default, placed by the currency formats
// in either letter case. The text is padded with blanks to `width` on the left, or on the
// right with "-". Refused (nullopt): any other directive (also "%s" or "%d"), a second
// directive, argument indexes or "*", a width or precision above 9999, and a directive given a
// value that is NaN or infinite.
[[nodiscard]] std::optional<std::string> FormatOneFloat(std::string_view format, double value);

}  // namespace utility
