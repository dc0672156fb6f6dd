// Main window tests that preview the printout of an opened card file: the program's units are
// up as at start-up, the preview window is driven as a user would, and what it saves or
// prints is read back by the PDF tools.
#pragma once

#include "app/tc_glow.h"
#include "tests/app/card_file_window_fixture.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace report::output {
class TRpStandardPreview;
}

namespace apptest {

// Holder Nowak Anna; day 2011-05-17, presence counter 0x0123, driving from 06:00, rest from 14:30.
tacho::CardImageData NowakCardImage();

class PreviewCardTest : public CardFileWindowTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A main window that has opened `card` from a card download file.
    std::unique_ptr<app::Tf_tcGlow> OpenCard(const tacho::CardImageData& card);
    // Presses "Podgląd i wydruk" and runs `inPreview` on the modal preview; the preview is
    // closed afterwards when `inPreview` left it open. False when no preview showed.
    bool Preview(app::Tf_tcGlow& window, const std::function<void(report::output::TRpStandardPreview&)>& inPreview);
    // The preview's Save with `name` typed on the save dialog's first line; the dialog's lines.
    QStringList SaveFromPreview(report::output::TRpStandardPreview& preview, const std::filesystem::path& name);
};

// pdftotext -raw of `path` (one page from 1, or all for 0), runs of blanks made one blank.
[[nodiscard]] std::string PdfText(const std::filesystem::path& path, int page = 0);
// pdfinfo's page count; -1 when it cannot read the file.
[[nodiscard]] int PdfPages(const std::filesystem::path& path);
// The clipboard's text.
[[nodiscard]] QString ClipboardText();

}  // namespace apptest
