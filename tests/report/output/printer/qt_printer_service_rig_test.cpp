// The Qt printer service against the printing rig's cups-pdf queue.
#include "report/output/printer/printer_settings.h"
#include "report/output/printer/qt_printer_service.h"
#include "tests/support/ink_bounds.h"
#include "tests/support/print_rig.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace report::output {

using namespace testsupport;
namespace {

using testsupport::PrintRig;

class QtPrinterServiceRigTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!rig_.Ready())
            GTEST_FAIL() << "the printing rig is not up (KARTOVAN_PRINT_RIG_DIR)";
    }

    PrintRig rig_;
    QtPrinterService service_;
};

TEST_F(QtPrinterServiceRigTest, ListsTheQueueWithItsSettings)
{
    EXPECT_TRUE(service_.PrinterNames().contains(rig_.Queue()));
    const std::optional<DevMode> devMode = service_.DefaultDevMode(rig_.Queue());
    ASSERT_TRUE(devMode);
    EXPECT_EQ(devMode->paperSize, 9);
    EXPECT_EQ(devMode->orientation, 1);
    EXPECT_EQ(devMode->copies, 1);
    const std::uint32_t always = kDmOrientation | kDmPaperSize | kDmCopies | kDmCollate;
    EXPECT_EQ(devMode->fields & always, always);
    EXPECT_FALSE(devMode->fields & kDmDefaultSource);  // no paper sources on CUPS
    EXPECT_FALSE(devMode->fields & kDmDuplex);         // cups-pdf prints one side only

    const std::optional<std::vector<int>> codes = service_.PaperCodes(rig_.Queue());
    ASSERT_TRUE(codes);
    for (const int code : {1, 5, 8, 9, 11}) {
        EXPECT_NE(std::find(codes->begin(), codes->end(), code), codes->end()) << code;
    }
    EXPECT_FALSE(service_.DefaultDevMode("no such printer"));
}

TEST_F(QtPrinterServiceRigTest, MeasuresThePaperItIsGiven)
{
    // Qt keeps page sizes in whole points: a custom size may lose a third of a millimetre.
    struct Row {
        const char* name;
        int paper;
        int orientation;
        int width;
        int length;
        double slack;
    };
    const Row rows[] = {
        {"A4 portrait", 9, 1, 2100, 2970, 1.0}, {"A4 landscape", 9, 2, 2970, 2100, 1.0},
        {"Letter", 1, 1, 2159, 2794, 1.0},      {"a code Qt has no size for", 48, 1, 1000, 1000, 3.6},
        {"custom", 256, 1, 1000, 1500, 3.6},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        DevMode devMode = *service_.DefaultDevMode(rig_.Queue());
        devMode.fields |= kDmPaperWidth | kDmPaperLength;
        devMode.paperSize = row.paper;
        devMode.paperWidth = 1000;
        devMode.paperLength = 1500;
        devMode.orientation = row.orientation;
        const std::optional<DeviceCaps> caps = service_.Capabilities(rig_.Queue(), devMode);
        ASSERT_TRUE(caps);
        ASSERT_GT(caps->dpiX, 0);
        EXPECT_EQ(caps->offsetX, 0);
        EXPECT_NEAR(caps->physicalWidth * 254.0 / caps->dpiX, row.width, row.slack);
        EXPECT_NEAR(caps->physicalHeight * 254.0 / caps->dpiY, row.length, row.slack);
    }
}

TEST_F(QtPrinterServiceRigTest, PrintsWhatTheSettingsAsk)
{
    SystemPrinter printer(service_);
    printer.SetIndex(static_cast<int>(printer.Printers().indexOf(rig_.Queue())));
    TPrinterSettings settings;
    settings.SetPrinter(&printer);
    EXPECT_EQ(settings.PaperSize(), TRpPaperSize::A4);
    EXPECT_EQ(settings.GetPaperWidth(), 2100);
    settings.SetPaperSize(TRpPaperSize::A5);
    settings.SetOrientation(1);
    settings.ApplyPrinterSettings();

    printer.SetTitle("kvServiceA5");
    printer.BeginDoc();
    for (int page = 0; page < 2; ++page) {
        if (page > 0)
            printer.NewPage();
        printer.Painter()->fillRect(QRect(100, 100, 400, 400), Qt::black);
    }
    printer.EndDoc();

    const std::optional<QString> pdf = rig_.WaitForPdf("kvServiceA5");
    ASSERT_TRUE(pdf);
    const std::optional<testsupport::PdfInfo> info = testsupport::ReadPdfInfo(*pdf);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->pages, 2);
    // A landscape page comes out turned on A5 paper: the square near the page's top left corner
    // lies near the paper's bottom left one.
    EXPECT_NEAR(info->pageSize.width(), 419.5, 2.0);  // Ghostscript makes it 421
    EXPECT_NEAR(info->pageSize.height(), 595.3, 1.0);
    const QImage paper = testsupport::RenderPdfPage(*pdf, 2, 72);
    ASSERT_FALSE(paper.isNull());
    const QRect ink = testsupport::InkBounds(paper);
    EXPECT_NEAR(ink.left(), 6, 1);
    EXPECT_NEAR(ink.width(), 24, 2);
    EXPECT_NEAR(paper.height() - 1 - ink.bottom(), 6, 1);
}

}  // namespace
}  // namespace report::output
