// The drive list: mounted file systems from the mount table, with labels and drive types.
#include "utility/cp1250.h"
#include "utility/dos_ext.h"

#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <string_view>

namespace utility {
namespace {

namespace fs = std::filesystem;

enum DriveType { kRemovable = 2, kFixed = 3, kRemote = 4, kOptical = 5, kRamDisk = 6 };

// A mount table longer than this is not a mount table.
constexpr std::size_t kMaxMountTableLines = 10000;

struct Mount {
    std::string source;
    std::string mountPoint;  // UTF-8
    std::string type;
};

bool OneOf(std::string_view value, std::initializer_list<std::string_view> set)
{
    return std::find(set.begin(), set.end(), value) != set.end();
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool IsPseudo(std::string_view type)
{
    return OneOf(type, {"proc",   "sysfs",           "cgroup",      "cgroup2",     "devpts",       "devtmpfs",
                        "mqueue", "hugetlbfs",       "debugfs",     "tracefs",     "securityfs",   "pstore",
                        "bpf",    "configfs",        "fusectl",     "binfmt_misc", "autofs",       "rpc_pipefs",
                        "nsfs",   "efivarfs",        "selinuxfs",   "overlay",     "squashfs",     "nfsd",
                        "rootfs", "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs",  "fuse.snapfuse"});
}

// The system's own mounts; removable media under /run/media stay.
bool IsSystemMountPoint(std::string_view point)
{
    if (StartsWith(point, "/run/media/"))
        return false;
    for (std::string_view area : {"/proc", "/sys", "/dev", "/run"}) {
        if (point == area || (StartsWith(point, area) && point.size() > area.size() && point[area.size()] == '/'))
            return true;
    }
    return false;
}

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

// Mount tables write blank, tab, new line and backslash as "\ooo".
std::string DecodeOctalEscapes(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && text.size() - i >= 4 && IsOctal(text[i + 1]) && IsOctal(text[i + 2]) &&
            IsOctal(text[i + 3])) {
            out.push_back(
                static_cast<char>(((text[i + 1] - '0') << 6) | ((text[i + 2] - '0') << 3) | (text[i + 3] - '0')));
            i += 3;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// udev writes unsafe characters of a label (blank, "/", ...) as "\xNN".
std::string DecodeHexEscapes(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && text.size() - i >= 4 && text[i + 1] == 'x' && HexValue(text[i + 2]) >= 0 &&
            HexValue(text[i + 3]) >= 0) {
            out.push_back(static_cast<char>(HexValue(text[i + 2]) * 16 + HexValue(text[i + 3])));
            i += 3;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::vector<Mount> ReadMounts(const fs::path& table)
{
    std::vector<Mount> mounts;
    std::ifstream in(table);
    std::string line;
    for (std::size_t n = 0; n < kMaxMountTableLines && std::getline(in, line); ++n) {
        std::vector<std::string_view> fields;
        std::string_view rest(line);
        while (!rest.empty() && fields.size() < 3) {
            const std::size_t start = rest.find_first_not_of(" \t");
            if (start == std::string_view::npos)
                break;
            rest.remove_prefix(start);
            const std::size_t end = rest.find_first_of(" \t");
            fields.push_back(rest.substr(0, end));
            rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
        }
        if (fields.size() < 3)
            continue;
        Mount m{DecodeOctalEscapes(fields[0]), DecodeOctalEscapes(fields[1]), std::string(fields[2])};
        if (m.mountPoint.empty() || m.mountPoint.front() != '/' || IsPseudo(m.type) || IsSystemMountPoint(m.mountPoint))
            continue;
        // A later mount on the same point hides the earlier one.
        std::erase_if(mounts, [&m](const Mount& old) { return old.mountPoint == m.mountPoint; });
        mounts.push_back(std::move(m));
    }
    return mounts;
}

fs::path Resolved(const fs::path& path)
{
    std::error_code ec;
    fs::path resolved = fs::weakly_canonical(path, ec);
    return ec ? path : resolved;
}

std::string LabelOf(const fs::path& device, const fs::path& labelFolder)
{
    if (device.empty() || !device.is_absolute())
        return {};
    const fs::path target = Resolved(device);
    std::error_code ec;
    for (fs::directory_iterator it(labelFolder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        if (Resolved(it->path()) == target)
            return DecodeHexEscapes(it->path().filename().string());
    }
    return {};
}

bool IsRemovableBlockDevice(const std::string& name, const fs::path& sysBlock)
{
    if (name.empty())
        return false;
    std::error_code ec;
    std::error_code probe;
    fs::path disk;
    if (fs::exists(sysBlock / name / "removable", probe)) {
        disk = sysBlock / name;
    } else {
        // A partition lives in its disk's folder: /sys/block/sdb/sdb1.
        for (fs::directory_iterator it(sysBlock, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
            if (fs::exists(it->path() / name, probe)) {
                disk = it->path();
                break;
            }
        }
    }
    if (disk.empty())
        return false;
    std::ifstream in(disk / "removable");
    char flag = '0';
    return static_cast<bool>(in >> flag) && flag == '1';
}

int DriveTypeOf(const Mount& m, const DriveSources& sources)
{
    const std::string& t = m.type;
    if (OneOf(t, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "9p", "ceph", "glusterfs", "fuse.sshfs",
                  "fuse.glusterfs", "davfs", "fuse.davfs2", "fuse.rclone"}))
        return kRemote;
    const fs::path device = fs::path(m.source).is_absolute() ? Resolved(m.source) : fs::path();
    const std::string name = device.filename().string();
    if (OneOf(t, {"iso9660", "udf"}) || StartsWith(name, "sr"))
        return kOptical;
    if (OneOf(t, {"tmpfs", "ramfs"}) || StartsWith(name, "zram") || StartsWith(name, "ram"))
        return kRamDisk;
    if (IsRemovableBlockDevice(name, sources.sysBlock))
        return kRemovable;
    return kFixed;
}

}  // namespace

std::vector<DriveEntry> ListDrives(const DriveSources& sources)
{
    std::vector<DriveEntry> drives;
    for (const Mount& m : ReadMounts(sources.mountTable)) {
        DriveEntry drive;
        drive.root = NormalizePath(fs::path(m.mountPoint), true);
        drive.type = DriveTypeOf(m, sources);
        drive.label = Utf8ToCp1250(LabelOf(m.source, sources.labelFolder));
        drives.push_back(std::move(drive));
    }
    return drives;
}

std::vector<DriveEntry> ListDrives() { return ListDrives(DriveSources{}); }

}  // namespace utility
