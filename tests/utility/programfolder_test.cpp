#include "utility/programfolder.h"

#include "utility/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

// A data folder of the test's own, under a name code page 1250 cannot hold.
class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        dataHome_ = dir_.path() + QString::fromUtf8("/dane Søren Ж");
        oldDataHome_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dataHome_.toUtf8());
    }
    void TearDown() override
    {
        utility::SetExecutableFolderForTesting({});
        qputenv("XDG_DATA_HOME", oldDataHome_);
    }
    QTemporaryDir dir_;
    QString dataHome_;
    QByteArray oldDataHome_;
};

TEST_F(ProgramFolderTest, ExecutableFolderIsTheRunningProgramsFolderWithoutSeparator)
{
    EXPECT_EQ(utility::ExecutableFolder(), utility::PathFromQString(QCoreApplication::applicationDirPath()));
    EXPECT_NE(utility::ExecutableFolder().native().back(), '/');
    // A trailing separator and letters of any alphabet survive the round trip.
    const fs::path folder = utility::PathFromQString(dir_.path() + QString::fromUtf8("/Kierowcy ł ø Ж"));
    utility::SetExecutableFolderForTesting(folder.native() + "/");
    EXPECT_EQ(utility::ExecutableFolder(), folder);
}

TEST_F(ProgramFolderTest, TheProgramFolderIsTheUsersDataFolderWhateverTheExecutablesFolder)
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    ASSERT_TRUE(data.startsWith(dataHome_));
    const QString writable = dir_.path() + QStringLiteral("/exe");
    const QString readOnly = dir_.path() + QStringLiteral("/ro");
    ASSERT_TRUE(QDir().mkpath(writable));
    ASSERT_TRUE(QDir().mkpath(readOnly));
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner));
    for (const QString& exe : {writable, readOnly, dir_.path() + QStringLiteral("/missing")}) {
        SCOPED_TRACE(exe.toStdString());
        QDir(data).removeRecursively();
        utility::SetExecutableFolderForTesting(utility::PathFromQString(exe));
        EXPECT_EQ(utility::ProgramFolder(), utility::PathFromQString(data));
        EXPECT_TRUE(QFileInfo(data).isDir()) << "created when missing";
        EXPECT_TRUE(QDir(exe).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

}  // namespace
