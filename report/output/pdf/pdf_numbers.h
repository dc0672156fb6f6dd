// The numbers of a PDF file as text: a full stop before the decimals and no thousands
// separator whatever the locale, never a minus sign on zero. Neither printf nor the process
// locale takes part. The comments name the printf pattern each call stands for. The Append
// forms add the text to a line being built, without a string of their own.
#pragma once

#include <initializer_list>
#include <string>

namespace report::output {

// "%d", "%-d": a decimal integer, with a minus sign when negative.
[[nodiscard]] std::string PdfInt(long long value);
void AppendPdfInt(std::string& out, long long value);

// "%-10.10d" (digits 10), "%-2.2d" (digits 2): at least `digits` digits, zero-filled on the
// left after the sign.
[[nodiscard]] std::string PdfInt(long long value, int digits);

// "%d" of a coordinate or extent: the value cut toward zero first (-0.7 gives "0").
// A value that is not finite gives "0".
[[nodiscard]] std::string PdfTrunc(long double value);
void AppendPdfTrunc(std::string& out, long double value);
// Each of `values` so, a blank between them ("x y", "x y w h").
void AppendPdfTrunc(std::string& out, std::initializer_list<long double> values);

// "%f" (2, 0), "%6.1f" (1, 6), "%4.2f" (2, 4), "%2.0f" (0, 2), "%6.4f" (4, 6): the value
// rounded to `decimals` decimals, right-aligned with blanks in at least `width` characters.
// The rounding is that of the exact binary value, halves to even, as printf rounds it.
// A value that rounds to zero has no sign; a value that is not finite counts as 0.
[[nodiscard]] std::string PdfFixed(long double value, int decimals, int width = 0);
void AppendPdfFixed(std::string& out, long double value, int decimals, int width = 0);

}  // namespace report::output
