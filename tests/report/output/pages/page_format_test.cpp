#include "report/output/pages/page_format.h"

#include "report/output/canvas/painter_canvas.h"
#include "report/output/canvas/trace_canvas.h"
#include "tests/report/output/canvas/canvas_test_support.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace report::output {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A page of 200 x 200 pixels at 96 dpi.
PageHeader TestHeader() { return {529, 529, 96, 96, 200, 200}; }

Page MustRead(const Bytes& bytes)
{
    ReadPageResult r = ReadPage(bytes);
    EXPECT_TRUE(r.page.has_value()) << r.error;
    return r.page ? std::move(*r.page) : Page{};
}

TEST(PageRoundTrip, ReplayedPageTracesAsTheDirectCalls)
{
    TraceCanvas direct;
    test::DrawEveryCall(direct);

    PageRecorder recorder(TestHeader());
    test::DrawEveryCall(recorder);
    const Bytes bytes = recorder.Bytes();
    const Page page = MustRead(bytes);
    EXPECT_EQ(page.header, TestHeader());
    EXPECT_EQ(EncodePage(page), bytes);

    TraceCanvas replayed;
    ReplayPage(page, replayed, QRect(0, 0, 200, 200));
    // Replay cuts everything to the target, so "no clip" on the page is the target's clip.
    std::vector<std::string> expected{"SetClipRect 0,0,200,200"};
    for (const std::string& line : direct.Lines())
        expected.push_back(line == "RemoveClip" ? "SetClipRect 0,0,200,200" : line);
    expected.push_back("RemoveClip");
    EXPECT_EQ(replayed.Lines(), expected);
}

TEST(PageRoundTrip, ReplayedPageDrawsTheSamePixels)
{
    const QImage direct = test::Draw(200, 200, test::DrawEveryCall);
    PageRecorder recorder(TestHeader());
    test::DrawEveryCall(recorder);
    const Page page = MustRead(recorder.Bytes());
    const QImage replayed = test::Draw(200, 200, [&](Canvas& c) { ReplayPage(page, c, QRect(0, 0, 200, 200)); });
    EXPECT_GT(test::InkOf(direct).size(), 2000u);
    EXPECT_TRUE(replayed == direct);
}

// The layout of one small page, byte for byte.
// clang-format off
const Bytes kGoldenPage{
    'K', 'V', 'P', 'G', 2, 0, 0, 0, 36, 0, 0, 0, 0xBB, 0, 0, 0,  // magic, 2.0, header 36, length 187
    0x34, 0x08, 0, 0, 0x9A, 0x0B, 0, 0,                          // 2100 x 2970 tenths of a mm
    96, 0, 96, 0, 0x1A, 0x03, 0, 0, 0x63, 0x04, 0, 0,            // 96 dpi, 794 x 1123 pixels
    1, 0, 10, 0, 0, 0, 0, 0, 0xFF, 0, 1, 0, 1, 0, 0, 0,          // pen: red, dash, 1
    9, 0, 16, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 30, 0, 0, 0, 2, 0, 0, 0,  // line (1,2)-(30,2)
    3, 0, 23, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 238, 0, 5, 0,  // font 10 pt bold
    'A', 'r', 'i', 'a', 'l',
    4, 0, 22, 0, 0, 0, 5, 0, 0, 0, 6, 0, 0, 0, 0, 0, 1, 0, 0xFF, 0xFF, 0xFF, 0,  // text at (5,6)
    2, 0, 0, 0, 'A', 'b',
    13, 0, 18, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 4, 0, 0, 0,  // picture 0: 1 x 1, 4 bytes as they are
    0, 0, 0xFF, 0x80,                                            // half-transparent red
    14, 0, 20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0,  // picture 0 in (0,0,2,2)
    12, 0, 0, 0, 0, 0,                                           // no clip
};
// clang-format on

// The same page as the first version of the format wrote it: the picture in its own record.
const Bytes kGoldenPage1{
    'K',  'V',  'P', 'G', 1,    0,    0,  0,  36,   0,    0, 0, 0xAF, 0, 0,    0,  // magic, 1.0, header 36, length 175
    0x34, 0x08, 0,   0,   0x9A, 0x0B, 0,  0,                                       // 2100 x 2970 tenths of a mm
    96,   0,    96,  0,   0x1A, 0x03, 0,  0,  0x63, 0x04, 0, 0,                    // 96 dpi, 794 x 1123 pixels
    1,    0,    10,  0,   0,    0,    0,  0,  0xFF, 0,    1, 0, 1,    0, 0,    0,  // pen: red, dash, 1
    9,    0,    16,  0,   0,    0,    1,  0,  0,    0,    2, 0, 0,    0, 30,   0,    0, 0, 2, 0, 0,   0,  // line (1,2)-(30,2)
    3,    0,    23,  0,   0,    0,    10, 0,  0,    0,    0, 0, 0,    0, 0,    0,    0, 0, 1, 0, 238, 0, 5, 0,  // font 10 pt bold
    'A',  'r',  'i', 'a', 'l',  4,    0,  22, 0,    0,    0, 5, 0,    0, 0,    6,    0, 0, 0, 0, 0,   1, 0, 0xFF, 0xFF,
    0xFF, 0,  // text at (5,6)
    2,    0,    0,   0,   'A',  'b',  10, 0,  32,   0,    0, 0, 0,    0, 0,    0,    0, 0, 0, 0, 2,   0, 0, 0,    2,
    0,    0,    0,                                                                    // picture in (0,0,2,2)
    1,    0,    0,   0,   1,    0,    0,  0,  4,    0,    0, 0, 0,    0, 0xFF, 0x80,  // 1 x 1, half-transparent red
    12,   0,    0,   0,   0,    0,                                                    // no clip
};

void DrawGolden(Canvas& c)
{
    c.SetPen({qRgb(255, 0, 0), PenStyle::Dash, 1});
    c.Line(1, 2, 30, 2);
    FontSpec font;
    font.face = "Arial";
    font.points = 10;
    font.bold = true;
    font.charset = 238;
    c.SetFont(font);
    c.TextOut(5, 6, "Ab");
    QImage picture(1, 1, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(255, 0, 0, 128));
    c.DrawPicture(QRect(0, 0, 2, 2), picture);
    c.RemoveClip();
}

TEST(PageFormat, GoldenPage)
{
    EXPECT_EQ(PageHeaderFor(2100, 2970), (PageHeader{2100, 2970, 96, 96, 794, 1123}));
    PageRecorder recorder(PageHeaderFor(2100, 2970));
    DrawGolden(recorder);
    EXPECT_EQ(recorder.Bytes(), kGoldenPage);
    const Page page = MustRead(kGoldenPage);
    ASSERT_EQ(page.records.size(), 6u);
    const auto& text = std::get<page_record::Text>(page.records[3]);
    EXPECT_EQ(text.bytes, "Ab");
    EXPECT_EQ(text.background, (Background{true, qRgb(255, 255, 255)}));
    EXPECT_EQ(std::get<page_record::Picture>(page.records[4]).picture.Image().pixel(0, 0), qRgba(255, 0, 0, 128));
}

TEST(PageFormat, GoldenPageOfTheFirstVersionReadsTheSame)
{
    const Page first = MustRead(kGoldenPage1);
    EXPECT_EQ(first.header, PageHeaderFor(2100, 2970));
    EXPECT_EQ(first.records, MustRead(kGoldenPage).records);
    // Written again, it takes today's form.
    EXPECT_EQ(EncodePage(first), kGoldenPage);
}

// Byte edits of the golden page; the page length is fixed up unless the case is about it.
struct Edit {
    const char* name;
    std::function<void(Bytes&)> apply;
    const char* error;  // nullptr: the page is read with the golden page's records
    bool keepLength = false;
};

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

// Offsets of the first version's golden page's records.
constexpr std::size_t kPen = 36, kLine = 52, kFont = 74, kText = 103, kPicture = 131, kNoClip = 169;

TEST(PageFormat, ReaderChecksEveryLength)
{
    const Edit edits[] = {
        {"wrong magic", [](Bytes& b) { b[0] = 'X'; }, "do not start with KVPG"},
        {"empty", [](Bytes& b) { b.clear(); }, "do not start with KVPG", true},
        {"header cut short", [](Bytes& b) { b.resize(20); }, "header is cut short", true},
        {"major version 3", [](Bytes& b) { Put16(b, 4, 3); }, "version 3 is not supported"},
        {"major version 0", [](Bytes& b) { Put16(b, 4, 0); }, "version 0 is not supported"},
        {"length one more than the bytes", [](Bytes& b) { Put32(b, 12, 176); }, "does not match the 175 bytes", true},
        {"length zero", [](Bytes& b) { Put32(b, 12, 0); }, "does not match", true},
        {"length all ones", [](Bytes& b) { Put32(b, 12, 0xFFFFFFFF); }, "does not match", true},
        {"header size below the fields", [](Bytes& b) { Put16(b, 8, 35); }, "header size 35"},
        {"header size past the page", [](Bytes& b) { Put16(b, 8, 0xFFFF); }, "header size 65535"},
        {"zero dpi", [](Bytes& b) { Put16(b, 24, 0); }, "resolution is zero"},
        {"zero pixel width", [](Bytes& b) { Put32(b, 28, 0); }, "pixel size is out of range"},
        {"negative pixel height", [](Bytes& b) { Put32(b, 32, 0xFFFFFFFF); }, "pixel size is out of range"},
        {"record length past the page", [](Bytes& b) { Put32(b, kNoClip + 2, 1); },
         "Record at byte 169 runs past the page"},
        {"record length all ones", [](Bytes& b) { Put32(b, kPen + 2, 0xFFFFFFFF); }, "Record at byte 36 runs past"},
        {"record header cut", [](Bytes& b) { b.resize(b.size() - 3); }, "Record at byte 169 runs past"},
        {"pen shorter than its fields",
         [](Bytes& b) {
             Put32(b, kPen + 2, 9);
             b.erase(b.begin() + kPen + 15);
         },
         "(tag 1) is shorter than its fields"},
        {"empty line record",
         [](Bytes& b) {
             Put32(b, kLine + 2, 0);
             b.erase(b.begin() + kLine + 6, b.begin() + kLine + 22);
         },
         "(tag 9) is shorter"},
        {"unknown pen style", [](Bytes& b) { Put16(b, kPen + 10, 7); }, "unknown pen style 7"},
        {"unknown brush style",
         [](Bytes& b) {
             const Bytes brush{2, 0, 6, 0, 0, 0, 0, 0, 0, 0, 8, 0};
             b.insert(b.begin() + kNoClip, brush.begin(), brush.end());
         },
         "unknown brush style 8"},
        {"coordinate beyond 2^24", [](Bytes& b) { Put32(b, kLine + 14, (1u << 24) + 1); }, "beyond 16777216"},
        {"negative coordinate beyond 2^24",
         [](Bytes& b) { Put32(b, kLine + 6, static_cast<std::uint32_t>(-(1 << 24) - 1)); }, "beyond 16777216"},
        {"face past the record", [](Bytes& b) { Put16(b, kFont + 22, 6); }, "face name that runs past"},
        {"text count past the record", [](Bytes& b) { Put32(b, kText + 22, 3); }, "text count that runs past"},
        {"text count all ones", [](Bytes& b) { Put32(b, kText + 22, 0xFFFFFFFF); }, "text count that runs past"},
        {"unknown alignment", [](Bytes& b) { Put16(b, kText + 14, 3); }, "unknown text alignment"},
        {"unknown background", [](Bytes& b) { Put16(b, kText + 16, 2); }, "unknown background mode"},
        {"picture pixels past the record",
         [](Bytes& b) {
             Put32(b, kPicture + 22, 2);
             Put32(b, kPicture + 30, 8);
         },
         "pixels that run past"},
        {"picture height past the record", [](Bytes& b) { Put32(b, kPicture + 26, 2); }, "pixels that run past"},
        {"picture wider than 16384", [](Bytes& b) { Put32(b, kPicture + 22, 16385); }, "larger than 16384"},
        {"picture stride below its width", [](Bytes& b) { Put32(b, kPicture + 30, 3); }, "stride shorter"},
        {"picture huge stride",
         [](Bytes& b) {
             Put32(b, kPicture + 26, 2);
             Put32(b, kPicture + 30, 0xFFFFFFFF);
         },
         "pixels that run past"},
        // Accepted: later minor versions add tags, fields and header bytes; the second version
        // still reads the first one's picture record.
        {"read as version 2", [](Bytes& b) { Put16(b, 4, 2); }, nullptr},
        {"minor version 7", [](Bytes& b) { Put16(b, 6, 7); }, nullptr},
        {"unknown flags", [](Bytes& b) { Put16(b, 10, 0xFFFF); }, nullptr},
        {"unknown tag skipped",
         [](Bytes& b) {
             const Bytes r{99, 0, 3, 0, 0, 0, 1, 2, 3};
             b.insert(b.begin() + kText, r.begin(), r.end());
         },
         nullptr},
        {"unknown empty tag skipped",
         [](Bytes& b) {
             const Bytes r{0, 0, 0, 0, 0, 0};
             b.insert(b.end(), r.begin(), r.end());
         },
         nullptr},
        {"extra payload skipped",
         [](Bytes& b) {
             Put32(b, kPen + 2, 12);
             const Bytes x{7, 7};
             b.insert(b.begin() + kLine, x.begin(), x.end());
         },
         nullptr},
        {"longer header skipped",
         [](Bytes& b) {
             Put16(b, 8, 40);
             const Bytes x{1, 2, 3, 4};
             b.insert(b.begin() + 36, x.begin(), x.end());
         },
         nullptr},
    };
    const Page golden = MustRead(kGoldenPage1);
    for (const Edit& e : edits) {
        SCOPED_TRACE(e.name);
        Bytes bytes = kGoldenPage1;
        e.apply(bytes);
        if (!e.keepLength)
            Put32(bytes, 12, static_cast<std::uint32_t>(bytes.size()));
        const ReadPageResult r = ReadPage(bytes);
        if (e.error) {
            EXPECT_FALSE(r.page.has_value());
            EXPECT_NE(r.error.find(e.error), std::string::npos) << r.error;
        } else {
            ASSERT_TRUE(r.page.has_value()) << r.error;
            EXPECT_TRUE(r.error.empty());
            EXPECT_EQ(r.page->records, golden.records);
        }
    }
}

TEST(PageFormat, ReadsFromAByteArray)
{
    const QByteArray bytes(reinterpret_cast<const char*>(kGoldenPage.data()),
                           static_cast<qsizetype>(kGoldenPage.size()));
    const ReadPageResult r = ReadPage(bytes);
    ASSERT_TRUE(r.page.has_value()) << r.error;
    EXPECT_EQ(r.page->records.size(), 6u);
}

TEST(PageFormat, RecorderWritesSettingsOnlyWhenADrawingUsesThemChanged)
{
    PageRecorder recorder(TestHeader());
    recorder.SetPen({qRgb(1, 2, 3), PenStyle::Dot, 1});
    recorder.SetPen({qRgb(4, 5, 6), PenStyle::Solid, 2});  // never drawn with the first pen
    recorder.Line(0, 0, 5, 5);
    recorder.Line(0, 0, 5, 6);                // same pen: no new pen record
    recorder.FillRect(GdiRect(0, 0, 4, 4));   // the brush only
    recorder.Rectangle(GdiRect(0, 0, 4, 4));  // pen and brush as recorded
    recorder.SetBrush({qRgb(9, 9, 9), BrushStyle::Cross});
    recorder.Line(1, 1, 2, 2);  // a line does not use the brush
    recorder.Ellipse(GdiRect(0, 0, 4, 4));
    recorder.TextOut(1, 1, "a");
    recorder.TextOut(1, 9, "b");
    namespace pr = page_record;
    const std::vector<PageRecord> want{
        pr::SetPen{{qRgb(4, 5, 6), PenStyle::Solid, 2}},
        pr::Line{0, 0, 5, 5},
        pr::Line{0, 0, 5, 6},
        pr::SetBrush{Brush{}},
        pr::Fill{GdiRect(0, 0, 4, 4)},
        pr::Rectangle{GdiRect(0, 0, 4, 4)},
        pr::Line{1, 1, 2, 2},
        pr::SetBrush{{qRgb(9, 9, 9), BrushStyle::Cross}},
        pr::Ellipse{GdiRect(0, 0, 4, 4)},
        pr::SetFont{FontSpec{}},
        pr::Text{1, 1, {}, {}, "a"},
        pr::Text{1, 9, {}, {}, "b"},
    };
    EXPECT_EQ(recorder.GetPage().records, want);
}

TEST(PageFormat, RecorderMeasuresAtThePageResolution)
{
    FontSpec font;
    font.face = "Arial";
    font.points = 10;
    PageRecorder at96(PageHeaderFor(2100, 2970, 96));
    PageRecorder at300(PageHeaderFor(2100, 2970, 300));
    at96.SetFont(font);
    at300.SetFont(font);
    EXPECT_EQ(at96.Dpi(), 96);
    EXPECT_EQ(at300.Dpi(), 300);
    EXPECT_EQ(at96.TextWidth("AV"), 17);
    EXPECT_EQ(at96.TextHeight("AV"), 15);
    MeasureDevice m300(300);
    EXPECT_EQ(at300.TextWidth("AV"), m300.TextWidth(font, "AV"));
    EXPECT_GT(at300.TextWidth("AV"), 50);
}

TEST(PageFormat, OversizedPicturesAreRecordedWithinTheLimit)
{
    PageRecorder recorder(TestHeader());
    QImage wide(kMaxPictureSide + 10, 2, QImage::Format_RGB32);
    wide.fill(Qt::red);
    recorder.DrawPicture(QRect(0, 0, 100, 2), wide);
    const Page page = MustRead(recorder.Bytes());
    const auto& picture = std::get<page_record::Picture>(page.records.at(0));
    EXPECT_EQ(picture.picture.Size().width(), kMaxPictureSide);
    EXPECT_EQ(picture.rect, QRect(0, 0, 100, 2));
    EXPECT_EQ(picture.picture.Image().pixel(5, 1), qRgb(255, 0, 0));
}

TEST(PageFormat, ForEachTextVisitsTextsInOrderAndStops)
{
    PageRecorder recorder(TestHeader());
    recorder.TextOut(0, 0, "first");
    recorder.FillRect(GdiRect(0, 0, 3, 3));
    recorder.TextOut(0, 20, "");
    recorder.TextOut(0, 40, "\xA3\xF3\x64\xBC");  // "Łódź" in code page 1250
    const Page page = MustRead(recorder.Bytes());
    std::vector<std::string> seen;
    ForEachText(page, [&](const page_record::Text& t) {
        seen.push_back(t.bytes);
        return true;
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"first", "", "\xA3\xF3\x64\xBC"}));
    seen.clear();
    ForEachText(page, [&](const page_record::Text& t) {
        seen.push_back(t.bytes);
        return t.bytes != "first";
    });
    EXPECT_EQ(seen, std::vector<std::string>{"first"});
}

TEST(PageReplay, StretchesIntoTheTarget)
{
    PageRecorder recorder({264, 132, 96, 96, 100, 50});
    recorder.SetPen({qRgb(0, 0, 0), PenStyle::Solid, 3});
    recorder.FillRect(GdiRect(10, 10, 20, 20));
    recorder.Line(0, 0, 100, 50);
    recorder.RoundRect(GdiRect(0, 0, 10, 10), 4, 2);
    recorder.SetClipRect(GdiRect(-50, 40, 60, 90));
    recorder.TextOut(7, 3, "x");
    recorder.SetPen({qRgb(0, 0, 0), PenStyle::Solid, 1});
    recorder.Line(1, 1, 2, 2);
    recorder.SetPen({qRgb(0, 0, 0), PenStyle::Solid, 0});
    recorder.Line(1, 1, 2, 2);
    recorder.SetPen({qRgb(0, 0, 0), PenStyle::Dot, 1});
    recorder.Line(1, 1, 2, 2);
    const Page page = MustRead(recorder.Bytes());

    TraceCanvas trace;
    trace.SetPen({qRgb(1, 1, 1), PenStyle::Dot, 0});
    ReplayPage(page, trace, QRect(50, 50, 200, 100));
    const std::vector<std::string> want{
        "SetClipRect 50,50,250,150",
        "FillRect 70,70,90,90 brush=solid/#ffffff",
        "Line 50,50,250,150 pen=solid/6/#000000",
        "RoundRect 50,50,70,70 corner=8x4 pen=solid/6/#000000 brush=solid/#ffffff",
        "SetClipRect 50,130,170,150",
        "TextOut 64,56 \"x\" font=\"MS Sans Serif\"/8pt/----/#000000/charset 1/angle 0/scale 2.000000 align=left "
        "bg=opaque/#ffffff",
        "Line 52,52,54,54 pen=solid/2/#000000",
        "Line 52,52,54,54 pen=solid/0/#000000",
        "Line 52,52,54,54 pen=dot/1/#000000",
        "RemoveClip",
    };
    EXPECT_EQ(trace.Lines(), want);
    // The canvas keeps its own settings.
    EXPECT_EQ(trace.GetPen(), (Pen{qRgb(1, 1, 1), PenStyle::Dot, 0}));
    EXPECT_EQ(trace.GetFontScale(), 1);
}

TEST(PageReplay, DrawingIsCutToTheTarget)
{
    PageRecorder recorder({264, 132, 96, 96, 100, 50});
    recorder.SetBrush({qRgb(0, 0, 0), BrushStyle::Solid});
    recorder.FillRect(GdiRect(-20, -20, 200, 200));
    const Page page = MustRead(recorder.Bytes());
    const QImage image = test::Draw(60, 60, [&](Canvas& c) { ReplayPage(page, c, QRect(5, 10, 50, 25)); });
    EXPECT_EQ(test::InkOf(image), test::Block(5, 10, 55, 35));
}

TEST(PageReplay, TextFollowsThePageScale)
{
    FontSpec font;
    font.face = "Arial";
    font.points = 10;
    PageRecorder recorder(TestHeader());
    recorder.SetFont(font);
    recorder.SetBackground({true, qRgb(0, 0, 0)});
    recorder.TextOut(0, 0, "AV");
    const Page page = MustRead(recorder.Bytes());
    // Half size on a 96-dpi canvas, and full size on a 192-dpi canvas twice as large.
    const std::tuple<int, int, int> rows[] = {{96, 100, 8}, {192, 400, 30}, {96, 200, 15}};
    for (const auto& [dpi, side, height] : rows) {
        SCOPED_TRACE(dpi);
        QImage image = test::WhiteImage(side, side);
        {
            QPainter painter(&image);
            PainterCanvas canvas(painter, dpi);
            ReplayPage(page, canvas, QRect(0, 0, side, side));
        }
        const test::PixelSet ink = test::InkOf(image);
        ASSERT_FALSE(ink.empty());
        int bottom = 0;
        for (const auto& p : ink)
            bottom = std::max(bottom, p.second + 1);
        EXPECT_EQ(bottom, height);
    }
}

}  // namespace
}  // namespace report::output
