// The printer object prints recorded pages on the printing rig's cups-pdf queue; what comes out
// is compared with the recording by page count, paper and rendering (cups-pdf's Ghostscript
// output carries Type 3 fonts that pdftotext cannot read back).
#include "report/output/canvas/painter_canvas.h"
#include "report/output/printer/rp_printer.h"
#include "tests/support/ink_bounds.h"
#include "tests/support/print_rig.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace report::output {

using namespace testsupport;
namespace {

using testsupport::PdfInfo;
using testsupport::PrintRig;

class A4Report : public ReportWindow {
public:
    void PrintToPrinterMessage() override {}
    void ClosePreviewMessage(TRpPrinter&) override {}
    const TRpPrinterSettings& PrinterSettings() const override { return settings_; }
    bool ShowProgress() const override { return false; }
    void AfterPrint() override {}
    bool Exporting() const override { return false; }
    bool Destroying() const override { return false; }
    void RequestStop() override {}
    long double PageWidth() const override { return 2100; }
    long double PageLength() const override { return 2970; }

private:
    TRpPrinterSettings settings_;
};

class RpPrinterRigTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!rig_.Ready())
            GTEST_FAIL() << "the printing rig is not up (KARTOVAN_PRINT_RIG_DIR)";
    }
    // Selects the rig's queue.
    void SelectQueue(TRpPrinter& printer)
    {
        const int index = static_cast<int>(printer.Printer().Printers().indexOf(rig_.Queue()));
        ASSERT_GE(index, 0);
        printer.SetPrinterIndex(index);
        ASSERT_EQ(printer.Printer().Name(), rig_.Queue());
    }
    // Records `pages` pages: a box whose place tells the page, a frame, a line and a label
    // 20 mm from the left edge.
    static void Record(TRpPrinter& printer, int pages)
    {
        printer.BeginDoc();
        for (int page = 1; page <= pages; ++page) {
            printer.NewPage();
            Canvas& canvas = *printer.GetCanvas();
            canvas.SetBrush(Brush{qRgb(0, 0, 0), BrushStyle::Solid});
            canvas.FillRect(GdiRect(printer.DeviceX(100.0L * page), printer.DeviceY(200),
                                    printer.DeviceX(100.0L * page + 100), printer.DeviceY(300)));
            canvas.SetPen(Pen{qRgb(0, 0, 0), PenStyle::Solid, 2});
            canvas.SetBrush(Brush{qRgb(255, 255, 255), BrushStyle::Clear});
            canvas.Rectangle(
                GdiRect(printer.DeviceX(150), printer.DeviceY(1500), printer.DeviceX(1900), printer.DeviceY(2600)));
            canvas.Line(printer.DeviceX(150), printer.DeviceY(2800), printer.DeviceX(1900), printer.DeviceY(2800));
            FontSpec font;
            font.face = "Arial";
            font.points = 12;
            canvas.SetFont(font);
            canvas.SetBackground(Background{false, qRgb(255, 255, 255)});
            canvas.TextOut(printer.DeviceX(200), printer.DeviceY(600), "Tachograf - strona " + std::to_string(page));
        }
        printer.EndDoc();
    }
    // The recorded page replayed into a white picture of `size`.
    static QImage Replayed(TRpPrinter& printer, int page, QSize size)
    {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::white);
        const std::optional<Page> recorded = printer.GetRecordedPage(page);
        EXPECT_TRUE(recorded);
        if (!recorded)
            return picture;
        QPainter painter(&picture);
        PainterCanvas canvas(painter, 96);
        ReplayPage(*recorded, canvas, QRect(QPoint(0, 0), size));
        return picture;
    }

    PrintRig rig_;
};

// Dark pixels of `a` that have no dark pixel of `b` within `reach` pixels, and how many dark
// pixels `a` has.
std::pair<int, int> UnmatchedInk(const QImage& a, const QImage& b, int reach)
{
    auto dark = [](const QImage& image, int x, int y) {
        return x >= 0 && y >= 0 && x < image.width() && y < image.height() && qGray(image.pixel(x, y)) < 128;
    };
    int unmatched = 0;
    int ink = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (!dark(a, x, y))
                continue;
            ++ink;
            bool found = false;
            for (int dy = -reach; dy <= reach && !found; ++dy) {
                for (int dx = -reach; dx <= reach && !found; ++dx)
                    found = dark(b, x + dx, y + dy);
            }
            if (!found)
                ++unmatched;
        }
    }
    return {unmatched, ink};
}

TEST_F(RpPrinterRigTest, PrintsTheRangeOfTheRecordingAsItWasRecorded)
{
    A4Report report;
    TRpPrinter printer(&report);
    SelectQueue(printer);
    ASSERT_EQ(printer.GetPaperSize(), TRpPaperSize::A4);
    Record(printer, 3);
    printer.SetTitle("kvRange");
    printer.SetReprintRecorded(true);
    printer.SetFirstPage(2);
    printer.SetLastPage(3);
    printer.PrintRecordedPages();

    const std::optional<QString> pdf = rig_.WaitForPdf("kvRange");
    ASSERT_TRUE(pdf);
    const std::optional<PdfInfo> info = testsupport::ReadPdfInfo(*pdf);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->pages, 2);
    EXPECT_NEAR(info->pageSize.width(), 595.3, 1.0);
    EXPECT_NEAR(info->pageSize.height(), 841.9, 1.0);

    for (int printed = 1; printed <= 2; ++printed) {
        SCOPED_TRACE(printed);
        const QImage paper = testsupport::RenderPdfPage(*pdf, printed, 96);
        ASSERT_FALSE(paper.isNull());
        const QImage recorded = Replayed(printer, printed + 1, paper.size());
        const auto [missing, printedInk] = UnmatchedInk(paper, recorded, 2);
        const auto [lost, recordedInk] = UnmatchedInk(recorded, paper, 2);
        EXPECT_GT(recordedInk, 3000);
        EXPECT_LT(missing, printedInk / 50) << "ink printed where the recording has none";
        EXPECT_LT(lost, recordedInk / 50) << "ink of the recording that did not print";

        // The label's ink starts 20 mm (56.7 pt) from the paper's left edge.
        const QImage fine = testsupport::RenderPdfPage(*pdf, printed, 288);
        ASSERT_FALSE(fine.isNull());
        const int top = 4 * 164;  // 58 mm down: the label's row, nothing else there
        const QRect label = testsupport::InkBounds(fine.copy(0, top, fine.width(), 4 * 28));
        ASSERT_FALSE(label.isEmpty());
        EXPECT_NEAR(label.left() / 4.0, 56.7, 1.0);
    }
}

TEST_F(RpPrinterRigTest, PrintsCopiesOnThePaperAsked)
{
    A4Report report;
    TRpPrinter printer(&report);
    SelectQueue(printer);
    printer.Settings().SetPaperSize(TRpPaperSize::Letter);
    ASSERT_EQ(printer.GetPaperSize(), TRpPaperSize::Letter);
    Record(printer, 1);
    printer.SetTitle("kvCopies");
    printer.Settings().SetCopies(2);
    printer.SetReprintRecorded(true);
    printer.PrintRecordedPages();

    const std::optional<QString> pdf = rig_.WaitForPdf("kvCopies");
    ASSERT_TRUE(pdf);
    const std::optional<PdfInfo> info = testsupport::ReadPdfInfo(*pdf);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->pages, 2);
    EXPECT_NEAR(info->pageSize.width(), 612.0, 1.0);
    EXPECT_NEAR(info->pageSize.height(), 792.0, 1.0);
}

TEST_F(RpPrinterRigTest, PrintsStraightFromARun)
{
    TRpPrinter printer;
    SelectQueue(printer);
    printer.SetDestination(TRpPrinterDestination::rpdPrinter);
    printer.SetTitle("kvDirect");
    printer.SetFirstPage(2);
    Record(printer, 3);
    EXPECT_EQ(printer.XFactor(), printer.Settings().DpiX() / 254.0L);

    const std::optional<QString> pdf = rig_.WaitForPdf("kvDirect");
    ASSERT_TRUE(pdf);
    const std::optional<PdfInfo> info = testsupport::ReadPdfInfo(*pdf);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->pages, 2);
    // The box of page 2 sits 20 mm from the left.
    const QImage paper = testsupport::RenderPdfPage(*pdf, 1, 72);
    const QRect box = testsupport::InkBounds(paper.copy(0, 50, paper.width(), 30));
    EXPECT_NEAR(box.left(), 56.7, 1.0);
}

}  // namespace
}  // namespace report::output
