// A recorded page replayed onto a printer (Qt's PDF output), read back with poppler and qpdf.
#include "report/output/page_format.h"
#include "report/output/painter_canvas.h"
#include "utility/cp1250.h"

#include <gtest/gtest.h>

#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>

namespace report::output {
namespace {

struct ToolRun {
    int exitCode = -1;
    QString out;
};

ToolRun Tool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start("timeout", QStringList{"30", program} + args);
    ToolRun r;
    if (!p.waitForFinished(60'000))
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    return r;
}

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
    const ToolRun text = Tool("pdftotext", {"-layout", file, "-"});
    ASSERT_EQ(text.exitCode, 0) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains(QString::fromUtf8("Wykaz czynności kierowcy"))) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains(QString::fromUtf8("Łódź, Gdańsk"))) << text.out.toStdString();
    const ToolRun fonts = Tool("pdffonts", {file});
    ASSERT_EQ(fonts.exitCode, 0) << fonts.out.toStdString();
    EXPECT_TRUE(fonts.out.contains("LiberationSans-Bold")) << fonts.out.toStdString();
    EXPECT_TRUE(fonts.out.contains("LiberationSerif")) << fonts.out.toStdString();
    const ToolRun check = Tool("qpdf", {"--check", file});
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString();
    EXPECT_FALSE(check.out.contains("WARNING")) << check.out.toStdString();
}

}  // namespace
}  // namespace report::output
