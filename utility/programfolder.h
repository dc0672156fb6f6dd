// The program's folder: where its default data folders (DDD, ZOLT, KK1, sponsor files) live.
#pragma once

#include <string>

namespace utility {

// Folder of the running executable, CP1250 text without a trailing separator ("/" stays "/").
std::string ExecutableFolder();

// ExecutableFolder() when that folder is writable, otherwise the user's data folder
// (QStandardPaths::AppDataLocation, created when missing). CP1250, no trailing separator.
std::string ProgramFolder();

// Tests: treat `folder` (CP1250) as the executable's folder; the empty text restores the real one.
void SetExecutableFolderForTesting(const std::string& folder);

} // namespace utility
