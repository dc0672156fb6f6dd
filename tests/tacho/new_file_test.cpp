#include "tacho/new_file.h"
#include "tests/tacho/card_file_fixture.h"
#include "utility/cp1250.h"

#include <gtest/gtest.h>

using namespace cardfiletest;

namespace {
std::filesystem::path PathOf(const std::string& cp1250) { return utility::Cp1250ToUtf8(cp1250); }
} // namespace

TEST(NewFile, WritesTheBytesUnderTheNameAndNothingElse)
{
    ScratchFolder folder;
    const Bytes bytes = {1, 2, 3, 0, 255};
    std::string error = "stale";
    EXPECT_EQ(tacho::WriteNewFile(PathOf(folder.File("a.DDD")), bytes, error), tacho::NewFileResult::Written);
    EXPECT_TRUE(error.empty());
    EXPECT_EQ(ReadFileBytes(folder.File("a.DDD")), bytes);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"a.DDD"});
}

TEST(NewFile, NeverReplacesAnExistingFile)
{
    ScratchFolder folder;
    WriteFileBytes(folder.File("a.DDD"), {9, 9});
    std::string error;
    EXPECT_EQ(tacho::WriteNewFile(PathOf(folder.File("a.DDD")), Bytes{1, 2, 3}, error), tacho::NewFileResult::Exists);
    EXPECT_EQ(ReadFileBytes(folder.File("a.DDD")), (Bytes{9, 9}));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"a.DDD"});
}

TEST(NewFile, MissingFolderFailsWithAReasonAndLeavesNothing)
{
    ScratchFolder folder;
    std::string error;
    EXPECT_EQ(tacho::WriteNewFile(PathOf(folder.File("absent/a.DDD")), Bytes{1}, error), tacho::NewFileResult::Failed);
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(folder.Entries().empty());
}
