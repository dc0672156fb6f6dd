// The main window's rename of an opened card download file to the standard name.
#include "app/tc_glow.h"

#include "tacho/card_file_loader.h"
#include "tacho/ddd_block.h"
#include "tacho/ddd_writer.h"
#include "tacho/zolt_file.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"
#include "utility/dos_ext.h"
#include "utility/stringi.h"
#include "utility/syserror.h"

#include <QPlainTextEdit>

#include <array>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>

namespace app {
namespace {

std::filesystem::path DiskPath(const std::string& name) { return std::filesystem::path(utility::Cp1250ToUtf8(name)); }

// Renames without ever replacing a file of the new name; 0 or the errno of the failure.
int RenameNoReplace(const std::string& from, const std::string& to)
{
    const std::filesystem::path source = DiskPath(from);
    const std::filesystem::path target = DiskPath(to);
    if (::renameat2(AT_FDCWD, source.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    const int error = errno;
    if (error != EINVAL && error != ENOSYS && error != ENOTSUP)
        return error;
    // A file system without the no-replace rename: check first, then rename.
    struct stat existing{};
    if (::lstat(target.c_str(), &existing) == 0)
        return EEXIST;
    return std::rename(source.c_str(), target.c_str()) == 0 ? 0 : errno;
}

// Why a file is not a card download file that could take the standard ".DDD" name; empty
// when it is one (or cannot be examined: the rename then reports that).
std::string NotACardDownloadFile(const std::string& fileName)
{
    if (tacho::HasZoltExtension(fileName))
        return utility::Pl("jest plikiem ZOLT.");
    std::error_code error;
    const auto size = std::filesystem::file_size(DiskPath(fileName), error);
    if (error || (size != tacho::kCardImageSize && size != tacho::kOldCardImageSize))
        return {};
    // Card download files come in these sizes too; the loader tells them by their first block.
    std::array<std::uint8_t, tacho::kDddBlockHeaderSize> head{};
    std::ifstream in(DiskPath(fileName), std::ios::binary);
    in.read(reinterpret_cast<char*>(head.data()), static_cast<std::streamsize>(head.size()));
    if (in.gcount() == static_cast<std::streamsize>(head.size()) && tacho::StartsWithFirstDddBlock(head))
        return {};
    return utility::Pl("jest obrazem karty.");
}

bool NameContains(const std::string& name, const std::string& part)
{
    return !part.empty() &&
           utility::Cp1250ToQString(name).contains(utility::Cp1250ToQString(part), Qt::CaseInsensitive);
}

std::string TrimTrailingBlanks(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

} // namespace

void Tf_tcGlow::Zapiszdanejako1Click()
{
    const std::string surname = tacho::CardHolderSurname(tacho::CardImage);
    if (TrimTrailingBlanks(CurrentFileName).empty()) {
        utility::WarningBox(utility::Pl("Dane nie zostały wczytane z pliku dyskowego"));
        return;
    }
    if (utility::TrimBoth(surname).empty()) {
        utility::WarningBox(utility::Pl("Dane nie są poprawne lub nie zostały wczytana"));
        return;
    }
    // A ZOLT file or a card image renamed to ".DDD" would no longer open as what it is.
    if (const std::string why = NotACardDownloadFile(CurrentFileName); !why.empty()) {
        utility::WarningBox(utility::Pl("Nazwę można zmienić tylko plikowi DDD z danymi karty kierowcy.\r\nPlik\r\n") +
                            CurrentFileName + "\r\n" + why);
        return;
    }
    const std::size_t separator = CurrentFileName.rfind('/');
    const std::string folder = separator == std::string::npos ? std::string() : CurrentFileName.substr(0, separator + 1);
    const std::string name = CurrentFileName.substr(folder.size());
    // Only the file's own name counts: a folder named after the driver proves nothing.
    if (NameContains(name, surname) ||
        NameContains(name, utility::RemoveCharsOf(utility::ForbiddenFileNameChars(), surname))) {
        utility::InfoBox(utility::Pl("Pliku nie potrzeba zapisywać pod inną nazwą - jest czytelna"));
        return;
    }
    const std::string newName = tacho::MakeDddFileName(tacho::CardImage, surname, CurrentFileName);
    if (!utility::ConfirmYesNo(utility::Pl("Czy zmienić nazwę pliku\r\n") + CurrentFileName + "\r\nna\r\n" + newName))
        return;
    const std::string target = (folder.empty() ? std::string() : utility::NormalizePath(folder, true)) + newName;
    if (const int error = RenameNoReplace(CurrentFileName, target); error != 0) {
        const std::string reason = error == EEXIST
                                       ? utility::Pl("Plik\r\n") + target + utility::Pl("\r\njuż istnieje.")
                                       : utility::SystemErrorText(error);
        utility::ErrorBox(utility::Pl("Zapis nie powiódł się.\r\n") + reason);
        return;
    }
    CurrentFileName = target;
    Label7->setPlainText(utility::Cp1250ToQString(target));
}

} // namespace app
