// Damaged pages: every one is either read or refused with a reason, and every page read can
// be replayed onto each back end.
#include "report/output/pages/page_format.h"
#include "report/output/canvas/painter_canvas.h"
#include "report/output/canvas/trace_canvas.h"
#include "tests/report/output/canvas/canvas_test_support.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <climits>
#include <random>

namespace report::output {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Builds pages field by field, for fixtures the recorder would never write.
class PageBuilder {
public:
    explicit PageBuilder(int pixelWidth = 100, int pixelHeight = 100)
    {
        Raw("KVPG");
        U16(1);
        U16(0);
        U16(36);
        U16(0);
        U32(0);
        I32(264);
        I32(264);
        U16(96);
        U16(96);
        I32(pixelWidth);
        I32(pixelHeight);
    }
    PageBuilder& Record(PageTag tag) { return Tag(static_cast<std::uint16_t>(tag)); }
    PageBuilder& Tag(std::uint16_t tag)
    {
        Close();
        U16(tag);
        U32(0);
        open_ = bytes_.size();
        return *this;
    }
    PageBuilder& U16(std::uint16_t v) { return Put(v, 2); }
    PageBuilder& U32(std::uint32_t v) { return Put(v, 4); }
    PageBuilder& I32(int v) { return Put(static_cast<std::uint32_t>(v), 4); }
    PageBuilder& Raw(std::string_view s)
    {
        for (const char ch : s)
            bytes_.push_back(static_cast<std::uint8_t>(ch));
        return *this;
    }
    Bytes Done()
    {
        Close();
        Bytes b = bytes_;
        Patch(b, 12, static_cast<std::uint32_t>(b.size()));
        return b;
    }
    static void Patch(Bytes& b, std::size_t at, std::uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }

private:
    PageBuilder& Put(std::uint32_t v, int n)
    {
        for (int i = 0; i < n; ++i)
            bytes_.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
        return *this;
    }
    void Close()
    {
        if (open_ != 0)
            Patch(bytes_, open_ - 4, static_cast<std::uint32_t>(bytes_.size() - open_));
        open_ = 0;
    }
    Bytes bytes_;
    std::size_t open_ = 0;
};

// Reads `bytes`; a page read is replayed onto a trace, a small image and a recorder, and the
// recorder's page must read back. Returns whether the page was read.
bool ReadAndReplay(const Bytes& bytes)
{
    const ReadPageResult r = ReadPage(bytes);
    if (!r.page) {
        EXPECT_FALSE(r.error.empty());
        return false;
    }
    EXPECT_TRUE(r.error.empty());
    TraceCanvas trace;
    ReplayPage(*r.page, trace, QRect(0, 0, r.page->header.pixelWidth, r.page->header.pixelHeight));
    EXPECT_FALSE(trace.Lines().empty());
    QImage image = test::WhiteImage(48, 48);
    {
        QPainter painter(&image);
        PainterCanvas canvas(painter, 96);
        ReplayPage(*r.page, canvas, QRect(-3, 2, 50, 40));
    }
    PageRecorder copy(r.page->header);
    ReplayPage(*r.page, copy, QRect(0, 0, r.page->header.pixelWidth, r.page->header.pixelHeight));
    const ReadPageResult again = ReadPage(copy.Bytes());
    EXPECT_TRUE(again.page.has_value()) << again.error;
    return true;
}

Bytes EveryCallPage()
{
    PageRecorder recorder({529, 529, 96, 96, 200, 200});
    test::DrawEveryCall(recorder);
    return recorder.Bytes();
}

// One record of every tag, small enough to flip every bit of.
Bytes CompactPage()
{
    PageRecorder r({264, 264, 96, 96, 100, 100});
    r.SetPen({qRgb(1, 2, 3), PenStyle::Dash, 1});
    r.SetBrush({qRgb(4, 5, 6), BrushStyle::Cross});
    r.FillRect(GdiRect(1, 2, 30, 40));
    r.Rectangle(GdiRect(5, 6, 50, 60));
    r.RoundRect(GdiRect(7, 8, 70, 80), 9, 10);
    r.Ellipse(GdiRect(11, 12, 90, 95));
    r.Line(0, 99, 99, 0);
    FontSpec font;
    font.face = "Arial";
    font.underline = true;
    r.SetFont(font);
    r.SetTextAlign({HorizontalAlign::Center, false});
    r.TextOut(50, 20, "Ab³");
    QImage picture(2, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(255, 0, 0, 200));
    picture.setPixel(1, 0, qRgba(0, 0, 255, 255));
    r.SetClipRect(GdiRect(10, 10, 60, 60));
    r.DrawPicture(QRect(20, 20, 8, 4), picture);
    r.RemoveClip();
    return r.Bytes();
}

// Pages that once took a back end too far, or come near a limit; each must stay harmless.
TEST(PageFuzz, NamedFixtures)
{
    const int limit = kCoordinateLimit;
    const std::pair<const char*, Bytes> fixtures[] = {
        {"one-pixel page stretched over a large target",
         PageBuilder(1, 1).Record(PageTag::Line).I32(-limit).I32(-limit).I32(limit).I32(limit).Done()},
        {"dashed line across the whole coordinate range",
         PageBuilder().Record(PageTag::Pen).U32(0).U16(1).I32(1)
             .Record(PageTag::Line).I32(-limit).I32(5).I32(limit).I32(5)
             .Record(PageTag::Line).I32(-limit).I32(-limit + 3).I32(limit).I32(limit)
             .Done()},
        {"widest pen on an ellipse",
         PageBuilder().Record(PageTag::Pen).U32(0).U16(0).I32(limit)
             .Record(PageTag::Ellipse).I32(-limit).I32(-limit).I32(limit).I32(limit)
             .Record(PageTag::Line).I32(0).I32(0).I32(limit).I32(1).Done()},
        {"inside-frame pen wider than its rectangle",
         PageBuilder().Record(PageTag::Pen).U32(0).U16(6).I32(1000)
             .Record(PageTag::Rectangle).I32(0).I32(0).I32(10).I32(10).Done()},
        {"round rectangle with corners larger than itself",
         PageBuilder().Record(PageTag::RoundRect).I32(5).I32(5).I32(30).I32(30).I32(limit).I32(-limit).Done()},
        {"largest font, rotated, every byte",
         [] {
             std::string all;
             for (int b = 0; b < 256; ++b)
                 all += static_cast<char>(b);
             return PageBuilder().Record(PageTag::Font).I32(limit).I32(-12345).U32(0).U16(15).U16(0).U16(5).Raw("Arial")
                 .Record(PageTag::Text).I32(0).I32(0).U16(0x102).U16(1).U32(0).U32(256).Raw(all).Done();
         }()},
        {"negative font size and an unknown face",
         PageBuilder().Record(PageTag::Font).I32(-limit).I32(0).U32(0).U16(0).U16(0).U16(4).Raw(std::string_view("\xff\x00\x01z", 4))
             .Record(PageTag::Text).I32(1).I32(1).U16(2).U16(0).U32(0).U32(2).Raw("ab").Done()},
        {"most negative orientation",
         PageBuilder().Record(PageTag::Font).I32(10).I32(INT_MIN).U32(0).U16(0).U16(0).U16(5).Raw("Arial")
             .Record(PageTag::Text).I32(20).I32(20).U16(0).U16(1).U32(0).U32(2).Raw("ab").Done()},
        {"picture with a wide stride, mirrored rectangle",
         PageBuilder().Record(PageTag::Picture).I32(40).I32(40).I32(0).I32(0).U32(1).U32(2).U32(12)
             .U32(0xFF00FF00).U32(0).U32(0).U32(0x80FF0000).Done()},
        {"small picture stretched over the whole coordinate range",
         PageBuilder(1, 1).Record(PageTag::Picture).I32(-limit).I32(-limit).I32(limit).I32(limit).U32(2).U32(1).U32(8)
             .U32(0xFF00FF00).U32(0x800000FF).Done()},
        {"picture of no pixels", PageBuilder().Record(PageTag::Picture).I32(0).I32(0).I32(9).I32(9).U32(0).U32(5).U32(0).Done()},
        {"clip outside the page, then drawing",
         PageBuilder().Record(PageTag::Clip).I32(limit).I32(limit).I32(-limit).I32(-limit)
             .Record(PageTag::Fill).I32(0).I32(0).I32(50).I32(50)
             .Record(PageTag::NoClip).Record(PageTag::Fill).I32(-limit).I32(-limit).I32(limit).I32(limit).Done()},
        {"largest page pixel size", PageBuilder(limit, limit).Record(PageTag::Fill).I32(0).I32(0).I32(limit).I32(limit).Done()},
    };
    for (const auto& [name, bytes] : fixtures) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(ReadAndReplay(bytes)) << ReadPage(bytes).error;
    }
}

TEST(PageFuzz, EveryBitFlip)
{
    const Bytes base = CompactPage();
    int read = 0;
    for (std::size_t at = 0; at < base.size(); ++at) {
        for (int bit = 0; bit < 8; ++bit) {
            Bytes bytes = base;
            bytes[at] ^= static_cast<std::uint8_t>(1u << bit);
            read += ReadAndReplay(bytes);
        }
    }
    EXPECT_GT(read, 0);
}

TEST(PageFuzz, EveryTruncation)
{
    for (const Bytes& base : {CompactPage(), EveryCallPage()}) {
        for (std::size_t size = 0; size < base.size(); ++size) {
            Bytes cut(base.begin(), base.begin() + static_cast<std::ptrdiff_t>(size));
            EXPECT_FALSE(ReadPage(cut).page.has_value()) << size;  // the length no longer agrees
            if (size >= 16) {
                PageBuilder::Patch(cut, 12, static_cast<std::uint32_t>(size));
                ReadAndReplay(cut);
            }
        }
    }
}

// Every four-byte field of every record set to 0, all ones, the most negative and the
// largest positive value.
TEST(PageFuzz, ExtremeFieldValues)
{
    const Bytes base = CompactPage();
    const std::uint32_t values[] = {0, 0xFFFFFFFF, 0x80000000, 0x7FFFFFFF, 1u << 24, (1u << 24) + 1};
    for (std::size_t at = 8; at + 4 <= base.size(); ++at) {
        for (const std::uint32_t v : values) {
            Bytes bytes = base;
            const bool pageLength = at >= 9 && at <= 15;
            PageBuilder::Patch(bytes, at, v);
            if (!pageLength)
                PageBuilder::Patch(bytes, 12, static_cast<std::uint32_t>(bytes.size()));
            ReadAndReplay(bytes);
        }
    }
}

TEST(PageFuzz, RandomRecords)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> tag(0, 14);
    std::uniform_int_distribution<int> count(0, 12);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> small(-300, 300);
    int read = 0;
    for (int round = 0; round < 3000; ++round) {
        PageBuilder page(1 + count(random) * 10, 1 + count(random) * 10);
        const int records = count(random);
        for (int r = 0; r < records; ++r) {
            page.Tag(static_cast<std::uint16_t>(tag(random)));
            const int fields = count(random);
            for (int f = 0; f < fields; ++f) {
                // Mostly plausible small values, sometimes raw bytes.
                if (byte(random) < 200)
                    page.I32(small(random));
                else
                    page.U16(static_cast<std::uint16_t>(byte(random) | byte(random) << 8));
            }
        }
        read += ReadAndReplay(page.Done());
    }
    EXPECT_GT(read, 300);
}

TEST(PageFuzz, RandomBuffers)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> size(0, 300);
    const Bytes header = PageBuilder().Done();
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes = round % 2 ? header : Bytes{};
        const int n = size(random);
        for (int i = 0; i < n; ++i)
            bytes.push_back(static_cast<std::uint8_t>(byte(random)));
        if (bytes.size() >= 16 && round % 4 == 1)
            PageBuilder::Patch(bytes, 12, static_cast<std::uint32_t>(bytes.size()));
        ReadAndReplay(bytes);
    }
}

}  // namespace
}  // namespace report::output
