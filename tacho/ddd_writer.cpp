#include "tacho/ddd_writer.h"

#include "tacho/card_file_names.h"
#include "utility/atomic_write.h"
#include "utility/cp1250.h"
#include "utility/datetime.h"
#include "utility/dos_ext.h"
#include "utility/paths.h"
#include "utility/stringi.h"

#include <filesystem>

namespace tacho {

namespace {

std::string DateAndTimeDigits(double dateTime)
{
    return utility::DateToYYYYMMDD(dateTime) + utility::TimeToHHMMSS(dateTime);
}

}  // namespace

std::string DddFileName(const CardImageData& image, double now)
{
    const std::string name = HolderNamePrefix(image, CardHolderSurname(image)) +
                             DateAndTimeDigits(LastActivityForName(image)) + "_" + DateAndTimeDigits(now);
    return utility::RemoveCharsOf(utility::ForbiddenFileNameChars(), name) + ".DDD";
}

utility::WriteStatus WriteDddFile(const CardImageData& image, const SignatureAreaData& signatures,
                                  const std::filesystem::path& folder, const Clock& clock,
                                  std::filesystem::path& fileName, std::string& error)
{
    error.clear();
    const std::string name = DddFileName(image, clock ? clock() : utility::Now());
    if (!FolderIsNamed(folder, error)) {
        fileName = utility::PathFromCp1250(name);
        return utility::WriteStatus::Failed;
    }
    fileName = utility::PathInFolder(folder, name);
    const std::filesystem::path& path = fileName;
    const std::string existsText = "Plik juz istnieje " + utility::PathToCp1250(fileName);
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        error = existsText;
        return utility::WriteStatus::Exists;
    }
    ByteBuffer bytes;
    if (!BuildDddFileBytes(image, signatures, bytes, error))
        return utility::WriteStatus::Failed;
    const utility::WriteResult written = utility::WriteFileAtomically(path, BytesText(bytes), false);
    switch (written.status) {
    case utility::WriteStatus::Written:
        return utility::WriteStatus::Written;
    case utility::WriteStatus::Exists:
        error = existsText;
        return utility::WriteStatus::Exists;
    case utility::WriteStatus::Failed:
        break;
    }
    error = written.error;
    return utility::WriteStatus::Failed;
}

std::string MakeDddFileName(const CardImageData& image, const std::string& surname,
                            const std::filesystem::path& cardFilePath)
{
    const std::string name = HolderNamePrefix(image, surname) + DateAndTimeDigits(LastActivityForName(image)) + "_" +
                             utility::FileDateTimeText(cardFilePath);
    return utility::RemoveCharsOf(utility::ForbiddenFileNameChars(), name) + ".DDD";
}

}  // namespace tacho
