#include "utility/paths.h"

#include "utility/cp1250.h"

#include <QFile>

namespace utility {

namespace fs = std::filesystem;

fs::path PathFromQString(const QString& path)
{
    const QByteArray bytes = QFile::encodeName(path);
    return fs::path(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

QString PathToQString(const fs::path& path)
{
    const std::string& bytes = path.native();
    return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

fs::path PathFromCp1250(std::string_view text) { return fs::path(Cp1250ToUtf8(text)); }

std::string PathToCp1250(const fs::path& path) { return QStringToCp1250(PathToQString(path)); }

fs::path NormalizePath(const fs::path& path, bool addSeparator)
{
    constexpr char kSeparator = fs::path::preferred_separator;
    std::string result = path.native();
    const bool hadSeparator = !result.empty() && result.back() == kSeparator;
    while (!result.empty() && result.back() == kSeparator)
        result.pop_back();
    // The root has no form without its separator.
    if (addSeparator || (result.empty() && hadSeparator))
        result.push_back(kSeparator);
    return fs::path(std::move(result));
}

fs::path StripTrailingBackslash(const fs::path& path) { return NormalizePath(path, false); }

fs::path PathInFolder(const fs::path& folder, std::string_view name) { return folder / PathFromCp1250(name); }

}  // namespace utility
