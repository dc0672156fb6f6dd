#include "tacho/kk1_conversion.h"

#include "tacho/card_file_loader.h"
#include "tacho/card_file_names.h"
#include "tacho/zolt_file.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"
#include "utility/dos_ext.h"

#include <QCoreApplication>

#include <exception>
#include <filesystem>
#include <memory>

namespace tacho {

namespace {

class HourglassGuard {
public:
    HourglassGuard() { utility::ShowHourglass(); }
    ~HourglassGuard() { utility::ShowDefaultCursor(); }
    HourglassGuard(const HourglassGuard&) = delete;
    HourglassGuard& operator=(const HourglassGuard&) = delete;
};

// Loads one source file into `image`; false when it is not to be converted (any message
// has been shown).
bool LoadForConversion(const std::string& fullName, CardImageData& image)
{
    if (HasZoltExtension(fullName)) {
        auto record = std::make_unique<CardImageD7>();
        std::string error;
        if (!ReadZoltFile(fullName, *record, error)) {
            utility::ErrorBox(utility::Pl("Błąd wczytania pliku:\r\n") + fullName + "\r\n" + error);
            return false;
        }
        CardImageFromD7(*record, image);
        return true;
    }
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::path(utility::Cp1250ToUtf8(fullName)), ec)) {
        utility::ErrorBox(utility::Pl("Plik:\r\n") + fullName + utility::Pl("\r\nnie istnieje."));
        return false;
    }
    bool isImageFile = false;
    if (LoadCardFile(fullName, image, isImageFile) != LoadCardResult::Loaded) {
        utility::ErrorBox(utility::Pl("Nie zdołano wczytać danych z pliku\r\n") + fullName);
        return false;
    }
    // Card download files (and whatever else parses as one) are not converted.
    return isImageFile;
}

std::string WriteFailureLine(utility::WriteStatus result, const std::string& fileName, const std::string& error)
{
    if (result == utility::WriteStatus::Exists)
        return fileName + utility::Pl(" (brak wolnej nazwy pliku)");
    return fileName + (error.empty() ? std::string() : " (" + error + ")");
}

} // namespace

void ConvertFolderToKk1(const PickCardFile& pickCardFile, const std::string& programFolder,
                        const RandomTextSource& random)
{
    const std::string picked = pickCardFile ? pickCardFile() : std::string();
    if (picked.empty())
        return;
    const std::string sourceFolder = utility::Utf8ToCp1250(
        std::filesystem::path(utility::Cp1250ToUtf8(picked)).parent_path().string());
    const std::string kk1Folder = JoinFolderAndName(programFolder, "KK1");
    (void)utility::ForceDirectoriesReport(kk1Folder, false);

    HourglassGuard hourglass;
    const utility::StringList files =
        utility::FindFilesRecursive(sourceFolder, "*.*", utility::kAttrArchive).value_or(utility::StringList{});
    if (files.empty()) {
        utility::InfoBox(utility::Pl("W katalogu ") + sourceFolder + utility::Pl(" brak plików"));
        return;
    }
    if (!utility::ConfirmYesNo(utility::Pl("Czy utworzyć ") + std::to_string(files.size()) +
                               utility::Pl(" plików na KK1 ? (za wyjątkiem plików DDD)")))
        return;

    auto image = std::make_unique<CardImageData>();
    std::string failures;
    for (const std::string& relative : files) {
        const std::string fullName = JoinFolderAndName(sourceFolder, relative);
        try {
            image->fill(0);
            if (LoadForConversion(fullName, *image)) {
                std::string fileName;
                std::string error;
                const utility::WriteStatus result = WriteKk1File(*image, kk1Folder, random, fileName, error);
                if (result != utility::WriteStatus::Written)
                    failures += "\r\n" + WriteFailureLine(result, fileName, error);
            }
        } catch (const std::exception& e) {
            utility::ErrorBox(utility::Pl("Błąd wczytania pliku:\r\n") + fullName + "\r\n" + e.what());
        }
        QCoreApplication::processEvents();
    }
    if (!failures.empty())
        utility::ErrorBox(utility::Pl("Nie zdołano zapisać plików KK1:") + failures);
}

} // namespace tacho
