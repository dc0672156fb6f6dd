#include "utility/fmxutils.h"

#include "tests/support/file_fixture.h"
#include "utility/atomic_write.h"
#include "utility/cp1250.h"

#include <sys/stat.h>
#include <unistd.h>

using namespace utility;
using namespace testsupport;

namespace {

// Content that differs at every chunk boundary, longer than several chunks.
std::string Pattern(std::size_t size)
{
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        s[i] = static_cast<char>((i * 7 + i / kCopyChunkSize) & 0xFF);
    return s;
}

}  // namespace

using ChunkCopy = TempFolder;

TEST_F(ChunkCopy, CopiesWholeFilesOfEverySize)
{
    const std::size_t sizes[] = {0, 1, kCopyChunkSize - 1, kCopyChunkSize, kCopyChunkSize + 1, 3 * kCopyChunkSize + 17};
    for (std::size_t size : sizes) {
        const std::string content = Pattern(size);
        WriteFile(Root() / "src.bin", content);
        CopyFileInChunks(Text(Root() / "src.bin"), Text(Root() / "dst.bin"));
        EXPECT_EQ(ReadFile(Root() / "dst.bin"), content) << size;
    }
    EXPECT_EQ(Entries(Root()), (std::vector<std::string>{"dst.bin", "src.bin"}));
}

TEST_F(ChunkCopy, IntoFolderAndReplacing)
{
    WriteFile(Root() / "a.DDD", "new");
    WriteFile(Root() / "out" / "a.DDD", "old and longer");
    CopyFileInChunks(Text(Root() / "a.DDD"), Text(Root() / "out"));
    EXPECT_EQ(ReadFile(Root() / "out" / "a.DDD"), "new");
    EXPECT_THROW(
        {
            try {
                (void)CopyFileInChunks(Root() / "a.DDD", Root() / "out" / "a.DDD", false);
            } catch (const EFileError& e) {
                EXPECT_EQ(e.kind(), EFileError::Kind::Create);
                throw;
            }
        },
        EFileError);
    EXPECT_EQ(ReadFile(Root() / "out" / "a.DDD"), "new");
}

TEST_F(ChunkCopy, NeverCopiesAFileOntoItself)
{
    const std::string content = Pattern(2 * kCopyChunkSize + 5);
    WriteFile(Root() / "a.DDD", content);
    ASSERT_EQ(::link((Root() / "a.DDD").c_str(), (Root() / "hard.DDD").c_str()), 0);
    const std::string same[] = {Text(Root() / "a.DDD"), Text(Root()) + "/./a.DDD", Text(Root() / "hard.DDD"),
                                Text(Root())};
    for (const auto& destination : same) {
        EXPECT_THROW(CopyFileInChunks(Text(Root() / "a.DDD"), destination), EFileError) << destination;
        EXPECT_EQ(ReadFile(Root() / "a.DDD"), content) << destination;
    }
}

TEST_F(ChunkCopy, SourceErrorsNameTheFile)
{
    ASSERT_EQ(::mkfifo((Root() / "pipe").c_str(), 0666), 0);
    fs::create_directory(Root() / "dir");
    for (const char* name : {"missing", "pipe", "dir"}) {
        const std::string source = Text(Root() / name);
        try {
            CopyFileInChunks(source, Text(Root() / "copy"));
            ADD_FAILURE() << name << " copied";
        } catch (const EFileError& e) {
            EXPECT_EQ(e.kind(), EFileError::Kind::Open) << name;
            EXPECT_NE(std::string(e.what()).find(source), std::string::npos) << e.what();
        }
        EXPECT_FALSE(fs::exists(Root() / "copy")) << name;
    }
}

TEST_F(ChunkCopy, FailedWriteLeavesNothing)
{
    const std::string content = Pattern(4 * kCopyChunkSize);
    WriteFile(Root() / "src" / "a.DDD", content);
    fs::create_directory(Root() / "out");
    {
        FileSizeLimit limit(kCopyChunkSize + 100);
        ASSERT_TRUE(limit.active());
        EXPECT_THROW(CopyFileInChunks(Text(Root() / "src" / "a.DDD"), Text(Root() / "out" / "a.DDD")), EFileError);
    }
    EXPECT_TRUE(Entries(Root() / "out").empty());
    EXPECT_EQ(ReadFile(Root() / "src" / "a.DDD"), content);
}

using AtomicWrite = TempFolder;

TEST_F(AtomicWrite, WritesKeepsOrReplaces)
{
    const fs::path target = Root() / "card.DDD";
    WriteResult r = WriteFileAtomically(target, "first", false);
    EXPECT_EQ(r.status, WriteStatus::Written);
    EXPECT_TRUE(r.error.empty());
    EXPECT_EQ(ReadFile(target), "first");

    r = WriteFileAtomically(target, "second", false);
    EXPECT_EQ(r.status, WriteStatus::Exists);
    EXPECT_FALSE(r.error.empty());
    EXPECT_EQ(ReadFile(target), "first");

    r = WriteFileAtomically(target, "third", true);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(ReadFile(target), "third");
    EXPECT_EQ(Entries(Root()), (std::vector<std::string>{"card.DDD"}));

    // A dangling link still occupies the name.
    fs::create_symlink(Root() / "nowhere", Root() / "link.DDD");
    EXPECT_EQ(WriteFileAtomically(Root() / "link.DDD", "x", false).status, WriteStatus::Exists);
    EXPECT_FALSE(fs::exists(Root() / "nowhere"));
}

TEST_F(AtomicWrite, FailuresLeaveNoFile)
{
    const WriteResult missingFolder = WriteFileAtomically(Root() / "no" / "x.DDD", "abc", false);
    EXPECT_EQ(missingFolder.status, WriteStatus::Failed);
    EXPECT_NE(missingFolder.error.find(Pl("Nie można utworzyć pliku")), std::string::npos) << missingFolder.error;

    EXPECT_EQ(WriteFileAtomically(Root() / "", "abc", true).status, WriteStatus::Failed);
    {
        FileSizeLimit limit(10);
        ASSERT_TRUE(limit.active());
        const WriteResult full = WriteFileAtomically(Root() / "big.DDD", std::string(1000, 'b'), false);
        EXPECT_EQ(full.status, WriteStatus::Failed);
        EXPECT_NE(full.error.find(Pl("Błąd zapisu pliku")), std::string::npos) << full.error;
    }
    EXPECT_TRUE(Entries(Root()).empty());
}

TEST_F(AtomicWrite, WriterInPiecesAndUncommitted)
{
    {
        AtomicFileWriter writer(Root() / "parts.bin");
        ASSERT_TRUE(writer.ok());
        EXPECT_TRUE(writer.Write("ab", 2));
        EXPECT_TRUE(writer.Write("cd", 2));
        EXPECT_EQ(writer.BytesWritten(), 4u);
        // The temporary file is hidden from the program's plain-file searches.
        EXPECT_EQ(writer.TemporaryPath().filename().string().front(), '.');
        EXPECT_FALSE(fs::exists(Root() / "parts.bin"));
        EXPECT_TRUE(writer.Commit(false).ok());
    }
    EXPECT_EQ(ReadFile(Root() / "parts.bin"), "abcd");
    {
        AtomicFileWriter abandoned(Root() / "never.bin");
        EXPECT_TRUE(abandoned.Write("x", 1));
    }
    EXPECT_EQ(Entries(Root()), (std::vector<std::string>{"parts.bin"}));

    // The name taken while writing: the other file wins.
    AtomicFileWriter late(Root() / "race.bin");
    EXPECT_TRUE(late.Write("mine", 4));
    WriteFile(Root() / "race.bin", "theirs");
    EXPECT_EQ(late.Commit(false).status, WriteStatus::Exists);
    EXPECT_EQ(ReadFile(Root() / "race.bin"), "theirs");
}
