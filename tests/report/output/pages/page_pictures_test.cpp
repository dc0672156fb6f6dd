// Pictures kept once per page: what the recorder stores, what the reader refuses, and that the
// pages draw as they did when every picture was stored where it was drawn.
#include "report/output/canvas/painter_canvas.h"
#include "report/output/canvas/trace_canvas.h"
#include "report/output/pages/page_format.h"
#include "report/output/pages/page_list.h"
#include "report/output/printer/rp_printer.h"
#include "tests/report/output/canvas/canvas_test_support.h"
#include "tests/support/file_fixture.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

namespace report::output {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

std::uint32_t Get32(const Bytes& b, std::size_t at)
{
    return std::uint32_t{b[at]} | std::uint32_t{b[at + 1]} << 8 | std::uint32_t{b[at + 2]} << 16 |
           std::uint32_t{b[at + 3]} << 24;
}

void Put32(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

void Put16(Bytes& b, std::size_t at, std::uint16_t v)
{
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

struct RecordAt {
    std::uint16_t tag;
    std::size_t offset;  // of the record's tag
    std::uint32_t length;
};

// The records of a well-formed page, in order.
std::vector<RecordAt> RecordsOf(const Bytes& page)
{
    std::vector<RecordAt> records;
    for (std::size_t at = kPageHeaderSize; at + 6 <= page.size();) {
        const RecordAt r{static_cast<std::uint16_t>(page[at] | page[at + 1] << 8), at, Get32(page, at + 2)};
        records.push_back(r);
        at += 6 + r.length;
    }
    return records;
}

std::size_t CountTag(const Bytes& page, PageTag tag)
{
    std::size_t n = 0;
    for (const RecordAt& r : RecordsOf(page))
        n += r.tag == static_cast<std::uint16_t>(tag);
    return n;
}

// The n-th record (from 0) with `tag`.
RecordAt Nth(const Bytes& page, PageTag tag, std::size_t n = 0)
{
    for (const RecordAt& r : RecordsOf(page)) {
        if (r.tag == static_cast<std::uint16_t>(tag) && n-- == 0)
            return r;
    }
    ADD_FAILURE() << "no such record";
    return {};
}

void FixLength(Bytes& page) { Put32(page, 12, static_cast<std::uint32_t>(page.size())); }

// A row icon as the activity list draws them: a coloured disc on white, 29 x 32.
QImage Icon(int seed, QImage::Format format = QImage::Format_ARGB32)
{
    QImage icon(29, 32, format);
    icon.fill(Qt::white);
    for (int y = 0; y < icon.height(); ++y)
        for (int x = 0; x < icon.width(); ++x) {
            if ((x - 14) * (x - 14) + (y - 16) * (y - 16) < 100 + 10 * seed)
                icon.setPixel(x, y, qRgb(40 * seed % 256, 120, 200 - 30 * seed));
        }
    return icon;
}

// Pixels that do not compress.
QImage Noise(int width, int height, unsigned seed)
{
    QImage picture(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            picture.setPixel(x, y, seed);
        }
    return picture;
}

PageHeader SmallPage() { return {529, 529, 96, 96, 200, 200}; }

Page MustRead(const Bytes& bytes)
{
    ReadPageResult r = ReadPage(bytes);
    EXPECT_TRUE(r.page.has_value()) << r.error;
    return r.page ? std::move(*r.page) : Page{};
}

std::vector<QImage> PicturesOf(const Page& page)
{
    std::vector<QImage> pictures;
    for (const PageRecord& record : page.records) {
        if (const auto* p = std::get_if<page_record::Picture>(&record))
            pictures.push_back(p->picture.Image());
    }
    return pictures;
}

TEST(PagePictures, APictureDrawnAgainIsStoredOnce)
{
    struct Case {
        const char* name;
        std::function<std::vector<QImage>()> pictures;  // drawn in this order
        std::size_t stored;
    };
    const Case cases[] = {
        {"the same image three times",
         [] {
             const QImage i = Icon(1);
             return std::vector{i, i, i};
         },
         1},
        {"copies with their own keys",
         [] {
             const QImage i = Icon(1);
             return std::vector{i, i.copy(), Icon(1)};
         },
         1},
        {"the same pixels in another format",
         [] {
             return std::vector{Icon(2, QImage::Format_RGB32), Icon(2, QImage::Format_ARGB32)};
         },
         1},
        {"two icons taking turns",
         [] {
             return std::vector{Icon(1), Icon(2), Icon(1), Icon(2), Icon(1)};
         },
         2},
        {"the same bytes in another shape",
         [] {
             const QImage a = Noise(4, 4, 9);
             QImage b(2, 8, QImage::Format_ARGB32);
             std::memcpy(b.bits(), a.constBits(), 64);
             return std::vector{a, b};
         },
         2},
        {"no pixels, twice",
         [] {
             return std::vector{QImage(), QImage()};
         },
         1},
        {"no pixels and pixels",
         [] {
             return std::vector{QImage(), Icon(3)};
         },
         2},
        {"wider than a page keeps, twice",
         [] {
             QImage wide(kMaxPictureSide + 3, 1, QImage::Format_RGB32);
             wide.fill(Qt::red);
             return std::vector{wide, wide};
         },
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<QImage> drawn = c.pictures();
        PageRecorder recorder(SmallPage());
        for (std::size_t i = 0; i < drawn.size(); ++i)
            recorder.DrawPicture(QRect(static_cast<int>(i) * 10, 0, 29, 32), drawn[i]);
        const Bytes bytes = recorder.Bytes();
        EXPECT_EQ(CountTag(bytes, PageTag::PictureData), c.stored);
        EXPECT_EQ(CountTag(bytes, PageTag::PictureUse), drawn.size());
        EXPECT_EQ(CountTag(bytes, PageTag::Picture), 0u);
        // Every use draws the pixels drawn there.
        const std::vector<QImage> read = PicturesOf(MustRead(bytes));
        ASSERT_EQ(read.size(), drawn.size());
        for (std::size_t i = 0; i < drawn.size(); ++i) {
            const QImage want = drawn[i].isNull()
                                    ? QImage()
                                    : drawn[i]
                                          .convertToFormat(QImage::Format_ARGB32)
                                          .copy(0, 0, std::min(drawn[i].width(), kMaxPictureSide), drawn[i].height());
            EXPECT_TRUE(read[i] == want) << i;
        }
    }
}

TEST(PagePictures, AnImageChangedBetweenDrawingsIsStoredAgain)
{
    QImage icon = Icon(1);
    PageRecorder recorder(SmallPage());
    recorder.DrawPicture(QRect(0, 0, 29, 32), icon);
    icon.setPixel(3, 3, qRgb(1, 2, 3));  // the same QImage, changed in place
    recorder.DrawPicture(QRect(40, 0, 29, 32), icon);
    recorder.DrawPicture(QRect(80, 0, 29, 32), icon);
    const Bytes bytes = recorder.Bytes();
    EXPECT_EQ(CountTag(bytes, PageTag::PictureData), 2u);
    const std::vector<QImage> read = PicturesOf(MustRead(bytes));
    ASSERT_EQ(read.size(), 3u);
    EXPECT_TRUE(read[0] == Icon(1));
    EXPECT_TRUE(read[1] == icon);
    EXPECT_TRUE(read[2] == icon);
}

// Pixel coding: 0 rows as they are, 1 deflated.
std::uint16_t CodingOf(const Bytes& page, const RecordAt& data)
{
    return static_cast<std::uint16_t>(page[data.offset + 14] | page[data.offset + 15] << 8);
}
std::uint32_t CountOf(const Bytes& page, const RecordAt& data) { return Get32(page, data.offset + 16); }

TEST(PagePictures, PixelsAreStoredDeflatedOnlyWhenThatIsSmaller)
{
    const struct {
        const char* name;
        QImage picture;
        std::uint16_t coding;
    } cases[] = {
        {"an icon", Icon(4), 1},
        {"one colour, large",
         [] {
             QImage i(600, 400, QImage::Format_ARGB32);
             i.fill(qRgb(9, 8, 7));
             return i;
         }(),
         1},
        {"noise", Noise(16, 16, 3), 0},
        {"one pixel", Noise(1, 1, 5), 0},
        {"no pixels", QImage(), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PageRecorder recorder(SmallPage());
        recorder.DrawPicture(QRect(0, 0, 10, 10), c.picture);
        const Bytes bytes = recorder.Bytes();
        const RecordAt data = Nth(bytes, PageTag::PictureData);
        const std::uint64_t plain = static_cast<std::uint64_t>(c.picture.width()) * c.picture.height() * 4;
        EXPECT_EQ(CodingOf(bytes, data), c.coding);
        if (c.coding == 0)
            EXPECT_EQ(CountOf(bytes, data), plain);
        else
            EXPECT_LT(CountOf(bytes, data), plain);
        const std::vector<QImage> read = PicturesOf(MustRead(bytes));
        ASSERT_EQ(read.size(), 1u);
        EXPECT_TRUE(read[0] == c.picture);
    }
}

// A page with a deflated icon (picture 0) and a one-pixel picture stored as it is (picture 1),
// each used once.
Bytes TwoPicturePage()
{
    PageRecorder recorder(SmallPage());
    recorder.DrawPicture(QRect(0, 0, 29, 32), Icon(1));
    recorder.DrawPicture(QRect(40, 0, 2, 2), Noise(1, 1, 7));
    return recorder.Bytes();
}

TEST(PagePictures, DamagedPictureRecordsAreRefused)
{
    // Field offsets inside a picture record: tag 0, length 2, width 6, height 10, coding 14,
    // count 16, pixels 20; inside a use: rectangle 6, number 22.
    const auto icon = [](const Bytes& b) { return Nth(b, PageTag::PictureData, 0); };
    const auto pixel = [](const Bytes& b) { return Nth(b, PageTag::PictureData, 1); };
    const auto use = [](const Bytes& b, std::size_t n) { return Nth(b, PageTag::PictureUse, n); };
    // Moves `count` bytes at `from` to `to` (before the move).
    const auto moveBytes = [](Bytes& b, std::size_t from, std::size_t count, std::size_t to) {
        const Bytes piece(b.begin() + static_cast<std::ptrdiff_t>(from),
                          b.begin() + static_cast<std::ptrdiff_t>(from + count));
        b.erase(b.begin() + static_cast<std::ptrdiff_t>(from), b.begin() + static_cast<std::ptrdiff_t>(from + count));
        b.insert(b.begin() + static_cast<std::ptrdiff_t>(to), piece.begin(), piece.end());
    };
    struct Edit {
        const char* name;
        std::function<void(Bytes&)> apply;
        const char* error;
    };
    const Edit edits[] = {
        {"picture shorter than its fields",
         [&](Bytes& b) {
             const RecordAt r = pixel(b);
             Put32(b, r.offset + 2, 12);
             b.erase(b.begin() + static_cast<std::ptrdiff_t>(r.offset + 18),
                     b.begin() + static_cast<std::ptrdiff_t>(r.offset + 24));
         },
         "(tag 13) is shorter than its fields"},
        {"pixel count past the record", [&](Bytes& b) { Put32(b, pixel(b).offset + 16, 5); },
         "pixels that run past the record"},
        {"pixel count all ones", [&](Bytes& b) { Put32(b, icon(b).offset + 16, 0xFFFFFFFF); },
         "pixels that run past the record"},
        {"raw pixels fewer than its size", [&](Bytes& b) { Put32(b, pixel(b).offset + 6, 2); },
         "has 4 bytes of pixels for a 2 x 1 picture"},
        {"raw pixels more than its size", [&](Bytes& b) { Put32(b, pixel(b).offset + 16, 0); },
         "has 0 bytes of pixels for a 1 x 1 picture"},
        {"wider than 16384", [&](Bytes& b) { Put32(b, pixel(b).offset + 6, 16385); },
         "larger than 16384 pixels a side"},
        {"higher than 16384", [&](Bytes& b) { Put32(b, icon(b).offset + 10, 0x80000000); },
         "larger than 16384 pixels a side"},
        {"unknown coding", [&](Bytes& b) { Put16(b, pixel(b).offset + 14, 2); }, "unknown picture coding 2"},
        {"deflated pixels read as raw", [&](Bytes& b) { Put16(b, icon(b).offset + 14, 0); },
         "bytes of pixels for a 29 x 32 picture"},
        {"deflated, more pixels than the bytes can hold",
         [&](Bytes& b) {
             const RecordAt r = icon(b);
             Put32(b, r.offset + 6, 16384);
             Put32(b, r.offset + 10, 16384);
         },
         "do not decode to a 16384 x 16384 picture"},
        {"use of a picture not on the page", [&](Bytes& b) { Put32(b, use(b, 1).offset + 22, 2); },
         "(tag 14) refers to picture 2, which the page does not hold"},
        {"use number all ones", [&](Bytes& b) { Put32(b, use(b, 0).offset + 22, 0xFFFFFFFF); },
         "refers to picture 4294967295"},
        {"use before its picture",
         [&](Bytes& b) {
             const RecordAt u = use(b, 1);
             moveBytes(b, u.offset, 6 + u.length, pixel(b).offset);
         },
         "refers to picture 1, which the page does not hold"},
        {"use shorter than its fields",
         [&](Bytes& b) {
             const RecordAt u = use(b, 0);
             Put32(b, u.offset + 2, 16);
             b.erase(b.begin() + static_cast<std::ptrdiff_t>(u.offset + 22),
                     b.begin() + static_cast<std::ptrdiff_t>(u.offset + 26));
         },
         "(tag 14) is shorter than its fields"},
        {"use beyond the coordinate range", [&](Bytes& b) { Put32(b, use(b, 0).offset + 6, (1u << 24) + 1); },
         "beyond 16777216"},
    };
    const Bytes good = TwoPicturePage();
    ASSERT_EQ(CodingOf(good, Nth(good, PageTag::PictureData, 0)), 1);
    ASSERT_EQ(CodingOf(good, Nth(good, PageTag::PictureData, 1)), 0);
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.name);
        Bytes bytes = good;
        e.apply(bytes);
        FixLength(bytes);
        const ReadPageResult r = ReadPage(bytes);
        EXPECT_FALSE(r.page.has_value());
        EXPECT_NE(r.error.find(e.error), std::string::npos) << r.error;
        EXPECT_EQ(r.error.rfind("Record at byte ", 0), 0u) << r.error;
    }
}

// Pixels that do not give their picture are found when the picture is first drawn: the page
// reads, that picture draws as nothing and the page's other pictures as they are.
TEST(PagePictures, PicturesThatDoNotDecodeAreDrawnAsNothing)
{
    const auto icon = [](const Bytes& b) { return Nth(b, PageTag::PictureData, 0); };
    const auto pixel = [](const Bytes& b) { return Nth(b, PageTag::PictureData, 1); };
    struct Edit {
        const char* name;
        std::function<void(Bytes&)> apply;
        std::size_t broken;  // the use of the picture that no longer decodes
    };
    const Edit edits[] = {
        {"raw pixels read as deflated", [&](Bytes& b) { Put16(b, pixel(b).offset + 14, 1); }, 1},
        {"deflated, one row more than they hold", [&](Bytes& b) { Put32(b, icon(b).offset + 10, 33); }, 0},
        {"deflated, one row less than they hold", [&](Bytes& b) { Put32(b, icon(b).offset + 10, 31); }, 0},
        {"deflated, no pixels declared", [&](Bytes& b) { Put32(b, icon(b).offset + 6, 0); }, 0},
        {"deflated, a byte changed", [&](Bytes& b) { b[icon(b).offset + 20 + CountOf(b, icon(b)) / 2] ^= 0x55; }, 0},
        {"deflated, the check sum changed", [&](Bytes& b) { b[icon(b).offset + 20 + CountOf(b, icon(b)) - 1] ^= 1; },
         0},
        {"deflated, cut short",
         [&](Bytes& b) {
             const RecordAt r = icon(b);
             Put32(b, r.offset + 16, CountOf(b, r) - 1);
             Put32(b, r.offset + 2, r.length - 1);
             b.erase(b.begin() + static_cast<std::ptrdiff_t>(r.offset + 20 + CountOf(b, r)));
         },
         0},
        {"deflated, a byte after the stream",
         [&](Bytes& b) {
             const RecordAt r = icon(b);
             Put32(b, r.offset + 16, CountOf(b, r) + 1);
             Put32(b, r.offset + 2, r.length + 1);
             b.insert(b.begin() + static_cast<std::ptrdiff_t>(r.offset + 20 + CountOf(b, r) - 1), 0);
         },
         0},
        {"deflated garbage",
         [&](Bytes& b) {
             const RecordAt r = icon(b);
             for (std::uint32_t i = 0; i < CountOf(b, r); ++i)
                 b[r.offset + 20 + i] = static_cast<std::uint8_t>(i * 37);
         },
         0},
    };
    const std::vector<QImage> want = PicturesOf(MustRead(TwoPicturePage()));
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.name);
        Bytes bytes = TwoPicturePage();
        e.apply(bytes);
        FixLength(bytes);
        const std::vector<QImage> read = PicturesOf(MustRead(bytes));
        ASSERT_EQ(read.size(), want.size());
        for (std::size_t i = 0; i < read.size(); ++i)
            EXPECT_TRUE(i == e.broken ? read[i].isNull() : read[i] == want[i]) << i;
    }
}

TEST(PagePictures, AcceptedVariationsReadTheSamePictures)
{
    const Bytes good = TwoPicturePage();
    const Page want = MustRead(good);
    const auto pixel = [](const Bytes& b) { return Nth(b, PageTag::PictureData, 1); };
    const std::pair<const char*, std::function<void(Bytes&)>> edits[] = {
        {"fields of a later minor version after the pixels",
         [&](Bytes& b) {
             const RecordAt r = pixel(b);
             Put32(b, r.offset + 2, r.length + 3);
             const Bytes x{1, 2, 3};
             b.insert(b.begin() + static_cast<std::ptrdiff_t>(r.offset + 6 + r.length), x.begin(), x.end());
         }},
        {"a use with a field more",
         [&](Bytes& b) {
             const RecordAt u = Nth(b, PageTag::PictureUse, 1);
             Put32(b, u.offset + 2, u.length + 2);
             const Bytes x{9, 9};
             b.insert(b.begin() + static_cast<std::ptrdiff_t>(u.offset + 6 + u.length), x.begin(), x.end());
         }},
        {"a picture stored but never used",
         [&](Bytes& b) {
             const RecordAt u = Nth(b, PageTag::PictureUse, 1);
             b.erase(b.begin() + static_cast<std::ptrdiff_t>(u.offset),
                     b.begin() + static_cast<std::ptrdiff_t>(u.offset + 6 + u.length));
         }},
    };
    for (const auto& [name, apply] : edits) {
        SCOPED_TRACE(name);
        Bytes bytes = good;
        apply(bytes);
        FixLength(bytes);
        const Page page = MustRead(bytes);
        const std::vector<QImage> read = PicturesOf(page);
        const std::vector<QImage> expected = PicturesOf(want);
        ASSERT_FALSE(read.empty());
        for (std::size_t i = 0; i < read.size(); ++i)
            EXPECT_TRUE(read[i] == expected[i]) << i;
    }
}

// Pages of the first version knew neither record: they are skipped there, as unknown tags are.
TEST(PagePictures, PagesOfTheFirstVersionSkipTheNewRecords)
{
    Bytes bytes = TwoPicturePage();
    Put16(bytes, 4, 1);
    const Page page = MustRead(bytes);
    EXPECT_TRUE(page.records.empty());
    // And the first version's own picture record still reads in the second.
    PageRecorder recorder(SmallPage());
    recorder.Line(1, 1, 5, 5);
    Bytes second = recorder.Bytes();
    const Bytes v1Picture{10, 0, 32, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 2,
                          0,  0, 0,  1, 0, 0, 0, 1, 0, 0, 0, 4, 0, 0, 0, 1, 2, 3, 0xFF};
    second.insert(second.end(), v1Picture.begin(), v1Picture.end());
    FixLength(second);
    const std::vector<QImage> read = PicturesOf(MustRead(second));
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].pixel(0, 0), 0xFF030201u);
}

// Icons drawn over and over, copied, converted, stretched and cut: the replay of the page draws
// what the drawing itself drew, pixel for pixel.
void DrawRows(Canvas& c)
{
    const QImage drive = Icon(1);
    const QImage work = Icon(2, QImage::Format_RGB32);
    QImage half = Icon(3);
    for (int y = 0; y < half.height(); ++y)
        for (int x = 0; x < half.width(); x += 2)
            half.setPixel(x, y, qRgba(0, 0, 0, 100));
    for (int row = 0; row < 12; ++row) {
        const QImage& icon = row % 3 == 0 ? drive : row % 3 == 1 ? work : half;
        c.DrawPicture(QRect(2, row * 16, 29, 16), icon);
        c.DrawPicture(QRect(40, row * 16, 15, 32), row % 2 ? icon.copy() : icon);
        c.SetClipRect(GdiRect(60, row * 16, 80, row * 16 + 10));
        c.DrawPicture(QRect(58, row * 16, 29, 32), icon);
        c.RemoveClip();
    }
    c.DrawPicture(QRect(100, 100, 90, 90), drive);
}

TEST(PagePictures, RepeatedPicturesReplayPixelForPixel)
{
    const QImage direct = test::Draw(200, 200, DrawRows);
    PageRecorder recorder(SmallPage());
    DrawRows(recorder);
    const Bytes bytes = recorder.Bytes();
    EXPECT_EQ(CountTag(bytes, PageTag::PictureData), 3u);
    const Page page = MustRead(bytes);
    const QImage replayed = test::Draw(200, 200, [&](Canvas& c) { ReplayPage(page, c, QRect(0, 0, 200, 200)); });
    EXPECT_GT(test::InkOf(direct).size(), 5000u);
    EXPECT_TRUE(replayed == direct);
}

// ---- report files written before pictures were kept once --------------------------------

fs::path Fixture(const char* name) { return fs::path(KARTOVAN_PAGES_TEST_DATA) / name; }

// Replays `page` at its own size and at 300 dpi, as the fixture's trace lists them.
std::string TraceOf(const Page& page, int n)
{
    std::string text;
    for (const QRect target : {QRect(0, 0, 794, 1123), QRect(-12, -12, 2480, 3508)}) {
        TraceCanvas canvas(target.width() > 1000 ? 300 : 96);
        ReplayPage(page, canvas, target);
        text += "page " + std::to_string(n) + " into " + std::to_string(target.x()) + ',' + std::to_string(target.y()) +
                ',' + std::to_string(target.width()) + 'x' + std::to_string(target.height()) + '\n' + canvas.Text();
    }
    return text;
}

QImage Render(const Page& page)
{
    QImage image = test::WhiteImage(794, 1123);
    QPainter painter(&image);
    PainterCanvas canvas(painter, 96);
    ReplayPage(page, canvas, image.rect());
    return image;
}

class FirstVersionFiles : public testsupport::TempFolder {};

TEST_F(FirstVersionFiles, LoadAndReplayAsTheyDidAndKeepTheirBytes)
{
    const std::string trace = testsupport::ReadFile(Fixture("pages_1_0_replay.txt"));
    ASSERT_FALSE(trace.empty());
    for (const char* name : {"pages_1_0.rpp", "pages_1_0_compressed.rpp"}) {
        SCOPED_TRACE(name);
        TRpPageList list;
        std::string error;
        ASSERT_TRUE(list.LoadFromFile(Fixture(name), error)) << error;
        ASSERT_EQ(list.PageCount(), 2);
        EXPECT_EQ(list.Compressed(), std::string(name).find("compressed") != std::string::npos);
        std::string replayed;
        for (int n = 1; n <= 2; ++n) {
            const ReadPageResult read = list.GetPage(n);
            ASSERT_TRUE(read.page) << read.error;
            replayed += TraceOf(*read.page, n);
            // The same page in today's version: the same records, the same pixels, fewer bytes.
            const std::vector<std::uint8_t> now = EncodePage(*read.page);
            EXPECT_LT(now.size(), list.GetPageBytes(n).bytes.size());
            const Page again = MustRead(now);
            EXPECT_EQ(again.records, read.page->records);
            EXPECT_TRUE(Render(again) == Render(*read.page));
        }
        EXPECT_EQ(replayed, trace);
        // Saved again, the file keeps its container and its pages byte for byte.
        const fs::path copy = Root() / "copy.rpp";
        ASSERT_TRUE(list.SaveToFile(copy).ok());
        EXPECT_EQ(testsupport::ReadFile(copy), testsupport::ReadFile(Fixture(name)));
        // The printer object shows the same pages.
        TRpPrinter printer;
        ASSERT_TRUE(printer.LoadRecordedDocument(Fixture(name), error)) << error;
        for (int n = 1; n <= 2; ++n) {
            const std::optional<Page> shown = printer.GetRecordedPage(n);
            ASSERT_TRUE(shown);
            EXPECT_EQ(shown->records, list.GetPage(n).page->records);
        }
    }
}

// A document recorded now, saved as a report file and loaded back, gives its pages again.
class PictureDocuments : public testsupport::TempFolder {};

TEST_F(PictureDocuments, SavedAndLoadedBackGiveTheSamePages)
{
    for (bool compressed : {false, true}) {
        SCOPED_TRACE(compressed);
        TRpPrinter printer;
        printer.SetCompression(compressed);
        printer.BeginDoc();
        for (int n = 1; n <= 3; ++n) {
            printer.NewPage();
            Canvas& canvas = *printer.GetCanvas();
            canvas.TextOut(20, 20, "Strona " + std::to_string(n));
            for (int row = 0; row < 30; ++row)
                canvas.DrawPicture(QRect(700, 40 + row * 34, 29, 32), Icon(row % (2 + n)));
        }
        printer.EndDoc();
        std::vector<Page> pages;
        for (int n = 1; n <= 3; ++n)
            pages.push_back(*printer.GetRecordedPage(n));
        const fs::path file = Root() / "icons.rpp";
        std::string error;
        ASSERT_TRUE(printer.SaveRecordedDocument(file, error)) << error;
        TRpPrinter loaded;
        ASSERT_TRUE(loaded.LoadRecordedDocument(file, error)) << error;
        ASSERT_EQ(loaded.PageCount(), 3);
        for (int n = 1; n <= 3; ++n) {
            SCOPED_TRACE(n);
            const std::optional<Page> page = loaded.GetRecordedPage(n);
            ASSERT_TRUE(page);
            EXPECT_EQ(page->records, pages[static_cast<std::size_t>(n) - 1].records);
            EXPECT_TRUE(Render(*page) == Render(pages[static_cast<std::size_t>(n) - 1]));
            const TRpPageBytes stored = loaded.PageList().GetPageBytes(n);
            const Bytes bytes(stored.bytes.begin(), stored.bytes.end());
            EXPECT_EQ(CountTag(bytes, PageTag::PictureData), static_cast<std::size_t>(2 + n));
            EXPECT_EQ(CountTag(bytes, PageTag::PictureUse), 30u);
        }
    }
}

}  // namespace
}  // namespace report::output
