// The page stream: memory first, a temporary file past the memory limit.
#include "report/output/pages/page_stream.h"

#include "utility/cp1250.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTemporaryFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace report::output {
namespace {

Q_LOGGING_CATEGORY(lcPageStream, "kartovan.report.pagestream")

constexpr std::int64_t kCopyPiece = 10'240;

}  // namespace

TRpStream::TRpStream(std::int64_t memoryLimit) : memoryLimit_(memoryLimit) {}

TRpStream::TRpStream(std::unique_ptr<QFile> file) : memoryLimit_(0), inMemory_(false), file_(std::move(file)) {}

TRpStream::~TRpStream()
{
    std::lock_guard guard(lock_);
    // A QTemporaryFile removes its file when it is destroyed; a report file is only closed.
    file_.reset();
}

std::unique_ptr<TRpStream> TRpStream::CreateFromFile(const std::filesystem::path& fileName, std::string& error)
{
    const std::string name = utility::Utf8ToCp1250(fileName.string());
    // Opened without blocking and checked to be a plain file before anything is read: a named
    // pipe would otherwise stop the program until another one writes to it.
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "Cannot open the report file " + name + ": " + std::strerror(errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        error = "Not a report file: " + name;
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        error = "Cannot open the report file " + name + ": " + utility::QStringToCp1250(file->errorString());
        return nullptr;
    }
    error.clear();
    return std::unique_ptr<TRpStream>(new TRpStream(std::move(file)));
}

std::int64_t TRpStream::Read(void* buffer, std::int64_t count)
{
    std::lock_guard guard(lock_);
    if (count < 0)
        return -1;
    if (!inMemory_)
        return file_->read(static_cast<char*>(buffer), count);
    const std::int64_t size = static_cast<std::int64_t>(memory_.size());
    const std::int64_t n = std::clamp<std::int64_t>(size - memoryPosition_, 0, count);
    if (n > 0)
        std::memcpy(buffer, memory_.data() + memoryPosition_, static_cast<std::size_t>(n));
    memoryPosition_ += n;
    return n;
}

std::int64_t TRpStream::Write(const void* buffer, std::int64_t count)
{
    std::lock_guard guard(lock_);
    if (count < 0)
        return -1;
    if (!inMemory_)
        return file_->isWritable() ? file_->write(static_cast<const char*>(buffer), count) : -1;
    const std::size_t end = static_cast<std::size_t>(memoryPosition_ + count);
    if (end > memory_.size())
        memory_.resize(end);  // a position past the end leaves zeros between
    if (count > 0)
        std::memcpy(memory_.data() + memoryPosition_, buffer, static_cast<std::size_t>(count));
    memoryPosition_ += count;
    if (static_cast<std::int64_t>(memory_.size()) > memoryLimit_ && !moveFailed_)
        MoveToTemporaryFile();
    return count;
}

// Copies the content into a new temporary file and continues there at the same position.
// When the file cannot be made or written the content stays in memory: the pages are kept,
// only the memory use grows.
void TRpStream::MoveToTemporaryFile()
{
    auto temp = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/RPPXXXXXX"));
    // Unbuffered, so a write that fails (a full disk) fails at once and says so, instead of in
    // a later flush that nobody checks.
    if (!static_cast<QFile&>(*temp).open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        qCWarning(lcPageStream) << "cannot create a temporary page file:" << temp->errorString();
        moveFailed_ = true;
        return;
    }
    const std::int64_t size = static_cast<std::int64_t>(memory_.size());
    if (temp->write(memory_.data(), size) != size || !temp->seek(memoryPosition_)) {
        qCWarning(lcPageStream) << "cannot write the temporary page file:" << temp->errorString();
        moveFailed_ = true;
        return;
    }
    tempFileName_ = temp->fileName();
    file_ = std::move(temp);
    inMemory_ = false;
    std::string().swap(memory_);
    memoryPosition_ = 0;
}

std::int64_t TRpStream::Seek(std::int64_t offset, Origin origin)
{
    std::lock_guard guard(lock_);
    const std::int64_t base = origin == Origin::Beginning ? 0 : origin == Origin::Current ? Position() : Size();
    const std::int64_t target = base + offset;
    if (target < 0)
        return -1;
    if (inMemory_) {
        memoryPosition_ = target;
        return target;
    }
    return file_->seek(target) ? target : -1;
}

std::int64_t TRpStream::Position()
{
    std::lock_guard guard(lock_);
    return inMemory_ ? memoryPosition_ : file_->pos();
}

std::int64_t TRpStream::Size()
{
    std::lock_guard guard(lock_);
    return inMemory_ ? static_cast<std::int64_t>(memory_.size()) : file_->size();
}

bool TRpStream::CopyTo(const std::function<bool(const char* data, std::int64_t size)>& sink)
{
    std::lock_guard guard(lock_);
    const std::int64_t size = Size();
    if (Seek(0, Origin::Beginning) != 0)
        return false;
    std::vector<char> piece(kCopyPiece);
    std::int64_t copied = 0;
    for (;;) {
        const std::int64_t n = Read(piece.data(), kCopyPiece);
        if (n < 0)
            return false;
        if (n == 0)
            break;
        if (!sink(piece.data(), n))
            return false;
        copied += n;
    }
    return copied == size;
}

bool TRpStream::InMemory()
{
    std::lock_guard guard(lock_);
    return inMemory_;
}

QString TRpStream::TempFileName()
{
    std::lock_guard guard(lock_);
    return tempFileName_;
}

}  // namespace report::output
