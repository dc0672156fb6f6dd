// Writing a file so that it appears whole or not at all: the bytes go to a hidden temporary
// file in the target's own folder, are flushed to the disk (fsync) and closed, and only then
// is the temporary file renamed into place. Unless replacing is allowed, an existing file of
// the target's name is never touched, even when it appears while we write. Every failure
// removes the temporary file. Error texts are Polish, code page 1250.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace utility {

// The file writers' result codes.
enum class WriteStatus {
    Written = 0,
    Exists = 1,  // the target existed and replacing was not allowed; nothing was written
    Failed = 2,  // see the error text; the target is unchanged
};

struct WriteResult {
    WriteStatus status = WriteStatus::Failed;
    std::string error;  // empty when written
    bool ok() const { return status == WriteStatus::Written; }
};

// Writes `bytes` as the file `target` (UTF-8 path).
[[nodiscard]] WriteResult WriteFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                                              bool allowReplace);

// The same in steps, for data written in pieces. Check ok() after construction and after
// each Write; the destructor removes the temporary file unless Commit succeeded.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::filesystem::path target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Appends the bytes; false (and the error kept) on any failure, including a short write.
    bool Write(const void* data, std::size_t size);
    // Flushes, closes and renames into place. Exists when the target exists and replacing is
    // not allowed. After a failed Write, reports that failure.
    [[nodiscard]] WriteResult Commit(bool allowReplace);

    bool ok() const { return error_.empty(); }
    const std::string& Error() const { return error_; }
    std::uint64_t BytesWritten() const { return written_; }
    const std::filesystem::path& TemporaryPath() const { return temp_; }

private:
    void Fail(const std::string& what, int error);
    void Discard();

    std::filesystem::path target_;
    std::filesystem::path temp_;
    int fd_ = -1;
    std::uint64_t written_ = 0;
    std::string error_;
    bool committed_ = false;
};

}  // namespace utility
