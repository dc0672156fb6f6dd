// Temporary file + fsync + rename, with a rename that refuses to replace.
#include "utility/atomic_write.h"

#include "utility/cp1250.h"
#include "utility/paths.h"
#include "utility/rename_no_replace.h"
#include "utility/syserror.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace utility {
namespace {

namespace fs = std::filesystem;

// Keeps the temporary name within NAME_MAX, cut on a UTF-8 character boundary.
std::string ShortenedName(const std::string& name)
{
    constexpr std::size_t kKeep = 200;
    if (name.size() <= kKeep)
        return name;
    std::size_t cut = kKeep;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;
    return name.substr(0, cut);
}

bool Exists(const fs::path& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

void SyncFolder(const fs::path& folder)
{
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        (void)::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

AtomicFileWriter::AtomicFileWriter(fs::path target) : target_(std::move(target))
{
    static unsigned counter = 0;
    const fs::path folder = target_.parent_path();
    // Built by appending: "." + std::string trips GCC 12's -Wrestrict (GCC bug 105651).
    std::string base(1, '.');
    base += ShortenedName(target_.filename().string());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = base + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter) + ".tmp";
        temp_ = folder / name;
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd_ >= 0)
            return;
        if (errno != EEXIST)
            break;
    }
    const int error = errno;
    temp_.clear();
    Fail(Pl("Nie można utworzyć pliku \"") + PathToCp1250(target_) + "\".", error);
}

AtomicFileWriter::~AtomicFileWriter()
{
    if (!committed_)
        Discard();
}

void AtomicFileWriter::Fail(const std::string& what, int error)
{
    if (error_.empty())
        error_ = what + "\r\n" + SystemErrorText(error);
}

void AtomicFileWriter::Discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

bool AtomicFileWriter::Write(const void* data, std::size_t size)
{
    if (!ok() || fd_ < 0)
        return false;
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd_, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // write() returning 0 for a non-empty buffer is a full medium as well.
            Fail(Pl("Błąd zapisu pliku \"") + PathToCp1250(target_) + "\".", n < 0 ? errno : ENOSPC);
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
        written_ += static_cast<std::uint64_t>(n);
    }
    return true;
}

WriteResult AtomicFileWriter::Commit(bool allowReplace)
{
    if (committed_)
        return {WriteStatus::Failed, Pl("Plik został już zapisany.")};
    if (ok() && fd_ >= 0) {
        if (::fsync(fd_) != 0)
            Fail(Pl("Błąd zapisu pliku \"") + PathToCp1250(target_) + "\".", errno);
        // close() reports delayed write errors (network file systems).
        const int closed = ::close(fd_);
        fd_ = -1;
        if (closed != 0 && ok())
            Fail(Pl("Błąd zapisu pliku \"") + PathToCp1250(target_) + "\".", errno);
    }
    if (!ok()) {
        Discard();
        return {WriteStatus::Failed, error_};
    }
    const int error =
        allowReplace ? (::rename(temp_.c_str(), target_.c_str()) == 0 ? 0 : errno) : RenameNoReplace(temp_, target_);
    if (error != 0) {
        Discard();
        if (error == EEXIST && !allowReplace)
            return {WriteStatus::Exists, Pl("Plik już istnieje: ") + PathToCp1250(target_)};
        Fail(Pl("Nie można utworzyć pliku \"") + PathToCp1250(target_) + "\".", error);
        return {WriteStatus::Failed, error_};
    }
    committed_ = true;
    temp_.clear();
    SyncFolder(target_.parent_path());
    return {WriteStatus::Written, {}};
}

WriteResult WriteFileAtomically(const fs::path& target, std::string_view bytes, bool allowReplace)
{
    if (target.empty() || !target.has_filename())
        return {WriteStatus::Failed, Pl("Nie podano nazwy pliku.")};
    if (!allowReplace && Exists(target))
        return {WriteStatus::Exists, Pl("Plik już istnieje: ") + PathToCp1250(target)};
    AtomicFileWriter writer(target);
    if (!writer.Write(bytes.data(), bytes.size()))
        return {WriteStatus::Failed, writer.Error()};
    return writer.Commit(allowReplace);
}

}  // namespace utility
