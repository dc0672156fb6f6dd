// The main window's open commands, the opening of a card file, the card holder summary and
// the conversion of the folder of a picked file into KK1 files.
#include "app/link_button.h"
#include "app/tc_glow.h"
#include "tacho/activity_ring.h"
#include "tacho/card_file_loader.h"
#include "tacho/decoders.h"
#include "tacho/kk1_conversion.h"
#include "tacho/list_lines.h"
#include "tacho/nations.h"
#include "tacho/zolt_file.h"
#include "utility/cp1250.h"
#include "utility/datetime.h"
#include "utility/dialogi.h"
#include "utility/dos_ext.h"
#include "utility/paths.h"
#include "utility/programfolder.h"
#include "utility/stringi.h"

#include <QFileDialog>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScopeGuard>

#include <filesystem>

namespace app {
namespace {

const QColor kZoltStatusColour(255, 0, 0);
const QColor kCardFileStatusColour(0, 255, 0);

void SetStatusColour(QPlainTextEdit* status, const QColor& colour)
{
    QPalette palette = status->palette();
    palette.setColor(QPalette::Text, colour);
    status->setPalette(palette);
}

// A plain file at exactly this path; names are never read as masks here.
bool PlainFileExists(const std::filesystem::path& fileName)
{
    unsigned attributes = 0;
    return utility::EntryAttributes(fileName, attributes) && (attributes & utility::kAttrArchive) != 0;
}

std::string HexBytes(std::span<const std::uint8_t> bytes)
{
    std::string text;
    for (std::uint8_t b : bytes)
        text.append(text.empty() ? "" : " ").append(utility::ZeroPadNumberText(utility::IntToHexText(b), 2));
    return text;
}

void SetLabel(QLabel* label, const std::string& text) { label->setText(utility::Cp1250ToQString(text)); }

// Shows `dialog`; false when it was cancelled, else `chosen` is the full name of the file
// chosen (empty when none).
bool PickFile(QFileDialog* dialog, std::filesystem::path& chosen)
{
    chosen.clear();
    if (dialog->exec() != QDialog::Accepted)
        return false;
    const QStringList files = dialog->selectedFiles();
    if (!files.isEmpty())
        chosen = utility::PathFromQString(files.first());
    return true;
}

void RunOpenCommand(Tf_tcGlow& w, QFileDialog* dialog, const std::filesystem::path& initialFolder)
{
    w.ClearSummaryTexts();
    w.Label7->clear();
    w.SetPrintVisible(false);
    dialog->setDirectory(utility::PathToQString(initialFolder));
    std::filesystem::path chosen;
    if (!PickFile(dialog, chosen))
        return;
    w.setEnabled(false);
    // The window comes back enabled however the opening ends.
    const auto reenable = qScopeGuard([&w] { w.setEnabled(true); });
    w.Label7->clear();
    w.CurrentFileName = chosen;
    if (!w.CurrentFileName.empty())
        w.OpenCardFile(w.CurrentFileName);
}

// Label1k .. Label9k and the two country signs; false after an error box.
bool ShowHolderLabels(Tf_tcGlow& w, const std::string& surname, const std::string& pesel)
{
    namespace field = tacho::field;
    const tacho::CardImageData& card = tacho::CardImage;
    SetLabel(w.LabelK[0], " 1. " + surname);
    SetLabel(w.LabelK[1], " 2. " + tacho::CardHolderFirstNames(card));
    const auto birth = tacho::ImageField(card, field::kCardHolderBirthDate, 4);
    const std::optional<double> birthDate = tacho::DatefToDate({birth[0], birth[1], birth[2], birth[3]});
    if (!birthDate) {
        utility::ErrorBox(utility::Pl("Błąd rozpoznania danych kary kierowcy.\r\n") +
                          utility::Pl("Niepoprawna data urodzenia: ") + HexBytes(birth));
        return false;
    }
    SetLabel(w.LabelK[2], " 3. " + utility::DateToYMDText(*birthDate));
    const auto date = [&](std::size_t offset) {
        return utility::DateToYMDText(tacho::TimeRealToDate(tacho::ImageField(card, offset, 4)));
    };
    SetLabel(w.LabelK[3], "4a. " + date(field::kCardValidityBegin));
    SetLabel(w.LabelK[4], "4b. " + date(field::kCardExpiryDate));
    SetLabel(w.LabelK[5], "4c. " + tacho::CardIssuingAuthorityName(card));
    SetLabel(w.LabelK[6], "4d. " + pesel);
    SetLabel(w.LabelK[7], "5a. " + tacho::DrivingLicenceNumber(card));
    const std::string indexes(reinterpret_cast<const char*>(&card[field::kCardReplacementIndex]), 2);
    SetLabel(w.LabelK[8], "5b. " + tacho::CardNumber(card) + indexes);
    std::string sign, name;
    tacho::NationName(card[field::kDrivingLicenceIssuingNation], sign, name);
    SetLabel(w.Label11symbKraju, sign);
    SetLabel(w.Label11krajGora, sign);
    return true;
}

}  // namespace

void Tf_tcGlow::Otwrz1Click() { RunOpenCommand(*this, OpenKF(), DddFolder); }

void Tf_tcGlow::Otwrzkatalog1Click() { RunOpenCommand(*this, OpenDialogKKD(), DddFolder); }

void Tf_tcGlow::KatalogZOLT1Click() { RunOpenCommand(*this, OpenKF(), ZoltFolder); }

void Tf_tcGlow::ConvertFolderToKk1()
{
    // The window stays enabled and keeps its card: the conversion loads into images of its own.
    const auto pick = [this] {
        std::filesystem::path chosen;
        (void)PickFile(OpenDialogKKD(), chosen);
        return chosen;
    };
    tacho::ConvertFolderToKk1(pick, utility::ProgramFolder());
}

void Tf_tcGlow::OpenCardFile(const std::filesystem::path& fileName)
{
    Label7->setPlainText(utility::PathToQString(fileName));
    const std::string nameText = utility::PathToCp1250(fileName);
    bool loaded = false;
    if (tacho::HasZoltExtension(fileName)) {
        SetStatusColour(Label7, kZoltStatusColour);
        std::string error;
        if (tacho::ReadZoltFile(fileName, ZoltRecord, error)) {
            tacho::CardImageData image{};
            tacho::CardImageFromD7(ZoltRecord, image);
            tacho::CardImage = image;
            loaded = true;
        } else {
            utility::ErrorBox(utility::Pl("Błąd wczytania pliku:\r\n") + nameText + "\r\n" + error);
        }
    } else {
        SetStatusColour(Label7, kCardFileStatusColour);
        if (PlainFileExists(fileName)) {
            bool isImageFile = false;
            loaded = tacho::LoadCardFile(fileName, tacho::CardImage, isImageFile) == tacho::LoadCardResult::Loaded;
            if (!loaded)
                utility::ErrorBox(utility::Pl("Nie zdołano wczytać danych z pliku\r\n") + nameText);
        } else {
            utility::ErrorBox(utility::Pl("Plik:\r\n") + nameText + utility::Pl("\r\nnie istnieje."));
        }
    }
    if (loaded) {
        ShowCardSummary();
        return;
    }
    // Whatever card is still in memory is not this file's: show none and forget the name, so
    // that a rename cannot pick up another driver's data.
    CurrentFileName.clear();
    ClearSummaryTexts();
    SetPrintVisible(false);
}

void Tf_tcGlow::ShowCardSummary()
{
    SetPrintVisible(false);
    const tacho::CardImageData& card = tacho::CardImage;
    const std::string surname = tacho::CardHolderSurname(card);
    const std::string pesel = utility::TrimBoth(tacho::CardHolderPesel(card));
    if (surname.empty() || pesel.empty()) {
        utility::WarningBox(utility::Pl("Danych w karcie nie rozpoznano. Wczytanie należy powtórzyć.\r\n"
                                        "Uwaga: nie wyjmuj karty z czytnika zbyt wcześnie."));
        return;
    }
    if (!ShowHolderLabels(*this, surname, pesel))
        return;

    const tacho::ActivitySpan span = tacho::GetActivitySpan(card);
    if (!span.timesValid) {
        utility::ErrorBox(utility::Pl("Błąd rozpoznania czynności kierowcy.\r\n") + span.error);
        return;
    }
    if (utility::YearOfDate(span.last) > 2000) {
        SetLabel(Label2, "Od " + tacho::DateTimeText(span.first));
        SetLabel(Label6, "Do " + tacho::DateTimeText(span.last));
    } else {
        SetLabel(Label2, utility::Pl("Brak czynności"));
        SetLabel(Label6, "w karcie");
    }
    SetPrintVisible(true);
}

}  // namespace app
