// Damaged pages: every one is either read or refused with a reason, and every page read can
// be replayed onto each back end.
#include "report/output/canvas/painter_canvas.h"
#include "report/output/canvas/trace_canvas.h"
#include "report/output/codec/deflate.h"
#include "report/output/pages/page_format.h"
#include "tests/report/output/canvas/canvas_test_support.h"
#include "tests/report/output/pages/page_fixtures.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <climits>
#include <random>

namespace report::output {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testing::PageBuilder;

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

// Pictures of the second version: one deflated, drawn twice, and one stored as it is.
Bytes CompactPicturePage()
{
    PageRecorder r({264, 264, 96, 96, 100, 100});
    QImage flat(6, 5, QImage::Format_ARGB32);
    flat.fill(qRgba(10, 200, 30, 220));
    r.DrawPicture(QRect(1, 2, 12, 10), flat);
    QImage pixel(1, 1, QImage::Format_ARGB32);
    pixel.setPixel(0, 0, qRgba(1, 2, 3, 4));
    r.DrawPicture(QRect(40, 40, -8, 4), pixel);
    r.DrawPicture(QRect(60, 70, 30, 20), flat);
    return r.Bytes();
}

Bytes Pixels(std::initializer_list<std::uint32_t> argb)
{
    Bytes b;
    for (const std::uint32_t v : argb)
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    return b;
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
        {"picture of no pixels stored once, used twice",
         PageBuilder(100, 100, 2).Stored(0, 7, 0, {}).Use(0, 0, 9, 9, 0).Use(9, 9, 0, 0, 0).Done()},
        {"deflated picture of no pixels",
         PageBuilder(100, 100, 2).Stored(5, 0, 1, Deflate({})).Use(0, 0, 9, 9, 0).Done()},
        {"stored picture stretched over the whole coordinate range",
         PageBuilder(1, 1, 2).Stored(2, 1, 0, Pixels({0xFF00FF00, 0x800000FF}))
             .Use(-limit, -limit, limit, limit, 0).Use(limit, limit, -limit, -limit, 0).Done()},
        {"one picture used a thousand times",
         [] {
             PageBuilder page(100, 100, 2);
             const Bytes plain = Pixels({1, 2, 3, 4, 5, 6, 7, 8, 9});
             page.Stored(3, 3, 1, Deflate(plain));
             for (int i = 0; i < 1000; ++i)
                 page.Use(i % 100, i / 10, i % 100 + 3, i / 10 + 3, 0);
             return page.Done();
         }()},
        {"a picture claimed at the largest size in a few bytes, never drawn",
         PageBuilder(100, 100, 2).Record(PageTag::PictureData).U32(16384).U32(16384).U16(1).U32(1100000)
             .Raw(Bytes(1100000, 0)).Done()},
        {"a picture at the largest size drawn over the page, its bytes no zlib stream",
         PageBuilder(100, 100, 2).Stored(8192, 8192, 1, Bytes(300000, 0x5A)).Use(0, 0, 100, 100, 0).Done()},
        {"the first version's picture record in the second",
         PageBuilder(100, 100, 2).Record(PageTag::Picture).I32(0).I32(0).I32(9).I32(9).U32(1).U32(1).U32(4).U32(0xFF112233)
             .Stored(1, 1, 0, Pixels({0xFF445566})).Use(3, 3, 5, 5, 0).Done()},
    };
    for (const auto& [name, bytes] : fixtures) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(ReadAndReplay(bytes)) << ReadPage(bytes).error;
    }
}

TEST(PageFuzz, EveryBitFlip)
{
    for (const Bytes& base : {CompactPage(), CompactPicturePage()}) {
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
}

TEST(PageFuzz, EveryTruncation)
{
    for (const Bytes& base : {CompactPage(), EveryCallPage(), CompactPicturePage()}) {
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
    const std::uint32_t values[] = {0, 0xFFFFFFFF, 0x80000000, 0x7FFFFFFF, 1u << 24, (1u << 24) + 1, 16384, 16385};
    for (const Bytes& base : {CompactPage(), CompactPicturePage()}) {
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
}

// Pictures stored and used in random order, some of them damaged: a page reads exactly when
// every use names a picture stored before it and every raw picture's bytes give its size, and
// each use then draws the pixels of the picture it names, or nothing when that picture's
// compressed bytes do not give its size.
TEST(PageFuzz, RandomPictureRecords)
{
    std::mt19937 random(23);
    std::uniform_int_distribution<int> side(0, 4);
    std::uniform_int_distribution<int> percent(0, 99);
    int read = 0;
    for (int round = 0; round < 2000; ++round) {
        PageBuilder page(50, 50, 2);
        std::vector<Bytes> stored;  // each picture's plain pixels by number; none when they do not decode
        std::vector<std::size_t> used;
        bool good = true;
        for (int r = 0, records = 1 + side(random) * 2; r < records; ++r) {
            if (percent(random) < 50) {
                const auto w = static_cast<std::uint32_t>(side(random));
                const auto h = static_cast<std::uint32_t>(side(random));
                Bytes plain(std::size_t{w} * h * 4);
                for (std::uint8_t& b : plain)
                    b = static_cast<std::uint8_t>(percent(random) < 80 ? 7 : percent(random));
                const bool deflated = percent(random) < 50;
                Bytes data = deflated ? Deflate(plain) : plain;
                bool damaged = false;
                if (percent(random) < 10) {
                    data.push_back(0);  // one byte too many
                    damaged = true;
                } else if (percent(random) < 10 && !data.empty()) {
                    data.pop_back();  // one byte too few
                    damaged = true;
                }
                page.Stored(w, h, deflated ? 1 : 0, data);
                // Raw bytes are counted when read; compressed ones only when drawn.
                good = good && !(damaged && !deflated);
                stored.push_back(damaged ? Bytes{} : plain);
            } else {
                const auto number = static_cast<std::size_t>(percent(random) % (stored.size() + 2));
                good = good && number < stored.size();
                page.Use(side(random), side(random), 10 + side(random), 10 + side(random),
                         static_cast<std::uint32_t>(number));
                used.push_back(number);
            }
        }
        const Bytes bytes = page.Done();
        const ReadPageResult r = ReadPage(bytes);
        ASSERT_EQ(r.page.has_value(), good) << round << ": " << r.error;
        if (!good)
            continue;
        ++read;
        std::size_t i = 0;
        for (const PageRecord& record : r.page->records) {
            const QImage image = std::get<page_record::Picture>(record).picture.Image();
            const Bytes& plain = stored[used[i++]];
            ASSERT_EQ(static_cast<std::size_t>(image.sizeInBytes()), plain.size());
            EXPECT_EQ(Bytes(image.constBits(), image.constBits() + image.sizeInBytes()), plain);
        }
        EXPECT_EQ(i, used.size());
        ReadAndReplay(bytes);
    }
    EXPECT_GT(read, 200);
}

// Pages whose pictures are counted against a budget of random size, drawn within a memory of
// random size: a page reads exactly when its distinct pictures drawn fit the budget, decoding
// never takes more than the memory, and all of it comes back with the page.
TEST(PageFuzz, RandomPictureBudgets)
{
    std::mt19937 random(31);
    std::uniform_int_distribution<int> side(0, 40);
    std::uniform_int_distribution<int> count(0, 6);
    int read = 0;
    int refused = 0;
    for (int round = 0; round < 500; ++round) {
        PageBuilder page(60, 60, 2);
        std::vector<std::uint64_t> sizes;
        for (int p = 0, pictures = 1 + count(random); p < pictures; ++p) {
            const auto w = static_cast<std::uint32_t>(side(random));
            const auto h = static_cast<std::uint32_t>(side(random));
            page.Stored(w, h, 1, Deflate(Bytes(std::size_t{w} * h * 4, static_cast<std::uint8_t>(p))));
            sizes.push_back(std::uint64_t{w} * h * 4);
        }
        std::vector<bool> drawn(sizes.size());
        std::uint64_t needed = 0;
        for (int u = 0, uses = count(random); u < uses; ++u) {
            const auto n = static_cast<std::size_t>(side(random)) % sizes.size();
            page.Use(side(random), side(random), side(random), side(random), static_cast<std::uint32_t>(n));
            if (!drawn[n])
                needed += sizes[n];
            drawn[n] = true;
        }
        const std::uint64_t budget = std::uniform_int_distribution<std::uint64_t>(0, 2 * needed + 1)(random);
        const auto memory =
            std::make_shared<PictureMemory>(std::uniform_int_distribution<std::uint64_t>(0, needed)(random));
        {
            const ReadPageResult r = ReadPage(page.Done(), {budget, memory});
            ASSERT_EQ(r.page.has_value(), needed <= budget) << round << ": " << r.error;
            if (!r.page) {
                EXPECT_NE(r.error.find("(tag 14) draws pictures of"), std::string::npos) << r.error;
                ++refused;
                continue;
            }
            ++read;
            EXPECT_EQ(r.page->pictureBytes, needed);
            TraceCanvas trace;
            ReplayPage(*r.page, trace, QRect(0, 0, 60, 60));
            EXPECT_LE(memory->Used(), memory->Limit());
            // What fitted was decoded; what did not is drawn as nothing.
            for (const PageRecord& record : r.page->records) {
                const PagePicture& picture = std::get<page_record::Picture>(record).picture;
                EXPECT_TRUE(picture.Image().isNull() ||
                            static_cast<std::uint64_t>(picture.Image().sizeInBytes()) == picture.DecodedBytes());
            }
        }
        EXPECT_EQ(memory->Used(), 0u);
    }
    EXPECT_GT(read, 100);
    EXPECT_GT(refused, 100);
}

TEST(PageFuzz, RandomRecords)
{
    std::mt19937 random(7);
    std::uniform_int_distribution<int> tag(0, 16);
    std::uniform_int_distribution<int> count(0, 12);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> small(-300, 300);
    int read = 0;
    for (int round = 0; round < 3000; ++round) {
        PageBuilder page(1 + count(random) * 10, 1 + count(random) * 10, static_cast<std::uint16_t>(1 + round % 2));
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
