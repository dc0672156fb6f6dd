#include "utility/programfolder.h"

#include "utility/cp1250.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::string Native(const QString& path) { return utility::QStringToCp1250(QDir::toNativeSeparators(path)); }

class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dataHome_.isValid());
        oldDataHome_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dataHome_.path().toUtf8());
    }
    void TearDown() override
    {
        utility::SetExecutableFolderForTesting({});
        qputenv("XDG_DATA_HOME", oldDataHome_);
    }
    QTemporaryDir dataHome_;
    QByteArray oldDataHome_;
};

TEST_F(ProgramFolderTest, ExecutableFolderIsTheRunningProgramsFolderWithoutSeparator)
{
    EXPECT_EQ(utility::ExecutableFolder(), Native(QCoreApplication::applicationDirPath()));
    EXPECT_NE(utility::ExecutableFolder().back(), '/');
}

TEST_F(ProgramFolderTest, WritableExecutableFolderIsTheProgramFolder)
{
    QTemporaryDir exe;
    ASSERT_TRUE(exe.isValid());
    // A trailing separator and a Polish letter in the name must survive the round trip.
    const QString folder = exe.path() + QString::fromUtf8("/Kierowcy ł");
    ASSERT_TRUE(QDir().mkpath(folder));
    utility::SetExecutableFolderForTesting(Native(folder + QLatin1Char('/')));
    EXPECT_EQ(utility::ExecutableFolder(), Native(folder));
    EXPECT_EQ(utility::ProgramFolder(), Native(folder));
}

TEST_F(ProgramFolderTest, UnusableExecutableFolderFallsBackToTheUsersDataFolder)
{
    QTemporaryDir exe;
    ASSERT_TRUE(exe.isValid());
    const QString missing = exe.path() + QStringLiteral("/missing");
    const QString readOnly = exe.path() + QStringLiteral("/ro");
    ASSERT_TRUE(QDir().mkpath(readOnly));
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner));
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    ASSERT_TRUE(data.startsWith(dataHome_.path()));
    for (const QString& folder : {missing, readOnly}) {
        SCOPED_TRACE(folder.toStdString());
        utility::SetExecutableFolderForTesting(Native(folder));
        EXPECT_EQ(utility::ExecutableFolder(), Native(folder));
        if (folder == readOnly && QFileInfo(readOnly).isWritable())
            continue;  // running as a superuser: every folder is writable
        EXPECT_EQ(utility::ProgramFolder(), Native(data));
        EXPECT_TRUE(QFileInfo(data).isDir());
    }
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace
