#include "utility/filesearch.h"

#include "utility/cp1250.h"

#include <QCoreApplication>
#include <QString>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

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

QString FoldedPattern(std::string_view pattern)
{
    QString folded = Cp1250ToQString(pattern).toCaseFolded();
    if (folded == QLatin1String("*.*"))
        folded = QStringLiteral("*");
    return folded;
}

bool HasWildcards(std::string_view pattern)
{
    return pattern.find_first_of("*?") != std::string_view::npos;
}

bool Passes(unsigned entryAttributes, unsigned searchAttributes)
{
    return (entryAttributes & ~searchAttributes & kSpecialAttributes) == 0;
}

} // namespace

bool MaskMatchesName(std::string_view pattern, std::string_view name)
{
    return Matches(FoldedPattern(pattern), Cp1250ToQString(name).toCaseFolded());
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

void SplitMask(std::string_view mask, fs::path& folder, std::string& pattern)
{
    const std::size_t slash = mask.rfind('/');
    if (slash == std::string_view::npos) {
        folder.clear();
        pattern = std::string(mask);
        return;
    }
    // "/x" keeps the root as its folder.
    folder = fs::path(Cp1250ToUtf8(mask.substr(0, slash == 0 ? 1 : slash)));
    pattern = std::string(mask.substr(slash + 1));
}

std::vector<FoundEntry> SearchFolder(const fs::path& folder, std::string_view pattern, unsigned attributes)
{
    std::vector<FoundEntry> found;
    if (pattern.empty())
        return found;
    const fs::path base = folder.empty() ? fs::path(".") : folder;
    unsigned attr = 0;
    if (!HasWildcards(pattern)) {
        // The exact name first; a scan is needed only to find it under another letter case.
        const fs::path exact = base / fs::path(Cp1250ToUtf8(pattern));
        if (EntryAttributes(exact, attr)) {
            if (Passes(attr, attributes))
                found.push_back({folder / exact.filename(), exact.filename().string(), attr});
            return found;
        }
    }
    const QString folded = FoldedPattern(pattern);
    std::error_code ec;
    fs::directory_iterator it(base, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!Matches(folded, QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).toCaseFolded()))
            continue;
        if (EntryAttributes(it->path(), attr) && Passes(attr, attributes))
            found.push_back({folder / name, name, attr});
    }
    return found;
}

std::vector<FoundEntry> SearchMask(std::string_view mask, unsigned attributes)
{
    fs::path folder;
    std::string pattern;
    SplitMask(mask, folder, pattern);
    return SearchFolder(folder, pattern, attributes);
}

void PumpMessages()
{
    if (QCoreApplication::instance() != nullptr)
        QCoreApplication::processEvents();
}

} // namespace utility

