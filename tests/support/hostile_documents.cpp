#include "tests/support/hostile_documents.h"

#include "report/output/codec/lzw.h"
#include "report/output/pages/page_list.h"

#include <QBuffer>
#include <QTransform>

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace testsupport {
namespace {

using report::output::FontSpec;
using report::output::Page;
using report::output::PageRecorder;

// A small linear congruential generator: the same fixtures on every run.
class Numbers {
public:
    explicit Numbers(std::uint32_t seed) : state_(seed) {}
    int Below(int limit)
    {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<int>((state_ >> 8) % static_cast<std::uint32_t>(limit));
    }

private:
    std::uint32_t state_;
};

PageRecorder A4Recorder() { return PageRecorder(report::output::PageHeaderFor(2100, 2970)); }

// Whether `box` (page pixels), turned by `degrees` about (x, y) as the canvas turns text there,
// covers any of the page.
bool TurnedBoxMeetsPage(const QRectF& box, int x, int y, double degrees)
{
    QTransform turn;
    turn.translate(x, y);
    turn.rotate(-degrees);
    turn.translate(-x, -y);
    return turn.mapRect(box).intersects(QRectF(0, 0, kPageWidth, kPageHeight));
}

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        text.push_back(digits[static_cast<unsigned char>(c) >> 4]);
        text.push_back(digits[static_cast<unsigned char>(c) & 15]);
    }
    return text;
}

QString OnePageXml(const QString& items)
{
    return QStringLiteral("<?xml version=\"1.0\"?>\n<QXDoc>\n"
                          "<Header Pagewidth=\"210\" Pageheight=\"297\" PaperName=\"A4\">\n"
                          "<Orientation>portrait</Orientation>\n</Header>\n<Page Number=\"1\">\n") +
           items + QStringLiteral("</Page>\n</QXDoc>\n");
}

}  // namespace

Page TurnedGiantTextsPage(int count)
{
    PageRecorder recorder = A4Recorder();
    FontSpec font;
    font.face = "Arial";
    font.points = 20000;  // beyond the largest pixel size at any zoom
    font.orientation = 450;
    recorder.SetFont(font);
    recorder.SetBackground(report::output::Background{false, qRgb(255, 255, 255)});
    Numbers numbers(48);
    for (int i = 0; i < count;) {
        const int x = numbers.Below(80000 + kPageWidth) - 40000;
        const int y = numbers.Below(80000 + kPageHeight) - 40000;
        // The glyph cell itself (about 16,000 by 18,000 pixels) stays off the page.
        if (TurnedBoxMeetsPage(QRectF(x, y, 20000, 20000), x, y, 45))
            continue;
        recorder.TextOut(x, y, "W");
        ++i;
    }
    return recorder.GetPage();
}

Page TurnedGiantTextsOnPage(int count)
{
    PageRecorder recorder = A4Recorder();
    FontSpec font;
    font.face = "Arial";
    font.points = 20000;
    font.orientation = 450;
    recorder.SetFont(font);
    recorder.SetBackground(report::output::Background{false, qRgb(255, 255, 255)});
    Numbers numbers(49);
    for (int i = 0; i < count; ++i) {
        // Just above the page's middle, so the letter's strokes cross it.
        recorder.TextOut(numbers.Below(kPageWidth), -9000 + numbers.Below(2000), "W");
    }
    return recorder.GetPage();
}

Page FontSizesPage(int count, bool onPage)
{
    PageRecorder recorder = A4Recorder();
    recorder.SetBackground(report::output::Background{false, qRgb(255, 255, 255)});
    FontSpec font;
    font.face = "Arial";
    for (int i = 0; i < count; ++i) {
        font.points = 1 + i;
        recorder.SetFont(font);
        if (onPage)
            recorder.TextOut(i * 37 % kPageWidth, i * 53 % kPageHeight, "A");
        else
            recorder.TextOut(i * 37 % kPageWidth, 500000 + 10 * i, "A");
    }
    return recorder.GetPage();
}

Page FaceNamesPage(int count, bool onPage)
{
    PageRecorder recorder = A4Recorder();
    recorder.SetBackground(report::output::Background{false, qRgb(255, 255, 255)});
    FontSpec font;
    font.points = 8;
    for (int i = 0; i < count; ++i) {
        font.face = "Kr\xF3j nieznany " + std::to_string(i);
        recorder.SetFont(font);
        if (onPage)
            recorder.TextOut(i * 37 % kPageWidth, i * 53 % kPageHeight, "Aa");
        else
            recorder.TextOut(i * 37 % kPageWidth, 500000 + 10 * i, "Aa");
    }
    return recorder.GetPage();
}

Page OrdinaryPage()
{
    PageRecorder recorder = A4Recorder();
    recorder.Rectangle(report::output::GdiRect(10, 10, 784, 1113));
    FontSpec font;
    font.face = "Arial";
    for (int line = 0; line < 130; ++line) {
        font.bold = line % 10 == 0;
        recorder.SetFont(font);
        recorder.TextOut(20, 20 + 8 * line, "2024-03-11 06:14 jazda 04:32 " + std::to_string(line));
    }
    return recorder.GetPage();
}

bool WriteReportFile(const Page& page, const std::filesystem::path& file)
{
    return WriteReportFile(report::output::EncodePage(page), file);
}

bool WriteReportFile(std::span<const std::uint8_t> page, const std::filesystem::path& file)
{
    report::output::TRpPageList list;
    list.SetStream(std::make_unique<report::output::TRpStream>());
    const std::string_view data(reinterpret_cast<const char*>(page.data()), page.size());
    return list.AddRecordedPage(data) && list.WriteHeader() && list.SaveToFile(file).ok();
}

namespace {

// `size` zero bytes as one zlib stream, coded piece by piece.
std::vector<std::uint8_t> CodeZeros(std::uint64_t size)
{
    z_stream z{};
    if (deflateInit(&z, Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error("deflateInit");
    std::vector<std::uint8_t> zeros(1 << 20);
    std::vector<std::uint8_t> out;
    std::vector<std::uint8_t> chunk(1 << 16);
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        const auto take = static_cast<uInt>(std::min<std::uint64_t>(size, zeros.size()));
        size -= take;
        z.next_in = zeros.data();
        z.avail_in = take;
        const int flush = size == 0 ? Z_FINISH : Z_NO_FLUSH;
        do {
            z.next_out = chunk.data();
            z.avail_out = static_cast<uInt>(chunk.size());
            status = deflate(&z, flush);
            out.insert(out.end(), chunk.begin(), chunk.end() - z.avail_out);
        } while (z.avail_out == 0);
        if (flush == Z_NO_FLUSH && status != Z_OK)
            break;
    }
    deflateEnd(&z);
    if (status != Z_STREAM_END)
        throw std::runtime_error("deflate");
    return out;
}

// The same, coded once for each size a process asks for: a gigabyte takes seconds.
const std::vector<std::uint8_t>& DeflatedZeros(std::uint64_t size)
{
    static std::map<std::uint64_t, std::vector<std::uint8_t>> coded;
    auto found = coded.find(size);
    if (found == coded.end())
        found = coded.emplace(size, CodeZeros(size)).first;
    return found->second;
}

void Put(std::vector<std::uint8_t>& bytes, std::uint32_t value, int count)
{
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> PictureBombPage(int side, int count)
{
    using report::output::PageTag;
    std::vector<std::uint8_t> page = report::output::EncodePage(Page{report::output::PageHeaderFor(2100, 2970), {}});
    const auto w = static_cast<std::uint32_t>(side);
    const std::vector<std::uint8_t>& zeros = DeflatedZeros(std::uint64_t{w} * w * 4);
    for (int i = 0; i < count; ++i) {
        Put(page, static_cast<std::uint32_t>(PageTag::PictureData), 2);
        Put(page, static_cast<std::uint32_t>(14 + zeros.size()), 4);
        Put(page, w, 4);
        Put(page, w, 4);
        Put(page, static_cast<std::uint32_t>(report::output::PictureCoding::Deflated), 2);
        Put(page, static_cast<std::uint32_t>(zeros.size()), 4);
        page.insert(page.end(), zeros.begin(), zeros.end());
    }
    for (int i = 0; i < count; ++i) {
        Put(page, static_cast<std::uint32_t>(PageTag::PictureUse), 2);
        Put(page, 20, 4);
        for (const int edge : {0, 0, kPageWidth, kPageHeight})
            Put(page, static_cast<std::uint32_t>(edge), 4);
        Put(page, static_cast<std::uint32_t>(i), 4);
    }
    const auto length = static_cast<std::uint32_t>(page.size());
    for (int i = 0; i < 4; ++i)
        page[12 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(length >> (8 * i));
    return page;
}

QString TurnedGiantTextsXml(int count)
{
    QString items;
    Numbers numbers(50);
    for (int i = 0; i < count;) {
        // Millimetres; the page is 210 by 297.
        const int x = numbers.Below(20210) - 10000;
        const int y = numbers.Below(20297) - 10000;
        constexpr double kPixelsPerMm = 96 / 25.4;
        const int px = static_cast<int>(x * kPixelsPerMm);
        const int py = static_cast<int>(y * kPixelsPerMm);
        if (TurnedBoxMeetsPage(QRectF(px, py, 20000, 20000), px, py, 45))
            continue;
        items += QStringLiteral("<Item Type=\"text\" X=\"%1\" Y=\"%2\" Height=\"20000\" FR=\"450\">W</Item>\n")
                     .arg(x)
                     .arg(y);
        ++i;
    }
    return OnePageXml(items);
}

QString PngImagesXml(int count, int side)
{
    QString items;
    for (int i = 0; i < count; ++i) {
        QImage picture(side, side, QImage::Format_ARGB32);
        picture.fill(qRgb(40 + i, 90, 160));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        items += QStringLiteral("<Item Type=\"image\" X=\"%1\" Y=\"%2\">").arg(5 + i % 10 * 20).arg(5 + i / 10 * 20) +
                 QString::fromStdString(Hex(png.toStdString())) + QStringLiteral("</Item>\n");
    }
    return OnePageXml(items);
}

QImage PlainPicture(std::size_t bytes, int width)
{
    const int height = std::max<int>(1, static_cast<int>(bytes / (4u * static_cast<unsigned>(width))));
    QImage picture(width, height, QImage::Format_ARGB32);
    picture.fill(qRgb(40, 90, 160));
    return picture;
}

QString ImagesXml(int count, const QImage& picture)
{
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "BMP");
    std::string code;
    report::output::LZWEncode(bmp.toStdString(), code);
    const QString hex = QString::fromStdString(Hex(code));
    QString items;
    for (int i = 0; i < count; ++i) {
        // Bytes after the end code are no part of the picture, but make each item's data its own.
        items += QStringLiteral("<Item Type=\"image\" X=\"%1\" Y=\"%2\" Cmp=\"lzw\">")
                     .arg(5 + i % 10 * 20)
                     .arg(5 + i / 10 * 20) +
                 hex + QString::number(i, 16).rightJustified(8, QLatin1Char('0')) + QStringLiteral("</Item>\n");
    }
    return OnePageXml(items);
}

}  // namespace testsupport
