#include "tacho/zolt.h"
#include "utility/cp1250.h"
#include "utility/programfolder.h"
#include "utility/win_ext.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A settings store and a program folder of the test's own.
class ZoltFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(settings_.isValid());
        ASSERT_TRUE(program_.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings_.path());
        utility::SetExecutableFolderForTesting(utility::QStringToCp1250(program_.path()));
    }
    void TearDown() override
    {
        utility::SetExecutableFolderForTesting({});
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, qEnvironmentVariable("XDG_CONFIG_HOME"));
    }
    void SetValue(const QString& value)
    {
        ASSERT_TRUE(utility::RegWriteString(utility::RegistryRoot::CurrentUser, utility::kProgramRegistryKey, "katZOLT",
                                            true, utility::QStringToCp1250(value)));
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
    QString Default() const { return program_.path() + QStringLiteral("/Pliki_ZOLT/"); }
    std::string Cp(const QString& s) const { return utility::QStringToCp1250(s); }

    QTemporaryDir settings_;
    QTemporaryDir program_;
};

} // namespace

TEST_F(ZoltFolder, NoValueGivesTheDefaultFolderCreatedAndSettingsUntouched)
{
    EXPECT_EQ(tacho::GetZoltFolder(), Cp(Default()));
    EXPECT_TRUE(QFileInfo(Default()).isDir());
    EXPECT_FALSE(QFileInfo::exists(settings_.path() + QStringLiteral("/Morvane")));
}

TEST_F(ZoltFolder, ConfiguredFolderGetsATrailingSeparatorAndIsCreated)
{
    const QString folder = program_.path() + QString::fromUtf8("/dane/Łódź zolt");
    for (const QString& value : {folder, folder + QLatin1Char('/'), QStringLiteral("  ") + folder + QStringLiteral(" ")}) {
        SCOPED_TRACE(value.toStdString());
        SetValue(value);
        const QString before = StoreText();
        EXPECT_EQ(tacho::GetZoltFolder(), Cp(folder + QLatin1Char('/')));
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
        EXPECT_EQ(tacho::GetZoltFolder(), Cp(Default()));
        EXPECT_TRUE(QFileInfo(Default()).isDir());
        EXPECT_TRUE(QFileInfo(plainFile).isFile());
    }
}

TEST_F(ZoltFolder, DefaultThatCannotBeCreatedIsStillReturned)
{
    MakeFile(program_.path() + QStringLiteral("/Pliki_ZOLT"));
    EXPECT_EQ(tacho::GetZoltFolder(), Cp(Default()));
    EXPECT_TRUE(QFileInfo(program_.path() + QStringLiteral("/Pliki_ZOLT")).isFile());
}
