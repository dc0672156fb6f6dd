// Settings ("registry") strings and clipboard text. Texts are code page 1250.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace utility {

// The program only ever uses the current user's settings.
enum class RegistryRoot { CurrentUser };

// Key of the program's own settings, trailing separator included.
inline constexpr std::string_view kProgramRegistryKey = "Software\\Morvane\\Trivandel\\";

// A key path "Software\<organisation>\<application>\<sub keys...>" ("\" or "/" between levels)
// names the settings store QSettings(organisation, application) (an INI file in the user's
// config folder on Linux, the registry key itself on Windows) and, within it, the group of
// the sub keys. Other key paths and value names that are empty or hold a separator never open.

// The string stored under `valueName`, or empty when the key does not open (it is created
// only when `mayCreateKey`), the value is absent, or the stored value is not a string.
[[nodiscard]] std::string RegReadString(RegistryRoot root, std::string_view keyPath, std::string_view valueName,
                                        bool mayCreateKey);
// Stores `value` under `valueName`; true only when the key opened (a missing key is created
// only when `mayCreateKey`) and the value reached the disk. Never throws.
[[nodiscard]] bool RegWriteString(RegistryRoot root, std::string_view keyPath, std::string_view valueName,
                                  bool mayCreateKey, std::string_view value);

// A path under `valueName`, kept as Unicode text so that any file name survives. The value read
// loses blanks at both ends (it may have been typed by hand); empty as for RegReadString.
[[nodiscard]] std::filesystem::path RegReadPath(RegistryRoot root, std::string_view keyPath, std::string_view valueName,
                                                bool mayCreateKey);
[[nodiscard]] bool RegWritePath(RegistryRoot root, std::string_view keyPath, std::string_view valueName,
                                bool mayCreateKey, const std::filesystem::path& value);

// Replaces everything on the clipboard with `text` as plain text (the empty text leaves an
// empty text) and remembers it as our own.
void SetClipboardText(std::string_view text);
// Empties the clipboard text only while it still holds the text our last SetClipboardText
// put there, so what the user copied elsewhere since is kept. True when it emptied it.
bool ClearClipboardTextIfOurs();

}  // namespace utility
