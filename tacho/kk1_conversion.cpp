#include "tacho/kk1_conversion.h"

#include "tacho/card_file_loader.h"
#include "tacho/card_file_names.h"
#include "tacho/zolt_file.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"
#include "utility/dos_ext.h"
#include "utility/paths.h"

#include <QCoreApplication>

#include <exception>
#include <filesystem>
#include <memory>

namespace tacho {

namespace {

// Loads one source file into `image`; false when it is not to be converted (any message
// has been shown).
bool LoadForConversion(const std::filesystem::path& fullName, CardImageData& image)
{
    const std::string nameText = utility::PathToCp1250(fullName);
    if (HasZoltExtension(fullName)) {
        auto record = std::make_unique<CardImageD7>();
        std::string error;
        if (!ReadZoltFile(fullName, *record, error)) {
            utility::ErrorBox(utility::Pl("Błąd wczytania pliku:\r\n") + nameText + "\r\n" + error);
            return false;
        }
        CardImageFromD7(*record, image);
        return true;
    }
    std::error_code ec;
    if (!std::filesystem::exists(fullName, ec)) {
        utility::ErrorBox(utility::Pl("Plik:\r\n") + nameText + utility::Pl("\r\nnie istnieje."));
        return false;
    }
    bool isImageFile = false;
    if (LoadCardFile(fullName, image, isImageFile) != LoadCardResult::Loaded) {
        utility::ErrorBox(utility::Pl("Nie zdołano wczytać danych z pliku\r\n") + nameText);
        return false;
    }
    // Card download files (and whatever else parses as one) are not converted.
    return isImageFile;
}

std::string WriteFailureLine(utility::WriteStatus result, const std::filesystem::path& fileName,
                             const std::string& error)
{
    std::string line = utility::PathToCp1250(fileName);
    if (result == utility::WriteStatus::Exists)
        line += utility::Pl(" (brak wolnej nazwy pliku)");
    else if (!error.empty())
        line.append(" (").append(error).append(")");
    return line;
}

}  // namespace

void ConvertFolderToKk1(const PickCardFile& pickCardFile, const std::filesystem::path& programFolder,
                        const RandomTextSource& random)
{
    const std::filesystem::path picked = pickCardFile ? pickCardFile() : std::filesystem::path();
    if (picked.empty())
        return;
    const std::filesystem::path sourceFolder = picked.parent_path();
    const std::filesystem::path kk1Folder = programFolder / "KK1";
    (void)utility::ForceDirectoriesReport(kk1Folder, false);

    const auto hourglass = utility::HourglassScope();
    const utility::PathList files =
        utility::FindFilesRecursive(sourceFolder, "*.*", utility::kAttrArchive).value_or(utility::PathList{});
    if (files.empty()) {
        utility::InfoBox(utility::Pl("W katalogu ") + utility::PathToCp1250(sourceFolder) +
                         utility::Pl(" brak plików"));
        return;
    }
    if (!utility::ConfirmYesNo(utility::Pl("Czy utworzyć ") + std::to_string(files.size()) +
                               utility::Pl(" plików na KK1 ? (za wyjątkiem plików DDD)")))
        return;

    auto image = std::make_unique<CardImageData>();
    std::string failures;
    for (const std::filesystem::path& relative : files) {
        const std::filesystem::path fullName = sourceFolder / relative;
        try {
            image->fill(0);
            if (LoadForConversion(fullName, *image)) {
                std::filesystem::path fileName;
                std::string error;
                const utility::WriteStatus result = WriteKk1File(*image, kk1Folder, random, fileName, error);
                if (result != utility::WriteStatus::Written)
                    failures += "\r\n" + WriteFailureLine(result, fileName, error);
            }
        } catch (const std::exception& e) {
            utility::ErrorBox(utility::Pl("Błąd wczytania pliku:\r\n") + utility::PathToCp1250(fullName) + "\r\n" +
                              e.what());
        }
        QCoreApplication::processEvents();
    }
    if (!failures.empty())
        utility::ErrorBox(utility::Pl("Nie zdołano zapisać plików KK1:") + failures);
}

}  // namespace tacho
