// The C library's own reading of single bytes, as an independent reference for our tables.
#pragma once

#include <cstdint>

namespace testsupport {

// The code point the C library reads `byte` of `charset` (an iconv name, "CP1250") as; false
// when it has none for it or does not know the charset.
bool SystemByteToUnicode(const char* charset, std::uint8_t byte, char32_t& codePoint);

// Whether the C library can read `charset` at all.
bool SystemKnowsCharset(const char* charset);

}  // namespace testsupport
