// Writing a new file so that nothing is lost: the bytes go to a temporary file in the target
// folder, which is moved into place only when complete and never over an existing file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

namespace tacho {

enum class NewFileResult { Written, Exists, Failed };

// Creates `path` holding `bytes`. Exists: a file of that name is already there and stays
// untouched. Failed: `error` (code page 1250) says why. On every result but Written no file
// of ours is left behind.
[[nodiscard]] NewFileResult WriteNewFile(const std::filesystem::path& path, std::span<const std::uint8_t> bytes,
                                         std::string& error);

} // namespace tacho
