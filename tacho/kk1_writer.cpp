#include "tacho/kk1_writer.h"

#include "tacho/card_file_names.h"
#include "utility/atomic_write.h"
#include "utility/cp1250.h"
#include "utility/datetime.h"
#include "utility/formatsettings.h"
#include "utility/paths.h"
#include "utility/stringi.h"

#include <filesystem>

namespace tacho {

namespace {

// Random names are drawn again this many times before the writer gives up on a clash.
constexpr int kNameAttempts = 64;

}  // namespace

std::string Kk1ActivityText(double lastActivity)
{
    return utility::FormatShortDate(lastActivity) +
           utility::KeepCharsOf("0123456789", utility::TimeOfDayToHHMM(lastActivity));
}

std::string Kk1FileName(const CardImageData& image, const std::string& randomThree)
{
    const std::string name = HolderNamePrefix(image, CardHolderSurname(image)) +
                             Kk1ActivityText(LastActivityForName(image)) + "_" + randomThree;
    return utility::RemoveCharsOf(utility::ForbiddenFileNameChars(), name) + ".KK1";
}

utility::WriteStatus WriteKk1File(const CardImageData& image, const std::filesystem::path& folder,
                                  const RandomTextSource& random, std::filesystem::path& fileName, std::string& error)
{
    error.clear();
    const RandomTextSource draw = random ? random : RandomTextSource(&utility::RandomText);
    if (!FolderIsNamed(folder, error)) {
        fileName = utility::PathFromCp1250(Kk1FileName(image, draw(3)));
        return utility::WriteStatus::Failed;
    }
    fileName = utility::PathInFolder(folder, Kk1FileName(image, draw(3)));
    ByteBuffer bytes;
    if (!BuildKk1FileBytes(image, bytes, error))
        return utility::WriteStatus::Failed;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        if (attempt > 0)
            fileName = utility::PathInFolder(folder, Kk1FileName(image, draw(3)));
        const utility::WriteResult written = utility::WriteFileAtomically(fileName, BytesText(bytes), false);
        switch (written.status) {
        case utility::WriteStatus::Written:
            return utility::WriteStatus::Written;
        case utility::WriteStatus::Failed:
            error = written.error;
            return utility::WriteStatus::Failed;
        case utility::WriteStatus::Exists:
            break;
        }
    }
    error.clear();
    return utility::WriteStatus::Exists;
}

}  // namespace tacho
