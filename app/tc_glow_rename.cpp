// The main window's rename of an opened card download file to the standard name.
#include "app/tc_glow.h"
#include "tacho/card_file_loader.h"
#include "tacho/ddd_block.h"
#include "tacho/ddd_writer.h"
#include "tacho/zolt_file.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"
#include "utility/paths.h"
#include "utility/rename_no_replace.h"
#include "utility/stringi.h"
#include "utility/syserror.h"

#include <QPlainTextEdit>

#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace app {
namespace {

namespace fs = std::filesystem;

// Why a file is not a card download file that could take the standard ".DDD" name; empty
// when it is one (or cannot be examined: the rename then reports that).
std::string NotACardDownloadFile(const fs::path& fileName)
{
    if (tacho::HasZoltExtension(fileName))
        return utility::Pl("jest plikiem ZOLT.");
    std::error_code error;
    const auto size = fs::file_size(fileName, error);
    if (error || (size != tacho::kCardImageSize && size != tacho::kOldCardImageSize))
        return {};
    // Card download files come in these sizes too; the loader tells them by their first block.
    std::array<std::uint8_t, tacho::kDddBlockHeaderSize> head{};
    std::ifstream in(fileName, std::ios::binary);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    if (in.gcount() == static_cast<std::streamsize>(head.size()) && tacho::StartsWithFirstDddBlock(head))
        return {};
    return utility::Pl("jest obrazem karty.");
}

bool NameContains(const fs::path& name, const std::string& part)
{
    return !part.empty() && utility::PathToQString(name).contains(utility::Cp1250ToQString(part), Qt::CaseInsensitive);
}

bool BlankName(const fs::path& name)
{
    const std::string& text = name.native();
    return text.find_first_not_of(' ') == std::string::npos;
}

}  // namespace

void Tf_tcGlow::Zapiszdanejako1Click()
{
    const std::string surname = tacho::CardHolderSurname(tacho::CardImage);
    if (BlankName(CurrentFileName)) {
        utility::WarningBox(utility::Pl("Dane nie zostały wczytane z pliku dyskowego"));
        return;
    }
    if (utility::TrimBoth(surname).empty()) {
        utility::WarningBox(utility::Pl("Dane nie są poprawne lub nie zostały wczytana"));
        return;
    }
    const std::string currentText = utility::PathToCp1250(CurrentFileName);
    // A ZOLT file or a card image renamed to ".DDD" would no longer open as what it is.
    if (const std::string why = NotACardDownloadFile(CurrentFileName); !why.empty()) {
        utility::WarningBox(utility::Pl("Nazwę można zmienić tylko plikowi DDD z danymi karty kierowcy.\r\nPlik\r\n") +
                            currentText + "\r\n" + why);
        return;
    }
    // Only the file's own name counts: a folder named after the driver proves nothing.
    const fs::path name = CurrentFileName.filename();
    if (NameContains(name, surname) ||
        NameContains(name, utility::RemoveCharsOf(utility::ForbiddenFileNameChars(), surname))) {
        utility::InfoBox(utility::Pl("Pliku nie potrzeba zapisywać pod inną nazwą - jest czytelna"));
        return;
    }
    const std::string newName = tacho::MakeDddFileName(tacho::CardImage, surname, CurrentFileName);
    if (!utility::ConfirmYesNo(utility::Pl("Czy zmienić nazwę pliku\r\n") + currentText + "\r\nna\r\n" + newName))
        return;
    const fs::path target = utility::PathInFolder(CurrentFileName.parent_path(), newName);
    if (const int error = utility::RenameNoReplace(CurrentFileName, target); error != 0) {
        const std::string reason =
            error == EEXIST ? utility::Pl("Plik\r\n") + utility::PathToCp1250(target) + utility::Pl("\r\njuż istnieje.")
                            : utility::SystemErrorText(error);
        utility::ErrorBox(utility::Pl("Zapis nie powiódł się.\r\n") + reason);
        return;
    }
    CurrentFileName = target;
    Label7->setPlainText(utility::PathToQString(target));
}

}  // namespace app
