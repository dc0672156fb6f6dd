// The reader selection window as the card component opens it.
#pragma once

#include <string>

namespace smartcard {

// Shows the reader selection window modally with `current` preselected. The chosen reader
// name when it is closed with OK, otherwise an empty name.
std::string ChooseReaderInWindow(const std::string& current);

}  // namespace smartcard
