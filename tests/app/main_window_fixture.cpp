#include "tests/app/main_window_fixture.h"

#include "utility/cp1250.h"
#include "utility/programfolder.h"
#include "utility/win_ext.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDesktopServices>
#include <QDir>
#include <QSettings>

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
    folder_ = utility::QStringToCp1250(QDir::toNativeSeparators(dir_.path() + QString::fromUtf8("/Program ł")));
    ASSERT_TRUE(QDir().mkpath(utility::Cp1250ToQString(folder_)));
    utility::SetExecutableFolderForTesting(folder_);
    // Several tests may share one process and its settings file: start each from nothing.
    QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Morvane"), QStringLiteral("Trivandel"))
        .clear();
}

void MainWindowTest::TearDown()
{
    utility::SetExecutableFolderForTesting({});
}

std::string MainWindowTest::Setting(const char* name)
{
    return utility::RegReadString(utility::RegistryRoot::CurrentUser, utility::kProgramRegistryKey, name, false);
}

void MainWindowTest::SetSetting(const char* name, const std::string& value)
{
    ASSERT_TRUE(
        utility::RegWriteString(utility::RegistryRoot::CurrentUser, utility::kProgramRegistryKey, name, true, value));
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

} // namespace apptest
