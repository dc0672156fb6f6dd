// Country names and distinguishing signs of NationNumeric codes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tacho {

// `hexText` is a NationNumeric code as hexadecimal text (blanks are removed first, then the
// first two characters are read). Sets `sign` (up to 3 characters, code page 1250) and
// `name` (Polish); codes 34..FC are "RFU" with an empty sign. False, with both empty, for a
// text that is not hexadecimal.
[[nodiscard]] bool NationName(std::string_view hexText, std::string& sign, std::string& name);
// The same for a code byte.
void NationName(std::uint8_t code, std::string& sign, std::string& name);

}  // namespace tacho
