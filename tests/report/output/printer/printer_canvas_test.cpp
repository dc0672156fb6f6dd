// A recorded page replayed onto a printer (Qt's PDF output), read back with poppler and qpdf.
#include "report/output/canvas/painter_canvas.h"
#include "report/output/pages/page_format.h"
#include "tests/support/pdf_check.h"
#include "utility/cp1250.h"

#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace report::output {
namespace {

TEST(PrinterCanvas, RecordedPagePrintsWithItsTextAndFaces)
{
    PageRecorder recorder(PageHeaderFor(2100, 2970));
    FontSpec font;
    font.face = "Arial";
    font.points = 12;
    font.bold = true;
    recorder.SetFont(font);
    recorder.SetBackground({false, 0});
    recorder.TextOut(40, 40, utility::Pl("Wykaz czynności kierowcy"));
    font.face = "Times New Roman";
    font.points = 8;
    font.bold = false;
    recorder.SetFont(font);
    recorder.SetTextAlign({HorizontalAlign::Right, false});
    recorder.TextOut(750, 80, utility::Pl("Łódź, Gdańsk"));
    recorder.SetBrush({qRgb(0, 0, 0), BrushStyle::Clear});
    recorder.Rectangle(GdiRect(30, 30, 760, 100));
    const ReadPageResult page = ReadPage(recorder.Bytes());
    ASSERT_TRUE(page.page.has_value()) << page.error;

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("page.pdf");
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setFullPage(true);
        QPainter painter(&printer);
        ASSERT_TRUE(painter.isActive());
        PainterCanvas canvas(painter, printer.resolution());
        EXPECT_GE(canvas.Dpi(), 300);
        ReplayPage(*page.page, canvas, QRect(0, 0, printer.width(), printer.height()));
    }
    const testsupport::ToolResult text = testsupport::RunTool({"pdftotext", "-layout", file, "-"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find("Wykaz czynności kierowcy"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("Łódź, Gdańsk"), std::string::npos) << text.out;
    const testsupport::ToolResult fonts = testsupport::RunTool({"pdffonts", file});
    ASSERT_EQ(fonts.exitCode, 0) << fonts.err;
    EXPECT_NE(fonts.out.find("LiberationSans-Bold"), std::string::npos) << fonts.out;
    EXPECT_NE(fonts.out.find("LiberationSerif"), std::string::npos) << fonts.out;
    const testsupport::ToolResult check = testsupport::RunTool({"qpdf", "--check", file});
    EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
    EXPECT_EQ(check.out.find("WARNING"), std::string::npos) << check.out;
}

}  // namespace
}  // namespace report::output
