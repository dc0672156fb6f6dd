// Hex text at the edges of the card layer: commands are built as text of hex pairs,
// answers and ATRs come back as upper-case pairs joined by one blank.
#pragma once

#include <string>
#include <string_view>

namespace smartcard {

// Each byte as two upper-case hex digits, one blank between bytes; "" for count < 1.
std::string BytesToHex(const unsigned char* bytes, int count);

// The hex digits of `text` with every group (cut at commas, else at blanks) padded to an
// even length: "00 B0 00 00 8" gives "00B0000008". Characters that are not hex digits
// stay where they are; callers check them.
std::string NormalizeHexText(std::string_view text);

// Position (0-based) in `text` of the first character of `chars` that occurs in it, trying
// the characters in their order: the first of `chars` wins even when another comes
// earlier. -1 when none occurs.
int FindFirstOf(std::string_view chars, std::string_view text);

// True for 0-9, A-F, a-f.
bool IsHexDigit(char c);
// Value of a hex digit, 0 for anything else.
int HexDigitValue(char c);

}  // namespace smartcard
