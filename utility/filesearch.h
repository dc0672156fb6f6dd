// File search with the attribute masks of the program's original platform, emulated on
// the Linux file system. A mask is a path whose last part is a name pattern with "*" and "?",
// matched without regard to letter case ("*.DDD" finds x.ddd; "*.*" is every name).
#pragma once

#include <filesystem>
#include <vector>

namespace utility {

// Attributes of an entry: directory 0x10, regular file 0x20, no write permission (or a
// read-only medium) 0x01, name beginning with "." 0x02. System and volume are never set.
inline constexpr unsigned kAttrReadOnly = 0x01;
inline constexpr unsigned kAttrHidden = 0x02;
inline constexpr unsigned kAttrSystem = 0x04;
inline constexpr unsigned kAttrVolume = 0x08;
inline constexpr unsigned kAttrDirectory = 0x10;
inline constexpr unsigned kAttrArchive = 0x20;
inline constexpr unsigned kAttrAny = 0x3F;

struct FoundEntry {
    std::filesystem::path path;  // folder of the mask / name as found on disk
    std::filesystem::path name;  // the name on disk
    unsigned attributes = 0;
};

// Case-insensitive match of a whole name against a pattern.
bool MaskMatchesName(const std::filesystem::path& pattern, const std::filesystem::path& name);

// The attributes of the entry at `path` (symbolic links followed); false for entries that
// are neither a regular file nor a folder (devices, pipes, sockets, broken links).
bool EntryAttributes(const std::filesystem::path& path, unsigned& attributes);

// True when `path` names a folder (symbolic links followed); never throws.
bool IsDirectory(const std::filesystem::path& path);

// Every entry of `folder` ("" = the current folder) whose name matches `pattern` and whose
// attributes pass the search mask: a regular entry is always found, a directory or hidden
// entry only when `attributes` includes that bit. An unreadable or missing folder finds
// nothing. In directory order.
std::vector<FoundEntry> SearchFolder(const std::filesystem::path& folder, const std::filesystem::path& pattern,
                                     unsigned attributes);
// The same for a whole mask: its folder part ("" = the current folder) and its pattern.
std::vector<FoundEntry> SearchMask(const std::filesystem::path& mask, unsigned attributes);

// Lets the window system handle pending events during long scans.
void PumpMessages();

}  // namespace utility
