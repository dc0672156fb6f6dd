#include "utility/programfolder.h"

#include "utility/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace utility {
namespace {

std::filesystem::path& TestFolder()
{
    static std::filesystem::path folder;
    return folder;
}

std::filesystem::path CleanFolder(const QString& folder)
{
    return StripTrailingBackslash(PathFromQString(QDir::cleanPath(folder)));
}

}  // namespace

std::filesystem::path ExecutableFolder()
{
    if (!TestFolder().empty())
        return TestFolder();
    return CleanFolder(QCoreApplication::applicationDirPath());
}

std::filesystem::path ProgramFolder()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    // A folder that cannot be made is reported by the first writer that needs it.
    (void)QDir().mkpath(data);
    return CleanFolder(data);
}

void SetExecutableFolderForTesting(const std::filesystem::path& folder)
{
    TestFolder() = folder.empty() ? std::filesystem::path() : StripTrailingBackslash(folder);
}

}  // namespace utility
