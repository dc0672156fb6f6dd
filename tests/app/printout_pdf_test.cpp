// The printout of the largest card as the preview saves it as PDF, byte for byte: work on the
// speed of the layout and of the PDF writer must leave every byte of the file as it is.
#include "app/tc_druk.h"
#include "report/expr/rp_clock.h"
#include "report/output/canvas/painter_canvas.h"
#include "report/output/pages/page_format.h"
#include "report/output/pdf/pdf_document.h"
#include "report/output/printer/rp_printer.h"
#include "tests/app/preview_card_fixture.h"
#include "tests/support/full_card.h"

#include <QCryptographicHash>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace apptest {
namespace {

using PrintoutPdfTest = PreviewCardTest;

TEST_F(PrintoutPdfTest, TheLargestCardsPdfKeepsEveryByte)
{
    // A fixed moment for the document's creation date and for anything the report prints of now.
    constexpr double kFixedNow = 45000.5;  // 2023-03-15 12:00
    const report::expr::ScopedRpClock clock([] { return kFixedNow; });
    const tacho::CardImageData card = testsupport::YearCardImage();
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
    const QByteArray digest =
        QCryptographicHash::hash(QByteArray::fromRawData(pdf.data(), static_cast<qsizetype>(pdf.size())),
                                 QCryptographicHash::Sha256)
            .toHex();
    EXPECT_EQ(pdf.size(), 3786828u);
    EXPECT_EQ(digest.toStdString(), "be853b20b5c624e6e6d1688b762afbfb694728195f3214a206d21438523a5fb0");
}

// The same printout's pages and their report file (its time of writing aside) keep every byte,
// and every page lies far inside the bounds of decoded pictures and of fonts a paint may have.
TEST_F(PrintoutPdfTest, TheLargestCardsPagesKeepEveryByteFarInsideThePictureAndFontBounds)
{
    constexpr double kFixedNow = 45000.5;
    const report::expr::ScopedRpClock clock([] { return kFixedNow; });
    const tacho::CardImageData card = testsupport::YearCardImage();
    app::Tf_tcDruk form(card);
    form.RpReport1.ReportTitle = app::CardReportTitle(card, form.DateFrom, form.DateTo);
    QCryptographicHash pages(QCryptographicHash::Sha256);
    QByteArray file;
    int count = 0;
    std::uint64_t mostPictureBytes = 0;
    long long mostFonts = 0;
    form.RpReport1.OnPreview = [&](report::output::TRpPrinter& printer) {
        count = printer.PageCount();
        for (int n = 1; n <= count; ++n) {
            const report::output::TRpPageBytes bytes = printer.PageList().GetPageBytes(n);
            ASSERT_TRUE(bytes.ok()) << bytes.error;
            pages.addData(QByteArrayView(bytes.bytes.data(), static_cast<qsizetype>(bytes.bytes.size())));
            const std::shared_ptr<const report::output::Page> page = printer.RecordedPage(n);
            ASSERT_TRUE(page);
            mostPictureBytes = std::max(mostPictureBytes, page->pictureBytes);
            // The fonts one paint of the page makes.
            QImage image(794, 1123, QImage::Format_RGB32);
            QPainter painter(&image);
            report::output::MeasureDevice fonts;
            report::output::PainterCanvas canvas(painter, report::output::kMeasureDpi, &fonts);
            report::output::ReplayPage(*page, canvas, image.rect());
            mostFonts = std::max(mostFonts, fonts.FontsMade());
        }
        // As the page list writes it, while the preview has it.
        const QTemporaryDir folder;
        const std::filesystem::path saved = std::filesystem::path(folder.path().toStdU16String()) / "rok.rpp";
        const utility::WriteResult written = printer.PageList().SaveToFile(saved);
        ASSERT_TRUE(written.ok()) << written.error;
        QFile read(QString::fromStdU16String(saved.u16string()));
        ASSERT_TRUE(read.open(QIODevice::ReadOnly));
        file = read.readAll();
    };
    (void)form.RpReport1.PreviewReport();
    ASSERT_EQ(count, 77);
    EXPECT_EQ(pages.result().toHex().toStdString(), "f09dfc7b01e1f780c0637e289d5cd13dd90c527636ed0f56b65885719997fddf");
    ASSERT_GT(file.size(), 24);
    file.replace(16, 8, QByteArray(8, '\0'));  // the time it was written
    EXPECT_EQ(QCryptographicHash::hash(file, QCryptographicHash::Sha256).toHex().toStdString(),
              "ee55df72a5a8d961e552563c544bc950968970d8ac7482d7c67d21d5754ab0fc");
    EXPECT_LE(mostPictureBytes * 100, report::output::kMaxPagePictureBytes) << mostPictureBytes;
    EXPECT_LE(mostFonts * 4, static_cast<long long>(report::output::PaintFonts::kMaxFontsPerPaint)) << mostFonts;
}

}  // namespace
}  // namespace apptest
