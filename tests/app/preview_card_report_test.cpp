// The print road from the main window: the PDF save type it offers, and the printout of a card
// previewed, saved as PDF and printed.
#include "app/tc_druk.h"
#include "app/tc_glow.h"
#include "report/output/export/export_filter_library.h"
#include "report/output/pdf/pdf_filter.h"
#include "report/output/preview/rp_standard_preview.h"
#include "tests/app/main_window_fixture.h"
#include "tests/app/preview_card_fixture.h"
#include "tests/support/card_builder.h"
#include "tests/support/full_card.h"
#include "tests/support/modal_dialog.h"
#include "tests/support/pdf_check.h"
#include "utility/cp1250.h"
#include "utility/paths.h"

#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace apptest {
namespace {

constexpr const char* kPdfLine = "|PDF document (*.PDF)|*.PDF";

TEST_F(MainWindowTest, TheMainWindowOffersPdfWhileItLives)
{
    namespace output = report::output;
    output::CreateExportFilterLibrary();
    const auto filters = [] { return output::ExportFilterLibrary()->GetFilterString(); };
    EXPECT_EQ(filters().find(kPdfLine), std::string::npos);
    {
        auto window = std::make_unique<app::Tf_tcGlow>();
        EXPECT_NE(filters().find(kPdfLine), std::string::npos) << filters();
        EXPECT_FALSE(window->RpPDFFilter1.CompressionOn);
        EXPECT_EQ(output::TRpPDFFilter::FontHandling(), output::TFontHandling::fhSubstitute);
        // The report file comes first, then the PDF document.
        EXPECT_LT(filters().find("*.RPP"), filters().find(kPdfLine));
    }
    EXPECT_EQ(filters().find(kPdfLine), std::string::npos);
    output::ReleaseExportFilterLibrary();
}

using report::output::TRpStandardPreview;

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

TEST_F(PreviewCardTest, ACardFileIsPreviewedAndSavedAsPdf)
{
    const auto window = OpenCard(NowakCardImage());
    const QString title = U("NowakAnna 2011-05-17 2011-05-17");
    const std::filesystem::path pdf = Path("raport.PDF");
    int pages = 0;
    QStringList saveLines;
    QGuiApplication::clipboard()->clear();
    const bool shown = Preview(*window, [&](TRpStandardPreview& preview) {
        EXPECT_FALSE(window->isEnabled());
        EXPECT_FALSE(preview.parentWidget() == window.get());
        EXPECT_EQ(preview.windowTitle(), U("Report Preview : ") + title);
        EXPECT_TRUE(preview.windowState() & Qt::WindowMaximized);
        EXPECT_EQ(ClipboardText(), title);
        // The progress window of the first run and the hourglass have gone.
        EXPECT_EQ(testsupport::FindTopLevel(U("Tf_progres")), nullptr);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        ASSERT_NE(preview.RpPrinter(), nullptr);
        pages = preview.RpPrinter()->PageCount();
        QGuiApplication::clipboard()->clear();
        saveLines = SaveFromPreview(preview, Folder() / "raport");
        // The export ran the report again.
        EXPECT_EQ(ClipboardText(), title);
    });
    ASSERT_TRUE(shown);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(pages, 1);
    ASSERT_GE(saveLines.size(), 3);
    EXPECT_TRUE(saveLines[0].contains(U(".PDF"))) << saveLines[0].toStdString();
    EXPECT_TRUE(saveLines[1].contains(U("*.RPP"))) << saveLines[1].toStdString();
    EXPECT_TRUE(saveLines[2].startsWith(U("PDF document (*.PDF"))) << saveLines[2].toStdString();

    ASSERT_TRUE(std::filesystem::exists(pdf));
    const testsupport::ToolResult check = testsupport::RunTool({U("qpdf"), U("--check"), utility::PathToQString(pdf)});
    EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
    EXPECT_EQ(check.out.find("WARNING"), std::string::npos) << check.out;
    EXPECT_EQ(PdfPages(pdf), pages);

    const std::string text = PdfText(pdf);
    const char* expected[] = {
        "Dane z karty nr D800101123450001",
        "Kierowca: Nowak Anna",
        "PESEL: 80010112345, data ur.: 1975-05-17, numer prawa jazdy: PL123456789",
        "Karta: wydana przez: Urząd Testowy, ważna od 2010-01-02 do 2015-01-01",
        "Z okresu od 2011-05-17 do 2011-05-17",
        "Uwagi:",
        "1. Terminy podane są w czasie UTC",
        "Aktywność kierowcy",
        "123. Data: 2011-05-17 (Wtorek)",
        "08:30:00",
        "09:29:59",
        "06:00:00 Karta włożona, w slocie kierowcy/ jeden kierowca",
        "14:30:00 Karta włożona, w slocie kierowcy/ jeden kierowca",
        "Miejsca",
        "Używane pojazdy",
        "Program Kartovan: czytanie kart kierowców prod.: https://www.morvane.example/ https://sklep.morvane.example/",
    };
    for (const char* line : expected)
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n---\n" << text;
    for (int page = 1; page <= pages; ++page)
        EXPECT_NE(PdfText(pdf, page).find("Strona " + std::to_string(page)), std::string::npos) << page;
}

TEST_F(PreviewCardTest, ACardWithoutDaysOrVehiclesPreviewsNoPages)
{
    testsupport::CardBuilder card;
    card.Surname("Nowak", 2).FirstNames("Anna", 2).CardNumber("D800101123450001").BirthDate(0x19750517);
    const auto window = OpenCard(card.Image());
    int pages = -1;
    QString status;
    const bool shown = Preview(*window, [&](TRpStandardPreview& preview) {
        ASSERT_NE(preview.RpPrinter(), nullptr);
        pages = preview.RpPrinter()->PageCount();
        preview.UpdateStatusBar();
    });
    EXPECT_TRUE(shown);
    EXPECT_EQ(pages, 0);
    EXPECT_TRUE(window->isEnabled());
    for (const auto& box : boxes_.Messages())
        ADD_FAILURE() << utility::Cp1250ToUtf8(box.text);
}

// Every row's caption of a year's card, in order, across the columns and pages of the PDF.
TEST_F(PreviewCardTest, TheLargestCardPrintsEveryRowInOrder)
{
    const tacho::CardImageData card = testsupport::YearCardImage();
    const auto window = OpenCard(card);
    const std::filesystem::path pdf = Path("rok.PDF");
    int pages = 0;
    ASSERT_TRUE(Preview(*window, [&](TRpStandardPreview& preview) {
        pages = preview.RpPrinter()->PageCount();
        (void)SaveFromPreview(preview, pdf);
    }));
    ASSERT_EQ(PdfPages(pdf), pages);
    EXPECT_GT(pages, 50);

    // The rows as the printout makes them, each caption by the row rules. Blanks are left out
    // on both sides: long captions break into lines on the page.
    const auto squeezed = [](const std::string& utf8) {
        return QString::fromStdString(utf8).remove(QRegularExpression(QStringLiteral("\\s"))).toStdString();
    };
    app::Tf_tcDruk form(card);
    ASSERT_EQ(form.ActivityLines.size(),
              static_cast<std::size_t>(testsupport::kYearCardDays) * (12 + testsupport::kYearCardChanges) + 2 * 200);
    std::vector<std::string> captions;
    for (form.RowIndex = 0; form.RowIndex < static_cast<int>(form.ActivityLines.size()); ++form.RowIndex) {
        bool printBand = true;
        form.DetailBand1BeforePrint(*form.DetailBand1, printBand);
        const std::string caption = squeezed(utility::Cp1250ToUtf8(form.RpLabel6n->Caption()));
        if (!caption.empty())
            captions.push_back(caption);
    }
    // A row that breaks over a page has the page's footer between its lines.
    const QRegularExpression footer(
        QStringLiteral("Program Kartovan: czytanie kart kierowców prod\\.: \\S+ \\S+ Strona \\d+"));
    const std::string text = squeezed(QString::fromStdString(PdfText(pdf)).remove(footer).toStdString());
    std::size_t at = 0;
    std::size_t found = 0;
    for (const std::string& caption : captions) {
        const std::size_t next = text.find(caption, at);
        if (next == std::string::npos) {
            ADD_FAILURE() << "row " << found << " not found after offset " << at << ": " << caption
                          << "\nthe PDF goes on: " << text.substr(at, 600);
            break;
        }
        at = next + caption.size();
        ++found;
    }
    EXPECT_EQ(found, captions.size());
}

}  // namespace
}  // namespace apptest
