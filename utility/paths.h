// Paths are std::filesystem::path from the dialog or the command line down to the file call, so a
// name with "ø" or "Ж" opens. Code page 1250 comes in only for texts shown to the user and for
// file names built from card text. These are the program's only helpers for joining paths and
// for their trailing separators.
#pragma once

#include <QString>

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace utility {

using PathList = std::vector<std::filesystem::path>;

// A path from Qt (file dialogs, the command line, QStandardPaths) and back, as the file system
// names it (file names on disk are UTF-8).
std::filesystem::path PathFromQString(const QString& path);
QString PathToQString(const std::filesystem::path& path);

// A path named by a code page 1250 text, such as a file name built from card text.
std::filesystem::path PathFromCp1250(std::string_view text);
// The path as a code page 1250 text for a message; characters the code page lacks become "?".
std::string PathToCp1250(const std::filesystem::path& path);

// `path` with exactly one trailing separator (`addSeparator`) or none. Adding to an empty path
// gives "/"; stripping "" gives ""; stripping the root "/" keeps "/". Nothing else changes:
// blanks at either end and "\" are characters of a name here.
std::filesystem::path NormalizePath(const std::filesystem::path& path, bool addSeparator);
// NormalizePath without the separator.
std::filesystem::path StripTrailingBackslash(const std::filesystem::path& path);

// The file `name` (code page 1250, a plain name as the card file writers build it) in `folder`.
std::filesystem::path PathInFolder(const std::filesystem::path& folder, std::string_view name);

}  // namespace utility
