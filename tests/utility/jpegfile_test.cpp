#include "utility/jpegfile.h"

#include <QColor>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <jpeglib.h>

#include <cstdio>
#include <fstream>
#include <vector>

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

struct Encoding {
    bool gray = false;
    bool progressive = false;
    bool arithmetic = false;
    // A progressive scan script of this many scans (gray only): the DC scan, then the AC
    // coefficients in bands; 0 = libjpeg's own script or none.
    int scans = 0;
};

Bytes EncodeJpeg(int width, int height, const Encoding& how)
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
    info.input_components = how.gray ? 1 : 3;
    info.in_color_space = how.gray ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 95, TRUE);
    info.arith_code = how.arithmetic ? TRUE : FALSE;
    if (how.progressive)
        jpeg_simple_progression(&info);
    std::vector<jpeg_scan_info> script(static_cast<std::size_t>(how.scans));
    if (how.scans > 0) {
        const int bands = how.scans - 1;
        script[0] = jpeg_scan_info{1, {0, 0, 0, 0}, 0, 0, 0, 0};
        for (int b = 0; b < bands; ++b)
            script[static_cast<std::size_t>(b + 1)] =
                jpeg_scan_info{1, {0, 0, 0, 0}, 1 + b * 63 / bands, (b + 1) * 63 / bands, 0, 0};
        info.scan_info = script.data();
        info.num_scans = how.scans;
    }
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(width * info.input_components));
    while (info.next_scanline < info.image_height) {
        const int y = static_cast<int>(info.next_scanline);
        for (int x = 0; x < width; ++x) {
            const QColor c = QuadrantColour(x, y);
            if (how.gray) {
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

Bytes EncodeJpeg(int width, int height, bool gray, bool progressive)
{
    return EncodeJpeg(width, height, Encoding{gray, progressive, false, 0});
}

// Offset of the first marker `code` (0xFF, code), or the size when there is none.
std::size_t MarkerAt(const Bytes& jpeg, unsigned char code)
{
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == code)
            return i;
    return jpeg.size();
}

// The file with every scan's coded data taken out: each scan header is followed at once by
// the next marker.
Bytes WithoutScanData(const Bytes& jpeg)
{
    Bytes out;
    std::size_t i = 0;
    while (i < jpeg.size()) {
        if (!(jpeg[i] == 0xFF && i + 3 < jpeg.size() && jpeg[i + 1] == 0xDA)) {
            out.push_back(jpeg[i++]);
            continue;
        }
        const std::size_t header = 2 + (static_cast<std::size_t>(jpeg[i + 2]) << 8 | jpeg[i + 3]);
        out.insert(out.end(), jpeg.begin() + static_cast<long>(i), jpeg.begin() + static_cast<long>(i + header));
        i += header;
        // Coded data run up to a marker that is neither a stuffed byte nor a restart.
        while (i + 1 < jpeg.size() &&
               !(jpeg[i] == 0xFF && jpeg[i + 1] != 0x00 && jpeg[i + 1] != 0xFF && (jpeg[i + 1] & 0xF8) != 0xD0))
            ++i;
    }
    return out;
}

// A gray, arithmetic-coded progressive file of `width` x `height` pixels whose picture is
// `scans` DC scans without any coded data: a few bytes per scan, a whole pass over the picture
// for the decoder each.
Bytes EmptyScansPicture(int width, int height, int scans)
{
    const Bytes small = EncodeJpeg(16, 16, Encoding{true, true, true, 0});
    Bytes out(small.begin(), small.begin() + static_cast<long>(MarkerAt(small, 0xDA)));
    const std::size_t frame = MarkerAt(out, 0xCA);  // progressive, arithmetic
    EXPECT_LT(frame + 9, out.size());
    out[frame + 5] = static_cast<unsigned char>(height >> 8);
    out[frame + 6] = static_cast<unsigned char>(height);
    out[frame + 7] = static_cast<unsigned char>(width >> 8);
    out[frame + 8] = static_cast<unsigned char>(width);
    const Bytes scan = {0xFF, 0xDA, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00};
    for (int s = 0; s < scans; ++s)
        out.insert(out.end(), scan.begin(), scan.end());
    out.push_back(0xFF);
    out.push_back(0xD9);
    return out;
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

}  // namespace

TEST_F(JpegFile, DecodesGoodPictures)
{
    struct Case {
        const char* name;
        Encoding how;
    };
    const Case cases[] = {
        {"baseline.jpg", {false, false, false, 0}},
        {"progressive.jpg", {false, true, false, 0}},
        {"gray.jpg", {true, false, false, 0}},
        {"arithmetic.jpg", {false, false, true, 0}},
        {"arithmetic_progressive.jpg", {false, true, true, 0}},
        {"arithmetic_gray_progressive.jpg", {true, true, true, 0}},
        {"most_scans.jpg", {true, true, false, kMaxJpegScans}},
        {"most_arithmetic_scans.jpg", {true, true, true, kMaxJpegScans}},
    };
    for (const Case& c : cases) {
        QImage picture = Marker();
        ASSERT_TRUE(LoadJpegFile(picture, Write(c.name, EncodeJpeg(64, 48, c.how)))) << c.name;
        ASSERT_EQ(picture.size(), QSize(64, 48)) << c.name;
        const QPoint centres[] = {{16, 12}, {48, 12}, {16, 36}, {48, 36}};
        for (const QPoint& p : centres) {
            QColor expected = QuadrantColour(p.x(), p.y());
            if (c.how.gray)
                expected = QColor(expected.red(), expected.red(), expected.red());
            ExpectNear(picture.pixelColor(p), expected, c.name);
        }
    }
}

TEST_F(JpegFile, HostilePicturesAreRefusedWithoutDecodingThemWhole)
{
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {
        // About 10 KB that once held the window for 16 s.
        {"poster_1000_empty_scans.jpg", EmptyScansPicture(6000, 6000, 1000)},
        // Within the pixel cap, the first empty scan ends it.
        {"banner_1000_empty_scans.jpg", EmptyScansPicture(1000, 1000, 1000)},
        {"banner_one_empty_scan.jpg", EmptyScansPicture(64, 48, 1)},
        // Arithmetic-coded data taken out loaded as a blank picture.
        {"arithmetic_no_data.jpg", WithoutScanData(EncodeJpeg(64, 48, Encoding{false, false, true, 0}))},
        {"arithmetic_progressive_no_data.jpg", WithoutScanData(EncodeJpeg(64, 48, Encoding{false, true, true, 0}))},
        // Whole scans, one more than the limit.
        {"too_many_scans.jpg", EncodeJpeg(64, 48, Encoding{true, true, false, kMaxJpegScans + 1})},
        {"too_many_arithmetic_scans.jpg", EncodeJpeg(64, 48, Encoding{true, true, true, kMaxJpegScans + 1})},
    };
    for (const Case& c : cases) {
        QImage picture = Marker();
        EXPECT_FALSE(LoadJpegFile(picture, Write(c.name, c.bytes))) << c.name;
        EXPECT_EQ(picture, Marker()) << c.name;
    }
    EXPECT_LT(EmptyScansPicture(6000, 6000, 1000).size(), 11'000u);
    // Huffman-coded data taken out are refused as before.
    QImage picture = Marker();
    EXPECT_FALSE(LoadJpegFile(picture, Write("huffman_no_data.jpg", WithoutScanData(EncodeJpeg(64, 48, false, true)))));
}

TEST_F(JpegFile, FilesAboveTheSizeLimitAreNotRead)
{
    Bytes padded = EncodeJpeg(64, 48, false, false);
    QImage picture = Marker();
    ASSERT_TRUE(LoadJpegFile(picture, Write("padded.jpg", padded)));
    // Bytes after the end marker do not matter to the picture, only to the size.
    padded.resize(kMaxJpegFileBytes + 1, 0);
    picture = Marker();
    EXPECT_FALSE(LoadJpegFile(picture, Write("too_large.jpg", padded)));
    EXPECT_EQ(picture, Marker());
    padded.resize(kMaxJpegFileBytes);
    EXPECT_TRUE(LoadJpegFile(picture, Write("largest.jpg", padded)));
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
    struct Case {
        const char* name;
        Bytes bytes;
    };
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
    struct Case {
        long long cap;
        bool loads;
    };
    const Case cases[] = {{64 * 48 - 1, false}, {64 * 48, true}, {1, false}, {kMaxJpegPixels, true}};
    for (const Case& c : cases) {
        QImage picture = Marker();
        EXPECT_EQ(LoadJpegFile(picture, path, c.cap), c.loads) << c.cap;
        EXPECT_EQ(picture.size(), c.loads ? QSize(64, 48) : QSize(3, 2)) << c.cap;
    }
    // By default, a full-HD banner loads and a camera's six-megapixel photo does not.
    struct Default {
        int width;
        int height;
        bool loads;
    };
    const Default defaults[] = {{1920, 1080, true}, {3000, 2000, false}};
    for (const Default& d : defaults) {
        const std::string name = std::to_string(d.width) + "x" + std::to_string(d.height) + ".jpg";
        QImage picture = Marker();
        EXPECT_EQ(LoadJpegFile(picture, Write(name.c_str(), EncodeJpeg(d.width, d.height, true, false))), d.loads)
            << name;
        EXPECT_EQ(picture.size(), d.loads ? QSize(d.width, d.height) : QSize(3, 2)) << name;
    }
}
