#include "report/output/xml/rpx_document.h"

#include "report/output/canvas/painter_canvas.h"
#include "report/output/canvas/trace_canvas.h"
#include "report/output/codec/lzw.h"
#include "tests/support/hostile_documents.h"

#include <QBuffer>
#include <QPainter>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

namespace report::output {
namespace {

// A document of A4 pages, each with its own lines of items.
QString
Document(const std::vector<QString>& pages,
         const QString& header = QStringLiteral("<Header Pagewidth=\"210\" Pageheight=\"297\" PaperName=\"A4\">\n"
                                                "<Orientation>portrait</Orientation>\n</Header>"))
{
    QString text = QStringLiteral("<?xml version=\"1.0\"?>\n<QXDoc>\n") + header + QLatin1Char('\n');
    for (std::size_t i = 0; i < pages.size(); ++i)
        text += QStringLiteral("<Page Number=\"%1\">\n").arg(i + 1) + pages[i] + QStringLiteral("\n</Page>\n");
    return text + QStringLiteral("</QXDoc>\n");
}

std::unique_ptr<TRpXDocument> Open(const QString& text)
{
    QString error;
    std::unique_ptr<TRpXDocument> document = TRpXDocument::FromText(text, error);
    EXPECT_NE(document, nullptr) << error.toStdString();
    return document;
}

// The trace of page 1 of a document holding `items`.
std::vector<std::string> Trace(const QString& items, double zoom = 100, const QString& search = QString(),
                               bool matchCase = false, bool images = true)
{
    const auto document = Open(Document({items}));
    TraceCanvas canvas;
    if (document)
        static_cast<void>(document->DrawPage(1, zoom, canvas, search, matchCase, images));
    return canvas.Lines();
}

std::string Hex(const QByteArray& bytes) { return bytes.toHex(' ').toStdString(); }

TEST(TRpXDocumentTest, TheHeaderGivesThePage)
{
    struct Row {
        const char* header;
        const char* error;  // nullptr: read
        const char* paper;
        int orientation;
    };
    const Row rows[] = {
        {"<Header Pagewidth=\"210\" Pageheight=\"297\" "
         "PaperName=\"A4\">\n<Orientation>portrait</Orientation>\n</Header>",
         nullptr, "A4", 0},
        {"<Header Pagewidth=\"297\" Pageheight=\"210\">\n<Orientation>landscape</Orientation>\n</Header>", nullptr,
         "Unknown", 1},
        {"<Header Pagewidth=\"297\" Pageheight=\"210\">\n<Orientation>Portrait</Orientation>\n</Header>", nullptr,
         "Unknown", 1},
        {"<Header Pagewidth=\"210.5\" Pageheight=\"297\"/>", nullptr, "Unknown", 0},
        {"<Header Pageheight=\"297\"/>", "page width missing", nullptr, 0},
        {"<Header Pagewidth=\"210\"/>", "page height missing", nullptr, 0},
        {"<Other/>", "page width missing", nullptr, 0},
        {"<Header Pagewidth=\"0\" Pageheight=\"297\"/>", "Pagewidth", nullptr, 0},
        {"<Header Pagewidth=\"-5\" Pageheight=\"297\"/>", "Pagewidth", nullptr, 0},
        {"<Header Pagewidth=\"abc\" Pageheight=\"297\"/>", "Pagewidth", nullptr, 0},
        {"<Header Pagewidth=\"10000000\" Pageheight=\"297\"/>", "Pagewidth", nullptr, 0},
        {"<Header Pagewidth=\"210\" Pageheight=\"nan\"/>", "Pageheight", nullptr, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.header);
        QString error;
        const auto document = TRpXDocument::FromText(Document({}, QString::fromLatin1(row.header)), error);
        if (row.error) {
            EXPECT_EQ(document, nullptr);
            EXPECT_TRUE(error.contains(QLatin1String(row.error))) << error.toStdString();
            continue;
        }
        ASSERT_NE(document, nullptr) << error.toStdString();
        EXPECT_EQ(document->PaperName(), QString::fromLatin1(row.paper));
        EXPECT_EQ(document->Orientation(), row.orientation);
    }
}

TEST(TRpXDocumentTest, PicturesAreSizedByTheZoomWithHalvesToEven)
{
    const auto document = Open(Document({QString(), QString()}));
    ASSERT_NE(document, nullptr);
    EXPECT_EQ(document->PageCount(), 2);
    EXPECT_EQ(document->PictureSize(100), QSize(794, 1123));
    EXPECT_EQ(document->PictureSize(50), QSize(397, 562));
    EXPECT_EQ(document->PictureSize(150), QSize(1191, 1684));
    const QImage picture = document->PagePicture(1, 50);
    EXPECT_EQ(picture.size(), QSize(397, 562));
    EXPECT_EQ(picture.pixel(10, 10), qRgb(255, 255, 255));
    // A picture beyond the caps is not made: more pixels than the cap (7940 x 11230), a side
    // longer than the cap (18898 x 38), or both.
    EXPECT_TRUE(document->PagePicture(1, 1000).isNull());
    const auto strip = Open(Document({QString()}, QStringLiteral("<Header Pagewidth=\"5000\" Pageheight=\"10\"/>")));
    ASSERT_NE(strip, nullptr);
    EXPECT_TRUE(strip->PagePicture(1, 100).isNull());
    EXPECT_FALSE(strip->PagePicture(1, 80).isNull());
    EXPECT_TRUE(document->PagePicture(1, 100000).isNull());
}

TEST(TRpXDocumentTest, LayersAreDrawnTwoOneZero)
{
    const std::vector<std::string> lines =
        Trace(QStringLiteral("<Item Type=\"text\" X=\"1\" Y=\"1\" Height=\"3\" LY=\"0\">zero</Item>\n"
                             "<Item Type=\"text\" X=\"1\" Y=\"1\" Height=\"3\" LY=\"2\">two</Item>\n"
                             "<Item Type=\"text\" X=\"1\" Y=\"1\" Height=\"3\">none</Item>\n"
                             "<Item Type=\"text\" X=\"1\" Y=\"1\" Height=\"3\" LY=\"1\">one</Item>"));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[0].find("\"two\""), std::string::npos);
    EXPECT_NE(lines[1].find("\"one\""), std::string::npos);
    EXPECT_NE(lines[2].find("\"zero\""), std::string::npos);
    EXPECT_NE(lines[3].find("\"none\""), std::string::npos);
}

TEST(TRpXDocumentTest, GraphicsDrawTheirShape)
{
    // X 10, Y 20, 30 x 10 mm: 38,76 to 151,113 pixels at 96 per inch.
    struct Row {
        const char* attributes;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {"SP=\"0\"", {"Rectangle 38,76,151,113 pen=solid/4/#ff0000 brush=clear/#0000ff"}},
        {"SP=\"0\" FT=\"Fill\"", {"Rectangle 38,76,151,113 pen=clear/1/#ff0000 brush=solid/#0000ff"}},
        {"SP=\"1\"", {"Ellipse 38,76,151,113 pen=solid/4/#ff0000 brush=clear/#0000ff"}},
        {"SP=\"1\" FT=\"fill\"", {"Ellipse 38,76,151,113 pen=clear/1/#ff0000 brush=solid/#0000ff"}},
        {"SP=\"2\"", {"Line 38,76,151,76 pen=solid/4/#ff0000"}},
        {"SP=\"3\"", {"Line 38,76,38,113 pen=solid/4/#ff0000"}},
        {"SP=\"7\"", {"Line 151,76,38,113 pen=solid/4/#ff0000"}},
        {"SP=\"8\"", {"Line 38,76,151,113 pen=solid/4/#ff0000"}},
        {"SP=\"5\"", {}},
        {"SP=\"8\" LW=\"0\"", {"Line 38,76,151,113 pen=solid/1/#ff0000"}},
        {"SP=\"8\" LW=\"0.01\"", {"Line 38,76,151,113 pen=solid/1/#ff0000"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.attributes);
        // The row's attributes come first: the first of a name counts.
        const QString item = QStringLiteral("<Item %1 Type=\"graphic\" X=\"10\" Y=\"20\" Width=\"30\" Height=\"10\" "
                                            "Color=\"#FF0000\" BC=\"0000FF\" LW=\"1\"/>")
                                 .arg(QLatin1String(row.attributes));
        EXPECT_EQ(Trace(item), row.lines);
    }
    // The pen grows with the zoom, and stays one pixel at least.
    EXPECT_EQ(Trace(QStringLiteral("<Item Type=\"graphic\" Width=\"10\" LW=\"1\" SP=\"2\"/>"), 50),
              std::vector<std::string>{"Line 0,0,19,0 pen=solid/2/#ffffff"});
}

TEST(TRpXDocumentTest, TextTakesItsFontFromTheItem)
{
    const std::vector<std::string> lines =
        Trace(QStringLiteral(
                  "<Item Type=\"text\" X=\"10\" Y=\"20\" Height=\"12\" Font=\"Arial\" Color=\"00FF8000\" FW=\"Bold\" "
                  "Dec=\"underline strike\" FR=\"900\">Jazda</Item>\n"
                  "<Item Type=\"text\" X=\"10\" Y=\"20\" Height=\"12\" Dec=\"Italic\" Color=\"12\">x</Item>"),
              50);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "TextOut 19,38 \"Jazda\" font=\"Arial\"/6pt/B-US/#ff8000/charset 1/angle 900 align=left "
                        "bg=transparent");
    EXPECT_EQ(lines[1], "TextOut 19,38 \"x\" font=\"Arial\"/6pt/-I--/#ffffff/charset 1/angle 0 align=left "
                        "bg=transparent");
}

TEST(TRpXDocumentTest, ColoursAreTheLastSixHexDigits)
{
    EXPECT_EQ(RpxColor(QStringLiteral("#FF8000")), qRgb(255, 128, 0));
    EXPECT_EQ(RpxColor(QStringLiteral("$00102030")), qRgb(16, 32, 48));
    EXPECT_EQ(RpxColor(QStringLiteral("0000ff")), qRgb(0, 0, 255));
    EXPECT_EQ(RpxColor(QStringLiteral("12345")), qRgb(255, 255, 255));
    EXPECT_EQ(RpxColor(QString()), qRgb(255, 255, 255));
    EXPECT_EQ(RpxColor(QStringLiteral("xyzxyz")), qRgb(255, 255, 255));
}

TEST(TRpXDocumentTest, SearchHitsAreFramedAsTheListHasThem)
{
    const QString items = QStringLiteral("<Item Type=\"text\" X=\"1\" Y=\"1\" Height=\"3\">Jazda</Item>\n"
                                         "<Item Type=\"text\" X=\"1\" Y=\"9\" Height=\"3\">jazda</Item>\n"
                                         "<Item Type=\"text\" X=\"1\" Y=\"19\" Height=\"3\">Odpoczynek</Item>");
    const auto frames = [&](const char* search, bool matchCase) {
        int count = 0;
        for (const std::string& line : Trace(items, 100, QString::fromLatin1(search), matchCase))
            count +=
                line.rfind("Rectangle", 0) == 0 && line.find("pen=solid/1/#ff0000 brush=clear") != std::string::npos;
        return count;
    };
    EXPECT_EQ(frames("Jazda", true), 1);
    EXPECT_EQ(frames("Jazda", false), 2);
    EXPECT_EQ(frames("JAZDA", true), 0);
    EXPECT_EQ(frames("", false), 0);
    // The frame comes before its text.
    const std::vector<std::string> lines = Trace(items, 100, QStringLiteral("Odpo"), false);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[2].rfind("Rectangle 4,72,", 0), 0u) << lines[2];
    EXPECT_NE(lines[3].find("Odpoczynek"), std::string::npos);
}

QByteArray BmpBytes()
{
    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "BMP");
    return bytes;
}

TEST(TRpXDocumentTest, ImagesAreDecodedOrSayTheyAreNotAvailable)
{
    const QByteArray bmp = BmpBytes();
    std::string coded;
    LZWEncode(bmp.toStdString(), coded);
    struct Row {
        std::string data;
        const char* attributes;
        const char* line;  // the trace line's start
    };
    const Row rows[] = {
        {Hex(bmp), "Cmp=\"none\"", "DrawPicture 38,76,42,79 4x3"},
        {Hex(QByteArray::fromStdString(coded)), "Cmp=\"LZW\"", "DrawPicture 38,76,42,79 4x3"},
        {Hex(bmp.left(20)), "", "TextOut 38,76 \"Image not available\""},
        {Hex(bmp), "Cmp=\"lzw\"", "TextOut 38,76 \"Image not available\""},
        {"zz", "", "TextOut 38,76 \"Image not available\""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.attributes);
        const std::vector<std::string> lines =
            Trace(QStringLiteral("<Item Type=\"image\" X=\"10\" Y=\"20\" Width=\"30\" Height=\"10\" %1>%2</Item>")
                      .arg(QLatin1String(row.attributes), QString::fromStdString(row.data)));
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0].rfind(row.line, 0), 0u) << lines[0];
    }
    // A thumbnail shows a grey box in the item's place instead of the picture.
    EXPECT_EQ(Trace(QStringLiteral("<Item Type=\"image\" X=\"10\" Y=\"20\" Width=\"30\" Height=\"10\">%1</Item>")
                        .arg(QString::fromStdString(Hex(bmp))),
                    100, QString(), false, false),
              std::vector<std::string>{"Rectangle 38,76,151,113 pen=solid/1/#000000 brush=solid/#c0c0c0"});
}

TEST(TRpXDocumentTest, TheDecodedSizeIsKnownBeforeDecoding)
{
    std::mt19937 random(7);
    for (const std::size_t size : {0u, 3u, 1000u, 70000u}) {
        std::string input(size, '\0');
        for (char& c : input)
            c = static_cast<char>(random() % 4);  // repeats, so the table fills and is cleared
        std::string coded;
        LZWEncode(input, coded);
        EXPECT_EQ(LzwDecodedSize(coded, 1u << 20), std::optional<std::size_t>(size)) << size;
        if (size > 0) {
            EXPECT_EQ(LzwDecodedSize(coded, size - 1), std::nullopt) << size;
        }
        if (size > 10) {
            EXPECT_EQ(LzwDecodedSize(std::string_view(coded).substr(0, coded.size() / 2), 1u << 20), std::nullopt);
        }
    }
    // A code that names no entry.
    EXPECT_EQ(LzwDecodedSize(std::string("\xFF\xFF\xFF", 3), 100), std::nullopt);
}

// Image items of one page; item `i` carries picture `pictures[i]` at its own place.
QString ImageItems(const std::vector<QByteArray>& pictures, bool lzw)
{
    QString items;
    for (std::size_t i = 0; i < pictures.size(); ++i) {
        std::string data = pictures[i].toStdString();
        if (lzw) {
            std::string coded;
            LZWEncode(data, coded);
            data = coded;
        }
        items += QStringLiteral("<Item Type=\"image\" X=\"%1\" Y=\"20\"%2>%3</Item>\n")
                     .arg(10 + 20 * static_cast<int>(i))
                     .arg(lzw ? QStringLiteral(" Cmp=\"lzw\"") : QString())
                     .arg(QString::fromStdString(Hex(QByteArray::fromStdString(data))));
    }
    return items;
}

QByteArray Bmp(int width, int height, QRgb colour)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "BMP");
    return bytes;
}

// A document's pictures are decoded once for all its paints and thumbnails, one picture for
// items of the same data; a picture that begins beyond the page is not decoded at all.
TEST(TRpXDocumentTest, PicturesAreDecodedOncePerDocument)
{
    const auto document = Open(testsupport::ImagesXml(20, testsupport::PlainPicture(64 * 1024)));
    ASSERT_NE(document, nullptr);
    for (const double zoom : {100.0, 100.0, 37.5, 250.0}) {
        const QImage picture = document->PagePicture(1, zoom);
        EXPECT_FALSE(picture.isNull());
        EXPECT_EQ(document->Images().Decodes(), 20) << zoom;
    }
    const QByteArray same = Bmp(4, 3, qRgb(1, 2, 3));
    const auto shared = Open(Document({ImageItems({same, same, Bmp(4, 3, qRgb(9, 9, 9)), same}, true) +
                                       QStringLiteral("<Item Type=\"image\" X=\"211\" Y=\"0\">%1</Item>\n"
                                                      "<Item Type=\"image\" X=\"0\" Y=\"297\">%1</Item>")
                                           .arg(QString::fromStdString(Hex(Bmp(5, 5, 0))))}));
    ASSERT_NE(shared, nullptr);
    TraceCanvas canvas;
    const std::vector<TPageItem> items = shared->DrawPage(1, 100, canvas);
    EXPECT_EQ(shared->Images().Decodes(), 2);
    EXPECT_EQ(std::count_if(canvas.Lines().begin(), canvas.Lines().end(),
                            [](const std::string& line) { return line.rfind("DrawPicture", 0) == 0; }),
              4);
}

// The items of a document's pages, in order.
std::vector<const TRpDocnode*> ItemsOf(const TRpXDocument& document)
{
    std::vector<const TRpDocnode*> nodes;
    for (const std::unique_ptr<TRpDocnode>& page : document.Root().Children)
        for (const std::unique_ptr<TRpDocnode>& item : page->Children)
            if (item->Name == QLatin1String("Item"))
                nodes.push_back(item.get());
    return nodes;
}

// Which of items first..last a page drawing them one after another shows.
std::vector<bool> PageShows(TRpXImageCache& cache, const std::vector<const TRpDocnode*>& nodes, std::size_t first,
                            std::size_t last)
{
    std::size_t used = 0;
    std::vector<bool> shown;
    for (std::size_t i = first; i <= last; ++i)
        shown.push_back(!cache.Picture(*nodes[i], true, used).isNull());
    return shown;
}

// Five 8 x 8 pictures of their own colours, LZW coded.
std::unique_ptr<TRpXDocument> FivePictures()
{
    std::vector<QByteArray> pictures;
    for (int i = 0; i < 5; ++i)
        pictures.push_back(Bmp(8, 8, qRgb(10 * i, 0, 0)));
    return Open(Document({ImageItems(pictures, true)}));
}

constexpr std::size_t kPicturePixels = 8 * 8 * 4;

// A page shows images up to its budget of decoded pixels, in drawing order, the later ones as not
// available; the pictures kept stay within theirs, the one drawn longest ago going first.
TEST(TRpXDocumentTest, PicturesStayWithinTheBudgetsOfThePageAndTheDocument)
{
    const auto document = FivePictures();
    ASSERT_NE(document, nullptr);
    const std::vector<const TRpDocnode*> nodes = ItemsOf(*document);
    ASSERT_EQ(nodes.size(), 5u);
    const std::size_t pixels = kPicturePixels;
    TRpXImageCache cache(3 * pixels, 3 * pixels);
    const auto page = [&](std::size_t first, std::size_t last) { return PageShows(cache, nodes, first, last); };
    EXPECT_EQ(page(0, 4), (std::vector<bool>{true, true, true, false, false}));
    EXPECT_EQ(cache.Decodes(), 3);
    EXPECT_EQ(page(0, 2), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(cache.Decodes(), 3);
    EXPECT_EQ(page(3, 4), (std::vector<bool>{true, true}));
    EXPECT_EQ(cache.Decodes(), 5);
    EXPECT_LE(cache.KeptBytes(), 3 * pixels);
    // The first two went to keep the later ones; each one going makes room for the next.
    EXPECT_EQ(page(0, 2), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(cache.Decodes(), 8);
    EXPECT_LE(cache.KeptBytes(), 3 * pixels);
}

// A picture drawn again counts as drawn last: the one that goes is the one drawn longest ago,
// not the one decoded first. A picture larger than all the room is shown still, and kept alone.
TEST(TRpXDocumentTest, ThePictureDrawnLongestAgoGoesFirst)
{
    const auto document = FivePictures();
    ASSERT_NE(document, nullptr);
    const std::vector<const TRpDocnode*> nodes = ItemsOf(*document);
    ASSERT_EQ(nodes.size(), 5u);
    TRpXImageCache cache(kMaxRpxPageImageBytes, 3 * kPicturePixels);
    static_cast<void>(PageShows(cache, nodes, 0, 2));
    static_cast<void>(PageShows(cache, nodes, 0, 0));  // 0 is drawn last now, 1 longest ago
    static_cast<void>(PageShows(cache, nodes, 3, 3));
    EXPECT_EQ(cache.Decodes(), 4);
    static_cast<void>(PageShows(cache, nodes, 0, 0));
    static_cast<void>(PageShows(cache, nodes, 2, 2));
    EXPECT_EQ(cache.Decodes(), 4);
    static_cast<void>(PageShows(cache, nodes, 1, 1));
    EXPECT_EQ(cache.Decodes(), 5);

    TRpXImageCache tight(kMaxRpxPageImageBytes, kPicturePixels - 1);
    EXPECT_EQ(PageShows(tight, nodes, 0, 1), (std::vector<bool>{true, true}));
    EXPECT_EQ(tight.KeptBytes(), kPicturePixels);
    EXPECT_EQ(PageShows(tight, nodes, 1, 1), (std::vector<bool>{true}));
    EXPECT_EQ(tight.Decodes(), 2);
}

// The bytes of `picture` saved as `format`.
QByteArray Saved(const QImage& picture, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, format);
    return bytes;
}

QString LzwHex(const QByteArray& bytes)
{
    std::string coded;
    LZWEncode(bytes.toStdString(), coded);
    return QString::fromStdString(Hex(QByteArray::fromStdString(coded)));
}

QImage Gradient(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb(x * 7, y * 11, (x ^ y) * 3));
    return picture;
}

// Read as the LZW code is decoded, a picture of every format the viewer meets is the one read
// from its bytes as they are.
TEST(TRpXDocumentTest, EveryFormatReadsTheSameStraightFromItsLzwCode)
{
    const QImage picture = Gradient(37, 23);
    for (const char* format : {"BMP", "PNG", "JPEG", "PPM"}) {
        SCOPED_TRACE(format);
        const QByteArray bytes = Saved(picture, format);
        ASSERT_FALSE(bytes.isEmpty());
        const QImage plain = RpxImage(QString::fromStdString(Hex(bytes)), false);
        const QImage decoded = RpxImage(LzwHex(bytes), true);
        ASSERT_FALSE(plain.isNull());
        EXPECT_EQ(decoded.size(), QSize(37, 23));
        EXPECT_EQ(decoded, plain);
    }
}

// The page's budget counts the pixels a picture decodes to, from its header, before any is
// decoded; a repaint decodes nothing, and a page drawn meanwhile (a thumbnail) lets the
// pictures of the page on show stay.
TEST(TRpXDocumentTest, APagesBudgetCountsPixelsAndItsPicturesStayWhileItIsShown)
{
    // Five PNG pictures of 512 x 512: some hundred bytes of data, a MiB of pixels each.
    const auto document = Open(testsupport::PngImagesXml(5, 512));
    ASSERT_NE(document, nullptr);
    const std::vector<const TRpDocnode*> nodes = ItemsOf(*document);
    ASSERT_EQ(nodes.size(), 5u);
    ASSERT_LT(nodes[0]->Text.size(), 10000);
    constexpr std::size_t kMib = 1024 * 1024;
    TRpXImageCache cache(3 * kMib, 4 * kMib);
    const auto draw = [&](std::size_t first, std::size_t last, bool shown) {
        std::size_t used = 0;
        std::vector<bool> drawn;
        for (std::size_t i = first; i <= last; ++i)
            drawn.push_back(!cache.Picture(*nodes[i], false, used, shown).isNull());
        return drawn;
    };
    EXPECT_EQ(draw(0, 4, true), (std::vector<bool>{true, true, true, false, false}));
    EXPECT_EQ(cache.Decodes(), 3);
    EXPECT_EQ(draw(0, 4, true), (std::vector<bool>{true, true, true, false, false}));
    EXPECT_EQ(cache.Decodes(), 3);
    EXPECT_EQ(draw(3, 4, false), (std::vector<bool>{true, true}));
    EXPECT_EQ(cache.Decodes(), 5);
    EXPECT_EQ(draw(0, 2, true), (std::vector<bool>{true, true, true}));
    EXPECT_EQ(cache.Decodes(), 5);
    EXPECT_LE(cache.KeptBytes(), 4 * kMib);
    // Another page on show: the first one's pictures may go to make room for its own.
    cache.NewShownPage();
    EXPECT_EQ(draw(3, 4, true), (std::vector<bool>{true, true}));
    EXPECT_EQ(draw(0, 2, false), (std::vector<bool>{true, true, true}));
    EXPECT_GT(cache.Decodes(), 5);
    EXPECT_LE(cache.KeptBytes(), 4 * kMib);
}

// The XML document of the issue: one bitmap of 64 MiB of pixels in 224 KB of LZW code, shown
// and shown again from one decoding.
TEST(TRpXDocumentTest, ABitmapOfSixtyFourMebibytesIsDecodedOnce)
{
    const auto document = Open(testsupport::ImagesXml(1, testsupport::PlainPicture(64u * 1024 * 1024 - 4096)));
    ASSERT_NE(document, nullptr);
    document->SetShownPage(1);
    const QImage first = document->PagePicture(1, 100);
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.pixel(300, 300), qRgb(40, 90, 160));
    EXPECT_EQ(document->PagePicture(1, 100), first);
    EXPECT_EQ(document->Images().Decodes(), 1);
    EXPECT_EQ(document->Images().KeptBytes(), 1024u * 16383 * 4);
}

// A BMP header that claims a picture past the caps, in a few bytes: the picture is not shown
// and nothing of it is decoded.
TEST(TRpXDocumentTest, PicturesClaimedPastTheCapsAreNotDecoded)
{
    const auto claiming = [](std::int32_t width, std::int32_t height) {
        QByteArray bytes = Saved(Gradient(4, 3), "BMP");
        std::memcpy(bytes.data() + 18, &width, 4);  // little-endian, as the header keeps them
        std::memcpy(bytes.data() + 22, &height, 4);
        return bytes;
    };
    for (const auto& [width, height] : {std::pair{16384, 16384}, std::pair{5000, 5000}, std::pair{-3, 4}}) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        const QByteArray bytes = claiming(width, height);
        for (const bool lzw : {false, true}) {
            const QString text = lzw ? LzwHex(bytes) : QString::fromStdString(Hex(bytes));
            EXPECT_TRUE(RpxImage(text, lzw).isNull());
            const auto document = Open(Document({QStringLiteral("<Item Type=\"image\" X=\"1\" Y=\"1\"%1>%2</Item>")
                                                     .arg(lzw ? QStringLiteral(" Cmp=\"lzw\"") : QString(), text)}));
            ASSERT_NE(document, nullptr);
            TraceCanvas canvas;
            static_cast<void>(document->DrawPage(1, 100, canvas));
            ASSERT_EQ(canvas.Lines().size(), 1u);
            EXPECT_EQ(canvas.Lines()[0].rfind("TextOut 4,4 \"Image not available\"", 0), 0u) << canvas.Lines()[0];
            EXPECT_EQ(document->Images().Decodes(), 0);
        }
    }
}

// Image data of every format, damaged before or after their LZW coding: each picture is shown
// within the caps or said not to be available.
TEST(TRpXDocumentTest, DamagedImageDataAreShownOrNotAvailable)
{
    std::vector<QByteArray> pictures;
    for (const char* format : {"BMP", "PNG", "JPEG", "PPM"})
        pictures.push_back(Saved(Gradient(40, 30), format));
    // The image readers' complaints about the damage (libpng writes its own) are expected here.
    std::fflush(stderr);
    const int savedError = dup(STDERR_FILENO);
    const int nowhere = open("/dev/null", O_WRONLY);
    dup2(nowhere, STDERR_FILENO);
    std::mt19937 random(17);
    for (int round = 0; round < 400; ++round) {
        QByteArray bytes = pictures[static_cast<std::size_t>(round) % pictures.size()];
        const bool lzw = round % 2 == 0;
        std::string data = lzw ? LzwHex(bytes).toStdString() : Hex(bytes);
        for (int f = 0, flips = 1 + static_cast<int>(random() % 4); f < flips; ++f)
            data[random() % data.size()] = "0123456789ABCDEF"[random() % 16];
        if (random() % 4 == 0)
            data.resize(random() % data.size());
        const QImage picture = RpxImage(QString::fromStdString(data), lzw);
        EXPECT_LE(static_cast<std::size_t>(picture.sizeInBytes()), kMaxRpxImageBytes);
    }
    std::fflush(stderr);
    dup2(savedError, STDERR_FILENO);
    close(savedError);
    close(nowhere);
}

// Giant turned texts around an XML page: left out, or their glyphs rasterised over no more than
// the page and its surroundings; one font made for every paint.
TEST(TRpXDocumentTest, GiantTurnedTextsAroundThePageAreLeftOutOrCutToIt)
{
    const auto document = Open(testsupport::TurnedGiantTextsXml(300));
    ASSERT_NE(document, nullptr);
    const QSize size = document->PictureSize(100);
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    PainterCanvas canvas(painter, kMeasureDpi, &document->Fonts());
    static_cast<void>(document->DrawPage(1, 100, canvas));
    EXPECT_LE(canvas.Counts().glyphs + canvas.Counts().skipped, 300);
    EXPECT_GT(canvas.Counts().skipped, 0);
    const long double side = std::max(size.width(), size.height());
    EXPECT_LE(canvas.Counts().largestGlyphClip, 9 * side * side);
    EXPECT_LE(document->Fonts().FontsMade(), 1);
    const long long made = document->Fonts().FontsMade();
    static_cast<void>(document->PagePicture(1, 100));
    EXPECT_EQ(document->Fonts().FontsMade(), made);
}

TEST(TRpXDocumentTest, ClickableItemsAndTheSearchIndex)
{
    const auto document = Open(Document(
        {QStringLiteral(
             "<Item Type=\"text\" X=\"10\" Y=\"20\" Width=\"30\" Height=\"10\" CID=\"T1\" DBR=\"4\">Jazda</Item>\n"
             "<Item Type=\"band\" X=\"0\" Y=\"0\" Width=\"210\" Height=\"10\" CID=\"B1\"/>\n"
             "<Item Type=\"graphic\" SP=\"0\"/>"),
         QStringLiteral("<Item Type=\"text\" X=\"5\" Y=\"6\">Praca</Item>")}));
    ASSERT_NE(document, nullptr);
    TraceCanvas canvas;
    const std::vector<TPageItem> items = document->DrawPage(1, 100, canvas);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].rect, GdiRect(38, 76, 151, 113));
    EXPECT_EQ(items[0].number, 4);
    EXPECT_EQ(items[0].id, QStringLiteral("T1"));
    EXPECT_EQ(items[0].text, QStringLiteral("Jazda"));
    EXPECT_FALSE(items[0].band);
    EXPECT_TRUE(items[1].band);
    EXPECT_TRUE(document->DrawPage(3, 100, canvas).empty());  // no such page

    const std::vector<TRpXIndexEntry> index = document->SearchIndex();
    ASSERT_EQ(index.size(), 2u);
    EXPECT_EQ(index[0].text, QStringLiteral("Jazda"));
    EXPECT_EQ(index[0].page, 1);
    EXPECT_EQ(index[1].text, QStringLiteral("Praca"));
    EXPECT_EQ(index[1].page, 2);
    EXPECT_DOUBLE_EQ(index[1].y, 6);
}

}  // namespace
}  // namespace report::output

namespace report::output {
namespace {

// Damaged documents from a fixture with every kind of item: each is read, drawn and indexed
// within its buffers, or refused.
TEST(TRpXDocumentTest, DamagedDocumentsAreDrawnSafely)
{
    std::string coded;
    LZWEncode(BmpBytes().toStdString(), coded);
    const std::string fixture =
        Document(
            {QStringLiteral("<Item Type=\"text\" X=\"10\" Y=\"20\" Height=\"5\" FR=\"450\" CID=\"a\">Jazda</Item>\n"
                            "<Item Type=\"graphic\" X=\"1\" Y=\"2\" Width=\"3\" Height=\"4\" SP=\"1\" LW=\"0.5\"/>\n"
                            "<Item Type=\"image\" X=\"1\" Y=\"2\" Cmp=\"lzw\">%1</Item>")
                 .arg(QString::fromStdString(Hex(QByteArray::fromStdString(coded))))})
            .toStdString();
    std::mt19937 random(99);
    for (int round = 0; round < 500; ++round) {
        std::string bytes = fixture;
        const int flips = 1 + static_cast<int>(random() % 6);
        for (int f = 0; f < flips; ++f)
            bytes[random() % bytes.size()] = "0123456789\"=<>/ -.eE"[random() % 20];
        QString error;
        const auto document = TRpXDocument::FromText(QString::fromStdString(bytes), error);
        if (!document) {
            EXPECT_FALSE(error.isEmpty());
            continue;
        }
        TraceCanvas canvas;
        for (int page = 0; page <= document->PageCount() + 1; ++page)
            static_cast<void>(
                document->DrawPage(page, 100, canvas, QStringLiteral("a"), round % 2 == 0, round % 3 != 0));
        static_cast<void>(document->SearchIndex());
        static_cast<void>(document->PagePicture(1, 10));
    }
}

}  // namespace
}  // namespace report::output
