// Paths, searches into lists, folder creation, copies of single files and trees, file times.
#include "utility/dos_ext.h"

#include "utility/cp1250.h"
#include "utility/datetime.h"
#include "utility/dialogi.h"
#include "utility/fmxutils.h"
#include "utility/syserror.h"

#include <QString>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <functional>

namespace utility {
namespace {

namespace fs = std::filesystem;

std::string g_folderCreationReport;

bool NameLess(const fs::path& a, const fs::path& b)
{
    const int folded = PathToQString(a).compare(PathToQString(b), Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a.native() < b.native();
}

void SortByName(std::vector<FoundEntry>& entries)
{
    std::sort(entries.begin(), entries.end(),
              [](const FoundEntry& a, const FoundEntry& b) { return NameLess(a.name, b.name); });
}

struct FileId {
    dev_t device = 0;
    ino_t inode = 0;
    bool valid = false;
};

FileId IdOf(const fs::path& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return {};
    return {st.st_dev, st.st_ino, true};
}

// A walk over a folder and, when recursive, its real sub-folders on the same file system.
// `onFile` gets each matching plain file with its folder relative to the start ("" or
// "sub/...") and returns false for a failure.
struct TreeWalk {
    fs::path pattern;
    unsigned attributes = kAttrArchive;
    bool recursive = false;
    dev_t device = 0;
    fs::path skipFolder;  // the destination of a copy, never walked into (it may appear during the walk)
    std::function<bool(const FoundEntry&, const fs::path&)> onFile;

    // 0 when every file succeeded, 2 for this folder's failures plus its sub-folders' results.
    int Run(const fs::path& folder, const fs::path& relative, int depth) const
    {
        int status = 0;
        std::vector<FoundEntry> files = SearchFolder(folder, pattern, attributes & ~kAttrDirectory);
        SortByName(files);
        for (const FoundEntry& file : files) {
            if ((file.attributes & kAttrDirectory) == 0 && !onFile(file, relative))
                status = 2;
            PumpMessages();
        }
        if (!recursive)
            return status;
        std::vector<FoundEntry> subs = SearchFolder(folder, "*", kAttrDirectory);
        SortByName(subs);
        const FileId skip = skipFolder.empty() ? FileId{} : IdOf(skipFolder);
        for (const FoundEntry& sub : subs) {
            struct stat st {};
            // Links to folders are not followed, other file systems (/proc, mounts) not entered.
            if (::lstat(sub.path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_dev != device)
                continue;
            if (skip.valid && st.st_dev == skip.device && st.st_ino == skip.inode)
                continue;
            if (depth >= kMaxScanDepth) {
                status += 2;
                continue;
            }
            status += Run(sub.path, relative / sub.name, depth + 1);
        }
        return status;
    }
};

// `kept`, when given, collects the sources kept back because the target exists, instead of
// a warning for each.
bool CopyOrMovePath(const fs::path& source, const fs::path& target, bool deleteSource, PathList* kept = nullptr)
{
    const std::string sourceText = PathToCp1250(source);
    const std::string targetText = PathToCp1250(target);
    const fs::path folder = target.parent_path();
    const std::string folderText = folder.empty() ? std::string() : PathToCp1250(NormalizePath(folder, true));
    // A folder of the target's name counts as well: the copy would otherwise land inside it.
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0) {
        if (kept)
            kept->push_back(source);
        else
            WarningBox(Pl("Plik o takiej nazwie\r\n") + sourceText + Pl("\r\njuż istnieje w\r\n") + folderText +
                       Pl(". Nie został skopiowany."));
        return false;
    }
    if (!folder.empty() && (!ForceDirectoriesReport(folder, false) || !IsDirectory(folder))) {
        ErrorBox(Pl("Nie zdołano utworzyć katalogu ") + folderText);
        return false;
    }
    bool copied = false;
    std::uint64_t bytes = 0;
    struct stat sourceStat {};
    try {
        if (::stat(source.c_str(), &sourceStat) == 0) {
            bytes = CopyFileInChunks(source, target, false);
            copied = true;
        }
    } catch (...) {
        copied = false;
    }
    struct stat targetStat {};
    const bool verified = copied && ::stat(target.c_str(), &targetStat) == 0 && S_ISREG(targetStat.st_mode) &&
                          static_cast<std::uint64_t>(targetStat.st_size) == bytes &&
                          static_cast<std::uint64_t>(sourceStat.st_size) == bytes;
    if (!verified) {
        // Only a target this call renamed into place is removed.
        if (copied)
            ::unlink(target.c_str());
        ErrorBox(Pl("Nie zdołano utworzyć pliku ") + targetText + Pl(" jako kopii ") + sourceText);
        return false;
    }
    if (deleteSource && ::unlink(source.c_str()) != 0) {
        ErrorBox(Pl("Nie zdołano usunąć skopiowanego pliku ") + sourceText);
        return false;
    }
    return true;
}

double LocalDateTime(const struct statx_timestamp& t)
{
    const std::time_t seconds = static_cast<std::time_t>(t.tv_sec);
    std::tm local{};
    if (::localtime_r(&seconds, &local) == nullptr)
        return 0;
    // Whole milliseconds, so the texts never round up into the next second.
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), static_cast<int>(t.tv_nsec / 1000000));
}

}  // namespace

fs::path FileNameWithoutExt(const fs::path& filePath)
{
    const std::string name = filePath.filename().native();
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return name;
    const int pos = LastPos(name.substr(dot), name);
    return name.substr(0, static_cast<std::size_t>(pos - 1));
}

bool FileExistsAttr(const fs::path& nameOrMask, unsigned attributes)
{
    return !SearchMask(nameOrMask, attributes).empty();
}

int CountMatchingFiles(const fs::path& mask, unsigned attributes)
{
    return static_cast<int>(SearchMask(mask, attributes).size());
}

bool DeleteMatchingFiles(const fs::path& mask)
{
    const fs::path folder = mask.parent_path();
    // A bare pattern has no folder to delete in.
    if (folder.empty())
        return false;
    std::vector<fs::path> files;
    for (const FoundEntry& e : SearchFolder(folder, mask.filename(), kAttrArchive))
        files.push_back(e.path);
    bool ok = true;
    for (const fs::path& file : files) {
        if (::unlink(file.c_str()) != 0)
            ok = false;
        PumpMessages();
    }
    return ok;
}

PathList FindFilesToList(const fs::path& mask, unsigned attributes, bool sorted)
{
    std::vector<FoundEntry> found = SearchMask(mask, attributes);
    if (sorted)
        SortByName(found);
    PathList names;
    for (const FoundEntry& e : found) {
        names.push_back(e.name);
        PumpMessages();
    }
    return names;
}

std::optional<PathList> FindFilesRecursive(const fs::path& folder, const fs::path& nameMask, unsigned attributes)
{
    if ((attributes & kAttrDirectory) != 0)
        return std::nullopt;
    PathList names;
    const fs::path startPath = StripTrailingBackslash(folder);
    // An empty folder would mean the whole root.
    if (startPath.empty())
        return names;
    struct stat st {};
    if (::stat(startPath.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return names;
    TreeWalk walk;
    walk.pattern = nameMask;
    walk.attributes = attributes;
    walk.recursive = true;
    walk.device = st.st_dev;
    walk.onFile = [&names](const FoundEntry& e, const fs::path& relative) {
        names.push_back(relative / e.name);
        return true;
    };
    (void)walk.Run(startPath, fs::path(), 0);
    return names;
}

const std::string& FolderCreationReport() { return g_folderCreationReport; }

bool ForceDirectoriesReport(const fs::path& path, bool showReport)
{
    g_folderCreationReport.clear();
    // A path of blanks only would be a folder in whatever folder is current.
    if (TrimBoth(path.native()).empty()) {
        g_folderCreationReport = Pl("\r\nNie podano nazwy katalogu.");
        return false;
    }
    fs::path current;
    std::vector<fs::path> created;
    fs::path failed;
    bool attempted = false;
    for (const fs::path& level : path) {
        // A trailing separator gives an empty last level.
        if (level.empty())
            continue;
        current /= level;
        if (IsDirectory(current))
            continue;
        attempted = true;
        if (::mkdir(current.c_str(), 0777) == 0 && IsDirectory(current)) {
            created.push_back(current);
        } else {
            failed = current;
            break;
        }
    }
    std::string report;
    for (std::size_t i = 0; i < created.size(); ++i) {
        report += i == 0 ? Pl("Utworzono katalog (-i):\r\n") : std::string("\r\n");
        report += PathToCp1250(created[i]);
    }
    report += "\r\n";
    if (!failed.empty()) {
        const std::string failedText = PathToCp1250(failed);
        report +=
            Pl("Tworząc katalog\r\n\"") + failedText + Pl("\"\r\nnie zdołano utworzyć katalogu:\r\n") + failedText;
    }
    g_folderCreationReport = report;
    if (showReport && attempted)
        NoticeBox(g_folderCreationReport);
    return failed.empty();
}

bool CopyOrMoveFile(const fs::path& source, const fs::path& target, bool deleteSource)
{
    try {
        return CopyOrMovePath(source, target, deleteSource);
    } catch (...) {
        return false;
    }
}

int CopyTree(const fs::path& mask, const fs::path& destination, int& count, bool recursive, bool move, PathList* kept)
{
    count = 0;
    const fs::path folder = mask.parent_path();
    // Neither side may silently become the current or the root folder.
    if (folder.empty() || TrimBoth(destination.native()).empty())
        return 2;
    const fs::path target = NormalizePath(destination, true);
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return 0;
    TreeWalk walk;
    walk.pattern = mask.filename();
    walk.recursive = recursive;
    walk.device = st.st_dev;
    walk.skipFolder = target;
    walk.onFile = [&](const FoundEntry& e, const fs::path&) {
        const bool ok = CopyOrMovePath(e.path, target / e.name, move, kept);
        if (ok)
            ++count;
        return ok;
    };
    try {
        return walk.Run(folder, fs::path(), 0);
    } catch (...) {
        return 2;
    }
}

bool GetFileTimes(const fs::path& name, double& creation, double& lastWrite, double& lastAccess)
{
    const std::vector<FoundEntry> found = SearchMask(name, kAttrAny);
    int error = ENOENT;
    if (!found.empty()) {
        struct statx sx {};
        if (::statx(AT_FDCWD, found.front().path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &sx) == 0) {
            creation = LocalDateTime((sx.stx_mask & STATX_BTIME) != 0 ? sx.stx_btime : sx.stx_mtime);
            lastWrite = LocalDateTime(sx.stx_mtime);
            lastAccess = LocalDateTime(sx.stx_atime);
            return true;
        }
        error = errno;
    }
    ErrorBox(Pl("Błąd określania czasów plików\r\n") + SystemErrorText(error));
    return false;
}

std::string FileDateTimeText(const fs::path& name)
{
    if (!FileExistsAttr(name, kAttrArchive))
        return {};
    double creation = 0, lastWrite = 0, lastAccess = 0;
    if (!GetFileTimes(name, creation, lastWrite, lastAccess))
        return {};
    return DateToYYYYMMDD(creation) + TimeToHHMMSS(creation);
}

}  // namespace utility
