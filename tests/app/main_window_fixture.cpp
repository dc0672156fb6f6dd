#include "tests/app/main_window_fixture.h"

#include "utility/paths.h"
#include "utility/programfolder.h"
#include "utility/win_ext.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QStandardPaths>

namespace apptest {

UrlRecorder::UrlRecorder()
{
    for (const char* scheme : {"http", "https", "file", "mailto"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), this, "open");
}

UrlRecorder::~UrlRecorder()
{
    for (const char* scheme : {"http", "https", "file", "mailto"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
}

void MainWindowTest::SetUp()
{
    ASSERT_TRUE(dir_.isValid());
    // A writable executable's folder: the data still goes to the user's data folder.
    executable_ = utility::PathFromQString(dir_.path() + QString::fromUtf8("/Program ł"));
    ASSERT_TRUE(QDir().mkpath(utility::PathToQString(executable_)));
    utility::SetExecutableFolderForTesting(executable_);
    oldDataHome_ = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", (dir_.path() + QString::fromUtf8("/dane ł")).toUtf8());
    // Where the program will put it; made by the program itself.
    folder_ =
        utility::PathFromQString(QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
    ASSERT_TRUE(folder_.native().starts_with(dir_.path().toStdString()));
    ASSERT_FALSE(std::filesystem::exists(folder_));
    // Several tests may share one process and its settings file: start each from nothing.
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Morvane"), QStringLiteral("Trivandel"))
        .clear();
}

void MainWindowTest::TearDown()
{
    utility::SetExecutableFolderForTesting({});
    qputenv("XDG_DATA_HOME", oldDataHome_);
}

std::string MainWindowTest::Setting(const char* name)
{
    return utility::RegReadString(utility::RegistryRoot::CurrentUser, utility::kProgramRegistryKey, name, false);
}

std::filesystem::path MainWindowTest::SettingPath(const char* name)
{
    return utility::RegReadPath(utility::RegistryRoot::CurrentUser, utility::kProgramRegistryKey, name, false);
}

void MainWindowTest::SetSetting(const char* name, const std::string& value)
{
    ASSERT_TRUE(
        utility::RegWriteString(utility::RegistryRoot::CurrentUser, utility::kProgramRegistryKey, name, true, value));
}

void MainWindowTest::SetSettingPath(const char* name, const std::filesystem::path& value)
{
    ASSERT_TRUE(
        utility::RegWritePath(utility::RegistryRoot::CurrentUser, utility::kProgramRegistryKey, name, true, value));
}

void WriteBlocker(const std::filesystem::path& path)
{
    std::filesystem::create_directories(path.parent_path());
    QFile blocker(utility::PathToQString(path));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
}

bool ProcessEventsUntil(const std::function<bool()>& done)
{
    QDeadlineTimer limit(10'000);
    while (!done()) {
        if (limit.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

}  // namespace apptest
