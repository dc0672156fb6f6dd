// Folder of the ZOLT record files.
#include "tacho/zolt.h"

#include "utility/cp1250.h"
#include "utility/programfolder.h"
#include "utility/stringi.h"
#include "utility/win_ext.h"

#include <filesystem>
#include <system_error>

namespace tacho {
namespace {

constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

std::string WithTrailingSeparator(std::string_view folder)
{
    std::string result = utility::TrimBoth(folder);
    if (!result.empty() && result.back() != kSeparator)
        result.push_back(kSeparator);
    return result;
}

// True when `folder` is a directory afterwards. A plain file of that name does not count:
// every record written "into" it would fail.
bool EnsureZoltFolder(const std::string& folder)
{
    const std::filesystem::path path(utility::Cp1250ToUtf8(folder));
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return true;
    std::filesystem::create_directories(path, error);
    return std::filesystem::is_directory(path, error);
}

} // namespace

std::string GetZoltFolder()
{
    const std::string configured = WithTrailingSeparator(
        utility::RegReadString(utility::RegistryRoot::CurrentUser, utility::kProgramRegistryKey, "katZOLT", false));
    if (!configured.empty() && EnsureZoltFolder(configured))
        return configured;
    const std::string fallback = WithTrailingSeparator(WithTrailingSeparator(utility::ProgramFolder()) + "Pliki_ZOLT");
    (void)EnsureZoltFolder(fallback);
    return fallback;
}

} // namespace tacho
