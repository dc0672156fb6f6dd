#include "report/output/canvas/painter_canvas.h"

#include "report/output/canvas/measure.h"
#include "tests/report/output/canvas/canvas_test_support.h"
#include "utility/cp1250.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>

namespace report::output {
namespace {

using test::Block;
using test::Describe;
using test::Draw;
using test::Frame;
using test::InkOf;
using test::PixelSet;

PixelSet Union(std::initializer_list<PixelSet> parts)
{
    PixelSet all;
    for (const PixelSet& p : parts)
        all.insert(p.begin(), p.end());
    return all;
}

const Pen kBlackPen{qRgb(0, 0, 0), PenStyle::Solid, 1};
const Pen kClearPen{qRgb(0, 0, 0), PenStyle::Clear, 1};
const Brush kBlackBrush{qRgb(0, 0, 0), BrushStyle::Solid};
const Brush kClearBrush{qRgb(0, 0, 0), BrushStyle::Clear};

struct PixelRow {
    const char* name;
    std::function<void(Canvas&)> draw;
    PixelSet expected;
};

TEST(PainterCanvasRules, EachCallSetsExactlyItsPixels)
{
    const PixelRow rows[] = {
        {"FillRect leaves out right and bottom",
         [](Canvas& c) {
             c.SetBrush(kBlackBrush);
             c.FillRect(GdiRect(2, 3, 7, 9));
         },
         Block(2, 3, 7, 9)},
        {"FillRect of an inverted rectangle",
         [](Canvas& c) {
             c.SetBrush(kBlackBrush);
             c.FillRect(GdiRect(7, 9, 2, 3));
         },
         Block(2, 3, 7, 9)},
        {"FillRect with a clear brush",
         [](Canvas& c) {
             c.SetBrush(kClearBrush);
             c.FillRect(GdiRect(2, 3, 7, 9));
         },
         {}},
        {"FillRect of no width",
         [](Canvas& c) {
             c.SetBrush(kBlackBrush);
             c.FillRect(GdiRect(2, 3, 2, 9));
         },
         {}},
        {"Rectangle outline within l..r-1",
         [](Canvas& c) {
             c.SetPen(kBlackPen);
             c.SetBrush(kClearBrush);
             c.Rectangle(GdiRect(2, 3, 12, 9));
         },
         Frame(2, 3, 12, 9)},
        {"Rectangle with pen width 0",
         [](Canvas& c) {
             c.SetPen({0, PenStyle::Solid, 0});
             c.SetBrush(kClearBrush);
             c.Rectangle(GdiRect(2, 3, 12, 9));
         },
         Frame(2, 3, 12, 9)},
        {"Rectangle filled",
         [](Canvas& c) {
             c.SetPen(kBlackPen);
             c.SetBrush(kBlackBrush);
             c.Rectangle(GdiRect(2, 3, 12, 9));
         },
         Block(2, 3, 12, 9)},
        {"Rectangle with a clear pen fills one column and row less",
         [](Canvas& c) {
             c.SetPen(kClearPen);
             c.SetBrush(kBlackBrush);
             c.Rectangle(GdiRect(2, 3, 12, 9));
         },
         Block(2, 3, 11, 8)},
        {"Rectangle with an inside-frame pen of 3 stays inside",
         [](Canvas& c) {
             c.SetPen({0, PenStyle::InsideFrame, 3});
             c.SetBrush(kClearBrush);
             c.Rectangle(GdiRect(2, 3, 14, 15));
         },
         Union({Block(2, 3, 14, 6), Block(2, 12, 14, 15), Block(2, 3, 5, 15), Block(11, 3, 14, 15)})},
        {"Rectangle with a solid pen of 3 is centred on the outline",
         [](Canvas& c) {
             c.SetPen({0, PenStyle::Solid, 3});
             c.SetBrush(kClearBrush);
             c.Rectangle(GdiRect(4, 4, 12, 12));
         },
         Union({Block(3, 3, 13, 6), Block(3, 10, 13, 13), Block(3, 3, 6, 13), Block(10, 3, 13, 13)})},
        {"RoundRect with no corner is a rectangle",
         [](Canvas& c) {
             c.SetPen(kBlackPen);
             c.SetBrush(kClearBrush);
             c.RoundRect(GdiRect(2, 3, 12, 9), 0, 0);
         },
         Frame(2, 3, 12, 9)},
        {"Line leaves out its end point",
         [](Canvas& c) {
             c.SetPen(kBlackPen);
             c.Line(0, 5, 10, 5);
         },
         Block(0, 5, 10, 6)},
        {"Line drawn right to left leaves out its end point",
         [](Canvas& c) {
             c.SetPen(kBlackPen);
             c.Line(10, 5, 0, 5);
         },
         Block(1, 5, 11, 6)},
        {"Line upwards",
         [](Canvas& c) {
             c.SetPen(kBlackPen);
             c.Line(4, 9, 4, 2);
         },
         Block(4, 3, 5, 10)},
        {"Line of pen width 0",
         [](Canvas& c) {
             c.SetPen({0, PenStyle::Solid, 0});
             c.Line(4, 2, 4, 9);
         },
         Block(4, 2, 5, 9)},
        {"Diagonal line",
         [](Canvas& c) {
             c.SetPen(kBlackPen);
             c.Line(6, 6, 1, 1);
         },
         PixelSet{{6, 6}, {5, 5}, {4, 4}, {3, 3}, {2, 2}}},
        {"Shallow line rounds to the nearest row",
         [](Canvas& c) {
             c.SetPen(kBlackPen);
             c.Line(0, 0, 6, 2);
         },
         PixelSet{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 2}}},
        {"Line to its own start draws nothing",
         [](Canvas& c) {
             c.SetPen(kBlackPen);
             c.Line(3, 3, 3, 3);
         },
         {}},
        {"Line with a clear pen",
         [](Canvas& c) {
             c.SetPen(kClearPen);
             c.Line(0, 5, 10, 5);
         },
         {}},
        {"Dotted line: three on, three off",
         [](Canvas& c) {
             c.SetPen({0, PenStyle::Dot, 1});
             c.Line(0, 5, 14, 5);
         },
         Union({Block(0, 5, 3, 6), Block(6, 5, 9, 6), Block(12, 5, 14, 6)})},
        {"Dashed line: eighteen on, six off",
         [](Canvas& c) {
             c.SetPen({0, PenStyle::Dash, 1});
             c.Line(0, 5, 30, 5);
         },
         Union({Block(0, 5, 18, 6), Block(24, 5, 30, 6)})},
        {"Dash-dot line",
         [](Canvas& c) {
             c.SetPen({0, PenStyle::DashDot, 0});
             c.Line(0, 5, 30, 5);
         },
         Union({Block(0, 5, 9, 6), Block(15, 5, 18, 6), Block(24, 5, 30, 6)})},
        {"Dash-dot-dot line",
         [](Canvas& c) {
             c.SetPen({0, PenStyle::DashDotDot, 1});
             c.Line(0, 5, 30, 5);
         },
         Union({Block(0, 5, 9, 6), Block(12, 5, 15, 6), Block(18, 5, 21, 6), Block(24, 5, 30, 6)})},
        {"Dashed pen wider than 1 draws solid with round ends",
         [](Canvas& c) {
             c.SetPen({0, PenStyle::Dash, 3});
             c.Line(4, 5, 28, 5);
         },
         Union({Block(3, 4, 30, 7)})},
    };
    for (const PixelRow& row : rows) {
        SCOPED_TRACE(row.name);
        const PixelSet ink = InkOf(Draw(32, 20, row.draw));
        EXPECT_EQ(ink, row.expected) << "got " << Describe(ink) << "\nwant " << Describe(row.expected);
    }
}

// Shapes whose outline is a curve: every pixel lies within the box, and the box is reached on
// all four sides.
TEST(PainterCanvasRules, CurvedShapesFillTheirBoxExactly)
{
    const std::pair<const char*, std::function<void(Canvas&)>> rows[] = {
        {"ellipse outline",
         [](Canvas& c) {
             c.SetPen(kBlackPen);
             c.SetBrush(kClearBrush);
             c.Ellipse(GdiRect(2, 3, 12, 17));
         }},
        {"ellipse filled",
         [](Canvas& c) {
             c.SetPen(kBlackPen);
             c.SetBrush(kBlackBrush);
             c.Ellipse(GdiRect(2, 3, 12, 17));
         }},
        {"round rectangle",
         [](Canvas& c) {
             c.SetPen(kBlackPen);
             c.SetBrush(kBlackBrush);
             c.RoundRect(GdiRect(2, 3, 12, 17), 6, 4);
         }},
        {"dashed ellipse",
         [](Canvas& c) {
             c.SetPen({0, PenStyle::Dot, 1});
             c.SetBrush(kBlackBrush);
             c.Ellipse(GdiRect(2, 3, 12, 17));
         }},
    };
    for (const auto& [name, draw] : rows) {
        SCOPED_TRACE(name);
        const PixelSet ink = InkOf(Draw(20, 20, draw));
        ASSERT_FALSE(ink.empty());
        int x0 = 99, y0 = 99, x1 = -1, y1 = -1;
        for (const auto& [x, y] : ink) {
            x0 = std::min(x0, x);
            y0 = std::min(y0, y);
            x1 = std::max(x1, x);
            y1 = std::max(y1, y);
        }
        EXPECT_EQ(x0, 2);
        EXPECT_EQ(y0, 3);
        EXPECT_EQ(x1, 11);
        EXPECT_EQ(y1, 16);
    }
    // Filled without a pen, one column and row less.
    const PixelSet ink = InkOf(Draw(20, 20, [](Canvas& c) {
        c.SetPen(kClearPen);
        c.SetBrush(kBlackBrush);
        c.Ellipse(GdiRect(2, 3, 12, 17));
    }));
    EXPECT_TRUE(ink.contains({10, 9}));
    EXPECT_FALSE(ink.contains({11, 9}));
    EXPECT_TRUE(ink.contains({6, 15}));
    EXPECT_FALSE(ink.contains({6, 16}));
}

TEST(PainterCanvasRules, HatchesAreDrawnOverWhatLiesBelow)
{
    const QImage image = Draw(20, 20, [](Canvas& c) {
        c.SetBrush({qRgb(255, 0, 0), BrushStyle::Solid});
        c.FillRect(GdiRect(0, 0, 16, 16));
        c.SetBrush({qRgb(0, 0, 255), BrushStyle::Horizontal});
        c.FillRect(GdiRect(0, 0, 16, 16));
    });
    int blue = 0, red = 0;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const QRgb p = image.pixel(x, y) & 0xFFFFFFu;
            blue += p == 0x0000FFu;
            red += p == 0xFF0000u;
        }
    }
    // Two lines of an eight-pixel hatch across 16 rows; the rest keeps the red below.
    EXPECT_EQ(blue, 32);
    EXPECT_EQ(red, 16 * 16 - 32);
}

TEST(PainterCanvasRules, ClipCutsAFillUntilRemoved)
{
    const PixelSet ink = InkOf(Draw(30, 30, [](Canvas& c) {
        c.SetBrush(kBlackBrush);
        c.SetClipRect(GdiRect(5, 5, 10, 12));
        c.FillRect(GdiRect(0, 0, 20, 20));
        c.SetClipRect(GdiRect(12, 0, 14, 3));  // replaces the first clip
        c.FillRect(GdiRect(0, 0, 20, 20));
        c.RemoveClip();
        c.FillRect(GdiRect(25, 25, 27, 27));
    }));
    EXPECT_EQ(ink, Union({Block(5, 5, 10, 12), Block(12, 0, 14, 3), Block(25, 25, 27, 27)})) << Describe(ink);
    // Text after a removed clip is not cut by the old one.
    FontSpec font;
    font.face = "Arial";
    font.points = 10;
    const PixelSet text = InkOf(Draw(30, 30, [&](Canvas& c) {
        c.SetClipRect(GdiRect(0, 0, 2, 2));
        c.RemoveClip();
        c.SetFont(font);
        c.TextOut(10, 10, "H");
    }));
    EXPECT_FALSE(text.empty());
}

TEST(PainterCanvasRules, ClipOfThePainterStaysUnderEveryClip)
{
    QImage image = test::WhiteImage(30, 30);
    {
        QPainter painter(&image);
        painter.setClipRect(QRect(0, 0, 8, 30));
        PainterCanvas c(painter, 96);
        c.SetBrush(kBlackBrush);
        c.SetClipRect(GdiRect(5, 5, 20, 7));
        c.FillRect(GdiRect(0, 0, 30, 30));
        c.RemoveClip();
        c.FillRect(GdiRect(0, 20, 30, 21));
    }
    EXPECT_EQ(InkOf(image), Union({Block(5, 5, 8, 7), Block(0, 20, 8, 21)}));
}

struct TextCase {
    const char* name;
    int points;
    HorizontalAlign align;
    std::string text;
    bool rightToLeft = false;
    bool underline = false;
    const char* face = "Arial";
};

TEST(PainterCanvasRules, TextInkStaysInItsCell)
{
    const TextCase rows[] = {
        {"left 10 pt", 10, HorizontalAlign::Left, "WAVE jg|"},
        {"right 10 pt", 10, HorizontalAlign::Right, "Wyjazd: 12:30"},
        {"left 7 pt Polish", 7, HorizontalAlign::Left, utility::Pl("ŻÓŁĆ ąęśń")},
        {"right 12 pt Polish", 12, HorizontalAlign::Right, utility::Pl("Gdańsk Ęą")},
        {"centre 8 pt", 8, HorizontalAlign::Center, "Kierowca"},
        {"right-to-left reading", 10, HorizontalAlign::Left, "(abc.)", true},
        {"right-to-left reading, right aligned", 10, HorizontalAlign::Right, "12:30 -", true},
        {"underlined", 11, HorizontalAlign::Left, "gjyp Wq", false, true},
        {"Times New Roman", 12, HorizontalAlign::Left, "Wykaz jazdy", false, true, "Times New Roman"},
        {"MS Sans Serif", 8, HorizontalAlign::Right, utility::Pl("Słowo Qj"), false, false, "MS Sans Serif"},
    };
    for (const TextCase& row : rows) {
        SCOPED_TRACE(row.name);
        FontSpec font;
        font.face = row.face;
        font.points = row.points;
        font.underline = row.underline;
        int width = 0, height = 0;
        const int x = 100, y = 10;
        const QImage image = Draw(200, 40, [&](Canvas& c) {
            c.SetFont(font);
            c.SetBackground({false, 0});
            c.SetTextAlign({row.align, row.rightToLeft});
            width = c.TextWidth(row.text);
            height = c.TextHeight(row.text);
            c.TextOut(x, y, row.text);
        });
        MeasureDevice measure;
        EXPECT_EQ(width, measure.TextWidth(font, row.text));
        EXPECT_EQ(height, measure.TextHeight(font));
        const int left = row.align == HorizontalAlign::Left    ? x
                         : row.align == HorizontalAlign::Right ? x - width
                                                               : x - width / 2;
        const PixelSet ink = InkOf(image);
        ASSERT_FALSE(ink.empty());
        for (const auto& [px, py] : ink) {
            EXPECT_GE(px, left);
            EXPECT_LE(px, left + width);
            EXPECT_GE(py, y);
            EXPECT_LT(py, y + height);
        }
    }
}

// Orientation turns the cell counter-clockwise about the point given.
TEST(PainterCanvasRules, RotatedTextTurnsAboutItsPoint)
{
    FontSpec font;
    font.face = "Arial";
    font.points = 10;
    font.orientation = 900;
    int width = 0, height = 0;
    const QImage image = Draw(60, 120, [&](Canvas& c) {
        c.SetFont(font);
        c.SetBackground({true, qRgb(0, 0, 255)});
        width = c.TextWidth("Kierowca");
        height = c.TextHeight("Kierowca");
        c.TextOut(20, 100, "Kierowca");
    });
    // Upwards from (20, 100): the cell's top edge lies on x = 20, its start on y = 100; the
    // last glyph may overhang the cell by a pixel.
    const PixelSet ink = InkOf(image);
    const PixelSet cell = Block(20, 100 - width, 20 + height, 100);
    const PixelSet reach = Block(20, 100 - width - 1, 20 + height, 100);
    EXPECT_TRUE(std::includes(ink.begin(), ink.end(), cell.begin(), cell.end()));
    EXPECT_TRUE(std::includes(reach.begin(), reach.end(), ink.begin(), ink.end())) << Describe(ink);
}

TEST(PainterCanvasRules, OpaqueBackgroundFillsTheCellAndTransparentNone)
{
    FontSpec font;
    font.face = "Arial";
    font.points = 10;
    int width = 0, height = 0;
    const QImage opaque = Draw(100, 40, [&](Canvas& c) {
        c.SetFont(font);
        c.SetBackground({true, qRgb(255, 255, 0)});
        width = c.TextWidth("AV");
        height = c.TextHeight("AV");
        c.TextOut(10, 5, "AV");
    });
    // The cell is filled; a glyph's overhang may reach the column at x + width, as on paper.
    const PixelSet ink = InkOf(opaque);
    const PixelSet cell = Block(10, 5, 10 + width, 5 + height);
    const PixelSet reach = Block(10, 5, 10 + width + 1, 5 + height);
    EXPECT_TRUE(std::includes(ink.begin(), ink.end(), cell.begin(), cell.end()));
    EXPECT_TRUE(std::includes(reach.begin(), reach.end(), ink.begin(), ink.end())) << Describe(ink);
    EXPECT_EQ(opaque.pixel(10, 5) & 0xFFFFFFu, 0xFFFF00u);  // the corner of "A"'s cell is empty
    const QImage transparent = Draw(100, 40, [&](Canvas& c) {
        c.SetFont(font);
        c.SetBackground({false, qRgb(255, 255, 0)});
        c.TextOut(10, 5, "AV");
    });
    for (const auto& [x, y] : InkOf(transparent))
        EXPECT_NE(transparent.pixel(x, y) & 0xFFFFFFu, 0xFFFF00u);
}

TEST(PainterCanvasRules, PicturesStretchNearestNeighbourWithAlpha)
{
    QImage picture(2, 2, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(255, 0, 0, 255));
    picture.setPixel(1, 0, qRgba(0, 0, 255, 255));
    picture.setPixel(0, 1, qRgba(0, 0, 0, 0));
    picture.setPixel(1, 1, qRgba(0, 255, 0, 255));
    const QImage image = Draw(20, 20, [&](Canvas& c) { c.DrawPicture(QRect(2, 4, 6, 4), picture); });
    EXPECT_EQ(InkOf(image), Union({Block(2, 4, 8, 6), Block(5, 6, 8, 8)}));
    for (int x = 2; x < 5; ++x) {
        EXPECT_EQ(image.pixel(x, 4) & 0xFFFFFFu, 0xFF0000u);
        EXPECT_EQ(image.pixel(x + 3, 5) & 0xFFFFFFu, 0x0000FFu);
        EXPECT_EQ(image.pixel(x + 3, 7) & 0xFFFFFFu, 0x00FF00u);
    }
    EXPECT_TRUE(InkOf(Draw(20, 20, [&](Canvas& c) { c.DrawPicture(QRect(8, 4, -6, 4), picture); })).empty());
}

// A window of a larger scene: drawn on an image of the window's size through a painter moved
// to it, and the scene's own pixels there, drawn on an image that holds all of the drawing.
struct Window {
    QRect area;  // in the scene
    QSize scene;
};

QImage DrawThrough(const Window& w, bool asWindow, PaintCounts* counts, const std::function<void(Canvas&)>& draw)
{
    QImage image =
        test::WhiteImage(asWindow ? w.area.width() : w.scene.width(), asWindow ? w.area.height() : w.scene.height());
    QPainter painter(&image);
    if (asWindow)
        painter.translate(-w.area.left(), -w.area.top());
    PainterCanvas canvas(painter, 96);
    draw(canvas);
    if (counts)
        *counts = canvas.Counts();
    return image;
}

// Texts, shapes and pictures around the window's edges: what the window leaves out leaves no
// ink there in the scene, and what it draws is the scene's own pixels. Turned text keeps its
// overhang and its turned cell, however far the point it turns about lies outside.
TEST(PainterCanvasVisibility, WhatIsLeftOutHasNoInkAndWhatIsDrawnIsAsInTheWhole)
{
    const Window window{QRect(400, 350, 120, 90), QSize(1000, 900)};
    const QRect& a = window.area;
    const int xs[] = {a.left() - 330, a.left() - 60, a.left() - 3, a.left() + 50, a.right() + 4, a.right() + 70};
    const int ys[] = {a.top() - 300, a.top() - 40, a.top() - 2, a.top() + 40, a.bottom() + 3, a.bottom() + 60};
    const int orientations[] = {0, 450, 900, 1800, 2700, 3150, 1, 3599, 1234};
    const int sizes[] = {9, 26, 120};
    int index = 0;
    int skipped = 0;
    int drawn = 0;
    for (const int size : sizes)
        for (const int orientation : orientations)
            for (const int x : xs)
                for (const int y : ys) {
                    ++index;
                    FontSpec font;
                    font.face = index % 3 == 0 ? "Times New Roman" : "Arial";
                    font.points = size;
                    font.orientation = orientation;
                    font.italic = index % 2 == 0;  // its overhang reaches past the cell
                    font.underline = index % 5 == 0;
                    const auto draw = [&](Canvas& c) {
                        c.SetFont(font);
                        c.SetBackground({index % 7 == 0, qRgb(255, 255, 0)});
                        c.SetTextAlign({static_cast<HorizontalAlign>(index % 3), false});
                        c.TextOut(x, y, index % 4 == 0 ? "W" : "fWjg\xB3");
                    };
                    PaintCounts counts;
                    const QImage part = DrawThrough(window, true, &counts, draw);
                    const QImage whole = DrawThrough(window, false, nullptr, draw);
                    const QImage there = whole.copy(a);
                    SCOPED_TRACE(testing::Message() << size << " pt at " << orientation << " from " << x << "," << y);
                    if (counts.skipped > 0) {
                        ++skipped;
                        EXPECT_TRUE(InkOf(there).empty()) << Describe(InkOf(there));
                        continue;
                    }
                    ++drawn;
                    // Turned at an angle, Qt's own rounding of the turn differs a little once
                    // the painter is moved; at right angles the window is exact. Glyphs above
                    // 64 pixels are rasterised as outlines, whose antialiasing may differ by a
                    // step at the window's edge.
                    if (orientation % 900 == 0 && size < 120) {
                        EXPECT_EQ(part, there);
                    } else if (orientation % 900 == 0) {
                        EXPECT_EQ(InkOf(part), InkOf(there));
                    }
                }
    // Both kinds occur among the cases.
    EXPECT_GT(skipped, 0);
    EXPECT_GT(drawn, 0);

    // Shapes, lines and pictures at and beyond the edges.
    QImage picture(3, 3, QImage::Format_ARGB32);
    picture.fill(qRgb(0, 0, 255));
    const std::vector<std::function<void(Canvas&)>> shapes = {
        [&](Canvas& c) { c.FillRect(GdiRect(a.left() - 20, a.top(), a.left(), a.top() + 10)); },
        [&](Canvas& c) { c.FillRect(GdiRect(a.left() - 20, a.top(), a.left() + 1, a.top() + 10)); },
        [&](Canvas& c) { c.Rectangle(GdiRect(a.right() + 1, a.top(), a.right() + 30, a.top() + 10)); },
        [&](Canvas& c) {
            c.SetPen(Pen{qRgb(0, 0, 0), PenStyle::Solid, 9});
            c.Rectangle(GdiRect(a.right() + 3, a.top(), a.right() + 30, a.top() + 10));
        },
        [&](Canvas& c) { c.Ellipse(GdiRect(a.left(), a.bottom() + 1, a.left() + 20, a.bottom() + 20)); },
        [&](Canvas& c) { c.RoundRect(GdiRect(a.left(), a.top() - 20, a.left() + 20, a.top() + 1), 6, 6); },
        [&](Canvas& c) { c.Line(a.left() - 50, a.top() - 50, a.left() + 10, a.top() + 10); },
        [&](Canvas& c) { c.Line(a.left() - 50, a.top() - 50, a.left(), a.top()); },
        [&](Canvas& c) {
            c.SetPen(Pen{qRgb(0, 0, 0), PenStyle::Solid, 12});
            c.Line(a.left() - 50, a.top() - 5, a.left() - 2, a.top() - 5);
        },
        [&](Canvas& c) { c.DrawPicture(GdiRect(a.right() + 1, a.top(), a.right() + 4, a.top() + 3), picture); },
        [&](Canvas& c) { c.DrawPicture(GdiRect(a.right() - 1, a.top(), a.right() + 4, a.top() + 3), picture); },
        [&](Canvas& c) {
            c.SetClipRect(GdiRect(a.left(), a.top(), a.left() + 10, a.top() + 10));
            c.FillRect(GdiRect(a.left() + 10, a.top(), a.left() + 30, a.top() + 10));
            c.FillRect(GdiRect(a.left() + 9, a.top(), a.left() + 30, a.top() + 10));
        },
    };
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        SCOPED_TRACE(i);
        const auto draw = [&](Canvas& c) {
            c.SetBrush(Brush{qRgb(0, 160, 0), BrushStyle::Solid});
            shapes[i](c);
        };
        PaintCounts counts;
        const QImage part = DrawThrough(window, true, &counts, draw);
        const QImage there = DrawThrough(window, false, nullptr, draw).copy(a);
        EXPECT_EQ(part, there);
        if (counts.skipped > 0) {
            EXPECT_TRUE(InkOf(there).empty());
        }
    }
}

// What cannot show is left out, not drawn to be cut away: outside the canvas's clip, and a turned
// text whose bounds meet the window while the text itself passes beside it.
TEST(PainterCanvasVisibility, WhatCannotShowIsLeftOut)
{
    const Window window{QRect(400, 350, 120, 90), QSize(1000, 900)};
    const QRect& a = window.area;
    FontSpec turned;
    turned.face = "Arial";
    turned.points = 20;
    turned.orientation = 450;
    struct Row {
        const char* name;
        std::function<void(Canvas&)> draw;
        long long skipped;
    };
    const Row rows[] = {
        {"outside the clip",
         [&](Canvas& c) {
             c.SetClipRect(GdiRect(a.left(), a.top(), a.left() + 10, a.top() + 10));
             c.FillRect(GdiRect(a.left() + 40, a.top() + 40, a.left() + 60, a.top() + 60));
         },
         1},
        {"the clip removed",
         [&](Canvas& c) {
             c.SetClipRect(GdiRect(a.left(), a.top(), a.left() + 10, a.top() + 10));
             c.RemoveClip();
             c.FillRect(GdiRect(a.left() + 40, a.top() + 40, a.left() + 60, a.top() + 60));
         },
         0},
        // Upward to the right along x + y = 650; the window begins at x + y = 750.
        {"a turned text beside the window",
         [&](Canvas& c) {
             c.SetFont(turned);
             c.TextOut(100, 550, std::string(20, 'W'));
         },
         1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto draw = [&](Canvas& c) {
            c.SetBrush(Brush{qRgb(0, 160, 0), BrushStyle::Solid});
            c.SetBackground({false, 0});
            row.draw(c);
        };
        PaintCounts counts;
        const QImage part = DrawThrough(window, true, &counts, draw);
        EXPECT_EQ(counts.skipped, row.skipped);
        EXPECT_EQ(counts.calls, 1 - row.skipped);
        EXPECT_EQ(part, DrawThrough(window, false, nullptr, draw).copy(a));
    }
    // A clip the painter had before the canvas bounds what shows as well.
    QImage image = test::WhiteImage(200, 200);
    QPainter painter(&image);
    painter.setClipRect(0, 0, 50, 50);
    PainterCanvas canvas(painter, 96);
    canvas.SetBrush(kBlackBrush);
    canvas.FillRect(GdiRect(100, 100, 120, 120));
    EXPECT_EQ(canvas.Counts().skipped, 1);
}

// A text beyond the largest size turned 45 degrees over a small target: its glyphs are
// rasterised over no more than the target and its edge, not over the whole turned cell, and
// what shows is what the whole cell would give (a painter with a view transform keeps it).
TEST(PainterCanvasVisibility, AGiantTurnedTextIsCutToWhatCanBeSeen)
{
    FontSpec font;
    font.face = "Arial";
    font.points = 20000;
    font.orientation = 450;
    const QSize target(200, 150);
    struct Row {
        int x, y;
    };
    for (const Row row : {Row{100, -9000}, Row{-300, -12000}, Row{150, 200}, Row{-14000, 5000}}) {
        SCOPED_TRACE(testing::Message() << row.x << "," << row.y);
        PaintCounts cut;
        QImage images[2];
        for (const bool keepWhole : {false, true}) {
            images[keepWhole] = test::WhiteImage(target.width(), target.height());
            QPainter painter(&images[keepWhole]);
            if (keepWhole) {
                painter.setWindow(QRect(QPoint(0, 0), target));
                painter.setViewport(QRect(QPoint(0, 0), target));
            }
            PainterCanvas canvas(painter, 96);
            canvas.SetFont(font);
            canvas.SetBackground({false, 0});
            canvas.TextOut(row.x, row.y, "W");
            if (!keepWhole)
                cut = canvas.Counts();
        }
        EXPECT_EQ(cut.glyphs, 1);
        EXPECT_EQ(images[0], images[1]);
        // The target and the few pixels antialiasing may reach beyond it.
        EXPECT_LE(cut.largestGlyphClip, (target.width() + 10.0L) * (target.height() + 10.0L));
    }
}

}  // namespace
}  // namespace report::output
