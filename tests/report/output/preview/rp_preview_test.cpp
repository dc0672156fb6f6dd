#include "report/output/preview/rp_preview.h"

#include "tests/report/output/preview/preview_fixture.h"

#include <QCoreApplication>
#include <QScrollBar>

namespace report::output {
namespace {

using testing::DocumentText;
using testing::PreviewTest;

class RpPreviewTest : public PreviewTest {
protected:
    void SetUp() override
    {
        PreviewTest::SetUp();
        printerObject_ = std::make_unique<TRpPrinter>();
        control_ = std::make_unique<TRpPreview>();
    }
    void TearDown() override
    {
        control_.reset();
        printerObject_.reset();
        PreviewTest::TearDown();
    }

    // A control of `width` x `height` on a finished document of `pages` A4 pages.
    void Show(int width, int height, int pages = 2)
    {
        Record(Printer(), NumberedPages(pages));
        Control().resize(width, height);
        Control().SetRpPrinter(&Printer());
        Control().show();
        QCoreApplication::processEvents();
    }

    TRpPrinter& Printer() { return *printerObject_; }
    TRpPreview& Control() { return *control_; }

    std::unique_ptr<TRpPrinter> printerObject_;
    std::unique_ptr<TRpPreview> control_;
};

TEST_F(RpPreviewTest, ZoomTakesTwoToTwoThousandPercent)
{
    Show(600, 400);
    struct Row {
        int zoom;
        int result;
    };
    const Row rows[] = {{2, 2}, {1, 2}, {2000, 2000}, {2001, 2000}, {0, 2000}, {-5, 2000}, {150, 150}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.zoom);
        Control().ZoomToFit();
        const int before = Control().Zoom();
        Control().SetZoom(row.zoom);
        const bool taken = row.zoom >= 2 && row.zoom <= 2000;
        EXPECT_EQ(Control().Zoom(), taken ? row.result : before);
        EXPECT_EQ(Control().ZoomState(), taken ? TRpZoomState::rpZoomOther : TRpZoomState::rpZoomToFit);
    }
}

TEST_F(RpPreviewTest, ZoomToWidthAndToFitTakeThePagesOwnSize)
{
    // No printer is installed: the printer object has no paper of its own to go by.
    ASSERT_FALSE(Printer().PrintersPresent());
    Show(600, 400);
    Control().ZoomToWidth();
    EXPECT_EQ(Control().Zoom(), 68);  // round(600 / 794 x 90)
    EXPECT_EQ(Control().ZoomState(), TRpZoomState::rpZoomToWidth);
    // A4 is 794 x 1123 pixels at 96 dpi: the smaller of round(600 / 794 x 95) = 72 and
    // round(400 / 1123 x 95) = 34.
    Control().ZoomToFit();
    EXPECT_EQ(Control().Zoom(), 34);
    EXPECT_EQ(Control().ZoomState(), TRpZoomState::rpZoomToFit);
    Control().resize(600, 2000);
    EXPECT_EQ(Control().Zoom(), 72);  // a resize fits again
}

TEST_F(RpPreviewTest, ALandscapePageIsLaidOutAsItIs)
{
    Printer().SetPaperSize(TRpPaperSize::A4);
    Printer().SetOrientation(1);
    Printer().BeginDoc();
    Printer().NewPage();
    Printer().EndDoc();
    Control().resize(600, 400);
    Control().SetRpPrinter(&Printer());
    Control().SetZoom(100);
    EXPECT_EQ(Control().PageSizeTenths(), QSize(2970, 2100));
    EXPECT_EQ(Control().Image().size(), QSize(1123 + 4, 794 + 4));
}

TEST_F(RpPreviewTest, ASmallImageIsCentredAndALargeOneStartsAtTheTopLeft)
{
    Show(600, 400);
    Control().SetZoom(20);  // 159 x 225 pixels and the 4 of the shadow
    QCoreApplication::processEvents();
    const QRect small = Control().Image().geometry();
    EXPECT_EQ(small.size(), QSize(163, 229));
    const QSize room = Control().viewport()->size();
    // Centred to the pixel, whichever way the odd one falls.
    EXPECT_LE(std::abs(2 * small.left() + small.width() - room.width()), 1);
    EXPECT_LE(std::abs(2 * small.top() + small.height() - room.height()), 1);

    Control().SetZoom(200);
    QCoreApplication::processEvents();
    EXPECT_EQ(Control().Image().pos(), QPoint(0, 0));
    EXPECT_EQ(Control().horizontalScrollBar()->value(), 0);
    EXPECT_EQ(Control().verticalScrollBar()->value(), 0);
    EXPECT_GT(Control().verticalScrollBar()->maximum(), 0);
}

TEST_F(RpPreviewTest, PageNumbersOutsideTheDocumentAreIgnored)
{
    Show(600, 400, 3);
    Control().SetZoom(200);
    Control().verticalScrollBar()->setValue(100);
    for (const int page : {0, -1, 4, 99}) {
        Control().SetPageNumber(page);
        EXPECT_EQ(Control().PageNumber(), 1) << page;
        EXPECT_EQ(Control().verticalScrollBar()->value(), 100) << page;
    }
    Control().SetPageNumber(3);
    EXPECT_EQ(Control().PageNumber(), 3);
    EXPECT_EQ(Control().Image().PageNumber(), 3);
    EXPECT_TRUE(Control().Image().PageMetafile().has_value());
    EXPECT_EQ(Control().verticalScrollBar()->value(), 0);
}

TEST_F(RpPreviewTest, APageFinishedWhileShownIsReloaded)
{
    // Page 2 is open while the control shows it; it arrives with the finished-page message.
    Control().resize(600, 400);
    Control().SetRpPrinter(&Printer());
    std::vector<int> available;
    Control().OnPageAvailable = [&](TRpPreview&, int page) { available.push_back(page); };
    Record(Printer(), NumberedPages(2), false);
    QCoreApplication::processEvents();
    Control().SetPageNumber(2);
    EXPECT_EQ(Control().PageNumber(), 2);
    EXPECT_FALSE(Control().Image().PageMetafile().has_value());
    Printer().EndDoc();
    QCoreApplication::processEvents();
    EXPECT_TRUE(Control().Image().PageMetafile().has_value());
    EXPECT_EQ(available, (std::vector<int>{1, 2}));
}

TEST_F(RpPreviewTest, AttachingSwitchesThePreviewOnAndDestroyingSwitchesItOff)
{
    Record(Printer(), NumberedPages(1));
    TRpPrinter other;
    Record(other, NumberedPages(1));
    {
        TRpPreview preview;
        preview.SetRpPrinter(&Printer());
        EXPECT_TRUE(Printer().PreviewActive());
        EXPECT_EQ(Printer().GetClientWindow(), &preview);
        preview.SetRpPrinter(&other);
        EXPECT_FALSE(Printer().PreviewActive());
        EXPECT_EQ(Printer().GetClientWindow(), nullptr);
        EXPECT_TRUE(other.PreviewActive());
    }
    EXPECT_FALSE(other.PreviewActive());
    EXPECT_EQ(other.GetClientWindow(), nullptr);
}

TEST_F(RpPreviewTest, APrinterObjectFreedFirstIsForgotten)
{
    auto printer = std::make_unique<TRpPrinter>();
    Record(*printer, NumberedPages(2));
    Control().SetRpPrinter(printer.get());
    printer.reset();
    EXPECT_EQ(Control().RpPrinter(), nullptr);
    Control().SetPageNumber(2);
    EXPECT_EQ(Control().PageNumber(), 1);
}

TEST_F(RpPreviewTest, ProgressIsPassedOn)
{
    Show(600, 400);
    std::vector<int> progress;
    Control().OnProgressUpdate = [&](TRpPreview&, int percent) { progress.push_back(percent); };
    Printer().SetProgress(40);
    Printer().SetProgress(60);
    QCoreApplication::processEvents();
    EXPECT_EQ(progress, (std::vector<int>{40, 60}));
}

TEST_F(RpPreviewTest, TheOutlineFillsTheTreeGiven)
{
    Show(600, 400);
    Printer().PageList().Outline().Add(TRpOutlineEntry{"Rozdzia\xB3", 1, 0, 0, 0, 0, 1, 1});
    QTreeWidget tree;
    Control().SetOutline(&tree);
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(tree.topLevelItem(0)->text(0), QString::fromUtf8("Rozdział"));
    EXPECT_EQ(Printer().OutlineView(), &tree);
}

}  // namespace
}  // namespace report::output
