// Shapes and pictures read back from the written file by qpdf and poppler: the inline images
// come back pixel for pixel, and a page rendered at 96 dots per inch shows fills, lines and
// pictures where the preview draws them.
#include "report/output/canvas/painter_canvas.h"
#include "tests/report/output/pdf/pdf_document_fixture.h"
#include "tests/report/output/pdf/pdf_graphics_fixture.h"
#include "tests/support/pdf_check.h"

#include <QColor>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace report::output::testing {
namespace {

using testsupport::RunTool;

constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);
constexpr QRgb kWhite = qRgb(255, 255, 255);
// Fractions with two decimals that give the same bytes back.
constexpr QRgb kBandColour = qRgb(204, 255, 204);

// Red above blue, with one odd pixel to catch a mirrored or shifted picture.
QImage RedAboveBlue()
{
    QImage image = Filled(8, 6, kBlue);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, kRed);
    image.setPixel(7, 5, qRgb(0, 200, 0));
    return image;
}

// The activity icon's size, red on the left and blue on the right in its top half, green below
// (which the 16-pixel box cuts off).
QImage Icon()
{
    QImage icon = Filled(29, 32, qRgb(0, 200, 0));
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 29; ++x)
            icon.setPixel(x, y, x < 14 ? kRed : kBlue);
    return icon;
}

// A page like the activity list's: a band background, the title line, an icon on the band and
// a picture kept at its own resolution, scaled into a larger box.
struct PageContent {
    ExportShape band = MakeShape(TRpShapeType::rpsRectangle, 700, 40, Pen{kRed, PenStyle::Clear, 1},
                                 Brush{kBandColour, BrushStyle::Solid});
    ExportShape line = MakeShape(TRpShapeType::rpsHorLine, 728, 3, Pen{qRgb(0, 0, 0), PenStyle::Solid, 1},
                                 Brush{kWhite, BrushStyle::Solid});
    ExportPicture icon = MakePicture(Icon(), 29, 16);
    ExportPicture picture = MakePicture(RedAboveBlue(), 80, 60);

    PageContent()
    {
        band.rect.moveTo(20, 100);
        line.rect.moveTo(30, 60);
        icon.rect.moveTo(40, 110);
        picture.rect.moveTo(300, 300);
        picture.Stretch = true;
        picture.Tag = 999;
    }

    std::vector<Placed> Controls() const
    {
        return {{band, 20, 100}, {line, 30, 60}, {icon, 40, 110}, {picture, 300, 300}};
    }

    // What the preview draws of the same content on an A4 page at 96 dots per inch.
    QImage Preview() const
    {
        QImage page(794, 1123, QImage::Format_RGB32);
        page.fill(Qt::white);
        QPainter painter(&page);
        PainterCanvas canvas(painter, 96);
        canvas.SetPen(band.pen);
        canvas.SetBrush(band.brush);
        canvas.Rectangle(band.rect);
        canvas.SetPen(line.pen);
        canvas.Line(30, 61, 758, 61);
        canvas.SetClipRect(icon.rect);
        canvas.DrawPicture(QRect(icon.rect.topLeft(), icon.pixels.size()), icon.pixels);
        canvas.RemoveClip();
        canvas.DrawPicture(picture.rect, picture.pixels);
        return page;
    }
};

class PdfGraphicsFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    // Writes the file after the structure checker, qpdf and pdfinfo have passed it; its path.
    QString Write(const std::string& pdf, const QString& name)
    {
        static_cast<void>(CheckedPdfInfo(pdf));
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(pdf.data(), static_cast<qint64>(pdf.size())), static_cast<qint64>(pdf.size()));
        return path;
    }

    QTemporaryDir dir_;
};

TEST_F(PdfGraphicsFile, InlineImagesComeBackPixelForPixel)
{
    const PageContent content;
    const QString path = Write(ExportedPdf(content.Controls()), "page.pdf");

    const auto list = RunTool({"pdfimages", "-list", path});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.err, "");
    // Two heading lines, then one row per image: page num type width height color comp bpc ...
    std::vector<std::string> rows;
    for (std::size_t at = 0, end; (end = list.out.find('\n', at)) != std::string::npos; at = end + 1)
        rows.push_back(list.out.substr(at, end - at));
    ASSERT_EQ(rows.size(), 4u) << list.out;
    for (const std::string& row : {rows[2], rows[3]})
        EXPECT_NE(row.find("inline"), std::string::npos) << list.out;
    EXPECT_NE(rows[2].find("    29    16  rgb     3   8"), std::string::npos) << list.out;
    EXPECT_NE(rows[3].find("     8     6  rgb     3   8"), std::string::npos) << list.out;

    const auto png = RunTool({"pdfimages", "-png", path, dir_.filePath("image")});
    ASSERT_EQ(png.exitCode, 0) << png.err;
    EXPECT_EQ(QImage(dir_.filePath("image-000.png")).convertToFormat(QImage::Format_RGB32),
              content.icon.pixels.copy(0, 0, 29, 16).convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(QImage(dir_.filePath("image-001.png")).convertToFormat(QImage::Format_RGB32),
              content.picture.pixels.convertToFormat(QImage::Format_RGB32));
}

TEST_F(PdfGraphicsFile, RenderedWhereThePreviewDrawsThem)
{
    const PageContent content;
    const QString path = Write(ExportedPdf(content.Controls()), "page.pdf");
    const auto render = RunTool({"pdftoppm", "-r", "96", "-png", "-singlefile", path, dir_.filePath("render")});
    ASSERT_EQ(render.exitCode, 0) << render.err;
    EXPECT_EQ(render.err, "");
    const QImage pdf(dir_.filePath("render.png"));
    ASSERT_FALSE(pdf.isNull());
    const QImage preview = content.Preview();

    // Points well inside each area (the file's page is a point shorter than the preview's).
    struct Sample {
        const char* what;
        QPoint at;
        QRgb colour;
    };
    const Sample samples[] = {
        {"band", {400, 120}, kBandColour},
        {"band's left end", {24, 130}, kBandColour},
        {"above the band", {400, 94}, kWhite},
        {"below the band", {400, 146}, kWhite},
        {"icon, left", {45, 118}, kRed},
        {"icon, right", {64, 118}, kBlue},
        {"band under the icon", {50, 134}, kBandColour},
        {"picture, top", {310, 305}, kRed},
        {"picture, top right", {375, 325}, kRed},
        {"picture, bottom", {310, 350}, kBlue},
        {"picture, bottom left", {303, 355}, kBlue},
        {"left of the picture", {294, 320}, kWhite},
        {"below the picture", {340, 366}, kWhite},
        {"above the title line", {400, 57}, kWhite},
        {"below the title line", {400, 66}, kWhite},
    };
    for (const Sample& sample : samples) {
        SCOPED_TRACE(sample.what);
        EXPECT_EQ(QColor(preview.pixel(sample.at)), QColor(sample.colour));
        EXPECT_EQ(QColor(pdf.pixel(sample.at)), QColor(sample.colour));
    }
    // The title line, one pixel of black in the preview, is dark in the same row of the file.
    EXPECT_EQ(QColor(preview.pixel(400, 61)), QColor(Qt::black));
    EXPECT_LT(qGray(pdf.pixel(400, 61)), 96);
}

}  // namespace
}  // namespace report::output::testing
