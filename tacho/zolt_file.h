// Reading a ZOLT record file: one 24,988-byte record (anything after it is ignored).
#pragma once

#include "tacho/zolt.h"

#include <filesystem>
#include <string>

namespace tacho {

// Reads the first record of `fileName` into `record`. False, with a Polish
// `error`, when the file is missing, is not a plain file (a folder, a named pipe), cannot be
// read or is shorter than one record; `record` is changed only on success.
[[nodiscard]] bool ReadZoltFile(const std::filesystem::path& fileName, CardImageD7& record, std::string& error);

// True when `fileName` has the extension ".ZOLT" in any letter case.
[[nodiscard]] bool HasZoltExtension(const std::filesystem::path& fileName);

}  // namespace tacho
