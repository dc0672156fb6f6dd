#include "report/output/pages/page_paint.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace report::output {
namespace {

const QRgb kGrey = qRgb(128, 128, 128);
const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

QImage Painted(const Page* page, bool drawEmpty)
{
    QImage image(100, 50, QImage::Format_RGB32);
    image.fill(kGrey);
    QPainter painter(&image);
    PaintPage(page, painter, image.rect(), drawEmpty);
    painter.end();
    return image;
}

Page EmptyPage() { return Page{PageHeaderFor(2100, 2970), {}}; }

TEST(PaintPageTest, EmptyPageHasItsFrameAndShadow)
{
    const Page page = EmptyPage();
    for (const bool drawEmpty : {false, true}) {
        SCOPED_TRACE(drawEmpty);
        const QImage image = Painted(&page, drawEmpty);
        for (int y = 0; y <= 47; ++y) {
            EXPECT_EQ(image.pixel(0, y), kBlack) << y;
            EXPECT_EQ(image.pixel(97, y), kBlack) << y;
        }
        for (int x = 0; x <= 97; ++x) {
            EXPECT_EQ(image.pixel(x, 0), kBlack) << x;
            EXPECT_EQ(image.pixel(x, 47), kBlack) << x;
        }
        for (int y = 2; y <= 49; ++y)
            for (int x = 98; x <= 99; ++x)
                EXPECT_EQ(image.pixel(x, y), kBlack) << x << "," << y;
        for (int y = 48; y <= 49; ++y)
            for (int x = 2; x <= 99; ++x)
                EXPECT_EQ(image.pixel(x, y), kBlack) << x << "," << y;
        // The corners the shadow leaves out keep what was there.
        EXPECT_EQ(image.pixel(99, 0), kGrey);
        EXPECT_EQ(image.pixel(98, 1), kGrey);
        EXPECT_EQ(image.pixel(0, 49), kGrey);
        EXPECT_EQ(image.pixel(1, 48), kGrey);
        // The sheet is white inside its frame.
        EXPECT_EQ(image.pixel(1, 1), kWhite);
        EXPECT_EQ(image.pixel(96, 46), kWhite);
        EXPECT_EQ(image.pixel(50, 25), kWhite);
    }
}

TEST(PaintPageTest, NoPageIsPaintedOnlyWhenEmptyOnesAreDrawn)
{
    const QImage untouched = Painted(nullptr, false);
    for (int y = 0; y < untouched.height(); ++y)
        for (int x = 0; x < untouched.width(); ++x)
            ASSERT_EQ(untouched.pixel(x, y), kGrey) << x << "," << y;

    const Page page = EmptyPage();
    EXPECT_EQ(Painted(nullptr, true), Painted(&page, true));
}

TEST(PaintPageTest, TheDrawingIsStretchedOverTheSheet)
{
    PageRecorder recorder(PageHeaderFor(2100, 2970));
    recorder.SetBrush(Brush{qRgb(255, 0, 0), BrushStyle::Solid});
    // The middle of the page: a quarter of its width and height on each side of the centre.
    const PageHeader& h = recorder.GetPage().header;
    recorder.FillRect(GdiRect(h.pixelWidth / 4, h.pixelHeight / 4, 3 * h.pixelWidth / 4, 3 * h.pixelHeight / 4));
    const QImage image = Painted(&recorder.GetPage(), false);
    EXPECT_EQ(image.pixel(50, 25), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(20, 25), kWhite);
    EXPECT_EQ(image.pixel(50, 8), kWhite);
    EXPECT_EQ(image.pixel(97, 25), kBlack);
}

}  // namespace
}  // namespace report::output
