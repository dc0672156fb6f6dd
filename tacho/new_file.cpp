#include "tacho/new_file.h"

#include "utility/cp1250.h"

#include <QFileInfo>
#include <QTemporaryFile>

#include <unistd.h>

namespace tacho {

NewFileResult WriteNewFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes, std::string& error)
{
    error.clear();
    const QString target = QString::fromStdString(path.string());
    if (QFileInfo::exists(target))
        return NewFileResult::Exists;
    QTemporaryFile temporary(QFileInfo(target).absolutePath() + QStringLiteral("/.kartovan-XXXXXX.tmp"));
    if (!temporary.open()) {
        error = utility::QStringToCp1250(temporary.errorString());
        return NewFileResult::Failed;
    }
    const auto size = static_cast<qint64>(bytes.size());
    if (temporary.write(reinterpret_cast<const char*>(bytes.data()), size) != size || !temporary.flush() ||
        ::fsync(temporary.handle()) != 0) {
        error = utility::QStringToCp1250(temporary.errorString());
        return NewFileResult::Failed;
    }
    // The rename refuses an existing target, so a file made meanwhile is never replaced.
    if (!temporary.rename(target)) {
        if (QFileInfo::exists(target))
            return NewFileResult::Exists;
        error = utility::QStringToCp1250(temporary.errorString());
        return NewFileResult::Failed;
    }
    temporary.setAutoRemove(false);
    return NewFileResult::Written;
}

} // namespace tacho
