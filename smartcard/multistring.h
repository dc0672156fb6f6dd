// NUL-separated name lists as PC/SC returns them ("A\0B\0\0").
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace smartcard {

// Clears `list` and appends every NUL-terminated string of `raw`, in order, stopping at
// the empty string or at the end of `raw` (a missing final NUL ends the last name).
// Returns the number of names.
int MultiStringToStrings(std::string_view raw, std::vector<std::string>& list);

// The names NUL-separated with a final extra NUL: the sum of the lengths + 1 per name + 1.
std::string StringsToMultiString(const std::vector<std::string>& list);

// True when either is missing or they differ anywhere up to their terminating pair of
// NULs (or the end of the text when it has none).
bool MultiStringsDiffer(const std::optional<std::string>& a, const std::optional<std::string>& b);

}  // namespace smartcard
