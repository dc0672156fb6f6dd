// Folder of the ZOLT record files.
#include "tacho/zolt.h"
#include "utility/paths.h"
#include "utility/programfolder.h"
#include "utility/win_ext.h"

#include <filesystem>
#include <system_error>

namespace tacho {
namespace {

// True when `folder` is a directory afterwards. A plain file of that name does not count:
// every record written "into" it would fail.
bool EnsureZoltFolder(const std::filesystem::path& folder)
{
    std::error_code error;
    if (std::filesystem::is_directory(folder, error))
        return true;
    std::filesystem::create_directories(folder, error);
    return std::filesystem::is_directory(folder, error);
}

}  // namespace

std::filesystem::path GetZoltFolder()
{
    const std::filesystem::path configured =
        utility::RegReadPath(utility::RegistryRoot::CurrentUser, utility::kProgramRegistryKey, "katZOLT", false);
    if (!configured.empty() && EnsureZoltFolder(configured))
        return utility::NormalizePath(configured, true);
    const std::filesystem::path fallback = utility::NormalizePath(utility::ProgramFolder() / "Pliki_ZOLT", true);
    (void)EnsureZoltFolder(fallback);
    return fallback;
}

}  // namespace tacho
