// Files, folders and drives. Paths are std::filesystem::path (utility/paths.h); a mask is a
// path whose last part is a name pattern, as described in utility/filesearch.h, which also holds
// the attribute constants (kAttrArchive 0x20, kAttrDirectory 0x10, kAttrAny 0x3F, ...). Texts
// shown to the user (reports, message boxes) are code page 1250.
// The scans let the window system handle pending events after every file.
#pragma once

#include "utility/filesearch.h"
#include "utility/paths.h"
#include "utility/stringi.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace utility {

// The file-name part without its last extension ("/d/ab.DDD" -> "ab"); a name without an
// extension comes back whole.
std::filesystem::path FileNameWithoutExt(const std::filesystem::path& filePath);

// True when a search for the name or mask with the attributes finds anything.
bool FileExistsAttr(const std::filesystem::path& nameOrMask, unsigned attributes);
// Number of entries such a search finds.
int CountMatchingFiles(const std::filesystem::path& mask, unsigned attributes);
// Deletes every plain (non-hidden) file matching the mask; true when every deletion
// succeeded, also when nothing matched. A mask without a folder deletes nothing: false.
bool DeleteMatchingFiles(const std::filesystem::path& mask);
// Names (without folder) of the entries found, sorted (letter case ignored) when asked.
PathList FindFilesToList(const std::filesystem::path& mask, unsigned attributes, bool sorted);
// Every file matching `nameMask` in `folder` and its sub-folders, as paths relative to the
// folder ("name", "sub/name", ...). Symbolic links to folders are not followed, the walk
// stays on the folder's file system and goes at most kMaxScanDepth levels down. No list at
// all when `attributes` include the directory bit; an empty list for an empty folder.
std::optional<PathList> FindFilesRecursive(const std::filesystem::path& folder, const std::filesystem::path& nameMask,
                                           unsigned attributes);
inline constexpr int kMaxScanDepth = 32;

// Creates every missing level of `path`; true when every level is a folder afterwards.
// FolderCreationReport() then holds the report ("Utworzono katalog (-i):\r\n" + the folders
// created, one a line, then "\r\n", then for a failure "Tworząc katalog\r\n\"<level>\"\r\n"
// "nie zdołano utworzyć katalogu:\r\n<level>"). Shown in a notice when `showReport` and a
// creation was attempted. A path that is empty or all blanks is refused (false).
bool ForceDirectoriesReport(const std::filesystem::path& path, bool showReport);
// The report of the last ForceDirectoriesReport call.
const std::string& FolderCreationReport();

// Copies one file to `target` (never replacing an existing file or entering a folder of that
// name: a warning names it), creating the target's folder, verifying the copy (a plain file
// of the source's size) and, when `deleteSource`, deleting the source only after that.
// Reports through message boxes; true on success. A failed copy leaves neither a partial
// target nor a missing source.
bool CopyOrMoveFile(const std::filesystem::path& source, const std::filesystem::path& target, bool deleteSource);
// Copies (moves) every plain file matching `mask` (folder + name pattern), and when
// `recursive` those of its sub-folders as well (walked as in FindFilesRecursive), flat into
// `destination`. `count` = files copied. Result 0 when all were copied, otherwise 2 or more
// (2 for each folder with a failure). A mask without a folder or an empty destination: 2.
// With `kept`, a file kept back because its name exists in `destination` is added to it (its
// source path) instead of being named in a warning of its own; it still counts as a failure.
int CopyTree(const std::filesystem::path& mask, const std::filesystem::path& destination, int& count, bool recursive,
             bool move, PathList* kept = nullptr);

// The creation (birth time where the file system keeps it, else the modification time),
// last-write and last-access times of the first entry found for `name` (mask attributes
// 0x3F), as local day-number date-times. On failure an error box, false, outputs unchanged.
bool GetFileTimes(const std::filesystem::path& name, double& creation, double& lastWrite, double& lastAccess);
// "YYYYMMDDhhmmss" of the file's local creation time; empty when no plain file of that name.
std::string FileDateTimeText(const std::filesystem::path& name);

// Where ListDrives looks; tests point these at fixtures.
struct DriveSources {
    std::filesystem::path mountTable = "/proc/self/mounts";
    std::filesystem::path labelFolder = "/dev/disk/by-label";
    std::filesystem::path sysBlock = "/sys/block";
};
// One mounted file system as the drive list gives it.
struct DriveEntry {
    std::filesystem::path root;  // the mount point with a trailing separator
    int type = 0;                // 2 removable, 3 fixed, 4 network, 5 optical, 6 RAM
    std::string label;           // the volume label (code page 1250), empty when unknown
    bool operator==(const DriveEntry&) const = default;
};
// One entry per mounted file system, pseudo file systems and the system's own mounts under
// /proc, /sys, /dev and /run left out.
std::vector<DriveEntry> ListDrives();
std::vector<DriveEntry> ListDrives(const DriveSources& sources);

}  // namespace utility
