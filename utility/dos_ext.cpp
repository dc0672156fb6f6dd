// Paths, searches into lists, folder creation, copies of single files and trees, file times.
#include "utility/dos_ext.h"

#include "utility/cp1250.h"
#include "utility/datetime.h"
#include "utility/dialogi.h"
#include "utility/fmxutils.h"
#include "utility/syserror.h"

#include <QString>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace utility {
namespace {

namespace fs = std::filesystem;

std::string g_folderCreationReport;

fs::path ToPath(std::string_view text)
{
    return fs::path(Cp1250ToUtf8(text));
}

std::string PathText(const fs::path& path)
{
    return Utf8ToCp1250(path.string());
}

bool NameLess(const std::string& a, const std::string& b)
{
    const int folded = QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()))
                           .compare(QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size())), Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
}

void SortByName(std::vector<FoundEntry>& entries)
{
    std::sort(entries.begin(), entries.end(), [](const FoundEntry& a, const FoundEntry& b) { return NameLess(a.name, b.name); });
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
    std::string pattern;
    unsigned attributes = kAttrArchive;
    bool recursive = false;
    dev_t device = 0;
    fs::path skipFolder;  // the destination of a copy, never walked into (it may appear during the walk)
    std::function<bool(const FoundEntry&, const std::string&)> onFile;

    // 0 when every file succeeded, 2 for this folder's failures plus its sub-folders' results.
    int Run(const fs::path& folder, const std::string& relative, int depth) const
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
            status += Run(sub.path, relative + sub.name + "/", depth + 1);
        }
        return status;
    }
};

std::string FolderPartText(const fs::path& path)
{
    const std::string text = PathText(path);
    const std::size_t slash = text.rfind('/');
    return slash == std::string::npos ? std::string() : text.substr(0, slash + 1);
}

// `kept`, when given, collects the sources kept back because the target exists, instead of
// a warning for each.
bool CopyOrMovePath(const fs::path& source, const fs::path& target, bool deleteSource, StringList* kept = nullptr)
{
    const std::string sourceText = PathText(source);
    const std::string targetText = PathText(target);
    const std::string folderText = FolderPartText(target);
    // A folder of the target's name counts as well: the copy would otherwise land inside it.
    struct stat st {};
    if (::lstat(target.c_str(), &st) == 0) {
        if (kept)
            kept->push_back(sourceText);
        else
            WarningBox(Pl("Plik o takiej nazwie\r\n") + sourceText + Pl("\r\njuż istnieje w\r\n") + folderText +
                       Pl(". Nie został skopiowany."));
        return false;
    }
    if (!ForceDirectoriesReport(folderText, false) || !IsDirectory(ToPath(folderText))) {
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
    std::tm local {};
    if (::localtime_r(&seconds, &local) == nullptr)
        return 0;
    // Whole milliseconds, so the texts never round up into the next second.
    return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59), static_cast<int>(t.tv_nsec / 1000000));
}

} // namespace

std::string NormalizePath(std::string_view path, bool addSeparator)
{
    std::string result = ReplaceChar(TrimBoth(path), '\\', '/');
    const bool hadSeparator = !result.empty() && result.back() == '/';
    while (!result.empty() && result.back() == '/')
        result.pop_back();
    if (addSeparator)
        return result + "/";
    // The root has no form without its separator.
    if (result.empty() && hadSeparator)
        return "/";
    return result;
}

std::string StripTrailingBackslash(std::string_view path)
{
    return NormalizePath(path, false);
}

std::string FileNameWithoutExt(std::string_view filePath)
{
    const std::size_t slash = filePath.rfind('/');
    const std::string name(slash == std::string_view::npos ? filePath : filePath.substr(slash + 1));
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return name;
    const int pos = LastPos(name.substr(dot), name);
    return name.substr(0, static_cast<std::size_t>(pos - 1));
}

bool FileExistsAttr(std::string_view nameOrMask, unsigned attributes)
{
    return !SearchMask(nameOrMask, attributes).empty();
}

int CountMatchingFiles(std::string_view mask, unsigned attributes)
{
    return static_cast<int>(SearchMask(mask, attributes).size());
}

bool DeleteMatchingFiles(std::string_view mask)
{
    fs::path folder;
    std::string pattern;
    SplitMask(mask, folder, pattern);
    // A bare pattern has no folder to delete in.
    if (folder.empty())
        return false;
    std::vector<fs::path> files;
    for (const FoundEntry& e : SearchFolder(folder, pattern, kAttrArchive))
        files.push_back(e.path);
    bool ok = true;
    for (const fs::path& file : files) {
        if (::unlink(file.c_str()) != 0)
            ok = false;
        PumpMessages();
    }
    return ok;
}

StringList FindFilesToList(std::string_view mask, unsigned attributes, bool sorted)
{
    std::vector<FoundEntry> found = SearchMask(mask, attributes);
    if (sorted)
        SortByName(found);
    StringList names;
    for (const FoundEntry& e : found) {
        names.push_back(Utf8ToCp1250(e.name));
        PumpMessages();
    }
    return names;
}

std::optional<StringList> FindFilesRecursive(std::string_view folder, std::string_view nameMask, unsigned attributes)
{
    if ((attributes & kAttrDirectory) != 0)
        return std::nullopt;
    StringList names;
    const std::string start = StripTrailingBackslash(folder);
    // An empty folder would mean the whole root.
    if (start.empty())
        return names;
    const fs::path startPath = ToPath(start);
    struct stat st {};
    if (::stat(startPath.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return names;
    TreeWalk walk;
    walk.pattern = std::string(nameMask);
    walk.attributes = attributes;
    walk.recursive = true;
    walk.device = st.st_dev;
    walk.onFile = [&names](const FoundEntry& e, const std::string& relative) {
        names.push_back(Utf8ToCp1250(relative + e.name));
        return true;
    };
    (void)walk.Run(startPath, std::string(), 0);
    return names;
}

const std::string& FolderCreationReport()
{
    return g_folderCreationReport;
}

bool ForceDirectoriesReport(std::string_view path, bool showReport)
{
    g_folderCreationReport.clear();
    if (TrimBoth(path).empty()) {
        g_folderCreationReport = Pl("\r\nNie podano nazwy katalogu.");
        return false;
    }
    std::string p = NormalizePath(path, true);
    p.pop_back();
    const bool absolute = !p.empty() && p.front() == '/';
    std::string current;
    StringList created;
    std::string failed;
    bool attempted = false;
    for (const std::string& level : SplitToList("/", "\0", p)) {
        if (level.empty())
            continue;
        current = (current.empty() && !absolute) ? level : current + "/" + level;
        const fs::path currentPath = ToPath(current);
        if (IsDirectory(currentPath))
            continue;
        attempted = true;
        if (::mkdir(currentPath.c_str(), 0777) == 0 && IsDirectory(currentPath)) {
            created.push_back(current);
        } else {
            failed = current;
            break;
        }
    }
    std::string report;
    if (!created.empty()) {
        report = Pl("Utworzono katalog (-i):\r\n") + created.front();
        for (std::size_t i = 1; i < created.size(); ++i)
            report += "\r\n" + created[i];
    }
    report += "\r\n";
    if (!failed.empty())
        report += Pl("Tworząc katalog\r\n\"") + failed + Pl("\"\r\nnie zdołano utworzyć katalogu:\r\n") + failed;
    g_folderCreationReport = report;
    if (showReport && attempted)
        NoticeBox(g_folderCreationReport);
    return failed.empty();
}

bool CopyOrMoveFile(std::string_view source, std::string_view target, bool deleteSource)
{
    try {
        return CopyOrMovePath(ToPath(source), ToPath(target), deleteSource);
    } catch (...) {
        return false;
    }
}

int CopyTree(std::string_view mask, std::string_view destination, int& count, bool recursive, bool move,
             StringList* kept)
{
    count = 0;
    fs::path folder;
    std::string pattern;
    SplitMask(mask, folder, pattern);
    // Neither side may silently become the current or the root folder.
    if (folder.empty() || TrimBoth(destination).empty())
        return 2;
    const fs::path target = ToPath(NormalizePath(destination, true));
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        return 0;
    TreeWalk walk;
    walk.pattern = pattern;
    walk.recursive = recursive;
    walk.device = st.st_dev;
    walk.skipFolder = target;
    walk.onFile = [&](const FoundEntry& e, const std::string&) {
        const bool ok = CopyOrMovePath(e.path, target / e.name, move, kept);
        if (ok)
            ++count;
        return ok;
    };
    try {
        return walk.Run(folder, std::string(), 0);
    } catch (...) {
        return 2;
    }
}

bool GetFileTimes(std::string_view name, double& creation, double& lastWrite, double& lastAccess)
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

std::string FileDateTimeText(std::string_view name)
{
    if (!FileExistsAttr(name, kAttrArchive))
        return {};
    double creation = 0, lastWrite = 0, lastAccess = 0;
    if (!GetFileTimes(name, creation, lastWrite, lastAccess))
        return {};
    return DateToYYYYMMDD(creation) + TimeToHHMMSS(creation);
}

} // namespace utility
