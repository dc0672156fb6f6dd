// The byte stream that holds a report's recorded pages. It starts in memory and moves itself
// into a temporary file ("RPP..." in the temporary folder, kept open, removed with the stream)
// on the write that makes it larger than its memory limit; it can also be opened read-only
// over a saved report file, which it never deletes. Every call is serialised on a recursive
// mutex of the stream's own.
#pragma once

#include <QString>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

class QFile;

namespace report::output {

inline constexpr std::int64_t kDefaultMemoryLimit = 250'000;

class TRpStream {
public:
    enum class Origin { Beginning, Current, End };

    // An empty stream in memory that moves to a temporary file past `memoryLimit` bytes.
    explicit TRpStream(std::int64_t memoryLimit = kDefaultMemoryLimit);
    ~TRpStream();
    TRpStream(const TRpStream&) = delete;
    TRpStream& operator=(const TRpStream&) = delete;

    // A stream over an existing file, opened for reading only; nullptr with `error` (English)
    // when the file cannot be opened.
    [[nodiscard]] static std::unique_ptr<TRpStream> CreateFromFile(const std::filesystem::path& fileName,
                                                                   std::string& error);

    // Reads up to `count` bytes at the position: bytes read, 0 at the end, -1 on a read error.
    [[nodiscard]] std::int64_t Read(void* buffer, std::int64_t count);
    // Writes at the position, growing the stream as needed: bytes written (fewer, or -1, on
    // failure, e.g. a stream over a report file, which is read-only).
    [[nodiscard]] std::int64_t Write(const void* buffer, std::int64_t count);
    // The new position, or -1 (position unchanged) for a position before the start.
    std::int64_t Seek(std::int64_t offset, Origin origin);
    [[nodiscard]] std::int64_t Position();
    [[nodiscard]] std::int64_t Size();

    // Reads the whole stream from position 0 in pieces of 10,240 bytes, handing each to `sink`.
    // False when a read fails, the sink refuses a piece or fewer bytes than the size arrive.
    [[nodiscard]] bool CopyTo(const std::function<bool(const char* data, std::int64_t size)>& sink);

    [[nodiscard]] bool InMemory();
    [[nodiscard]] std::int64_t MemoryLimit() const { return memoryLimit_; }
    // The temporary file's full name once the content has moved there; empty otherwise.
    [[nodiscard]] QString TempFileName();

    // Stands for the stream's lock where a caller needs several calls in one piece.
    std::recursive_mutex& Lock() { return lock_; }

private:
    TRpStream(std::unique_ptr<QFile> file);
    void MoveToTemporaryFile();

    std::recursive_mutex lock_;
    std::int64_t memoryLimit_;
    bool inMemory_ = true;
    bool moveFailed_ = false;
    std::string memory_;
    std::int64_t memoryPosition_ = 0;
    std::unique_ptr<QFile> file_;  // a QTemporaryFile once moved, or the opened report file
    QString tempFileName_;
};

}  // namespace report::output
