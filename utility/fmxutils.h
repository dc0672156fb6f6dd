// Chunked file copy and the attribute test of one file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace utility {

// Raised by CopyFileInChunks; what() is a Polish text (code page 1250) with the file name.
class EFileError : public std::runtime_error {
public:
    enum class Kind { Open, Create, Read, Write };
    EFileError(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
    Kind kind() const { return kind_; }

private:
    Kind kind_;
};

inline constexpr std::size_t kCopyChunkSize = 8192;

// Copies the source's bytes to `destination`, a file or an existing folder (then the
// source's name is appended), through one 8,192-byte buffer, replacing an existing file as a
// whole only once the copy is complete; with `allowReplace` false an existing destination is
// kept (EFileError Create). Refuses to copy a file onto itself and a source that is not a
// regular file. Times and attributes are not copied. Returns the number of bytes copied;
// raises EFileError.
std::uint64_t CopyFileInChunks(const std::filesystem::path& source, const std::filesystem::path& destination,
                               bool allowReplace = true);

// True when the file's attributes (see utility/filesearch.h) include every one given; when
// they cannot be read, true only for an empty set.
bool FileHasAttributes(const std::filesystem::path& name, unsigned attributes);

}  // namespace utility
