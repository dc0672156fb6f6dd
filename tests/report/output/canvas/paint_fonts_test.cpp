// The fonts of one paint, bounded: pages of a few fonts draw every text in its own font, as
// they always did; past the bound a text takes the paint's nearest font, scaled to its size.
#include "report/output/canvas/paint_fonts.h"

#include "report/output/canvas/painter_canvas.h"
#include "report/output/pages/page_format.h"
#include "tests/support/hostile_documents.h"
#include "tests/support/ink_bounds.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace report::output {

using namespace testsupport;
namespace {

constexpr int kBound = static_cast<int>(PaintFonts::kMaxFontsPerPaint);

FontSpec Font(const char* face, int points, bool bold = false)
{
    FontSpec font;
    font.face = face;
    font.points = points;
    font.bold = bold;
    return font;
}

TEST(PaintFonts, FontsPastTheBoundTakeTheNearestOfTheirFaceElseOfThePaint)
{
    PaintFonts fonts(96, 3);
    // 12, 24 and 48 points are 16, 32 and 64 pixels at 96 dpi.
    for (const int points : {12, 24, 48}) {
        const PaintFonts::Choice choice = fonts.Choose(Font("Arial", points), 1);
        EXPECT_EQ(choice.font, Font("Arial", points));
        EXPECT_EQ(choice.factor, 1);
    }
    EXPECT_EQ(fonts.Made(), 3u);
    struct Row {
        const char* name;
        FontSpec asked;
        long double scale;
        int chosenPoints;
        long double factor;
    };
    const Row rows[] = {
        {"one made before", Font("Arial", 24), 1, 24, 1},
        {"the same pixels by another scale", Font("Arial", 12), 2, 12, 1},
        {"between two, nearer the smaller", Font("Arial", 16), 1, 12, 21.0L / 16},
        {"halfway: the smaller", Font("Arial", 18), 1, 12, 24.0L / 16},
        {"above all", Font("Arial", 300), 1, 48, 400.0L / 64},
        {"below all", Font("Arial", 1), 1, 12, 1.0L / 16},
        {"a face of none: the nearest of any face", Font("Times New Roman", 40), 1, 48, 53.0L / 64},
        {"a style of none: the nearest of any", Font("Arial", 22, true), 1, 24, 29.0L / 32},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const PaintFonts::Choice choice = fonts.Choose(row.asked, row.scale);
        EXPECT_EQ(choice.font.points, row.chosenPoints);
        EXPECT_EQ(choice.font.face, "Arial");
        EXPECT_FALSE(choice.font.bold);
        EXPECT_DOUBLE_EQ(static_cast<double>(choice.factor), static_cast<double>(row.factor));
    }
    EXPECT_EQ(fonts.Made(), 3u);
}

QImage White()
{
    QImage image(testsupport::kPageWidth, testsupport::kPageHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// The page replayed on one canvas: one paint.
QImage OnePaint(const Page& page)
{
    QImage image = White();
    QPainter painter(&image);
    PainterCanvas canvas(painter, kMeasureDpi);
    ReplayPage(page, canvas, image.rect());
    return image;
}

// Each text drawn by a canvas of its own, so each in its own font, whatever the bound.
QImage TextByText(const Page& page)
{
    QImage image = White();
    QPainter painter(&image);
    FontSpec font;
    for (const PageRecord& record : page.records) {
        if (const auto* set = std::get_if<page_record::SetFont>(&record))
            font = set->font;
        if (const auto* text = std::get_if<page_record::Text>(&record)) {
            PainterCanvas canvas(painter, kMeasureDpi);
            canvas.SetFont(font);
            canvas.SetTextAlign(text->align);
            canvas.SetBackground(text->background);
            canvas.TextOut(text->x, text->y, text->bytes);
        }
    }
    return image;
}

TEST(PaintFonts, APageWithinTheBoundIsDrawnAsEachTextAlone)
{
    const Page within = testsupport::FontSizesPage(kBound, true);
    EXPECT_EQ(OnePaint(within), TextByText(within));
    // Past the bound the paint differs: it no longer makes every size.
    const Page past = testsupport::FontSizesPage(kBound + 20, true);
    EXPECT_NE(OnePaint(past), TextByText(past));
}

// A text past the bound is drawn at the size asked, from the nearest font made.
TEST(PaintFonts, ATextPastTheBoundKeepsItsSize)
{
    const auto ink = [](int points, bool pastTheBound) {
        QImage image = White();
        QPainter painter(&image);
        PainterCanvas canvas(painter, kMeasureDpi);
        if (pastTheBound) {
            // The bound's fonts, each for a dot of a text at the page's foot.
            for (int i = 0; i < kBound; ++i) {
                canvas.SetFont(Font("Arial", 1 + i % 8, i >= 8));
                canvas.TextOut(i * 10, testsupport::kPageHeight - 12, ".");
            }
        }
        canvas.SetFont(Font("Arial", points));
        canvas.TextOut(100, 100, "H");
        painter.end();
        return testsupport::InkBounds(image.copy(0, 0, testsupport::kPageWidth, testsupport::kPageHeight - 40));
    };
    for (const int points : {50, 150, 400}) {
        SCOPED_TRACE(points);
        const QRect alone = ink(points, false);
        const QRect past = ink(points, true);
        ASSERT_FALSE(alone.isEmpty());
        EXPECT_NEAR(past.left(), alone.left(), 2 + alone.width() / 20);
        EXPECT_NEAR(past.top(), alone.top(), 2 + alone.height() / 20);
        EXPECT_NEAR(past.width(), alone.width(), 2 + alone.width() / 20);
        EXPECT_NEAR(past.height(), alone.height(), 2 + alone.height() / 20);
    }
}

}  // namespace
}  // namespace report::output
