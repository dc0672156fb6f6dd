#include "tests/report/output/pdf/pdf_graphics_fixture.h"

#include "report/output/codec/lzw.h"
#include "tests/report/output/pdf/pdf_document_fixture.h"
#include "tests/support/pdf_check.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace report::output::testing {

std::string ExportedPdf(const std::vector<Placed>& controls, const ExportDevice& device)
{
    FixedReport report(2100, 2970);
    const auto filter = MakeFilter({}, &report);
    filter->Start(2100, 2970, FontSpec{}, device);
    filter->NewPage();
    for (const Placed& placed : controls)
        filter->ExportControl(placed.control, placed.x, placed.y);
    filter->EndPage();
    filter->Finish();
    const std::string& pdf = filter->Bytes();
    EXPECT_EQ(testsupport::JoinProblems(testsupport::PdfStructureProblems(pdf)), "");
    return pdf;
}

std::vector<std::string> GraphicLines(const std::string& pdf)
{
    const std::size_t start = pdf.find("stream\r\n");
    const std::size_t end = pdf.find("BT\r\n", start);
    std::vector<std::string> lines;
    if (start == std::string::npos || end == std::string::npos)
        return lines;
    std::size_t at = start + 8;
    while (at < end) {
        std::size_t next = pdf.find("\r\n", at);
        // Image data runs to its "~>", across its own line breaks.
        if (at >= 4 && pdf.compare(at - 4, 4, "ID\r\n") == 0)
            next = pdf.find("~>\r\n", at) + 2;
        lines.push_back(pdf.substr(at, next - at));
        at = next + 2;
    }
    return lines;
}

std::string InlineImageRgb(const std::string& pdf, int index)
{
    std::size_t at = 0;
    for (int i = 0; i <= index; ++i) {
        at = pdf.find("\r\nID\r\n", at);
        if (at == std::string::npos)
            return {};
        at += 6;
    }
    const std::size_t end = pdf.find("~>", at);
    std::string rgb;
    LZWDecode(testsupport::Ascii85Decoded(std::string_view(pdf).substr(at, end - at)), rgb);
    return rgb;
}

std::string RgbOf(const QImage& image)
{
    std::string rgb;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            rgb += {static_cast<char>(qRed(pixel)), static_cast<char>(qGreen(pixel)), static_cast<char>(qBlue(pixel))};
        }
    return rgb;
}

ExportShape MakeShape(TRpShapeType type, int width, int height, Pen pen, Brush brush, ShapeClass kind)
{
    return ExportShape{type, QRect(0, 0, width, height), pen, brush, kind};
}

ExportPicture MakePicture(const QImage& pixels, int width, int height, PictureClass kind)
{
    ExportPicture picture;
    picture.pixels = pixels;
    picture.kind = kind;
    picture.rect = QRect(0, 0, width, height);
    return picture;
}

QImage Filled(int width, int height, QRgb colour, QImage::Format format)
{
    QImage image(width, height, format);
    image.fill(colour);
    return image;
}

}  // namespace report::output::testing
