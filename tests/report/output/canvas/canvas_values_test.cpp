#include "report/output/canvas/canvas.h"

#include <gtest/gtest.h>

namespace report::output {
namespace {

TEST(CanvasValues, ColoursFromTheFormsAndTheSystemTable)
{
    struct Row {
        std::uint32_t tcolor;
        QRgb want;
    };
    const Row rows[] = {
        {0x000000FF, qRgb(255, 0, 0)},  // clRed is 0x0000FF: blue-green-red order
        {0x00FF0000, qRgb(0, 0, 255)},        {0x00C0DCC0, qRgb(0xC0, 0xDC, 0xC0)},
        {0xFF00000F, qRgb(0xF0, 0xF0, 0xF0)},  // button face
        {0x8000000F, qRgb(0xF0, 0xF0, 0xF0)},  // the older form of the same
        {0xFF000005, qRgb(255, 255, 255)},     // window
        {0xFF000008, qRgb(0, 0, 0)},           // window text
        {0xFF000018, qRgb(0xFF, 0xFF, 0xE1)},  // info background
        {0xFF0000FF, qRgb(0, 0, 0)},           // beyond the table
    };
    for (const Row& r : rows)
        EXPECT_EQ(ColorFromTColor(r.tcolor), r.want) << std::hex << r.tcolor;
    EXPECT_EQ(SystemColor(-1), qRgb(0, 0, 0));
    EXPECT_EQ(SystemColor(13), qRgb(0x33, 0x99, 0xFF));
}

TEST(CanvasValues, EdgesOfRectangles)
{
    EXPECT_EQ(EdgesOf(GdiRect(2, 3, 7, 9)), (Edges{2, 3, 7, 9}));
    EXPECT_EQ(EdgesOf(GdiRect(7, 9, 2, 3)), (Edges{7, 9, 2, 3}));
    EXPECT_EQ(NormalizedEdges(GdiRect(7, 9, 2, 3)), (Edges{2, 3, 7, 9}));
    EXPECT_EQ(EdgesOf(GdiRect(0, 0, 0, 0)), (Edges{0, 0, 0, 0}));
    EXPECT_EQ(EdgesOf(QRect(-2000000000, 0, 10, 10)), (Edges{-kCoordinateLimit, 0, -kCoordinateLimit, 10}));
    EXPECT_EQ(ClampCoordinate(1LL << 40), kCoordinateLimit);
}

TEST(CanvasValues, NewCanvasSettingsAreThoseOfAFreshDeviceContext)
{
    const CanvasState s;
    EXPECT_EQ(s.pen, (Pen{qRgb(0, 0, 0), PenStyle::Solid, 1}));
    EXPECT_EQ(s.brush, (Brush{qRgb(255, 255, 255), BrushStyle::Solid}));
    EXPECT_EQ(s.font.face, "MS Sans Serif");
    EXPECT_TRUE(s.background.opaque);
    EXPECT_EQ(s.textAlign, TextAlign{});
}

}  // namespace
}  // namespace report::output
