#include "utility/rename_no_replace.h"

#include "tests/support/file_fixture.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>

using namespace utility;
using namespace testsupport;

namespace {

// How often each step of the rename ran.
struct Calls {
    int link = 0;
    int rename = 0;
};
Calls g_calls;
int g_renameError = 0;  // errno the plain rename fails with, 0 = let it run

int NoNoReplaceRename(const char*, const char*)
{
    errno = EINVAL;  // what file systems without RENAME_NOREPLACE answer
    return -1;
}

int CountedLink(const char* from, const char* to)
{
    ++g_calls.link;
    return SystemRenameCalls().link(from, to);
}

int NoHardLinks(const char*, const char*)
{
    ++g_calls.link;
    errno = EPERM;  // FAT's answer
    return -1;
}

int CountedRename(const char* from, const char* to)
{
    ++g_calls.rename;
    if (g_renameError != 0) {
        errno = g_renameError;
        return -1;
    }
    return SystemRenameCalls().rename(from, to);
}

struct FileSystem {
    const char* name;
    RenameCalls calls;
    Calls expected;  // steps taken by a rename to a free name
};

const FileSystem kFileSystems[] = {
    {"with no-replace renames", SystemRenameCalls(), {0, 0}},
    {"without no-replace renames", {&NoNoReplaceRename, &CountedLink, &CountedRename}, {1, 0}},
    {"without hard links either", {&NoNoReplaceRename, &NoHardLinks, &CountedRename}, {1, 1}},
};

class RenameNoReplaceTest : public TempFolder {
protected:
    void SetUp() override
    {
        TempFolder::SetUp();
        g_calls = {};
        g_renameError = 0;
    }
    // A source file in a folder whose name code page 1250 cannot hold.
    fs::path Source() const { return Root() / "Søren Ж" / "stary ø.DDD"; }
    fs::path Target() const { return Root() / "Søren Ж" / "Nowak_Ж.DDD"; }
};

}  // namespace

TEST_F(RenameNoReplaceTest, AFreeNameIsTaken)
{
    for (const FileSystem& system : kFileSystems) {
        SCOPED_TRACE(system.name);
        g_calls = {};
        WriteFile(Source(), "card");
        ASSERT_EQ(RenameNoReplace(Source(), Target(), system.calls), 0);
        EXPECT_FALSE(fs::exists(Source()));
        EXPECT_EQ(ReadFile(Target()), "card");
        EXPECT_EQ(Entries(Target().parent_path()), (std::vector<std::string>{"Nowak_Ж.DDD"}));
        EXPECT_EQ(g_calls.link, system.expected.link);
        EXPECT_EQ(g_calls.rename, system.expected.rename);
        fs::remove(Target());
    }
}

TEST_F(RenameNoReplaceTest, ATakenNameIsNeverReplaced)
{
    for (const FileSystem& system : kFileSystems) {
        for (const bool folder : {false, true}) {
            SCOPED_TRACE(std::string(system.name) + (folder ? ", a folder of that name" : ", a file of that name"));
            WriteFile(Source(), "card");
            if (folder)
                fs::create_directory(Target());
            else
                WriteFile(Target(), "kept");
            EXPECT_EQ(RenameNoReplace(Source(), Target(), system.calls), EEXIST);
            EXPECT_EQ(ReadFile(Source()), "card");
            if (folder)
                EXPECT_TRUE(fs::is_directory(Target()));
            else
                EXPECT_EQ(ReadFile(Target()), "kept");
            fs::remove_all(Target());
        }
    }
}

TEST_F(RenameNoReplaceTest, AFailedRenameLeavesTheOldNameAndNothingElse)
{
    for (const FileSystem& system : kFileSystems) {
        SCOPED_TRACE(system.name);
        // A source that is not there.
        fs::create_directories(Target().parent_path());
        EXPECT_EQ(RenameNoReplace(Source(), Target(), system.calls), ENOENT);
        EXPECT_TRUE(fs::is_empty(Target().parent_path()));
    }
    // The last step refused: the name held for the rename is given back.
    WriteFile(Source(), "card");
    g_renameError = EACCES;
    EXPECT_EQ(RenameNoReplace(Source(), Target(), kFileSystems[2].calls), EACCES);
    EXPECT_EQ(ReadFile(Source()), "card");
    EXPECT_FALSE(fs::exists(Target()));
}
