// Naming and writing the ZOLT record file that every card read leaves in the ZOLT folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

namespace smartcard {

// Card holder texts (code page 1250) that go into the file name.
struct TZoltHolder {
    std::string pesel;
    std::string surname;
    std::string firstNames;
};

// YYMMDD + HMM (hour without leading zero) + "_" + PESEL + the first 10 characters of the
// surname + the first character of the first names + suffix + ".zolt", without the
// characters that file names must not contain (so the name never leaves its folder).
// `suffix` is empty or "_" + random text.
std::string ZoltFileName(double now, const TZoltHolder& holder, const std::string& suffix);

// The first name, with N = 0, 1, 2, ... random characters after "_", that no entry in
// `folder` has. Throws std::runtime_error when no free name turns up.
std::filesystem::path MakeZoltFilePath(const std::filesystem::path& folder, double now, const TZoltHolder& holder,
                                       const std::function<std::string(int)>& randomText);

// Writes `record` as the whole file `path`, appearing whole or not at all; an existing file
// is never replaced. Throws std::runtime_error with a Polish text on failure.
void WriteZoltFile(const std::filesystem::path& path, std::span<const std::uint8_t> record);

}  // namespace smartcard
