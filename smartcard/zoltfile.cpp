#include "smartcard/zoltfile.h"

#include "utility/atomic_write.h"
#include "utility/cp1250.h"
#include "utility/datetime.h"
#include "utility/paths.h"
#include "utility/stringi.h"

#include <stdexcept>
#include <system_error>

namespace smartcard {

namespace {

// Far beyond any real clash: each attempt adds one random character.
constexpr int kMaxNameAttempts = 32;

}  // namespace

std::string ZoltFileName(double now, const TZoltHolder& holder, const std::string& suffix)
{
    const std::string date = utility::DateToYYYYMMDD(now).substr(2, 6);
    const std::string time = utility::RemoveSpaces(utility::RemoveChar(utility::TimeOfDayToHHMM(now), ':'));
    const std::string name = "_" + holder.pesel + holder.surname.substr(0, 10) + holder.firstNames.substr(0, 1);
    return date + time + utility::RemoveCharsOf(utility::ForbiddenFileNameChars(), name + suffix) + ".zolt";
}

std::filesystem::path MakeZoltFilePath(const std::filesystem::path& folder, double now, const TZoltHolder& holder,
                                       const std::function<std::string(int)>& randomText)
{
    for (int n = 0; n < kMaxNameAttempts; ++n) {
        std::string suffix;
        if (n > 0)
            suffix.append(1, '_').append(randomText(n));
        const std::filesystem::path path = utility::PathInFolder(folder, ZoltFileName(now, holder, suffix));
        std::error_code ec;
        if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec)))
            return path;
    }
    throw std::runtime_error(utility::Pl("Nie znaleziono wolnej nazwy pliku w katalogu ") +
                             utility::PathToCp1250(folder));
}

void WriteZoltFile(const std::filesystem::path& path, std::span<const std::uint8_t> record)
{
    const utility::WriteResult r = utility::WriteFileAtomically(
        path, std::string_view(reinterpret_cast<const char*>(record.data()), record.size()), false);
    if (r.status == utility::WriteStatus::Exists)
        throw std::runtime_error(utility::Pl("Plik już istnieje: ") + utility::PathToCp1250(path));
    if (!r.ok())
        throw std::runtime_error(r.error);
}

}  // namespace smartcard
