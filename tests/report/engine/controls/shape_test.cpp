#include "report/engine/controls/shape.h"

#include "report/engine/controls/image.h"
#include "report/output/canvas/trace_canvas.h"
#include "tests/report/engine/model/printable_fixture.h"
#include "tests/support/ink_bounds.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

namespace report::engine {
namespace {

using enginetest::LinesStartingWith;
using enginetest::PrintableTest;
using enginetest::RecordingFilter;
using testsupport::InkBounds;

// Height, Left, Top, Width in tenths of a millimetre.
const std::vector<long double> kBox{100, 50, 20, 200};
const output::Pen kRedPen{qRgb(255, 0, 0), output::PenStyle::Solid, 3};
const output::Brush kBlueBrush{qRgb(0, 0, 255), output::BrushStyle::Solid};

TRpShape& PlaceShape(TRpBand& band, TRpShapeType type, const std::vector<long double>& values)
{
    TRpShape& shape = band.NewPrintable<TRpShape>();
    shape.Size.ReadValues(values);
    shape.SetShape(type);
    shape.Prepare();
    return shape;
}

TEST_F(PrintableTest, EveryShapeOnTheRecordedPage)
{
    // At band offsets (100, 200): L = DeviceX(150) = 57, T = DeviceY(220) = 83, R = DeviceX(350)
    // = 132, B = DeviceY(320) = 121; the middle DeviceX(250) = 94, DeviceY(270) = 102.
    const std::string pen = " pen=solid/3/#ff0000";
    const std::string brush = " brush=solid/#0000ff";
    struct Row {
        TRpShapeType type;
        float roundFactor;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {TRpShapeType::rpsRectangle, 0, {"Rectangle 57,83,132,121" + pen + brush}},
        {TRpShapeType::rpsCircle, 0, {"Ellipse 57,83,132,121" + pen + brush}},
        {TRpShapeType::rpsVertLine, 0, {"Line 94,83,94,121" + pen}},
        {TRpShapeType::rpsHorLine, 0, {"Line 57,102,132,102" + pen}},
        {TRpShapeType::rpsTopAndBottom, 0, {"Line 57,83,132,83" + pen, "Line 57,121,132,121" + pen}},
        {TRpShapeType::rpsRightAndLeft, 0, {"Line 57,83,57,121" + pen, "Line 132,83,132,121" + pen}},
        // DeviceWidth(200) = 76: a quarter of it rounds each corner; 0 keeps them square.
        {TRpShapeType::rpsRoundRect, 0.25F, {"RoundRect 57,83,132,121 corner=19x19" + pen + brush}},
        {TRpShapeType::rpsRoundRect, 0, {"RoundRect 57,83,132,121 corner=0x0" + pen + brush}},
        {TRpShapeType::rpsLeftDiagonal, 0, {"Line 132,83,57,121" + pen}},
        {TRpShapeType::rpsRightDiagonal, 0, {"Line 57,83,132,121" + pen}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.type));
        Start(Device::Record96);
        TRpShape& shape = PlaceShape(*band_, r.type, kBox);
        shape.SetPen(kRedPen);
        shape.SetBrush(kBlueBrush);
        shape.SetRoundFactor(r.roundFactor);
        shape.Frame.SetDrawTop(true);  // a shape draws no frame
        shape.Print(100, 200);
        EXPECT_EQ(RecordedTrace(), r.lines);
    }
}

TEST_F(PrintableTest, TitleLineOfThePrintLayout)
{
    // 7.9, 357.2, 1926.2 x 7.9 with the band at the page's corner.
    const std::vector<long double> line{7.9L, 7.9L, 357.2L, 1926.2L};
    Start(Device::Record96);
    PlaceShape(*band_, TRpShapeType::rpsHorLine, line).Print(0, 0);
    EXPECT_EQ(RecordedTrace(), std::vector<std::string>{"Line 3,136,731,136 pen=solid/1/#000000"});

    // At 600 dpi the line is still one pixel high (a shorter one, for the small test paper).
    Start(Device::Printer600);
    PlaceShape(*band_, TRpShapeType::rpsHorLine, {7.9L, 7.9L, 357.2L, 1000}).Print(0, 0);
    // DeviceX(7.9) = 19, DeviceX(1007.9) = 2381, DeviceY(361.15) = 853.
    EXPECT_EQ(InkBounds(PrintedPage()), QRect(19, 853, 2381 - 19, 1));
}

TEST_F(PrintableTest, RoundedCornersScaleWithTheDevice)
{
    struct Row {
        float factor;
        int firstInkFrom;  // first dark pixel of the top row, from the shape's left edge
        int firstInkTo;
    };
    // DeviceWidth(200) at 600 dpi is 472: half of it is a 236-pixel corner ellipse, whose
    // straight top edge starts about 118 pixels in. (The screen's 76 pixels would give 19.)
    for (const Row& r : {Row{0.5F, 100, 125}, Row{0, 0, 0}}) {
        SCOPED_TRACE(r.factor);
        Start(Device::Printer600);
        TRpShape& shape = PlaceShape(*band_, TRpShapeType::rpsRoundRect, kBox);
        shape.SetBrush(output::Brush{qRgb(0, 0, 0), output::BrushStyle::Solid});
        shape.SetRoundFactor(r.factor);
        shape.Print(0, 0);
        const QImage page = PrintedPage();
        // L = DeviceX(50) = 118, T = DeviceY(20) = 47.
        ASSERT_EQ(InkBounds(page).topLeft(), QPoint(118, 47));
        int first = -1;
        for (int x = 118; x < page.width() && first < 0; ++x) {
            if (qGray(page.pixel(x, 47)) < 128)
                first = x - 118;
        }
        EXPECT_GE(first, r.firstInkFrom);
        EXPECT_LE(first, r.firstInkTo);
    }
}

TEST_F(PrintableTest, ExportRunHandsShapesAndImagesOver)
{
    Start(Device::Record96);
    RecordingFilter filter;
    Export(filter);
    TRpShape& shape = PlaceShape(*band_, TRpShapeType::rpsCircle, kBox);
    shape.SetPen(kRedPen);
    shape.SetBrush(kBlueBrush);
    TRpShape& disabled = PlaceShape(*band_, TRpShapeType::rpsRectangle, kBox);
    disabled.SetEnabled(false);
    TRpImage& image = band_->NewPrintable<TRpImage>();
    image.Size.ReadValues(std::vector<long double>{42.3L, 18.5L, 0, 76.7L});
    QImage picture(16, 16, QImage::Format_RGB32);
    picture.fill(Qt::black);
    image.SetPicture(picture);
    image.SetCenter(true);
    image.Tag = 7;
    image.Prepare();

    shape.Print(100, 200);
    disabled.Print(100, 200);
    image.Print(100, 200);

    ASSERT_EQ(filter.items.size(), 2u);
    const auto* exportedShape = std::get_if<output::ExportShape>(&filter.items[0].control);
    ASSERT_NE(exportedShape, nullptr);
    EXPECT_EQ(*exportedShape,
              (output::ExportShape{TRpShapeType::rpsCircle, output::GdiRect(57, 83, 132, 121), kRedPen, kBlueBrush}));
    EXPECT_EQ(filter.items[0].x, 57);
    EXPECT_EQ(filter.items[0].y, 83);
    const auto* exportedPicture = std::get_if<output::ExportPicture>(&filter.items[1].control);
    ASSERT_NE(exportedPicture, nullptr);
    // x0 = 118.5: DeviceX 45; y0 = 200: DeviceY 76; to DeviceX(195.2) = 74, DeviceY(242.3) = 92.
    EXPECT_EQ(exportedPicture->rect, output::GdiRect(45, 76, 74, 92));
    EXPECT_EQ(exportedPicture->pixels, picture);
    EXPECT_EQ(exportedPicture->kind, output::PictureClass::Image);
    EXPECT_TRUE(exportedPicture->Center);
    EXPECT_FALSE(exportedPicture->Stretch);
    EXPECT_EQ(exportedPicture->Tag, 7);
    EXPECT_EQ(filter.items[1].x, 45);
    EXPECT_EQ(filter.items[1].y, 76);

    // The shapes stay off the export run's page; the image is drawn on it.
    const std::vector<std::string> trace = RecordedTrace();
    EXPECT_TRUE(LinesStartingWith(trace, "Ellipse").empty());
    EXPECT_TRUE(LinesStartingWith(trace, "Rectangle").empty());
    ASSERT_EQ(LinesStartingWith(trace, "DrawPicture").size(), 1u);
}

TEST(Shape, SettersAndDesignView)
{
    TRpShape shape;
    EXPECT_EQ(shape.Shape(), TRpShapeType::rpsRectangle);
    EXPECT_EQ(shape.Pen(), (output::Pen{qRgb(0, 0, 0), output::PenStyle::Solid, 1}));
    EXPECT_EQ(shape.Brush(), (output::Brush{qRgb(255, 255, 255), output::BrushStyle::Solid}));
    EXPECT_EQ(shape.RoundFactor(), 0);
    EXPECT_EQ(shape.VertAdjust, 0);
    shape.SetBounds(0, 0, 40, 20);
    shape.SetShape(TRpShapeType::rpsTopAndBottom);
    output::TraceCanvas canvas;
    shape.Paint(canvas);
    const std::vector<std::string> lines = LinesStartingWith(canvas.Lines(), "Line ");
    // Eight corner strokes, then the shape's rows 0 and 19.
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[8], "Line 0,0,39,0 pen=solid/1/#000000");
    EXPECT_EQ(lines[9], "Line 0,19,39,19 pen=solid/1/#000000");
    EXPECT_EQ(lines[0], "Line 0,0,4,0 pen=solid/1/#000000");
    EXPECT_EQ(lines[1], "Line 0,0,0,4 pen=solid/1/#000000");
    EXPECT_EQ(canvas.Lines().front(), "FillRect 0,0,40,20 brush=solid/#ffffff");
}

}  // namespace
}  // namespace report::engine
