// A user loads report files whose pages once froze the preview: the page and its thumbnails
// are shown, each font made once for all their paints.
#include "report/output/preview/rp_standard_preview.h"
#include "tests/report/output/preview/preview_fixture.h"
#include "tests/support/hostile_documents.h"
#include "tests/support/message_recorder.h"
#include "tests/support/modal_dialog.h"

#include <QFileDialog>

#include <gtest/gtest.h>

namespace report::output {
namespace {

using testing::PreviewTest;
using testsupport::OnModalDialog;

class HostileReportFileTest : public PreviewTest {};

TEST_F(HostileReportFileTest, LoadedPagesAreShownWithEachFontMadeOnce)
{
    struct Row {
        const char* name;
        Page page;
        long long fonts;  // the fonts of the page at one scale
    };
    const Row rows[] = {
        {"giant turned texts around the page", testsupport::TurnedGiantTextsPage(1000), 1},
        {"5000 sizes off the page", testsupport::FontSizesPage(5000, false), 0},
        {"5000 face names off the page", testsupport::FaceNamesPage(5000, false), 0},
        {"100 sizes on the page", testsupport::FontSizesPage(100, true), 100},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::filesystem::path file = folder_ / "hostile.rpp";
        ASSERT_TRUE(testsupport::WriteReportFile(row.page, file));
        TRpPrinter printer;
        Record(printer, NumberedPages(1));
        TRpStandardPreview& window = Open(printer);
        static_cast<void>(window.grab());
        const long long before = printer.PageFonts().FontsMade();
        OnModalDialog([file](QDialog& dialog) {
            dynamic_cast<QFileDialog&>(dialog).selectFile(QString::fromStdU16String(file.u16string()));
            dialog.accept();
        });
        window.LoadClick();
        ASSERT_EQ(printer.PageCount(), 1);
        ASSERT_TRUE(window.Preview().Image().PageMetafile() != nullptr);
        // The page and its thumbnail painted: each font once at each of their two scales.
        const QImage shown = window.grab().toImage();
        const long long made = printer.PageFonts().FontsMade() - before;
        EXPECT_LE(made, 2 * row.fonts);
        // Painted again: no font is made again.
        EXPECT_EQ(window.grab().toImage(), shown);
        EXPECT_EQ(printer.PageFonts().FontsMade() - before, made);
        CloseWindows();
    }
}

// Loads `file` with the window's "Load report".
void LoadFile(TRpStandardPreview& window, const std::filesystem::path& file)
{
    OnModalDialog([file](QDialog& dialog) {
        dynamic_cast<QFileDialog&>(dialog).selectFile(QString::fromStdU16String(file.u16string()));
        dialog.accept();
    });
    window.LoadClick();
}

TEST_F(HostileReportFileTest, APagePastItsPictureBudgetIsRefusedWithTheReadersReason)
{
    const std::filesystem::path file = folder_ / "picture.rpp";
    ASSERT_TRUE(testsupport::WriteReportFile(testsupport::PictureBombPage(16384, 1), file));
    testsupport::MessageRecorder messages;
    TRpPrinter printer;
    Record(printer, NumberedPages(2));
    TRpStandardPreview& window = Open(printer);
    LoadFile(window, file);
    ASSERT_EQ(messages.Messages().size(), 1u);
    const std::string& said = messages.Messages()[0].text;
    EXPECT_EQ(said.rfind(std::string(kDamagedReportFile) + " (page 1: Record at byte ", 0), 0u) << said;
    EXPECT_NE(said.find("draws pictures of 1024 MiB decoded, more than the 256 MiB a page may hold"),
              std::string::npos);
    EXPECT_EQ(printer.PageCount(), 2);
    EXPECT_FALSE(printer.ReportFileLoaded());
    CloseWindows();
}

TEST_F(HostileReportFileTest, ThePageShownAndItsThumbnailDrawOnePageAndDecodeItsPictureOnce)
{
    PageRecorder recorder(PageHeaderFor(2100, 2970));
    QImage picture(300, 200, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x, y, x ^ y));
    recorder.DrawPicture(QRect(50, 50, 600, 400), picture);
    recorder.DrawPicture(QRect(50, 500, 300, 200), picture);
    const std::filesystem::path file = folder_ / "picture.rpp";
    ASSERT_TRUE(testsupport::WriteReportFile(recorder.GetPage(), file));
    TRpPrinter printer;
    Record(printer, NumberedPages(1));
    TRpStandardPreview& window = Open(printer);
    static_cast<void>(window.grab());
    LoadFile(window, file);
    ASSERT_TRUE(printer.ReportFileLoaded());
    const QImage shown = window.grab().toImage();
    EXPECT_EQ(window.Preview().Image().PageMetafile(), printer.RecordedPage(1));
    EXPECT_EQ(printer.PageList().Pictures().Used(), 300u * 200 * 4);
    EXPECT_EQ(window.grab().toImage(), shown);
    EXPECT_EQ(printer.PageList().Pictures().Used(), 300u * 200 * 4);
    CloseWindows();
}

}  // namespace
}  // namespace report::output
