#include "tacho/zolt.h"
#include "utility/paths.h"
#include "utility/programfolder.h"
#include "utility/win_ext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// A settings store and a user's data folder of the test's own.
class ZoltFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(settings_.isValid());
        ASSERT_TRUE(program_.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings_.path());
        oldDataHome_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", program_.path().toUtf8());
    }
    void TearDown() override
    {
        qputenv("XDG_DATA_HOME", oldDataHome_);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, qEnvironmentVariable("XDG_CONFIG_HOME"));
    }
    void SetValue(const QString& value)
    {
        ASSERT_TRUE(utility::RegWritePath(utility::RegistryRoot::CurrentUser, utility::kProgramRegistryKey, "katZOLT",
                                          true, utility::PathFromQString(value)));
    }
    QString StoreText() const
    {
        QFile f(settings_.path() + QStringLiteral("/Morvane/Trivandel.ini"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    void MakeFile(const QString& path) const
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QString Data() const { return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation); }
    QString Default() const { return Data() + QStringLiteral("/Pliki_ZOLT/"); }
    std::filesystem::path Path(const QString& s) const { return utility::PathFromQString(s); }

    QTemporaryDir settings_;
    QTemporaryDir program_;
    QByteArray oldDataHome_;
};

}  // namespace

TEST_F(ZoltFolder, NoValueGivesTheDefaultFolderCreatedAndSettingsUntouched)
{
    ASSERT_TRUE(Data().startsWith(program_.path()));
    EXPECT_EQ(tacho::GetZoltFolder(), Path(Default()));
    EXPECT_TRUE(QFileInfo(Default()).isDir());
    EXPECT_FALSE(QFileInfo::exists(settings_.path() + QStringLiteral("/Morvane")));
}

TEST_F(ZoltFolder, ConfiguredFolderGetsATrailingSeparatorAndIsCreated)
{
    const QString folder = program_.path() + QString::fromUtf8("/dane/Łódź Søren Ж zolt");
    for (const QString& value :
         {folder, folder + QLatin1Char('/'), QStringLiteral("  ") + folder + QStringLiteral(" ")}) {
        SCOPED_TRACE(value.toStdString());
        SetValue(value);
        const QString before = StoreText();
        EXPECT_EQ(tacho::GetZoltFolder(), Path(folder + QLatin1Char('/')));
        EXPECT_TRUE(QFileInfo(folder).isDir());
        EXPECT_FALSE(QFileInfo::exists(Default()));
        EXPECT_EQ(StoreText(), before);
    }
}

TEST_F(ZoltFolder, UnusableConfiguredFolderFallsBackToTheDefault)
{
    const QString plainFile = program_.path() + QStringLiteral("/not-a-folder");
    MakeFile(plainFile);
    for (const QString& value : {plainFile, plainFile + QStringLiteral("/below")}) {
        SCOPED_TRACE(value.toStdString());
        SetValue(value);
        EXPECT_EQ(tacho::GetZoltFolder(), Path(Default()));
        EXPECT_TRUE(QFileInfo(Default()).isDir());
        EXPECT_TRUE(QFileInfo(plainFile).isFile());
    }
}

TEST_F(ZoltFolder, DefaultThatCannotBeCreatedIsStillReturned)
{
    ASSERT_TRUE(QDir().mkpath(Data()));
    MakeFile(Data() + QStringLiteral("/Pliki_ZOLT"));
    EXPECT_EQ(tacho::GetZoltFolder(), Path(Default()));
    EXPECT_TRUE(QFileInfo(Data() + QStringLiteral("/Pliki_ZOLT")).isFile());
}
