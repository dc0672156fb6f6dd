#include "utility/filesearch.h"

#include "utility/paths.h"

#include <QCoreApplication>
#include <QString>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace utility {
namespace {

namespace fs = std::filesystem;

// Entries with these attributes are found only when the search asks for them.
constexpr unsigned kSpecialAttributes = kAttrHidden | kAttrSystem | kAttrVolume | kAttrDirectory;

bool Matches(const QString& pattern, const QString& name)
{
    // Iterative glob with one backtracking point per "*".
    qsizetype p = 0, n = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == QLatin1Char('?') || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

QString FoldedPattern(const fs::path& pattern)
{
    QString folded = PathToQString(pattern).toCaseFolded();
    if (folded == QLatin1String("*.*"))
        folded = QStringLiteral("*");
    return folded;
}

bool HasWildcards(const fs::path& pattern) { return pattern.native().find_first_of("*?") != std::string::npos; }

bool Passes(unsigned entryAttributes, unsigned searchAttributes)
{
    return (entryAttributes & ~searchAttributes & kSpecialAttributes) == 0;
}

}  // namespace

bool MaskMatchesName(const fs::path& pattern, const fs::path& name)
{
    return Matches(FoldedPattern(pattern), PathToQString(name).toCaseFolded());
}

bool EntryAttributes(const fs::path& path, unsigned& attributes)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return false;
    if (S_ISDIR(st.st_mode))
        attributes = kAttrDirectory;
    else if (S_ISREG(st.st_mode))
        attributes = kAttrArchive;
    else
        return false;
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || (::access(path.c_str(), W_OK) != 0 && errno == EROFS))
        attributes |= kAttrReadOnly;
    const std::string name = path.filename().string();
    if (!name.empty() && name[0] == '.' && name != "." && name != "..")
        attributes |= kAttrHidden;
    return true;
}

bool IsDirectory(const fs::path& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<FoundEntry> SearchFolder(const fs::path& folder, const fs::path& pattern, unsigned attributes)
{
    std::vector<FoundEntry> found;
    if (pattern.empty())
        return found;
    const fs::path base = folder.empty() ? fs::path(".") : folder;
    unsigned attr = 0;
    if (!HasWildcards(pattern)) {
        // The exact name first; a scan is needed only to find it under another letter case.
        const fs::path exact = base / pattern;
        if (EntryAttributes(exact, attr)) {
            if (Passes(attr, attributes))
                found.push_back({folder / exact.filename(), exact.filename(), attr});
            return found;
        }
    }
    const QString folded = FoldedPattern(pattern);
    std::error_code ec;
    fs::directory_iterator it(base, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const fs::path name = it->path().filename();
        if (!Matches(folded, PathToQString(name).toCaseFolded()))
            continue;
        if (EntryAttributes(it->path(), attr) && Passes(attr, attributes))
            found.push_back({folder / name, name, attr});
    }
    return found;
}

std::vector<FoundEntry> SearchMask(const fs::path& mask, unsigned attributes)
{
    return SearchFolder(mask.parent_path(), mask.filename(), attributes);
}

void PumpMessages()
{
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents();
}

}  // namespace utility
