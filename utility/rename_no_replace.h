// Renaming a file without ever replacing a file of the new name.
#pragma once

#include <filesystem>

namespace utility {

// The system calls the rename is made of; each returns 0, or -1 with errno set.
struct RenameCalls {
    int (*renameNoReplace)(const char* from, const char* to);  // renameat2 with RENAME_NOREPLACE
    int (*link)(const char* from, const char* to);
    int (*rename)(const char* from, const char* to);  // replaces a file of the new name
};
// The real calls.
const RenameCalls& SystemRenameCalls();

// Renames `from` to `to`; 0, or the errno of the failure: EEXIST when an entry named `to`
// exists, which is then left untouched. Where the file system cannot rename without replacing,
// a hard link takes the new name atomically; where it has no hard links either (FAT, some
// network file systems), the new name is first created exclusively as an empty file and the
// rename then replaces only that. On every failure `from` keeps its name.
[[nodiscard]] int RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to);
// The same over the calls given (tests).
[[nodiscard]] int RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to,
                                  const RenameCalls& calls);

}  // namespace utility
