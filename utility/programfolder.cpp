#include "utility/programfolder.h"

#include "utility/cp1250.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace utility {
namespace {

std::string& TestFolder()
{
    static std::string folder;
    return folder;
}

std::string WithoutTrailingSeparator(const QString& folder)
{
    QString clean = QDir::cleanPath(folder);
    while (clean.size() > 1 && clean.endsWith(QLatin1Char('/')))
        clean.chop(1);
    return QStringToCp1250(QDir::toNativeSeparators(clean));
}

} // namespace

std::string ExecutableFolder()
{
    if (!TestFolder().empty())
        return TestFolder();
    return WithoutTrailingSeparator(QCoreApplication::applicationDirPath());
}

std::string ProgramFolder()
{
    const std::string exe = ExecutableFolder();
    const QFileInfo info(Cp1250ToQString(exe));
    if (info.isDir() && info.isWritable())
        return exe;
    // An installed program cannot write next to its executable.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return WithoutTrailingSeparator(data);
}

void SetExecutableFolderForTesting(const std::string& folder)
{
    TestFolder() = folder.empty() ? std::string() : WithoutTrailingSeparator(Cp1250ToQString(folder));
}

} // namespace utility
