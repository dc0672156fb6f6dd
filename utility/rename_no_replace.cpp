#include "utility/rename_no_replace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace utility {
namespace {

namespace fs = std::filesystem;

int SystemRenameNoReplace(const char* from, const char* to)
{
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

int SystemLink(const char* from, const char* to) { return ::link(from, to); }

int SystemRename(const char* from, const char* to) { return std::rename(from, to); }

// The answers of a file system (or kernel) that does not know the no-replace rename.
bool NoNoReplaceRename(int error) { return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP; }

// The answers of one without hard links; EPERM also comes from a link to another user's file
// refused by the kernel's protected_hardlinks.
bool NoHardLink(int error) { return error == EPERM || error == EOPNOTSUPP || error == ENOSYS; }

int ErrorOf(int result) { return result == 0 ? 0 : errno; }

// The new name is held by an empty file made exclusively, so no one else's file is replaced.
int RenameOverPlaceholder(const fs::path& from, const fs::path& to, const RenameCalls& calls)
{
    const int fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    ::close(fd);
    const int error = ErrorOf(calls.rename(from.c_str(), to.c_str()));
    if (error != 0)
        ::unlink(to.c_str());
    return error;
}

}  // namespace

const RenameCalls& SystemRenameCalls()
{
    static const RenameCalls calls{&SystemRenameNoReplace, &SystemLink, &SystemRename};
    return calls;
}

int RenameNoReplace(const fs::path& from, const fs::path& to) { return RenameNoReplace(from, to, SystemRenameCalls()); }

int RenameNoReplace(const fs::path& from, const fs::path& to, const RenameCalls& calls)
{
    int error = ErrorOf(calls.renameNoReplace(from.c_str(), to.c_str()));
    if (error == 0 || !NoNoReplaceRename(error))
        return error;
    error = ErrorOf(calls.link(from.c_str(), to.c_str()));
    if (error == 0) {
        if (::unlink(from.c_str()) == 0)
            return 0;
        // Both names would stay: take the new one back, so the file keeps its old name only.
        error = errno;
        ::unlink(to.c_str());
        return error;
    }
    if (!NoHardLink(error))
        return error;
    return RenameOverPlaceholder(from, to, calls);
}

}  // namespace utility
