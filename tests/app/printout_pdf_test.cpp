// The printout of the largest card as the preview saves it as PDF, byte for byte: work on the
// speed of the layout and of the PDF writer must leave every byte of the file as it is.
#include "app/tc_druk.h"
#include "report/expr/rp_clock.h"
#include "report/output/pdf/pdf_document.h"
#include "report/output/printer/rp_printer.h"
#include "tests/app/preview_card_fixture.h"
#include "tests/support/full_card.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

namespace apptest {
namespace {

using PrintoutPdfTest = PreviewCardTest;

TEST_F(PrintoutPdfTest, TheLargestCardsPdfKeepsEveryByte)
{
    // A fixed moment for the document's creation date and for anything the report prints of now.
    constexpr double kFixedNow = 45000.5;  // 2023-03-15 12:00
    const report::expr::ScopedRpClock clock([] { return kFixedNow; });
    const tacho::CardImageData card = test_support::YearCardImage();
    app::Tf_tcDruk form(card);
    form.RpReport1.ReportTitle = app::CardReportTitle(card, form.DateFrom, form.DateTo);
    std::string pdf;
    int pages = 0;
    // In place of the preview window: its Save as PDF, into memory.
    form.RpReport1.OnPreview = [&](report::output::TRpPrinter& printer) {
        pages = printer.PageCount();
        report::output::TRpPDFDocumentFilter filter;
        filter.Clock = [] { return kFixedNow; };
        (void)form.RpReport1.ExportWithFilter(filter);
        pdf = filter.Bytes();
    };
    (void)form.RpReport1.PreviewReport();
    ASSERT_EQ(pages, 77);
    const QByteArray digest = QCryptographicHash::hash(QByteArray::fromRawData(pdf.data(), static_cast<qsizetype>(pdf.size())),
                                                       QCryptographicHash::Sha256).toHex();
    EXPECT_EQ(pdf.size(), 3786828u);
    EXPECT_EQ(digest.toStdString(), "be853b20b5c624e6e6d1688b762afbfb694728195f3214a206d21438523a5fb0");
}

} // namespace
} // namespace apptest
