// The executable's folder and the program's folder for data.
#pragma once

#include <filesystem>

namespace utility {

// Folder of the running executable, without a trailing separator ("/" stays "/").
std::filesystem::path ExecutableFolder();

// The program's folder for data, where its default DDD, ZOLT, KK1 and sponsor folders live:
// the user's data folder (QStandardPaths::AppDataLocation), created when missing, whatever
// the executable's folder. Never the executable's folder: a build or package folder goes with
// a rebuild or an upgrade, and drivers' downloads are records a company must keep. No trailing
// separator.
std::filesystem::path ProgramFolder();

// Tests: treat `folder` as the executable's folder; the empty path restores the real one.
void SetExecutableFolderForTesting(const std::filesystem::path& folder);

}  // namespace utility
