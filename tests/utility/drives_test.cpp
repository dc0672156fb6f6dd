#include "tests/support/file_fixture.h"
#include "utility/cp1250.h"
#include "utility/dos_ext.h"

using namespace utility;
using namespace testsupport;

namespace utility {
// Readable failures.
void PrintTo(const DriveEntry& d, std::ostream* out) { *out << d.root << " " << d.type << " \"" << d.label << '"'; }
}  // namespace utility

namespace {

DriveEntry Drive(const char* root, int type, const std::string& label)
{
    return DriveEntry{fs::path(root), type, label};
}

}  // namespace

class Drives : public TempFolder {
protected:
    void SetUp() override
    {
        TempFolder::SetUp();
        for (const char* dev : {"sda1", "sdb1", "sdc1", "sr0", "zram0"})
            WriteFile(Root() / "dev" / dev, "");
        fs::create_directory(Root() / "labels");
        fs::create_symlink("../dev/sda1", Root() / "labels" / "SYSTEM");
        fs::create_symlink("../dev/sdb1", Root() / "labels" / "OPTAC\\x201");
        fs::create_symlink("../dev/sr0", Root() / "labels" / Cp1250ToUtf8(Pl("PŁYTA")));
        WriteFile(Root() / "sys" / "sda" / "removable", "0\n");
        fs::create_directory(Root() / "sys" / "sda" / "sda1");
        WriteFile(Root() / "sys" / "sdb" / "removable", "1\n");
        fs::create_directory(Root() / "sys" / "sdb" / "sdb1");
        WriteFile(Root() / "sys" / "sr0" / "removable", "1\n");
        sources_.mountTable = Root() / "mounts";
        sources_.labelFolder = Root() / "labels";
        sources_.sysBlock = Root() / "sys";
    }
    std::string Dev(const char* name) const { return (Root() / "dev" / name).string(); }
    DriveSources sources_;
};

TEST_F(Drives, FromTheMountTable)
{
    WriteFile(sources_.mountTable, Dev("sda1") +
                                       " / ext4 rw,relatime 0 0\n"
                                       "proc /proc proc rw 0 0\n"
                                       "sysfs /sys sysfs rw 0 0\n"
                                       "tmpfs /run tmpfs rw 0 0\n"
                                       "tmpfs /run/user/1000 tmpfs rw 0 0\n"
                                       "tmpfs /dev/shm tmpfs rw 0 0\n"
                                       "cgroup2 /sys/fs/cgroup cgroup2 rw 0 0\n"
                                       "overlay /var/lib/docker/x overlay rw 0 0\n"
                                       "/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
                                       "tmpfs /tmp tmpfs rw 0 0\n" +
                                       Dev("sdb1") + " /media/u/OPTAC\\0401 vfat rw 0 0\n" + Dev("sr0") +
                                       " /media/cd iso9660 ro 0 0\n"
                                       "server:/export /mnt/nfs nfs4 rw 0 0\n"
                                       "//host/share /mnt/smb cifs rw 0 0\n" +
                                       Dev("sdc1") + " /run/media/u/DIGI vfat rw 0 0\n" + Dev("zram0") +
                                       " /mnt/fast ext4 rw 0 0\n" + Dev("sdc1") +
                                       " /mnt/twice ext4 rw 0 0\n"
                                       "tmpfs /mnt/twice tmpfs rw 0 0\n"
                                       "garbage\n"
                                       "\n" +
                                       Dev("sdc1") + " /mnt/back\\134slash\\011tab ext4 rw 0 0\n" + Dev("sdc1") +
                                       " /mnt/\xD0\x96uk ext4 rw 0 0\n");
    const std::vector<DriveEntry> expected = {
        Drive("/", 3, "SYSTEM"),
        Drive("/tmp/", 6, ""),
        Drive("/media/u/OPTAC 1/", 2, "OPTAC 1"),
        Drive("/media/cd/", 5, Pl("PŁYTA")),
        Drive("/mnt/nfs/", 4, ""),
        Drive("/mnt/smb/", 4, ""),
        Drive("/run/media/u/DIGI/", 3, ""),
        Drive("/mnt/fast/", 6, ""),
        Drive("/mnt/twice/", 6, ""),
        Drive("/mnt/back\\slash\ttab/", 3, ""),
        // A mount point that code page 1250 cannot name is a drive like any other.
        Drive("/mnt/\xD0\x96uk/", 3, ""),
    };
    EXPECT_EQ(ListDrives(sources_), expected);
}

TEST_F(Drives, MissingSources)
{
    EXPECT_TRUE(ListDrives(sources_).empty());
    WriteFile(sources_.mountTable, Dev("sdb1") + " /media/stick vfat rw 0 0\n");
    sources_.labelFolder = Root() / "none";
    sources_.sysBlock = Root() / "none";
    EXPECT_EQ(ListDrives(sources_), (std::vector<DriveEntry>{Drive("/media/stick/", 3, "")}));
}

TEST(DrivesOfThisMachine, EveryDriveHasAnAbsoluteRootAndAType)
{
    for (const DriveEntry& drive : ListDrives()) {
        const std::string& root = drive.root.native();
        ASSERT_FALSE(root.empty());
        EXPECT_EQ(root.front(), '/') << root;
        EXPECT_EQ(root.back(), '/') << root;
        EXPECT_TRUE(drive.type >= 2 && drive.type <= 6) << root;
    }
}
