// Pages that every reader accepts but that once made drawing them cost without bound, replayed
// as the preview paints them; the work is counted in drawing calls, glyphs and fonts made.
#include "report/output/canvas/painter_canvas.h"
#include "report/output/pages/page_format.h"
#include "tests/support/hostile_documents.h"

#include <QPainter>

#include <gtest/gtest.h>

namespace report::output {
namespace {

using testsupport::kPageHeight;
using testsupport::kPageWidth;

struct Painted {
    PaintCounts counts;
    QImage image;
};

// The page replayed onto an A4 picture at 96 dpi with `fonts`, as the preview paints it.
Painted Paint(const Page& page, MeasureDevice& fonts)
{
    Painted painted{{}, QImage(kPageWidth, kPageHeight, QImage::Format_ARGB32)};
    painted.image.fill(Qt::white);
    QPainter painter(&painted.image);
    PainterCanvas canvas(painter, kMeasureDpi, &fonts);
    ReplayPage(page, canvas, painted.image.rect());
    painted.counts = canvas.Counts();
    return painted;
}

// What the page and a page's size around it hold: the most a glyph is rasterised over.
constexpr long double kAroundThePage = 9.0L * kPageHeight * kPageHeight;

TEST(PageCost, GiantTurnedTextsAroundThePageAreLeftOutOrCutToIt)
{
    const Page page = testsupport::TurnedGiantTextsPage(1000);
    MeasureDevice fonts;
    const Painted painted = Paint(page, fonts);
    // One font for all of them; each text left out or drawn over no more than the page's
    // surroundings (its whole turned cell is some 900 million pixels).
    EXPECT_LE(fonts.FontsMade(), 1);
    EXPECT_LE(painted.counts.glyphs + painted.counts.skipped, 1000);
    EXPECT_GT(painted.counts.skipped, 0);
    EXPECT_LE(painted.counts.largestGlyphClip, kAroundThePage);

    const Painted over = Paint(testsupport::TurnedGiantTextsOnPage(20), fonts);
    EXPECT_EQ(over.counts.glyphs, 20);
    EXPECT_LE(over.counts.largestGlyphClip, (kPageWidth + 10.0L) * (kPageHeight + 10.0L));
    EXPECT_EQ(fonts.FontsMade(), 1);
}

TEST(PageCost, ThousandsOfFontsOffThePageMakeNoFont)
{
    struct Row {
        const char* name;
        Page page;
    };
    const Row rows[] = {
        {"sizes", testsupport::FontSizesPage(5000, false)},
        {"face names", testsupport::FaceNamesPage(5000, false)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MeasureDevice fonts;
        const Painted painted = Paint(row.page, fonts);
        EXPECT_EQ(fonts.FontsMade(), 0);
        EXPECT_EQ(painted.counts.skipped, 5000);
        EXPECT_EQ(painted.counts.calls, 0);
    }
}

// Each font of a page is made once for every paint, and no paint makes more than its bound:
// every text is drawn all the same.
TEST(PageCost, FontsOnThePageAreMadeOnceForEveryPaint)
{
    constexpr int kBound = static_cast<int>(PaintFonts::kMaxFontsPerPaint);
    struct Row {
        const char* name;
        Page page;
        int fonts;
        long long glyphs;
    };
    const Row rows[] = {
        {"sizes within the bound", testsupport::FontSizesPage(kBound, true), kBound, kBound},
        {"sizes past the bound", testsupport::FontSizesPage(200, true), kBound, 200},
        {"5000 sizes", testsupport::FontSizesPage(5000, true), kBound, 5000},
        {"face names", testsupport::FaceNamesPage(40, true), 40, 80},
        {"5000 face names", testsupport::FaceNamesPage(5000, true), kBound, 10000},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MeasureDevice fonts;
        const Painted first = Paint(row.page, fonts);
        EXPECT_EQ(fonts.FontsMade(), row.fonts);
        EXPECT_EQ(first.counts.glyphs, row.glyphs);
        const Painted again = Paint(row.page, fonts);
        EXPECT_EQ(fonts.FontsMade(), row.fonts);
        EXPECT_EQ(again.image, first.image);
        EXPECT_EQ(again.counts.glyphs, first.counts.glyphs);
    }
}

}  // namespace
}  // namespace report::output
