#include "utility/win_ext.h"

#include "utility/cp1250.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace utility;

namespace {

constexpr auto kUser = RegistryRoot::CurrentUser;

// Each test gets an empty user config folder of its own.
class Registry : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.path());
    }
    void TearDown() override
    {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, qEnvironmentVariable("XDG_CONFIG_HOME"));
    }
    QString StoreFile() const { return dir_.path() + QStringLiteral("/Morvane/Trivandel.ini"); }
    void WriteStoreFile(const QByteArray& content) const
    {
        ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("Morvane")));
        QFile f(StoreFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(content), content.size());
    }
    QTemporaryDir dir_;
};

}  // namespace

TEST_F(Registry, StringsRoundTrip)
{
    const std::string key(kProgramRegistryKey);
    const std::string values[] = {
        Pl("/home/łukasz/Pliki_ZOLT/"),
        "a, b",
        "@ByteArray(x)",
        "",
        " lead and trail ",
        "x=y;z",
        "C:\\DDD\\",
        "\"quoted\"",
        "1",
    };
    for (const auto& value : values) {
        ASSERT_TRUE(RegWriteString(kUser, key, "katDDD", true, value)) << value;
        EXPECT_EQ(RegReadString(kUser, key, "katDDD", false), value);
    }
    EXPECT_EQ(QFileInfo(StoreFile()).isFile(), true);
}

TEST_F(Registry, MissingKeyIsEmptyAndNotCreated)
{
    EXPECT_EQ(RegReadString(kUser, std::string(kProgramRegistryKey), "katDDD", false), "");
    EXPECT_FALSE(QFileInfo::exists(StoreFile()));
    EXPECT_FALSE(QFileInfo::exists(dir_.path() + QStringLiteral("/Morvane")));
}

TEST_F(Registry, WriteCreatesKeyOnlyWhenAllowed)
{
    const std::string key(kProgramRegistryKey);
    EXPECT_FALSE(RegWriteString(kUser, key, "katZOLT", false, "z"));
    EXPECT_FALSE(QFileInfo::exists(StoreFile()));
    EXPECT_TRUE(RegWriteString(kUser, key, "katZOLT", true, "z"));
    EXPECT_EQ(RegReadString(kUser, key, "katZOLT", false), "z");
    // The key exists now: writing without creation is allowed.
    EXPECT_TRUE(RegWriteString(kUser, key, "katKTExe", false, "/opt/k/"));
    EXPECT_EQ(RegReadString(kUser, key, "katKTExe", false), "/opt/k/");

    // A sub key is its own key.
    const std::string sub = key + "Sub\\";
    EXPECT_FALSE(RegWriteString(kUser, sub, "v", false, "1"));
    EXPECT_TRUE(RegWriteString(kUser, sub, "v", true, "1"));
    QSettings raw(StoreFile(), QSettings::IniFormat);
    EXPECT_EQ(raw.value(QStringLiteral("Sub/v")).toString(), QStringLiteral("1"));
    EXPECT_EQ(raw.value(QStringLiteral("katZOLT")).toString(), QStringLiteral("z"));
}

TEST_F(Registry, KeyPathForms)
{
    ASSERT_TRUE(RegWriteString(kUser, "Software\\Morvane\\Trivandel\\", "katDDD", true, "d"));
    const char* same[] = {"Software\\Morvane\\Trivandel", "software/Morvane/Trivandel/",
                          "\\Software\\\\Morvane\\Trivandel\\"};
    for (const char* key : same)
        EXPECT_EQ(RegReadString(kUser, key, "katDDD", false), "d") << key;

    const char* never[] = {"", "Software", "Software\\Morvane", "Hardware\\Morvane\\Trivandel\\"};
    for (const char* key : never) {
        EXPECT_EQ(RegReadString(kUser, key, "katDDD", true), "") << key;
        EXPECT_FALSE(RegWriteString(kUser, key, "katDDD", true, "x")) << key;
    }
    for (const char* name : {"", "a\\b", "a/b"}) {
        EXPECT_EQ(RegReadString(kUser, std::string(kProgramRegistryKey), name, true), "") << name;
        EXPECT_FALSE(RegWriteString(kUser, std::string(kProgramRegistryKey), name, true, "x")) << name;
    }
}

TEST_F(Registry, ValueOfAnotherTypeReadsAsEmpty)
{
    WriteStoreFile("[General]\nkatDDD=a, b\nkatZOLT=@ByteArray(xyz)\nkatN=@Variant(AAAAAgAAAAE=)\nkatKTExe=/opt/k\n");
    const std::string key(kProgramRegistryKey);
    for (const char* name : {"katDDD", "katZOLT", "katN"})
        EXPECT_EQ(RegReadString(kUser, key, name, false), "") << name;
    EXPECT_EQ(RegReadString(kUser, key, "katKTExe", false), "/opt/k");
}

TEST_F(Registry, WriteThatCannotReachTheDiskFails)
{
    // A regular file where the organisation's folder belongs: the store cannot be saved
    // (chmod would not stop root).
    QFile blocker(dir_.path() + QStringLiteral("/Morvane"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(RegWriteString(kUser, std::string(kProgramRegistryKey), "katDDD", true, "d"));
}

TEST(Clipboard, SetTextReplacesClipboard)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    ASSERT_NE(clipboard, nullptr);
    const std::string title = Pl("Żółć Łukasz 2024-01-01 - 2024-02-01");
    SetClipboardText(title);
    EXPECT_EQ(clipboard->text(), Cp1250ToQString(title));
    SetClipboardText("");
    EXPECT_EQ(clipboard->text(), QString());
}

TEST(Clipboard, ClearOnlyOurOwnText)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    ASSERT_NE(clipboard, nullptr);
    SetClipboardText("ours");
    EXPECT_TRUE(ClearClipboardTextIfOurs());
    EXPECT_EQ(clipboard->text(), QString());

    SetClipboardText("ours");
    clipboard->setText(QStringLiteral("copied by the user"));
    EXPECT_FALSE(ClearClipboardTextIfOurs());
    EXPECT_EQ(clipboard->text(), QStringLiteral("copied by the user"));
}

TEST_F(Registry, PathsKeepEveryCharacterAndLoseOuterBlanks)
{
    const std::string key(kProgramRegistryKey);
    struct Case {
        const char* written;
        const char* read;
    };
    const Case cases[] = {
        {"/home/søren/Ж dane/DDD/", "/home/søren/Ж dane/DDD/"},
        {"/home/łukasz/Pliki_ZOLT", "/home/łukasz/Pliki_ZOLT"},
        {"/a\\b/c=d;e", "/a\\b/c=d;e"},
        {"  /mnt/DDD \t", "/mnt/DDD"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.written);
        ASSERT_TRUE(RegWritePath(kUser, key, "katDDD", true, std::filesystem::path(c.written)));
        EXPECT_EQ(RegReadPath(kUser, key, "katDDD", false).native(), c.read);
    }
    // The settings file holds the text itself, readable and editable by hand.
    ASSERT_TRUE(RegWritePath(kUser, key, "katZOLT", true, std::filesystem::path("/home/søren/Ж")));
    QSettings store(StoreFile(), QSettings::IniFormat);
    EXPECT_EQ(store.value(QStringLiteral("katZOLT")).toString(), QString::fromUtf8("/home/søren/Ж"));
    // A value that is no string reads as no path.
    WriteStoreFile("[General]\nkatDDD=@ByteArray(x)\n");
    EXPECT_TRUE(RegReadPath(kUser, key, "katDDD", false).empty());
}
