#include "tests/support/file_fixture.h"
#include "tests/support/message_recorder.h"
#include "utility/cp1250.h"
#include "utility/dos_ext.h"
#include "utility/fmxutils.h"

using namespace utility;
using namespace testsupport;
using testsupport::MessageRecorder;

namespace {

std::string ExistsWarning(const std::string& source, const std::string& folder)
{
    return Pl("Plik o takiej nazwie\r\n") + source + Pl("\r\njuż istnieje w\r\n") + folder +
           Pl(". Nie został skopiowany.");
}

}  // namespace

using CopyFiles = TempFolder;

TEST_F(CopyFiles, CopyOrMoveCreatesFolderAndVerifies)
{
    MessageRecorder rec;
    WriteFile(Root() / "a.DDD", "card");
    const std::string target = Text(Root() / "new" / "deeper" / "a.DDD");
    EXPECT_TRUE(CopyOrMoveFile(Text(Root() / "a.DDD"), target, false));
    EXPECT_EQ(ReadFile(Root() / "new" / "deeper" / "a.DDD"), "card");
    EXPECT_TRUE(fs::exists(Root() / "a.DDD"));

    EXPECT_TRUE(CopyOrMoveFile(Text(Root() / "a.DDD"), Text(Root() / "moved.DDD"), true));
    EXPECT_EQ(ReadFile(Root() / "moved.DDD"), "card");
    EXPECT_FALSE(fs::exists(Root() / "a.DDD"));
    EXPECT_TRUE(rec.Messages().empty());
}

TEST_F(CopyFiles, ExistingTargetIsKept)
{
    MessageRecorder rec;
    WriteFile(Root() / "a.DDD", "new");
    WriteFile(Root() / "out" / "a.DDD", "old");
    // The same file under another spelling, and a hidden name, count as existing too.
    const std::string src = Text(Root() / "a.DDD");
    EXPECT_FALSE(CopyOrMoveFile(src, Text(Root() / "out" / "a.DDD"), true));
    EXPECT_FALSE(CopyOrMoveFile(src, Text(Root()) + "/./a.DDD", true));
    EXPECT_EQ(ReadFile(Root() / "out" / "a.DDD"), "old");
    EXPECT_EQ(ReadFile(Root() / "a.DDD"), "new");
    ASSERT_EQ(rec.Messages().size(), 2u);
    EXPECT_EQ(rec.Messages()[0].kind, MessageKind::Warning);
    EXPECT_EQ(rec.Messages()[0].text, ExistsWarning(src, Text(Root() / "out") + "/"));
}

TEST_F(CopyFiles, AFolderOfTheTargetsNameIsKeptAndGetsNoCopyInside)
{
    MessageRecorder rec;
    WriteFile(Root() / "dev" / "a.DDD", "card");
    fs::create_directories(Root() / "ddd" / "a.DDD");
    const std::string src = Text(Root() / "dev" / "a.DDD");
    EXPECT_FALSE(CopyOrMoveFile(src, Text(Root() / "ddd" / "a.DDD"), true));
    EXPECT_EQ(ReadFile(Root() / "dev" / "a.DDD"), "card");
    EXPECT_TRUE(Entries(Root() / "ddd" / "a.DDD").empty());
    EXPECT_EQ(rec.TextsOf(MessageKind::Warning),
              (std::vector<std::string>{ExistsWarning(src, Text(Root() / "ddd") + "/")}));
    EXPECT_TRUE(rec.TextsOf(MessageKind::Error).empty());
}

TEST_F(CopyFiles, MoveThatFailsPartWayKeepsTheSource)
{
    MessageRecorder rec;
    const std::string content(5 * kCopyChunkSize + 3, 'd');
    WriteFile(Root() / "dev" / "a.DDD", content);
    fs::create_directory(Root() / "ddd");
    const std::string src = Text(Root() / "dev" / "a.DDD");
    const std::string dst = Text(Root() / "ddd" / "a.DDD");
    {
        FileSizeLimit limit(2 * kCopyChunkSize);
        ASSERT_TRUE(limit.active());
        EXPECT_FALSE(CopyOrMoveFile(src, dst, true));
    }
    EXPECT_EQ(ReadFile(Root() / "dev" / "a.DDD"), content);
    EXPECT_TRUE(Entries(Root() / "ddd").empty());
    EXPECT_EQ(rec.TextsOf(MessageKind::Error),
              (std::vector<std::string>{Pl("Nie zdołano utworzyć pliku ") + dst + Pl(" jako kopii ") + src}));
}

TEST_F(CopyFiles, FolderThatCannotBeMade)
{
    MessageRecorder rec;
    WriteFile(Root() / "a.DDD", "x");
    WriteFile(Root() / "blocker", "file");
    EXPECT_FALSE(CopyOrMoveFile(Text(Root() / "a.DDD"), Text(Root() / "blocker" / "a.DDD"), true));
    EXPECT_EQ(rec.TextsOf(MessageKind::Error),
              (std::vector<std::string>{Pl("Nie zdołano utworzyć katalogu ") + Text(Root() / "blocker") + "/"}));
    EXPECT_TRUE(fs::exists(Root() / "a.DDD"));
}

using Tree = TempFolder;

TEST_F(Tree, NameClashWarnsAndCopiesTheRest)
{
    MessageRecorder rec;
    WriteFile(Root() / "dev" / "a.DDD", "a");
    WriteFile(Root() / "dev" / "b.ddd", "b-new");
    WriteFile(Root() / "dev" / "c.txt", "c");
    WriteFile(Root() / "ddd" / "b.ddd", "b-old");
    int count = -1;
    EXPECT_EQ(CopyTree(Text(Root() / "dev" / "*.DDD"), Text(Root() / "ddd"), count, false, false), 2);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(ReadFile(Root() / "ddd" / "a.DDD"), "a");
    EXPECT_EQ(ReadFile(Root() / "ddd" / "b.ddd"), "b-old");
    EXPECT_FALSE(fs::exists(Root() / "ddd" / "c.txt"));
    EXPECT_EQ(rec.TextsOf(MessageKind::Warning),
              (std::vector<std::string>{ExistsWarning(Text(Root() / "dev" / "b.ddd"), Text(Root() / "ddd") + "/")}));
    EXPECT_EQ(Entries(Root() / "dev"), (std::vector<std::string>{"a.DDD", "b.ddd", "c.txt"}));
}

TEST_F(Tree, RecursiveMoveFlattensAndKeepsClashes)
{
    MessageRecorder rec;
    WriteFile(Root() / "dev" / "a.DDD", "top a");
    WriteFile(Root() / "dev" / "s" / "b.DDD", "b");
    WriteFile(Root() / "dev" / "s" / "t" / "a.DDD", "deep a");
    WriteFile(Root() / "dev" / "s" / "t" / "x.txt", "x");
    fs::create_directory_symlink(Root() / "dev" / "s", Root() / "dev" / "link");
    int count = 0;
    const int status = CopyTree(Text(Root() / "dev" / "*.DDD"), Text(Root() / "ddd") + "/", count, true, true);
    EXPECT_EQ(status, 2);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(Entries(Root() / "ddd"), (std::vector<std::string>{"a.DDD", "b.DDD"}));
    EXPECT_EQ(ReadFile(Root() / "ddd" / "a.DDD"), "top a");
    EXPECT_EQ(ReadFile(Root() / "ddd" / "b.DDD"), "b");
    EXPECT_FALSE(fs::exists(Root() / "dev" / "a.DDD"));
    EXPECT_FALSE(fs::exists(Root() / "dev" / "s" / "b.DDD"));
    EXPECT_EQ(ReadFile(Root() / "dev" / "s" / "t" / "a.DDD"), "deep a");
    EXPECT_TRUE(fs::exists(Root() / "dev" / "s" / "t" / "x.txt"));
    EXPECT_EQ(rec.TextsOf(MessageKind::Warning).size(), 1u);
}

TEST_F(Tree, NameClashesCanBeCollectedInsteadOfWarnedOneByOne)
{
    MessageRecorder rec;
    for (const char* name : {"a.DDD", "b.DDD", "s/c.DDD", "s/d.DDD"})
        WriteFile(Root() / "dev" / name, std::string("new ") + name);
    for (const char* name : {"a.DDD", "c.DDD"})
        WriteFile(Root() / "ddd" / name, "old");
    for (bool move : {false, true}) {
        SCOPED_TRACE(move);
        PathList kept;
        int count = -1;
        // 2 for each of the two folders with a kept file.
        EXPECT_EQ(CopyTree(Root() / "dev" / "*.DDD", Root() / "ddd", count, true, move, &kept), 4);
        // The second pass finds b and d in place already.
        EXPECT_EQ(count, move ? 0 : 2);
        const PathList expected = move ? PathList{Root() / "dev" / "a.DDD", Root() / "dev" / "b.DDD",
                                                  Root() / "dev" / "s" / "c.DDD", Root() / "dev" / "s" / "d.DDD"}
                                       : PathList{Root() / "dev" / "a.DDD", Root() / "dev" / "s" / "c.DDD"};
        EXPECT_EQ(kept, expected);
        EXPECT_TRUE(rec.Messages().empty());
        // Kept files stay where they are, on both sides, also when moving.
        EXPECT_EQ(ReadFile(Root() / "ddd" / "a.DDD"), "old");
        EXPECT_EQ(ReadFile(Root() / "dev" / "s" / "c.DDD"), "new s/c.DDD");
        EXPECT_EQ(ReadFile(Root() / "ddd" / "d.DDD"), "new s/d.DDD");
    }
}

TEST_F(Tree, AllCopiedIsZero)
{
    MessageRecorder rec;
    WriteFile(Root() / "dev" / "a.DDD", "a");
    WriteFile(Root() / "dev" / "s" / "b.DDD", "b");
    int count = 0;
    EXPECT_EQ(CopyTree(Text(Root() / "dev" / "*.DDD"), Text(Root() / "ddd"), count, true, false), 0);
    EXPECT_EQ(count, 2);
    EXPECT_TRUE(fs::exists(Root() / "dev" / "s" / "b.DDD"));
    // Not recursive: the sub-folder stays out.
    EXPECT_EQ(CopyTree(Text(Root() / "dev" / "*.DDD"), Text(Root() / "ddd2"), count, false, false), 0);
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(rec.Messages().empty());
}

TEST_F(Tree, DestinationInsideTheSourceIsNotWalked)
{
    MessageRecorder rec;
    WriteFile(Root() / "dev" / "a.DDD", "a");
    int count = 0;
    EXPECT_EQ(CopyTree(Text(Root() / "dev" / "*.DDD"), Text(Root() / "dev" / "DDD"), count, true, false), 0);
    EXPECT_EQ(count, 1);
    EXPECT_TRUE(rec.Messages().empty());
}

TEST_F(Tree, EmptyFolderOrDestinationIsAnError)
{
    MessageRecorder rec;
    WriteFile(Root() / "dev" / "a.DDD", "a");
    int count = 5;
    EXPECT_EQ(CopyTree("*.DDD", Text(Root() / "ddd"), count, true, false), 2);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(CopyTree(Text(Root() / "dev" / "*.DDD"), " ", count, true, true), 2);
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(fs::exists(Root() / "dev" / "a.DDD"));
    EXPECT_FALSE(fs::exists(Root() / "ddd"));
    EXPECT_TRUE(rec.Messages().empty());
}
