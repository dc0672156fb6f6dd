// Pictures in the PDF document: the working bitmap and box of each kind of picture, the
// picture item and its lines.
#include "report/output/pdf/pdf_picture_box.h"

#include "report/output/pdf/pdf_picture.h"
#include "tests/report/output/pdf/pdf_graphics_fixture.h"

#include <gtest/gtest.h>

namespace report::output::testing {
namespace {

constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kBlue = qRgb(0, 0, 255);

int Unused()
{
    ADD_FAILURE() << "the printer's resolution was asked for";
    return 96;
}

// Red on the left half, blue on the right.
QImage RedBlue(int width, int height)
{
    QImage image = Filled(width, height, kRed);
    for (int y = 0; y < height; ++y)
        for (int x = width / 2; x < width; ++x)
            image.setPixel(x, y, kBlue);
    return image;
}

// The bitmap as rows of letters: R red, B blue, W white, ? anything else.
std::vector<std::string> Letters(const QImage& bitmap)
{
    std::vector<std::string> rows;
    for (int y = 0; y < bitmap.height(); ++y) {
        std::string row;
        for (int x = 0; x < bitmap.width(); ++x) {
            const QRgb pixel = bitmap.pixel(x, y) | 0xFF000000u;
            row += pixel == kRed ? 'R' : pixel == kBlue ? 'B' : pixel == kWhite ? 'W' : '?';
        }
        rows.push_back(row);
    }
    return rows;
}

struct Expected {
    long double x;
    long double y;
    int width;
    int height;
    QSize bitmap;
    long double scaleX;
    long double scaleY;
};

void ExpectBox(const std::optional<PictureBox>& box, const Expected& e)
{
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->x, e.x);
    EXPECT_EQ(box->y, e.y);
    EXPECT_EQ(box->width, e.width);
    EXPECT_EQ(box->height, e.height);
    EXPECT_EQ(box->bitmap.size(), e.bitmap);
    EXPECT_DOUBLE_EQ(static_cast<double>(box->imageScaleX), static_cast<double>(e.scaleX));
    EXPECT_DOUBLE_EQ(static_cast<double>(box->imageScaleY), static_cast<double>(e.scaleY));
}

TEST(PdfPictureBox, PictureControl)
{
    // A 4 x 2 picture, red and blue halves, in a box of 8 x 4 at (10, 20).
    const QImage pixels = RedBlue(4, 2);
    struct Row {
        const char* name;
        bool stretch;
        int tag;
        bool center;
        Expected box;
        std::vector<std::string> letters;
    };
    const Row rows[] = {
        {"own size from the top left, the rest white",
         false,
         0,
         false,
         {10, 20, 8, 4, {8, 4}, 1, 1},
         {"RRBBWWWW", "RRBBWWWW", "WWWWWWWW", "WWWWWWWW"}},
        {"centred", false, 0, true, {10, 20, 8, 4, {8, 4}, 1, 1}, {"WWWWWWWW", "WWRRBBWW", "WWRRBBWW", "WWWWWWWW"}},
        {"stretched over the box",
         true,
         0,
         false,
         {10, 20, 8, 4, {8, 4}, 1, 1},
         {"RRRRBBBB", "RRRRBBBB", "RRRRBBBB", "RRRRBBBB"}},
        {"tag 999 stretched: the picture's own pixels, scaled into the box",
         true,
         999,
         false,
         {10, 20, 8, 4, {4, 2}, 2, 2},
         {"RRBB", "RRBB"}},
        {"tag 999 unstretched: the same", false, 999, true, {10, 20, 8, 4, {4, 2}, 2, 2}, {"RRBB", "RRBB"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ExportPicture picture = MakePicture(pixels, 8, 4);
        picture.Stretch = row.stretch;
        picture.Tag = row.tag;
        picture.Center = row.center;
        const auto box = MakePictureBox(picture, 10, 20, Unused);
        ExpectBox(box, row.box);
        if (box) {
            EXPECT_EQ(Letters(box->bitmap), row.letters);
        }
    }
}

TEST(PdfPictureBox, TagForThePrintersScale)
{
    ExportPicture picture = MakePicture(RedBlue(4, 2), 8, 4);
    picture.Tag = 12345;
    // 96 / 300: the box's height shrinks to round(4 x 0.32) = 1; the bitmap keeps the box's size.
    ExpectBox(MakePictureBox(picture, 10, 20, [] { return 300; }), {10, 20, 8, 1, {8, 4}, 0.32L, 0.32L});
    // No printer: the screen's own resolution, a scale of 1.
    ExpectBox(MakePictureBox(picture, 10, 20, [] { return 96; }), {10, 20, 8, 4, {8, 4}, 1, 1});
    ExpectBox(MakePictureBox(picture, 10, 20, [] { return 0; }), {10, 20, 8, 4, {8, 4}, 1, 1});
    // Stretching wins over the tag.
    picture.Stretch = true;
    ExpectBox(MakePictureBox(picture, 10, 20, Unused), {10, 20, 8, 4, {8, 4}, 1, 1});
}

TEST(PdfPictureBox, DataBoundPicture)
{
    struct Row {
        const char* name;
        QSize picture;
        bool stretch;
        Expected box;
    };
    const Row rows[] = {
        // 20 x 10 in 10 x 10: the width is kept, the height becomes 5 and moves down by 2.
        {"wide picture fitted", {20, 10}, false, {10, 22, 10, 5, {10, 10}, 1, 0.5L}},
        // 10 x 20: the width becomes 5 and moves right by 2.
        {"tall picture fitted", {10, 20}, false, {12, 20, 5, 10, {10, 10}, 0.5L, 1}},
        // 30 x 10: the height becomes round(3.33) = 3 and moves down by 3.
        {"height rounded", {30, 10}, false, {10, 23, 10, 3, {10, 10}, 1, 0.3L}},
        {"stretched: the whole picture over the box", {20, 10}, true, {10, 20, 10, 10, {20, 10}, 0.5L, 1}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ExportPicture picture =
            MakePicture(RedBlue(row.picture.width(), row.picture.height()), 10, 10, PictureClass::DBImage);
        picture.Stretch = row.stretch;
        ExpectBox(MakePictureBox(picture, 10, 20, Unused), row.box);
    }
}

TEST(PdfPictureBox, DataBoundPictureWithFitMode)
{
    struct Row {
        const char* name;
        TFitMode mode;
        bool stretch;
        bool clip;
        Expected box;
    };
    // A 20 x 10 picture (ratio 2) in a 30 x 30 box at (10, 20).
    const Row rows[] = {
        {"proportional, wide: width from the height",
         TFitMode::fmProportional,
         false,
         false,
         {10, 20, 60, 30, {20, 10}, 3, 3}},
        {"keep width", TFitMode::fmKeepWidth, false, false, {10, 20, 30, 15, {20, 10}, 1.5L, 1.5L}},
        {"keep height", TFitMode::fmKeepHeight, false, false, {10, 20, 60, 30, {20, 10}, 3, 3}},
        {"inside, centred", TFitMode::fmInsideProp, false, false, {10, 27, 30, 15, {20, 10}, 1.5L, 1.5L}},
        {"clipped: the picture on a bitmap of the box",
         TFitMode::fmKeepHeight,
         false,
         true,
         {10, 20, 60, 30, {30, 30}, 2, 1}},
        {"stretched: no fitting", TFitMode::fmKeepHeight, true, false, {10, 20, 30, 30, {20, 10}, 1.5L, 3}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ExportPicture picture = MakePicture(RedBlue(20, 10), 30, 30, PictureClass::GrDBImage);
        picture.FitMode = row.mode;
        picture.Stretch = row.stretch;
        picture.ClipImage = row.clip;
        ExpectBox(MakePictureBox(picture, 10, 20, Unused), row.box);
    }
    // A tall picture keeps the width the proportional way; the height is cut, not rounded.
    ExportPicture tall = MakePicture(RedBlue(5, 10), 30, 30, PictureClass::GrDBImage);
    ExpectBox(MakePictureBox(tall, 10, 20, Unused), {10, 20, 30, 60, {5, 10}, 6, 6});
    tall.pixels = RedBlue(7, 10);  // 30 / 0.7 = 42.86
    ExpectBox(MakePictureBox(tall, 10, 20, Unused), {10, 20, 30, 42, {7, 10}, 30.0L / 7, 4.2L});
}

TEST(PdfPictureBox, NothingToDraw)
{
    struct Row {
        const char* name;
        QImage pixels;
        int width;
        int height;
    };
    const Row rows[] = {
        {"no picture", QImage(), 10, 10},
        {"a picture of no pixels", QImage(0, 5, QImage::Format_RGB32), 10, 10},
        {"a box of no width", Filled(4, 4, kRed), 0, 10},
        {"a box of no height", Filled(4, 4, kRed), 10, 0},
        {"a box inside out", Filled(4, 4, kRed), -5, 10},
    };
    for (const Row& row : rows) {
        for (const PictureClass kind : {PictureClass::Image, PictureClass::DBImage, PictureClass::GrDBImage}) {
            for (const bool stretch : {false, true}) {
                SCOPED_TRACE(std::string(row.name) + ", class " + std::to_string(static_cast<int>(kind)) +
                             (stretch ? ", stretched" : ""));
                ExportPicture picture = MakePicture(row.pixels, row.width, row.height, kind);
                picture.Stretch = stretch;
                picture.Tag = 999;
                EXPECT_FALSE(MakePictureBox(picture, 10, 20, Unused).has_value());
            }
        }
    }
    // A 1 x 100 picture fitted into a 10 x 10 box keeps no width at all.
    ExportPicture sliver = MakePicture(Filled(1, 100, kRed), 10, 10, PictureClass::GrDBImage);
    sliver.FitMode = TFitMode::fmKeepHeight;
    EXPECT_FALSE(MakePictureBox(sliver, 10, 20, Unused).has_value());
}

TEST(PdfPictureBox, TransparentPixelsShowWhite)
{
    QImage pixels = Filled(4, 2, qRgba(0, 0, 0, 0), QImage::Format_ARGB32);
    pixels.setPixel(0, 0, kRed);
    pixels.setPixel(3, 1, qRgba(0, 0, 255, 255));
    for (const bool stretch : {false, true}) {
        ExportPicture picture = MakePicture(pixels, 4, 2);
        picture.Stretch = stretch;
        const auto box = MakePictureBox(picture, 0, 0, Unused);
        ASSERT_TRUE(box.has_value());
        EXPECT_EQ(Letters(box->bitmap), (std::vector<std::string>{"RWWW", "WWWB"}));
    }
}

TEST(PdfPictureBox, ItemOfTheBox)
{
    PictureBox box;
    box.bitmap = RedBlue(29, 16);
    box.x = 70;
    box.y = 300;
    box.width = 58;
    box.height = 20;
    box.imageScaleX = 2;
    box.imageScaleY = 1.25L;
    const TPDFItemRec item = PictureItem(box, 0.75L, 0.5L);
    EXPECT_EQ(item.Kind, TPDFItemKind::Picture);
    EXPECT_EQ(item.X, 52.5L);
    EXPECT_EQ(item.Y, 160);  // the bottom edge
    EXPECT_EQ(item.Width, 21.75L);
    EXPECT_EQ(item.Height, 12);
    EXPECT_EQ(item.ImageScaleX, 2);
    EXPECT_EQ(item.ImageScaleY, 1.25L);
    EXPECT_EQ(item.PixelWidth, 29);
    EXPECT_EQ(item.PixelHeight, 16);
    std::string data;
    std::string filters;
    BitmapToImageData(box.bitmap, data, filters);
    EXPECT_EQ(item.ImageData, data);
    EXPECT_EQ(item.ImageFilters, "/ASCII85Decode /LZWDecode");
}

// The activity icon: 29 x 32 pixels in a box of 29 x 16 at (70, 300), cut at the box's bottom.
TEST(PdfPictures, TheActivityIcon)
{
    QImage icon = RedBlue(29, 32);
    for (int x = 0; x < 29; ++x)
        icon.setPixel(x, 15, qRgb(0, 200, 0));  // the last row inside the box
    const std::string pdf = ExportedPdf({{MakePicture(icon, 29, 16), 70, 300}});
    const auto lines = GraphicLines(pdf);
    ASSERT_EQ(lines.size(), 11u);
    // 21.75 x 12 points; the bottom edge 841.89 - 316 x 0.75 up the page.
    EXPECT_EQ(lines[0], "q 21.75 0 0 12.00 52.50 604.89 cm");
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.begin() + 8),
              (std::vector<std::string>{"BI", "/Width 29", "/Height 16", "/BitsPerComponent 8",
                                        "/ColorSpace /DeviceRGB", "/Filter [/ASCII85Decode /LZWDecode]", "ID"}));
    EXPECT_TRUE(lines[8].ends_with("~>"));
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 9, lines.end()), (std::vector<std::string>{"EI", "Q"}));
    EXPECT_EQ(InlineImageRgb(pdf), RgbOf(icon.copy(0, 0, 29, 16)));
}

// The writer draws and codes a picture once and places it again where it comes back: every
// placing must give the lines the picture gives on a page of its own, offsets of a fitted or
// centred picture included, and a picture with other pixels its own data.
TEST(PdfPictures, ARepeatedPictureGivesTheLinesOfAFreshOne)
{
    ExportPicture fitted = MakePicture(RedBlue(20, 10), 30, 30, PictureClass::DBImage);
    ExportPicture centred = MakePicture(RedBlue(10, 10), 30, 20);
    centred.Center = true;
    const ExportPicture icon = MakePicture(RedBlue(29, 32), 29, 16);
    ExportPicture otherPixels = icon;
    otherPixels.pixels = Filled(29, 32, kRed);
    ExportPicture otherBox = icon;
    otherBox.rect = QRect(0, 0, 29, 20);
    // The same pixels meant for a screen of twice the density are drawn at half the size.
    ExportPicture denser = icon;
    denser.pixels.setDevicePixelRatio(2);
    const std::vector<Placed> run = {
        {fitted, 10, 10},        {centred, 50, 60},      {icon, 70, 300},  {fitted, 13.5L, 400.25L},
        {icon, 71, 333},         {otherPixels, 70, 300}, {centred, 99, 1}, {otherBox, 70, 300},
        {icon, 70.125L, 300.5L}, {denser, 70, 300},      {icon, 70, 300},  {fitted, 10, 10},
    };
    std::vector<std::string> apart;
    for (const Placed& placed : run) {
        const std::vector<std::string> lines = GraphicLines(ExportedPdf({placed}));
        apart.insert(apart.end(), lines.begin(), lines.end());
    }
    EXPECT_EQ(GraphicLines(ExportedPdf(run)), apart);
}

// A fitted picture is placed by the offsets of its own side only: in a box wider than its shape
// it moves right, in a taller one down, wherever the box stands and however often it comes.
TEST(PdfPictures, AFittedPictureMovesAlongTheSideItLeavesRoomOn)
{
    // 20 x 10 inside 30 x 10: 20 x 10, 5 pixels right.
    ExportPicture wide = MakePicture(RedBlue(20, 10), 30, 10, PictureClass::GrDBImage);
    wide.FitMode = TFitMode::fmInsideProp;
    // 20 x 10 inside 30 x 30: 30 x 15, 7 pixels down, on a bitmap of the box.
    const ExportPicture tall = MakePicture(RedBlue(20, 10), 30, 30, PictureClass::DBImage);
    const std::vector<Placed> run = {{wide, 10, 20}, {tall, 10, 20}, {wide, 110, 220}, {tall, 0, 0}};
    // Points are 0.75 of a pixel; the page is 841.89 points high.
    const std::vector<std::string> expected = {
        "q 15.00 0 0 7.50 11.25 819.39 cm",
        "q 22.50 0 0 11.25 7.50 810.39 cm",
        "q 15.00 0 0 7.50 86.25 669.39 cm",
        "q 22.50 0 0 11.25 0.00 825.39 cm",
    };
    std::vector<std::string> placings;
    for (const std::string& line : GraphicLines(ExportedPdf(run))) {
        if (line.starts_with("q "))
            placings.push_back(line);
    }
    EXPECT_EQ(placings, expected);
}

TEST(PdfPictures, PixelDataBeforeCoding)
{
    const QImage pixels = RedBlue(100, 100);
    const std::string pdf = ExportedPdf({{MakePicture(pixels, 100, 100), 0, 0}});
    const std::string rgb = InlineImageRgb(pdf);
    EXPECT_EQ(rgb.size(), 30'000u);
    EXPECT_EQ(rgb, RgbOf(pixels));
}

TEST(PdfPictures, SmallerPictureLeavesWhite)
{
    const std::string pdf = ExportedPdf({{MakePicture(Filled(2, 1, kRed), 3, 2), 0, 0}});
    EXPECT_EQ(InlineImageRgb(pdf), std::string("\xFF\0\0\xFF\0\0\xFF\xFF\xFF"
                                               "\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF",
                                               18));
}

TEST(PdfPictures, NothingForAnEmptyPictureAnEmptyShapeStill)
{
    const std::string pdf = ExportedPdf({
        {MakePicture(Filled(4, 4, kRed), 0, 0), 10, 10},
        {MakePicture(QImage(), 10, 10, PictureClass::DBImage), 10, 10},
        {MakeShape(TRpShapeType::rpsRectangle, 0, 0, Pen{kRed, PenStyle::Clear, 1}, Brush{kBlue, BrushStyle::Solid}),
         100, 200},
    });
    EXPECT_EQ(GraphicLines(pdf), (std::vector<std::string>{"0.75 w", "0.00 0.00 1.00 rg", "75 691 0 0 re f"}));
}

TEST(PdfPictures, PrinterScaleAskedOncePerRun)
{
    ExportPicture icon = MakePicture(RedBlue(29, 32), 29, 16);
    icon.Tag = 12345;
    // A device whose pictures are meant for a printer of 300 dots per inch.
    int asked = 0;
    ExportDevice device;
    device.PictureResolution = [&] {
        ++asked;
        return 300;
    };
    const std::string pdf = ExportedPdf({{icon, 70, 300}, {icon, 70, 400}}, device);
    // 96 / 300 of 21.75 x 12 points; the box 16 x 0.32 = 5 pixels high.
    const auto lines = GraphicLines(pdf);
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ(lines[0], "q 6.96 0 0 3.84 52.50 613.14 cm");
    EXPECT_EQ(lines[11], "q 6.96 0 0 3.84 52.50 538.14 cm");
    EXPECT_EQ(asked, 1);

    // No picture kept at the printer's scale: the device is not asked.
    asked = 0;
    static_cast<void>(ExportedPdf({{MakePicture(RedBlue(29, 32), 29, 16), 70, 300}}, device));
    EXPECT_EQ(asked, 0);

    // A device that names no resolution: 96 dots per inch, the icon's own scale.
    const auto own = GraphicLines(ExportedPdf({{icon, 70, 300}}));
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(own[0], "q 21.75 0 0 12.00 52.50 604.89 cm");
}

}  // namespace
}  // namespace report::output::testing
