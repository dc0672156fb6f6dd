#include "utility/dos_ext.h"

#include "tests/support/file_fixture.h"
#include "tests/support/message_recorder.h"
#include "utility/cp1250.h"
#include "utility/datetime.h"
#include "utility/fmxutils.h"

#include <QDateTime>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace utility;
using namespace testsupport;
using testsupport::MessageRecorder;

TEST(DosExt, NormalizePath)
{
    // Blanks and "\" are characters of a name here: only trailing separators change.
    struct Case {
        const char* path;
        bool add;
        const char* expected;
    };
    const Case cases[] = {
        {"/a/b/", true, "/a/b/"},
        {"/a/b/", false, "/a/b"},
        {"", true, "/"},
        {"", false, ""},
        {"/", false, "/"},
        {"/", true, "/"},
        {"a\\b\\", true, "a\\b\\/"},
        {"/a//", true, "/a/"},
        {"/a", true, "/a/"},
        {" /a b/c ", false, " /a b/c "},
        {"/a b /", false, "/a b "},
        {"/d\xC3\xB8/\xD0\x96/", false, "/d\xC3\xB8/\xD0\x96"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NormalizePath(c.path, c.add).native(), c.expected) << '"' << c.path << "\" add " << c.add;
    EXPECT_EQ(StripTrailingBackslash("/x/y///").native(), "/x/y");
}

TEST(DosExt, FileNameWithoutExt)
{
    struct Case {
        const char* path;
        const char* expected;
    };
    const Case cases[] = {
        {"/d/ab.DDD", "ab"}, {"/d/ab", "ab"}, {"ab.c.DDD", "ab.c"}, {"/d.x/ab", "ab"}, {"ab.", "ab"}, {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileNameWithoutExt(c.path).native(), c.expected) << c.path;
}

TEST(DosExt, MaskMatching)
{
    struct Case {
        const char* pattern;
        const char* name;
        bool expected;
    };
    const Case cases[] = {
        {"*.DDD", "x.ddd", true}, {"*.DDD", "x.dddx", false},   {"*.DDD", "x.DD", false}, {"*.*", "noext", true},
        {"*.*", ".h", true},      {"*", "a.b.c", true},         {"?b*", "ab.c", true},    {"a?c", "ac", false},
        {"*a*b", "xaxb", true},   {"*a*b", "xaxbx", false},     {"*x", "abc", false},     {"", "a", false},
        {"ABC", "abc", true},     {"a*b*c*d", "aXbYcZd", true}, {"a**b", "ab", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MaskMatchesName(c.pattern, c.name), c.expected) << c.pattern << " / " << c.name;
    // Letters beyond ASCII fold as well, also those code page 1250 lacks.
    EXPECT_TRUE(MaskMatchesName("ŁÓDŹ*.DDD", "łódź_1.ddd"));
    EXPECT_TRUE(MaskMatchesName("SØREN Ж*", "søren ж.ddd"));
    EXPECT_FALSE(MaskMatchesName("Ł*", "L1"));
}

class Search : public TempFolder {
protected:
    void SetUp() override
    {
        TempFolder::SetUp();
        WriteFile(Root() / "a.DDD", "a");
        WriteFile(Root() / "ro.ddd", "r");
        ::chmod((Root() / "ro.ddd").c_str(), 0444);
        WriteFile(Root() / ".h.DDD", "h");
        WriteFile(Root() / "other.txt", "o");
        fs::create_directory(Root() / "sub.DDD");
        ASSERT_EQ(::mkfifo((Root() / "pipe.DDD").c_str(), 0666), 0);
    }
    fs::path Mask(const char* pattern) const { return Root() / pattern; }
};

TEST_F(Search, AttributeMasks)
{
    struct Case {
        unsigned attributes;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {kAttrArchive, {"a.DDD", "ro.ddd"}},
        {kAttrDirectory, {"a.DDD", "ro.ddd", "sub.DDD"}},
        {kAttrHidden, {".h.DDD", "a.DDD", "ro.ddd"}},
        {kAttrAny, {".h.DDD", "a.DDD", "ro.ddd", "sub.DDD"}},
        {0, {"a.DDD", "ro.ddd"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Texts(FindFilesToList(Mask("*.ddd"), c.attributes, true)), c.expected) << c.attributes;
        EXPECT_EQ(CountMatchingFiles(Mask("*.DDD"), c.attributes), static_cast<int>(c.expected.size())) << c.attributes;
    }
    StringList unsorted = Texts(FindFilesToList(Mask("*.*"), kAttrArchive, false));
    std::sort(unsorted.begin(), unsorted.end());
    EXPECT_EQ(unsorted, (StringList{"a.DDD", "other.txt", "ro.ddd"}));
}

TEST_F(Search, ExistenceByNameAndMask)
{
    EXPECT_TRUE(FileExistsAttr(Mask("a.DDD"), kAttrArchive));
    EXPECT_TRUE(FileExistsAttr(Mask("A.ddd"), kAttrArchive));  // letter case ignored
    EXPECT_FALSE(FileExistsAttr(Mask("sub.DDD"), kAttrArchive));
    EXPECT_TRUE(FileExistsAttr(Mask("sub.DDD"), kAttrDirectory));
    EXPECT_FALSE(FileExistsAttr(Mask(".h.DDD"), kAttrArchive));
    EXPECT_FALSE(FileExistsAttr(Mask("pipe.DDD"), kAttrAny));
    EXPECT_FALSE(FileExistsAttr(Root() / "missing" / "*.*", kAttrAny));
    EXPECT_EQ(CountMatchingFiles(Root(), kAttrDirectory), 1);
    EXPECT_EQ(CountMatchingFiles(Text(Root()) + "/", kAttrDirectory), 0);
}

TEST_F(Search, FileHasAttributes)
{
    struct Case {
        const char* name;
        unsigned attributes;
        bool expected;
    };
    const Case cases[] = {
        {"a.DDD", kAttrArchive, true},
        {"a.DDD", kAttrReadOnly, false},
        {"ro.ddd", kAttrReadOnly | kAttrArchive, true},
        {"sub.DDD", kAttrDirectory, true},
        {"sub.DDD", kAttrArchive, false},
        {".h.DDD", kAttrHidden, true},
        {"missing", 0, true},
        {"missing", kAttrArchive, false},
        {"pipe.DDD", kAttrArchive, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FileHasAttributes(Mask(c.name), c.attributes), c.expected) << c.name << " " << c.attributes;
}

TEST_F(Search, DeleteMatchingFiles)
{
    EXPECT_TRUE(DeleteMatchingFiles(Mask("*.ddd")));
    EXPECT_EQ(Entries(Root()), (std::vector<std::string>{".h.DDD", "other.txt", "pipe.DDD", "sub.DDD"}));
    EXPECT_TRUE(DeleteMatchingFiles(Mask("*.ddd")));  // nothing left to match
    // A bare pattern would delete in whatever folder is current.
    EXPECT_FALSE(DeleteMatchingFiles("other.txt"));
    EXPECT_TRUE(fs::exists(Root() / "other.txt"));
}

using Recursive = TempFolder;

TEST_F(Recursive, FindFilesRecursive)
{
    WriteFile(Root() / "a.ddd", "");
    WriteFile(Root() / "s1" / "b.DDD", "");
    WriteFile(Root() / "s1" / "x.txt", "");
    WriteFile(Root() / "s1" / "s2" / "c.DDD", "");
    WriteFile(Root() / ".hid" / "d.DDD", "");
    fs::create_directory_symlink(Root() / "s1", Root() / "link");
    fs::create_directory_symlink(Root(), Root() / "s1" / "loop");
    // A chain deeper than the walk goes.
    fs::path deep = Root() / "z";
    for (int level = 1; level <= kMaxScanDepth + 1; ++level) {
        WriteFile(deep / (std::string("L") + std::to_string(level) + ".DDD"), "");
        deep /= "z";
    }
    const auto found = FindFilesRecursive(Text(Root()) + "/", "*.DDD", kAttrArchive);
    ASSERT_TRUE(found.has_value());
    const StringList foundTexts = Texts(*found);
    StringList expected = {"a.ddd", "s1/b.DDD", "s1/s2/c.DDD"};
    std::string prefix;
    for (int level = 1; level <= kMaxScanDepth; ++level) {
        prefix += "z/";
        expected.push_back(prefix + "L" + std::to_string(level) + ".DDD");
    }
    EXPECT_EQ(foundTexts, expected);

    EXPECT_FALSE(FindFilesRecursive(Root(), "*.DDD", kAttrDirectory).has_value());
    const auto none = FindFilesRecursive("", "*.DDD", kAttrArchive);
    ASSERT_TRUE(none.has_value());
    EXPECT_TRUE(none->empty());
    const auto missing = FindFilesRecursive(Root() / "nope", "*", kAttrArchive);
    ASSERT_TRUE(missing.has_value());
    EXPECT_TRUE(missing->empty());
}

using Folders = TempFolder;

TEST_F(Folders, ExistingFolderNeedsNothing)
{
    MessageRecorder rec;
    EXPECT_TRUE(ForceDirectoriesReport(Root(), true));
    EXPECT_EQ(FolderCreationReport(), "\r\n");
    EXPECT_TRUE(rec.Messages().empty());
}

TEST_F(Folders, CreatesEveryLevelAndReports)
{
    MessageRecorder rec;
    const std::string x = Text(Root() / "x");
    EXPECT_TRUE(ForceDirectoriesReport(x + "//y/", true));
    EXPECT_TRUE(fs::is_directory(Root() / "x" / "y"));
    const std::string expected = Pl("Utworzono katalog (-i):\r\n") + x + "\r\n" + x + "/y\r\n";
    EXPECT_EQ(FolderCreationReport(), expected);
    ASSERT_EQ(rec.Messages().size(), 1u);
    EXPECT_EQ(rec.Messages()[0].kind, MessageKind::Notice);
    EXPECT_EQ(rec.Messages()[0].text, expected);

    // Silent when not asked.
    rec.Clear();
    EXPECT_TRUE(ForceDirectoriesReport(x + "/z", false));
    EXPECT_TRUE(rec.Messages().empty());
}

TEST_F(Folders, StopsAtTheFirstLevelThatFails)
{
    MessageRecorder rec;
    WriteFile(Root() / "f", "a regular file where a folder should be");
    const std::string f = Text(Root() / "f");
    EXPECT_FALSE(ForceDirectoriesReport(f + "/y/z", true));
    EXPECT_EQ(FolderCreationReport(),
              Pl("\r\nTworząc katalog\r\n\"") + f + Pl("\"\r\nnie zdołano utworzyć katalogu:\r\n") + f);
    ASSERT_EQ(rec.Messages().size(), 1u);
    EXPECT_EQ(rec.Messages()[0].text, FolderCreationReport());
    EXPECT_TRUE(fs::is_regular_file(Root() / "f"));

    // Levels made before the failure stay and are reported too.
    const std::string n = Text(Root() / "n");
    const std::string tooLong = n + "/" + std::string(300, 'q');
    EXPECT_FALSE(ForceDirectoriesReport(tooLong + "/w", false));
    EXPECT_EQ(FolderCreationReport(), Pl("Utworzono katalog (-i):\r\n") + n + Pl("\r\nTworząc katalog\r\n\"") +
                                          tooLong + Pl("\"\r\nnie zdołano utworzyć katalogu:\r\n") + tooLong);
    EXPECT_TRUE(fs::is_directory(Root() / "n"));
}

TEST_F(Folders, EmptyPathIsRefused)
{
    MessageRecorder rec;
    for (const char* path : {"", "   "}) {
        EXPECT_FALSE(ForceDirectoriesReport(path, true)) << '"' << path << '"';
        EXPECT_NE(FolderCreationReport(), "\r\n");
    }
    EXPECT_TRUE(rec.Messages().empty());
}

using FileTimes = TempFolder;

TEST_F(FileTimes, CreationAndWriteTimes)
{
    MessageRecorder rec;
    const fs::path file = Root() / "t.DDD";
    WriteFile(file, "x");
    const QDateTime written(QDate(2001, 2, 3), QTime(4, 5, 6, 789));
    const qint64 ms = written.toMSecsSinceEpoch();
    const struct timespec times[2] = {{ms / 1000, (ms % 1000) * 1000000}, {ms / 1000, (ms % 1000) * 1000000}};
    ASSERT_EQ(::utimensat(AT_FDCWD, file.c_str(), times, 0), 0);

    double creation = -1, lastWrite = -1, lastAccess = -1;
    ASSERT_TRUE(GetFileTimes(file, creation, lastWrite, lastAccess));
    EXPECT_EQ(DateToYYYYMMDD(lastWrite) + TimeToHHMMSS(lastWrite), "20010203040506");
    EXPECT_EQ(DateToYYYYMMDD(lastAccess) + TimeToHHMMSS(lastAccess), "20010203040506");
    const QDateTime birth = QFileInfo(QString::fromStdString(file.string())).birthTime();
    const QDateTime expected = birth.isValid() ? birth : written;
    EXPECT_EQ(FileDateTimeText(file), expected.toString(QStringLiteral("yyyyMMddHHmmss")).toStdString());
    EXPECT_TRUE(rec.Messages().empty());
}

TEST_F(FileTimes, MissingFile)
{
    MessageRecorder rec;
    EXPECT_EQ(FileDateTimeText(Root() / "none.DDD"), "");
    EXPECT_TRUE(rec.Messages().empty());
    double a = 1, b = 2, c = 3;
    EXPECT_FALSE(GetFileTimes(Root() / "none.DDD", a, b, c));
    EXPECT_EQ(a, 1);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(c, 3);
    ASSERT_EQ(rec.TextsOf(MessageKind::Error).size(), 1u);
    EXPECT_EQ(rec.TextsOf(MessageKind::Error)[0].rfind(Pl("Błąd określania czasów plików\r\n"), 0), 0u);
}

// Folders and files whose names code page 1250 cannot hold, through every routine that takes
// a path: found, counted, created, copied and timed under their own names.
TEST_F(Recursive, NamesOfAnyAlphabet)
{
    MessageRecorder rec;
    const fs::path device = Root() / "Søren Ж";
    WriteFile(device / "ø.DDD", "a");
    WriteFile(device / "Жук" / "b.DDD", "b");
    const auto found = FindFilesRecursive(device, "*.DDD", kAttrArchive);
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(Texts(*found), (StringList{"ø.DDD", "Жук/b.DDD"}));
    EXPECT_TRUE(FileExistsAttr(device / "Ø.ddd", kAttrArchive));
    EXPECT_EQ(CountMatchingFiles(device / "*", kAttrDirectory), 2);
    EXPECT_NE(FileDateTimeText(device / "ø.DDD"), "");

    const fs::path ddd = Root() / "dane ø" / "Ж";
    EXPECT_TRUE(ForceDirectoriesReport(ddd, false));
    EXPECT_EQ(FolderCreationReport(), Pl("Utworzono katalog (-i):\r\n") + PathToCp1250(Root() / "dane ø") + "\r\n" +
                                          PathToCp1250(ddd) + "\r\n");
    int count = 0;
    EXPECT_EQ(CopyTree(device / "*.DDD", ddd, count, true, true), 0);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(Entries(ddd), (std::vector<std::string>{"b.DDD", "ø.DDD"}));
    EXPECT_EQ(ReadFile(ddd / "ø.DDD"), "a");
    EXPECT_FALSE(fs::exists(device / "ø.DDD"));
    EXPECT_TRUE(rec.Messages().empty());
}
