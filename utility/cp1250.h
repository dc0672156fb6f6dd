// Conversion between 8-bit code page 1250 text and Unicode (QString, UTF-8).
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace utility {

// Unicode code point of one code page 1250 byte.
char32_t Cp1250ToUnicode(unsigned char byte);
// Code page 1250 byte of a code point; false when the code page has none.
bool UnicodeToCp1250(char32_t codePoint, unsigned char& byte);

// Window, file-name and clipboard boundary: CP1250 bytes <-> QString.
QString Cp1250ToQString(std::string_view text);
// Characters without a CP1250 byte become `replacement`.
std::string QStringToCp1250(const QString& text, char replacement = '?');

std::string Cp1250ToUtf8(std::string_view text);
std::string Utf8ToCp1250(std::string_view text, char replacement = '?');

// Upper and lower case of code page 1250 text, byte by byte. A byte whose other case has no
// byte of its own in the code page (such as "ß" or "µ") stays as it is.
std::string Cp1250UpperCase(std::string_view text);
std::string Cp1250LowerCase(std::string_view text);

// Source files are UTF-8; Polish literals of the system go through this to become CP1250.
inline std::string Pl(std::string_view utf8) { return Utf8ToCp1250(utf8); }

}  // namespace utility
