// The report printed straight on the printing rig's cups-pdf queue: the document that comes out
// has the pages the preview records, each with its page footer where the preview has it.
#include "report/engine/controls/label.h"
#include "report/engine/run/report.h"
#include "report/output/canvas/painter_canvas.h"
#include "report/output/pages/page_format.h"
#include "report/output/printer/printer_service.h"
#include "report/output/printer/rp_printer.h"
#include "tests/support/ink_bounds.h"
#include "tests/support/modal_dialog.h"
#include "tests/support/print_rig.h"
#include "tests/support/program_bands.h"

#include <QAbstractButton>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <numeric>

namespace enginetest {

using namespace testsupport;
namespace {

using report::engine::TRpLabel;
using report::engine::TRpRunResult;
using testsupport::PrintRig;

// The recorded page `page` of `printer` replayed into a white picture of `size`.
QImage Replayed(report::output::TRpPrinter& printer, int page, QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    const std::optional<report::output::Page> recorded = printer.GetRecordedPage(page);
    if (!recorded)
        return picture;
    QPainter painter(&picture);
    report::output::PainterCanvas canvas(painter, 96);
    report::output::ReplayPage(*recorded, canvas, QRect(QPoint(0, 0), size));
    return picture;
}

// Where the page footer's band lies at 96 dpi: 281.2 to 285.4 mm down.
const QRect kFooterStrip(0, 1063, 794, 16);

class ReportPrintRigTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!rig_.Ready())
            GTEST_FAIL() << "the printing rig is not up (KARTOVAN_PRINT_RIG_DIR)";
        report::output::SharedPrinter().Refresh();
    }
    // The print layout with a label on the page footer and on every row.
    std::unique_ptr<report::engine::TRpReport> Report(int rows)
    {
        auto report = MakeProgramReport();
        std::vector<int> order(kProgramBands.size());
        std::iota(order.begin(), order.end(), 0);
        AddProgramBands(*report, order);
        const long double detail[] = {42.3L, 367 * 254 / 96.0L};
        BandNamed(*report, "DetailBand1").Size.ReadValues(detail);
        auto& footer = BandNamed(*report, "PageFooterBand1").NewPrintable<TRpLabel>();
        footer.SetCaption("Stopka strony");
        auto& row = BandNamed(*report, "DetailBand1").NewPrintable<TRpLabel>();
        row.SetCaption("Wiersz");
        report->OnNeedData = [rows, calls = 0](auto&&, bool& more) mutable { more = ++calls <= rows; };
        return report;
    }

    PrintRig rig_;
};

TEST_F(ReportPrintRigTest, PrintsThePagesThePreviewRecords)
{
    auto report = Report(120);
    int recorded = 0;
    report->AfterPreview = [&](report::engine::TCustomRpReport& r) {
        if (r.RpPrinter != nullptr)
            recorded = r.RpPrinter->PageCount();
    };
    report::output::SetPreviewInterfaceClass({});
    ASSERT_EQ(report->PreviewReport(), TRpRunResult::Done);
    ASSERT_EQ(recorded, 2);

    const int queue = static_cast<int>(report::output::SharedPrinter().Printers().indexOf(rig_.Queue()));
    ASSERT_GE(queue, 0);
    report->PrinterSettings.PrinterIndex = queue;
    report->ReportTitle = "kvReportRun";
    ASSERT_EQ(report->PrintToPrinter(), TRpRunResult::Done);
    const std::optional<QString> pdf = rig_.WaitForPdf("kvReportRun");
    ASSERT_TRUE(pdf);
    const std::optional<testsupport::PdfInfo> info = testsupport::ReadPdfInfo(*pdf);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->pages, recorded);
    // A4 in points.
    EXPECT_NEAR(info->pageSize.width(), 595.3, 1.0);
    EXPECT_NEAR(info->pageSize.height(), 841.9, 1.0);
    // cups-pdf's fonts cannot be read back as text: the footer is found by its ink, where the
    // recording has it.
    for (int page = 1; page <= recorded; ++page) {
        SCOPED_TRACE(page);
        const QImage paper = testsupport::RenderPdfPage(*pdf, page, 96);
        ASSERT_FALSE(paper.isNull());
        const QImage preview = Replayed(*report->RpPrinter, page, paper.size());
        const QRect printedFooter = testsupport::InkBounds(paper.copy(kFooterStrip));
        const QRect recordedFooter = testsupport::InkBounds(preview.copy(kFooterStrip));
        ASSERT_FALSE(recordedFooter.isEmpty());
        ASSERT_FALSE(printedFooter.isEmpty());
        EXPECT_NEAR(printedFooter.left(), recordedFooter.left(), 2);
        EXPECT_NEAR(printedFooter.width(), recordedFooter.width(), 3);
        EXPECT_NEAR(printedFooter.top(), recordedFooter.top(), 2);
    }
}

TEST_F(ReportPrintRigTest, PrinterSetupTakesCopiesRangeAndPrinter)
{
    struct Row {
        const char* name;
        bool accept;
        int tag;
        int copies;
        int firstPage;
        int lastPage;
    };
    const Row rows[] = {{"accepted", true, 0, 3, 2, 2}, {"cancelled", false, 1, 1, 0, 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto report = Report(120);
        report::output::SetPreviewInterfaceClass({});
        ASSERT_EQ(report->PreviewReport(), TRpRunResult::Done);
        const int queue = static_cast<int>(report::output::SharedPrinter().Printers().indexOf(rig_.Queue()));
        ASSERT_GE(queue, 0);
        report->PrinterSettings.PrinterIndex = queue;
        report->Tag = 7;
        testsupport::OnModalDialog([&](QDialog& shown) {
            auto* from = shown.findChild<QSpinBox*>("from");
            auto* to = shown.findChild<QSpinBox*>("to");
            auto* copies = shown.findChild<QSpinBox*>("copies");
            auto* range = shown.findChild<QAbstractButton*>("printRange");
            ASSERT_TRUE(from != nullptr && to != nullptr && copies != nullptr && range != nullptr);
            // The recorded document's pages are the range offered.
            EXPECT_EQ(from->minimum(), 1);
            EXPECT_EQ(to->maximum(), 2);
            EXPECT_EQ(copies->value(), 1);
            if (!row.accept) {
                shown.reject();
                return;
            }
            range->click();
            from->setValue(2);
            to->setValue(2);
            copies->setValue(3);
            shown.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        });
        EXPECT_EQ(report->ShowPrinterSetup(), row.accept);
        EXPECT_EQ(report->Tag, row.tag);
        EXPECT_EQ(report->PrinterSettings.Copies, row.copies);
        EXPECT_EQ(report->PrinterSettings.FirstPage, row.firstPage);
        EXPECT_EQ(report->PrinterSettings.LastPage, row.lastPage);
        EXPECT_EQ(report->PrinterSettings.PrinterIndex, queue);
        if (row.accept) {
            EXPECT_EQ(report->SetupSettings.Copies, 3);
            EXPECT_EQ(report->SetupSettings.FirstPage, 2);
            EXPECT_EQ(report->SetupSettings.PrinterIndex, queue);
        }
    }
}

}  // namespace
}  // namespace enginetest
