// Card text fields carry a code-page byte (the part n of ISO/IEC 8859 they use); the
// program shows, lists and names files in code page 1250.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tacho {

// Unicode code point of `byte` in ISO/IEC 8859-`codePage`; false for a byte the code page
// leaves undefined and for a code page without a table (known: 1..11 and 13..16).
bool Iso8859ToUnicode(std::uint8_t codePage, std::uint8_t byte, char32_t& codePoint);
bool IsKnownCodePage(std::uint8_t codePage);

// Converts card text into code page 1250. Bytes below 0x80 stay; a character code page 1250
// lacks (and a control or undefined byte) becomes "?". A code page without a table leaves
// every byte as it is.
std::string CardTextToCp1250(std::uint8_t codePage, std::span<const std::uint8_t> text);

// A Name field: its code-page byte followed by the characters. Gives the fixed text of the
// characters (FixedText) converted into code page 1250; empty for an empty span.
std::string CodePageFixedText(std::span<const std::uint8_t> codePageAndText);

}  // namespace tacho
