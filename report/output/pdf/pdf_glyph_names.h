// Glyph names of the characters of code page 1250, for the /Differences of a PDF font's
// encoding. Only the values code page 1250 maps to are listed.
#pragma once

#include <string_view>

namespace report::output {

// The glyph name of a Unicode value; empty when the value is not one that code page 1250
// maps to or has no glyph of its own (the control characters).
[[nodiscard]] std::string_view GlyphNameOf(char32_t unicode);

// The name a code of a code page 1250 font is given: the glyph name of its Unicode value,
// "space" when it has none.
[[nodiscard]] std::string_view Cp1250GlyphName(unsigned char code);

}  // namespace report::output
