#include "utility/paths.h"

#include "utility/cp1250.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace utility;
namespace fs = std::filesystem;

TEST(Paths, QtNamesRoundTripByteForByte)
{
    const char* const names[] = {"/tmp/Søren Ж.DDD",
                                 "/home/łukasz/Pliki_ZOLT/",
                                 "a\\b",
                                 " blank ",
                                 "/",
                                 "",
                                 "/d/\xE2\x82\xAC \xF0\x9F\x9A\x9A.ddd"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const QString text = QString::fromUtf8(name);
        EXPECT_EQ(PathFromQString(text).native(), name);
        EXPECT_EQ(PathToQString(fs::path(name)), text);
    }
}

TEST(Paths, FileOpenedThroughQtUnderTheSamePath)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const fs::path folder = PathFromQString(dir.path()) / "Søren Ж";
    fs::create_directory(folder);
    const fs::path file = folder / "ø Ж.DDD";
    QFile written(PathToQString(file));
    ASSERT_TRUE(written.open(QIODevice::WriteOnly));
    written.close();
    EXPECT_TRUE(fs::is_regular_file(file));
    EXPECT_EQ(QDir(PathToQString(folder)).entryList(QDir::Files), QStringList{QString::fromUtf8("ø Ж.DDD")});
}

TEST(Paths, MessagesAndCardTextNamesInCodePage1250)
{
    EXPECT_EQ(PathToCp1250(fs::path("/dane/Łódź/Nowak.DDD")), Pl("/dane/Łódź/Nowak.DDD"));
    // What the code page lacks is only shown differently; the path itself is untouched.
    EXPECT_EQ(PathToCp1250(fs::path("/dane/Søren Ж.DDD")), "/dane/S?ren ?.DDD");
    EXPECT_EQ(PathFromCp1250(Pl("Żółć_Łukasz.DDD")).native(), "Żółć_Łukasz.DDD");
    EXPECT_EQ(PathInFolder(fs::path("/home/søren/Ж"), Pl("Wąs_Jan.DDD")).native(), "/home/søren/Ж/Wąs_Jan.DDD");
    EXPECT_EQ(PathInFolder(fs::path("/home/ø/"), "a.KK1").native(), "/home/ø/a.KK1");
}
