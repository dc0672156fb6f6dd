// File search with the attribute masks of the program's original platform, emulated on
// the Linux file system. Masks are a folder plus a name pattern with "*" and "?", matched
// without regard to letter case ("*.DDD" finds x.ddd; "*.*" is every name).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
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
    std::string name;            // the name on disk (UTF-8)
    unsigned attributes = 0;
};

// Case-insensitive match of a whole name (both code page 1250) against a pattern.
bool MaskMatchesName(std::string_view pattern, std::string_view name);

// The attributes of the entry at `path` (symbolic links followed); false for entries that
// are neither a regular file nor a folder (devices, pipes, sockets, broken links).
bool EntryAttributes(const std::filesystem::path& path, unsigned& attributes);

// True when `path` names a folder (symbolic links followed); never throws.
bool IsDirectory(const std::filesystem::path& path);

// Splits a mask (code page 1250) at its last "/" into folder and pattern, as UTF-8 path
// and code page 1250 pattern. The folder is empty for a bare pattern.
void SplitMask(std::string_view mask, std::filesystem::path& folder, std::string& pattern);

// Every entry of `folder` ("" = the current folder) whose name matches `pattern` and whose
// attributes pass the search mask: a regular entry is always found, a directory or hidden
// entry only when `attributes` includes that bit. An unreadable or missing folder finds
// nothing. In directory order.
std::vector<FoundEntry> SearchFolder(const std::filesystem::path& folder, std::string_view pattern, unsigned attributes);
// The same for a whole mask.
std::vector<FoundEntry> SearchMask(std::string_view mask, unsigned attributes);

// Lets the window system handle pending events during long scans.
void PumpMessages();

} // namespace utility
