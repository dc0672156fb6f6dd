// English texts of ISO 7816-4 status words, as the card component shows them.
#pragma once

#include <string>

namespace smartcard {

// Text of the status word SW1 * 256 + SW2; 0 means the answer was too short to hold one.
// A status word the table does not know gives an empty text.
std::string ApduStatusText(int sw);

}  // namespace smartcard
