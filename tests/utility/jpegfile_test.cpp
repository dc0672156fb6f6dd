#include "utility/jpegfile.h"

#include <QColor>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <vector>

#include <jpeglib.h>

using namespace utility;

namespace {

using Bytes = std::vector<unsigned char>;

// 64 x 48 in four quadrants: red, green / blue, white.
QColor QuadrantColour(int x, int y)
{
    if (y < 24)
        return x < 32 ? QColor(255, 0, 0) : QColor(0, 255, 0);
    return x < 32 ? QColor(0, 0, 255) : QColor(255, 255, 255);
}

Bytes EncodeJpeg(int width, int height, bool gray, bool progressive)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = gray ? 1 : 3;
    info.in_color_space = gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    if (progressive)
        jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(width * info.input_components));
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < width; ++x) {
            const QColor c = QuadrantColour(x, y);
            if (gray) {
                row[static_cast<std::size_t>(x)] = static_cast<unsigned char>(c.red());
            } else {
                row[static_cast<std::size_t>(x * 3)] = static_cast<unsigned char>(c.red());
                row[static_cast<std::size_t>(x * 3 + 1)] = static_cast<unsigned char>(c.green());
                row[static_cast<std::size_t>(x * 3 + 2)] = static_cast<unsigned char>(c.blue());
            }
        }
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    Bytes bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

// Offset just past the start-of-scan segment (the first entropy-coded byte).
std::size_t ScanStart(const Bytes& jpeg)
{
    for (std::size_t i = 0; i + 3 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA)
            return i + 2 + (static_cast<std::size_t>(jpeg[i + 2]) << 8 | jpeg[i + 3]);
    return 0;
}

class JpegFile : public ::testing::Test {
protected:
    std::filesystem::path Write(const char* name, const Bytes& bytes)
    {
        const std::filesystem::path path = std::filesystem::path(dir_.path().toStdString()) / name;
        std::ofstream out(path, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    static QImage Marker()
    {
        QImage image(3, 2, QImage::Format_RGB32);
        image.fill(QColor(1, 2, 3));
        return image;
    }

    QTemporaryDir dir_;
};

void ExpectNear(const QColor& seen, const QColor& expected, const char* what)
{
    EXPECT_NEAR(seen.red(), expected.red(), 16) << what;
    EXPECT_NEAR(seen.green(), expected.green(), 16) << what;
    EXPECT_NEAR(seen.blue(), expected.blue(), 16) << what;
}

} // namespace

TEST_F(JpegFile, DecodesGoodPictures)
{
    struct Case { const char* name; bool gray; bool progressive; };
    const Case cases[] = {{"baseline.jpg", false, false}, {"progressive.jpg", false, true}, {"gray.jpg", true, false}};
    for (const Case& c : cases) {
        QImage picture = Marker();
        ASSERT_TRUE(LoadJpegFile(picture, Write(c.name, EncodeJpeg(64, 48, c.gray, c.progressive)))) << c.name;
        ASSERT_EQ(picture.size(), QSize(64, 48)) << c.name;
        const QPoint centres[] = {{16, 12}, {48, 12}, {16, 36}, {48, 36}};
        for (const QPoint& p : centres) {
            QColor expected = QuadrantColour(p.x(), p.y());
            if (c.gray)
                expected = QColor(expected.red(), expected.red(), expected.red());
            ExpectNear(picture.pixelColor(p), expected, c.name);
        }
    }
}

TEST_F(JpegFile, BadFilesLeaveTheDestinationAlone)
{
    const Bytes good = EncodeJpeg(64, 48, false, false);
    const std::size_t scan = ScanStart(good);
    ASSERT_GT(scan, 0u);
    ASSERT_LT(scan + 8, good.size());
    ASSERT_EQ(good[good.size() - 2], 0xFF);
    ASSERT_EQ(good[good.size() - 1], 0xD9);
    const Bytes text = {'B', 'M', ' ', 'n', 'o', 't', ' ', 'a', ' ', 'J', 'P', 'E', 'G', '\n'};
    Bytes progressive = EncodeJpeg(64, 48, false, true);
    progressive.resize(progressive.size() * 2 / 3);
    struct Case { const char* name; Bytes bytes; };
    const Case cases[] = {
        {"in_scan.jpg", Bytes(good.begin(), good.begin() + static_cast<long>((scan + good.size()) / 2))},
        {"after_header.jpg", Bytes(good.begin(), good.begin() + static_cast<long>(scan))},
        {"no_end_marker.jpg", Bytes(good.begin(), good.end() - 2)},
        {"soi_only.jpg", Bytes(good.begin(), good.begin() + 2)},
        {"in_tables.jpg", Bytes(good.begin(), good.begin() + 40)},
        {"progressive_cut.jpg", progressive},
        {"text.jpg", text},
        {"empty.jpg", Bytes{}},
    };
    for (const Case& c : cases) {
        QImage picture = Marker();
        EXPECT_FALSE(LoadJpegFile(picture, Write(c.name, c.bytes))) << c.name;
        EXPECT_EQ(picture, Marker()) << c.name;
    }
    QImage picture = Marker();
    EXPECT_FALSE(LoadJpegFile(picture, std::filesystem::path(dir_.path().toStdString()) / "missing.jpg"));
    EXPECT_FALSE(LoadJpegFile(picture, std::filesystem::path(dir_.path().toStdString())));
    EXPECT_EQ(picture, Marker());
}

TEST_F(JpegFile, PixelCap)
{
    const std::filesystem::path path = Write("cap.jpg", EncodeJpeg(64, 48, false, false));
    struct Case { long long cap; bool loads; };
    const Case cases[] = {{64 * 48 - 1, false}, {64 * 48, true}, {1, false}, {kMaxJpegPixels, true}};
    for (const Case& c : cases) {
        QImage picture = Marker();
        EXPECT_EQ(LoadJpegFile(picture, path, c.cap), c.loads) << c.cap;
        EXPECT_EQ(picture.size(), c.loads ? QSize(64, 48) : QSize(3, 2)) << c.cap;
    }
}
