#include "report/output/pdf/pdf_picture.h"

#include "report/output/codec/lzw.h"
#include "tests/support/pdf_check.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace report::output {
namespace {

using testsupport::BuildPdf;
using testsupport::PdfStructureProblems;
using testsupport::RunTool;
using testsupport::StreamBody;

// A picture with a colour of its own in every pixel and smooth areas, like a photograph.
QImage PhotoLike(int width, int height, QImage::Format format)
{
    QImage image(width, height, format);
    std::mt19937 engine(static_cast<std::uint32_t>(width * 131 + height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int noise = static_cast<int>(engine() % 9);
            image.setPixel(x, y,
                           qRgb((x * 255 / width + noise) % 256, (y * 255 / height) % 256, (x + y + noise) % 256));
        }
    return image;
}

std::string ExpectedRgb(const QImage& image)
{
    std::string rgb;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            rgb += {static_cast<char>(qRed(pixel)), static_cast<char>(qGreen(pixel)), static_cast<char>(qBlue(pixel))};
        }
    return rgb;
}

TEST(BitmapToRgb, TriplesRowByRowWithoutRowPadding)
{
    // 29 pixels make 87 bytes a row, which a QImage pads to 88.
    for (QImage::Format format : {QImage::Format_RGB888, QImage::Format_RGB32, QImage::Format_ARGB32}) {
        SCOPED_TRACE(format);
        const QImage image = PhotoLike(29, 16, format);
        const std::string rgb = BitmapToRgb(image);
        EXPECT_EQ(rgb.size(), 29u * 16u * 3u);
        EXPECT_EQ(rgb, ExpectedRgb(image));
    }
    EXPECT_EQ(BitmapToRgb(QImage(100, 100, QImage::Format_RGB32)).size(), 30'000u);
    EXPECT_EQ(BitmapToRgb(QImage()), "");
}

TEST(BitmapToImageData, LzwThenAscii85)
{
    const QImage image = PhotoLike(29, 16, QImage::Format_RGB32);
    std::string data = "old";
    std::string filters;
    BitmapToImageData(image, data, filters);
    EXPECT_EQ(filters, "/ASCII85Decode /LZWDecode");
    EXPECT_TRUE(data.ends_with("~>"));
    std::string lzw;
    LZWEncode(ExpectedRgb(image), lzw);
    std::string text;
    ASCII85Encode(lzw, text);
    EXPECT_EQ(data, text);
}

class PdfReadBack : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    // Writes the file, checks its structure and that qpdf finds nothing wrong; its path.
    QString Write(const std::string& pdf, const QString& name)
    {
        EXPECT_EQ(testsupport::JoinProblems(PdfStructureProblems(pdf)), "");
        const QString path = dir_.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        EXPECT_EQ(file.write(pdf.data(), static_cast<qint64>(pdf.size())), static_cast<qint64>(pdf.size()));
        file.close();
        const auto check = RunTool({"qpdf", "--check", path});
        EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
        EXPECT_EQ(check.out.find("WARNING"), std::string::npos) << check.out;
        EXPECT_EQ(check.err.find("WARNING"), std::string::npos) << check.err;
        return path;
    }

    QTemporaryDir dir_;
};

std::string Coded(const std::string& bytes)
{
    std::string lzw;
    LZWEncode(bytes, lzw);
    std::string text;
    ASCII85Encode(lzw, text);
    return text;
}

// qpdf decodes each sample as an independent reader of both filters, table resets included.
TEST_F(PdfReadBack, QpdfDecodesWhatWasCoded)
{
    std::mt19937 engine(2024);
    std::string random(200'000, '\0');
    for (char& c : random)
        c = static_cast<char>(engine() & 0xFFu);
    std::string skewed(300'000, '\0');
    std::geometric_distribution<int> small(0.05);
    for (char& c : skewed)
        c = static_cast<char>(std::min(small(engine), 255));
    struct Sample {
        const char* name;
        std::string bytes;
    };
    const Sample samples[] = {
        {"random", random}, {"one byte", std::string(300'000, 'q')},
        {"skewed", skewed}, {"picture", BitmapToRgb(PhotoLike(200, 150, QImage::Format_RGB32))},
        {"empty", ""},
    };
    for (const Sample& sample : samples) {
        SCOPED_TRACE(sample.name);
        const std::string text = Coded(sample.bytes);
        std::vector<std::string> objects = testsupport::MinimalPdfObjects();
        objects.push_back(StreamBody("/Filter [/ASCII85Decode /LZWDecode]", text));
        const QString path = Write(BuildPdf(objects), QString("sample-%1.pdf").arg(sample.name).replace(' ', '-'));
        const auto shown = RunTool({"qpdf", "--show-object=3", "--filtered-stream-data", path});
        EXPECT_EQ(shown.exitCode, 0) << shown.err;
        EXPECT_TRUE(shown.out == sample.bytes) << shown.out.size() << " bytes instead of " << sample.bytes.size();

        std::string lzw;
        LZWEncode(sample.bytes, lzw);
        std::string decoded;
        LZWDecode(lzw, decoded);
        EXPECT_TRUE(decoded == sample.bytes);
    }
}

TEST_F(PdfReadBack, QpdfReadsAscii85Alone)
{
    // Zero groups in the middle, a partial zero group and three trailing bytes.
    std::string bytes = "abcd" + std::string(8, '\0') + "efg" + std::string(3, '\0');
    for (int i = 0; i < 500; ++i)
        bytes += static_cast<char>(i * 7);
    bytes += "xyz";
    std::string text;
    ASCII85Encode(bytes, text);
    std::vector<std::string> objects = testsupport::MinimalPdfObjects();
    objects.push_back(StreamBody("/Filter /ASCII85Decode", text));
    const QString path = Write(BuildPdf(objects), "ascii85.pdf");
    const auto shown = RunTool({"qpdf", "--show-object=3", "--filtered-stream-data", path});
    EXPECT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_TRUE(shown.out == bytes);
}

// A one-page file with the picture as an inline image filling a box of 80 x 60 points.
std::string PageWithInlineImage(const QImage& image)
{
    std::string data;
    std::string filters;
    BitmapToImageData(image, data, filters);
    const std::string content = "q 80.00 0 0 60.00 10.00 20.00 cm\r\nBI\r\n/Width " + std::to_string(image.width()) +
                                "\r\n/Height " + std::to_string(image.height()) +
                                "\r\n/BitsPerComponent 8\r\n/ColorSpace /DeviceRGB\r\n/Filter [" + filters +
                                "]\r\nID\r\n" + data + "\r\nEI\r\nQ\r\nBT\r\nET";
    return BuildPdf({
        "<<\r\n/Type /Catalog\r\n/Pages 2 0 R\r\n>>\r\n",
        "<<\r\n/Type /Pages\r\n/Count 1\r\n/Kids [3 0 R]\r\n>>\r\n",
        "<<\r\n/Type /Page\r\n/Parent 2 0 R\r\n/MediaBox [0 0 100 100]\r\n/Contents 4 0 R\r\n>>\r\n",
        StreamBody("", content),
    });
}

TEST_F(PdfReadBack, InlineImageComesBackPixelForPixel)
{
    // Red above blue, with one odd pixel to catch a mirrored or shifted picture.
    QImage image(8, 6, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, qRgb(255, 0, 0));
    image.setPixel(7, 5, qRgb(0, 200, 0));
    const QString path = Write(PageWithInlineImage(image), "inline.pdf");

    const auto list = RunTool({"pdfimages", "-list", path});
    ASSERT_EQ(list.exitCode, 0) << list.err;
    // page num type width height color comp bpc enc interp ...
    const std::string row = list.out.substr(list.out.rfind("\n", list.out.size() - 2) + 1);
    EXPECT_NE(row.find("inline"), std::string::npos) << list.out;
    EXPECT_NE(row.find("     8     6  rgb     3   8"), std::string::npos) << list.out;
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 3) << list.out;  // two heading lines

    const auto png = RunTool({"pdfimages", "-png", path, dir_.filePath("image")});
    ASSERT_EQ(png.exitCode, 0) << png.err;
    const QImage back(dir_.filePath("image-000.png"));
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image);

    // Rendered at 96 dpi (134 x 134 pixels): the box runs from (13, 27) to (120, 107); red above, blue below.
    const auto render = RunTool({"pdftoppm", "-r", "96", "-png", "-singlefile", path, dir_.filePath("page")});
    ASSERT_EQ(render.exitCode, 0) << render.err;
    const QImage page(dir_.filePath("page.png"));
    ASSERT_EQ(page.size(), QSize(134, 134));
    EXPECT_EQ(QColor(page.pixel(60, 40)), QColor(Qt::red));
    EXPECT_EQ(QColor(page.pixel(30, 90)), QColor(Qt::blue));
    EXPECT_EQ(QColor(page.pixel(5, 5)), QColor(Qt::white));
}

}  // namespace
}  // namespace report::output
