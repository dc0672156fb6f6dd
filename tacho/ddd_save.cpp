#include "tacho/ddd_save.h"

#include "utility/cp1250.h"
#include "utility/dialogi.h"
#include "utility/dos_ext.h"
#include "utility/paths.h"

namespace tacho {

namespace {
// Puts the window back into the state it was found in, however the save ends.
class EnabledStateGuard {
public:
    explicit EnabledStateGuard(DddSaveWindow& window) : window_(window), wasEnabled_(window.IsEnabled()) {}
    ~EnabledStateGuard() { window_.SetEnabled(wasEnabled_); }
    EnabledStateGuard(const EnabledStateGuard&) = delete;
    EnabledStateGuard& operator=(const EnabledStateGuard&) = delete;

private:
    DddSaveWindow& window_;
    bool wasEnabled_;
};
}  // namespace

void SaveCardAsDdd(DddSaveWindow& window, const CardImageData& image, const SignatureAreaData& signatures,
                   const Clock& clock)
{
    const std::filesystem::path folder = window.DddFolder();
    if (!utility::ForceDirectoriesReport(folder, true)) {
        utility::ErrorBox(utility::Pl("Danych z karty nie zdołano zapisać, gdyż nie można utworzyć katalogu\r\n") +
                          utility::PathToCp1250(folder) + "\r\n" + utility::FolderCreationReport());
        return;
    }
    EnabledStateGuard guard(window);
    window.SetEnabled(false);
    std::filesystem::path fileName;
    std::string error;
    const utility::WriteStatus status = WriteDddFile(image, signatures, folder, clock, fileName, error);
    const std::string fileText = utility::PathToCp1250(fileName);
    switch (status) {
    case utility::WriteStatus::Written:
        utility::InfoBox(utility::Pl("Dane z karty zapisano w pliku\r\n") + fileText);
        break;
    case utility::WriteStatus::Exists:
        utility::InfoBox(utility::Pl("Plik\r\n") + fileText + utility::Pl("\r\njuż istnieje"));
        break;
    case utility::WriteStatus::Failed:
        utility::ErrorBox(utility::Pl("Danych z karty nie zdołano zapisać w pliku\r\n") + fileText + "\r\n" + error);
        break;
    }
}

}  // namespace tacho
