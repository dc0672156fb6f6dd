// Polish texts for the operating system's error numbers (errno), code page 1250.
#pragma once

#include <string>

namespace utility {

// A short sentence naming the failure, e.g. "Brak miejsca na dysku."; unknown numbers give
// "Błąd systemu nr N.".
std::string SystemErrorText(int error);

}  // namespace utility
