#include "utility/fmxutils.h"

#include "utility/atomic_write.h"
#include "utility/cp1250.h"
#include "utility/filesearch.h"
#include "utility/paths.h"
#include "utility/syserror.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>

namespace utility {
namespace {

namespace fs = std::filesystem;

[[noreturn]] void Raise(EFileError::Kind kind, const char* wordingUtf8, const fs::path& path, const std::string& reason)
{
    throw EFileError(kind, Pl(wordingUtf8) + PathToCp1250(path) + "\".\r\n" + reason);
}

class SourceFile {
public:
    explicit SourceFile(const fs::path& path)
    {
        // Non-blocking, so a named pipe cannot hang the open; regular files ignore the flag.
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd_ < 0)
            Raise(EFileError::Kind::Open, "Nie można otworzyć pliku \"", path, SystemErrorText(errno));
        if (::fstat(fd_, &stat_) != 0 || !S_ISREG(stat_.st_mode))
            Raise(EFileError::Kind::Open, "Nie można otworzyć pliku \"", path, Pl("To nie jest zwykły plik."));
    }
    ~SourceFile()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    SourceFile(const SourceFile&) = delete;
    SourceFile& operator=(const SourceFile&) = delete;
    int fd() const { return fd_; }
    const struct stat& info() const { return stat_; }

private:
    int fd_ = -1;
    struct stat stat_ {};
};

}  // namespace

std::uint64_t CopyFileInChunks(const fs::path& source, const fs::path& destination, bool allowReplace)
{
    std::error_code ec;
    fs::path target = fs::absolute(destination, ec);
    if (ec)
        target = destination;
    if (fs::is_directory(target, ec))
        target /= source.filename();

    SourceFile in(source);
    struct stat targetStat {};
    if (::stat(target.c_str(), &targetStat) == 0) {
        if (targetStat.st_dev == in.info().st_dev && targetStat.st_ino == in.info().st_ino)
            Raise(EFileError::Kind::Create, "Nie można utworzyć pliku \"", target,
                  Pl("Plik źródłowy i docelowy to ten sam plik."));
        if (!allowReplace)
            Raise(EFileError::Kind::Create, "Nie można utworzyć pliku \"", target, SystemErrorText(EEXIST));
    }

    AtomicFileWriter out(target);
    if (!out.ok())
        throw EFileError(EFileError::Kind::Create, out.Error());
    std::array<char, kCopyChunkSize> buffer;
    for (;;) {
        const ssize_t n = ::read(in.fd(), buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            Raise(EFileError::Kind::Read, "Błąd odczytu pliku \"", source, SystemErrorText(errno));
        if (n == 0)
            break;
        if (!out.Write(buffer.data(), static_cast<std::size_t>(n)))
            throw EFileError(EFileError::Kind::Write, out.Error());
    }
    const WriteResult result = out.Commit(allowReplace);
    if (!result.ok())
        throw EFileError(result.status == WriteStatus::Exists ? EFileError::Kind::Create : EFileError::Kind::Write,
                         result.error);
    return out.BytesWritten();
}

bool FileHasAttributes(const fs::path& name, unsigned attributes)
{
    unsigned actual = 0;
    if (!EntryAttributes(name, actual))
        return attributes == 0;
    return (actual & attributes) == attributes;
}

}  // namespace utility
