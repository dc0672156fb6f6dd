// Shapes in the PDF document: which items a shape becomes and the path lines of each drawing
// code, on an A4 page at 0.75 points per device pixel (page height 841.89 points).
#include "report/output/pdf/pdf_shapes.h"

#include "tests/report/output/pdf/pdf_graphics_fixture.h"

#include <gtest/gtest.h>

namespace report::output::testing {
namespace {

using Lines = std::vector<std::string>;

constexpr Pen kClearPen{qRgb(0, 0, 255), PenStyle::Clear, 1};
constexpr Pen kBlackPen{qRgb(0, 0, 0), PenStyle::Solid, 1};
constexpr Brush kRedBrush{qRgb(255, 0, 0), BrushStyle::Solid};
constexpr Brush kClearBrush{qRgb(0, 255, 0), BrushStyle::Clear};
constexpr Brush kWhiteBrush{qRgb(255, 255, 255), BrushStyle::Solid};

Lines LinesOf(const ExportShape& shape, long double x = 100, long double y = 200)
{
    return GraphicLines(ExportedPdf({{shape, x, y}}));
}

// The box at device (100, 200), 40 x 20 pixels, is 75 to 105 across and 691.89 down to 676.89
// up the page.
TEST(PdfShapes, ItemsByPenAndBrush)
{
    struct Row {
        const char* name;
        Pen pen;
        Brush brush;
        Lines lines;
    };
    const Row rows[] = {
        {"solid brush, clear pen: filled once",
         kClearPen,
         kRedBrush,
         {"0.75 w", "1.00 0.00 0.00 rg", "75 676 30 15 re f"}},
        {"solid brush, visible pen: filled, then outlined",
         kBlackPen,
         kRedBrush,
         {"0.75 w", "1.00 0.00 0.00 rg", "75 676 30 15 re f", "0.75 w", "0.00 0.00 0.00 RG", "75 676 30 15 re s"}},
        {"clear brush, visible pen: outlined once",
         kBlackPen,
         kClearBrush,
         {"0.75 w", "0.00 0.00 0.00 RG", "75 676 30 15 re s"}},
        {"clear brush, clear pen: nothing", kClearPen, kClearBrush, {}},
        {"hatched brush fills",
         kClearPen,
         Brush{qRgb(0, 128, 255), BrushStyle::Cross},
         {"0.75 w", "0.00 0.50 1.00 rg", "75 676 30 15 re f"}},
        {"dashed pen, width 2",
         Pen{qRgb(51, 102, 204), PenStyle::Dash, 2},
         kClearBrush,
         {"1.50 w", "0.20 0.40 0.80 RG", "75 676 30 15 re s"}},
        {"pen width 0",
         Pen{qRgb(0, 0, 0), PenStyle::Solid, 0},
         kClearBrush,
         {"0.00 w", "0.00 0.00 0.00 RG", "75 676 30 15 re s"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(LinesOf(MakeShape(TRpShapeType::rpsRectangle, 40, 20, row.pen, row.brush)), row.lines);
    }
}

TEST(PdfShapes, LinesByDrawingCode)
{
    struct Row {
        const char* name;
        TRpShapeType type;
        ShapeClass kind;
        Lines strokes;  // after " 1 w" and the pen colour
    };
    const Row rows[] = {
        {"horizontal line", TRpShapeType::rpsHorLine, ShapeClass::Shape, {"75 684 m 105 684 l s"}},
        {"vertical line", TRpShapeType::rpsVertLine, ShapeClass::Shape, {"90 676 m 90 691 l s"}},
        {"top and bottom",
         TRpShapeType::rpsTopAndBottom,
         ShapeClass::Shape,
         {"75 691 m 105 691 l s", "75 676 m 105 676 l s"}},
        {"left and right",
         TRpShapeType::rpsRightAndLeft,
         ShapeClass::Shape,
         {"75 676 m 75 691 l s", "105 676 m 105 691 l s"}},
        {"diagonal from the top left", TRpShapeType::rpsRightDiagonal, ShapeClass::Shape, {"75 691 m 105 676 l s"}},
        {"diagonal from the bottom left", TRpShapeType::rpsLeftDiagonal, ShapeClass::Shape, {"75 676 m 105 691 l s"}},
        {"PDF shape", TRpShapeType::rpsLeftDiagonal, ShapeClass::PdfShape, {"75 676 m 105 691 l s"}},
        {"a rule is a horizontal line whatever its shape",
         TRpShapeType::rpsCircle,
         ShapeClass::Rule,
         {"75 684 m 105 684 l s"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        // The solid white brush plays no part in a line.
        Lines expected = {" 1 w", "0.00 0.00 0.00 RG"};
        expected.insert(expected.end(), row.strokes.begin(), row.strokes.end());
        EXPECT_EQ(LinesOf(MakeShape(row.type, 40, 20, kBlackPen, kWhiteBrush, row.kind)), expected);
        EXPECT_EQ(LinesOf(MakeShape(row.type, 40, 20, kClearPen, kWhiteBrush, row.kind)), Lines{});
    }
}

TEST(PdfShapes, ThePrintLayoutsTitleLine)
{
    // 728 x 3 pixels at (30, 135): its middle is 101.25 + 1.125 points from the top.
    EXPECT_EQ(LinesOf(MakeShape(TRpShapeType::rpsHorLine, 728, 3, kBlackPen, kWhiteBrush), 30, 135),
              (Lines{" 1 w", "0.00 0.00 0.00 RG", "22 739 m 568 739 l s"}));
}

TEST(PdfShapes, EllipseIsFourQuarterCurves)
{
    // Centre (90, 684.39), radii 15 and 7.5; handles 15 x 0.55229 = 8.28 and 7.5 x 0.55229 = 4.14.
    const Lines curves = {
        "  90.0  691.9 m",
        "98.3   691.9   105.0   688.5   105.0   684.4 c",
        "105.0   680.2    98.3   676.9    90.0   676.9 c",
        "81.7   676.9    75.0   680.2    75.0   684.4 c",
        "75.0   688.5    81.7   691.9    90.0   691.9 c",
    };
    Lines filled = {" 1 w", "1.00 0.00 0.00 rg"};
    filled.insert(filled.end(), curves.begin(), curves.end());
    filled.back() += " f";
    Lines outlined = {" 1 w", "0.00 0.00 0.00 RG"};
    outlined.insert(outlined.end(), curves.begin(), curves.end());
    outlined.back() += " s";

    EXPECT_EQ(LinesOf(MakeShape(TRpShapeType::rpsCircle, 40, 20, kClearPen, kRedBrush)), filled);
    Lines both = filled;
    both.insert(both.end(), outlined.begin(), outlined.end());
    EXPECT_EQ(LinesOf(MakeShape(TRpShapeType::rpsCircle, 40, 20, kBlackPen, kRedBrush)), both);
}

TEST(PdfShapes, RoundRectangleIsARectangle)
{
    for (const ShapeClass kind : {ShapeClass::Shape, ShapeClass::PdfShape}) {
        EXPECT_EQ(LinesOf(MakeShape(TRpShapeType::rpsRoundRect, 40, 20, kBlackPen, kRedBrush, kind)),
                  LinesOf(MakeShape(TRpShapeType::rpsRectangle, 40, 20, kBlackPen, kRedBrush, kind)));
    }
}

TEST(PdfShapes, EmptyShapeIsStillExported)
{
    EXPECT_EQ(LinesOf(MakeShape(TRpShapeType::rpsRectangle, 0, 0, kClearPen, kRedBrush)),
              (Lines{"0.75 w", "1.00 0.00 0.00 rg", "75 691 0 0 re f"}));
    EXPECT_EQ(LinesOf(MakeShape(TRpShapeType::rpsHorLine, 0, 0, kBlackPen, kWhiteBrush)),
              (Lines{" 1 w", "0.00 0.00 0.00 RG", "75 691 m 75 691 l s"}));
}

TEST(PdfShapes, ItemsCarryTheScaledBox)
{
    // Extents and the pen width scale horizontally, the position by its own axis.
    const auto items = ShapeItems(MakeShape(TRpShapeType::rpsCircle, 40, 20, Pen{qRgb(1, 2, 3), PenStyle::Solid, 4},
                                            Brush{qRgb(4, 5, 6), BrushStyle::Solid}),
                                  100, 200, 0.5L, 0.25L);
    ASSERT_EQ(items.size(), 2u);
    for (const TPDFItemRec& item : items) {
        EXPECT_EQ(item.Kind, TPDFItemKind::Shape);
        EXPECT_EQ(item.ShapeCode, 1);
        EXPECT_EQ(item.X, 50);
        EXPECT_EQ(item.Y, 50);
        EXPECT_EQ(item.Width, 20);
        EXPECT_EQ(item.Height, 10);
        EXPECT_EQ(item.PenWidth, 2);
        EXPECT_EQ(item.PenColor, qRgb(1, 2, 3));
        EXPECT_EQ(item.FillColor, qRgb(4, 5, 6));
    }
    EXPECT_TRUE(items[0].Filled);
    EXPECT_FALSE(items[1].Filled);
}

TEST(PdfShapes, ShapesComeBeforeTheText)
{
    const std::string pdf =
        ExportedPdf({{MakeShape(TRpShapeType::rpsRectangle, 40, 20, kClearPen, kRedBrush), 100, 200}});
    EXPECT_NE(pdf.find("stream\r\n0.75 w\r\n1.00 0.00 0.00 rg\r\n75 676 30 15 re f\r\nBT\r\nET\r\nendstream"),
              std::string::npos);
}

}  // namespace
}  // namespace report::output::testing
