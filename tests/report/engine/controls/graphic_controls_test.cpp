#include "report/engine/controls/graphic_controls.h"

#include "report/output/canvas/trace_canvas.h"
#include "tests/report/engine/model/printable_fixture.h"
#include "tests/support/ink_bounds.h"
#include "tests/support/memory_table.h"

#include <QBuffer>
#include <QByteArray>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace report::engine {
namespace {

using enginetest::LinesStartingWith;
using enginetest::PrintableTest;
using enginetest::RecordingFilter;
using testsupport::InkBounds;

// 100 x 100 screen pixels at the band's corner (Height, Left, Top, Width).
const std::vector<long double> kSquare{264.58L, 0, 0, 264.58L};
const output::Pen kRedPen{qRgb(255, 0, 0), output::PenStyle::Solid, 3};
const output::Brush kBlueBrush{qRgb(0, 0, 255), output::BrushStyle::Solid};
const std::string kPen = " pen=solid/3/#ff0000";
const std::string kBrush = " brush=solid/#0000ff";
const std::vector<long double> kRuleBox{10, 0, 0, 100};
const std::vector<long double> kShapeBox{100, 50, 20, 200};

QImage Black(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::black);
    return picture;
}

std::string Png(const QImage& picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(picture.save(&buffer, "PNG"));
    return bytes.toStdString();
}

// Rows: a 200 x 100 picture, a 16 x 16 one, bytes that are no picture, a picture 0 wide.
std::unique_ptr<testsupport::MemoryTable> Pictures()
{
    auto table = std::make_unique<testsupport::MemoryTable>(
        "PICTURES",
        std::vector<testsupport::Column>{{"PHOTO", expr::TRpFieldKind::Blob}, {"TITLE", expr::TRpFieldKind::String}});
    table->AddRow({testsupport::Blob{Png(Black(200, 100))}, std::string("wide")});
    table->AddRow({testsupport::Blob{Png(Black(16, 16))}, std::string("small")});
    table->AddRow({testsupport::Blob{"garbage"}, std::string("garbage")});
    table->AddRow({testsupport::Blob{"P5\n0 5\n255\n"}, std::string("empty")});
    return table;
}

TRpGrDBImage& PlaceGrImage(TRpBand& band, expr::TRpDataSet* dataSet, const char* field, TFitMode mode)
{
    TRpGrDBImage& image = band.NewPrintable<TRpGrDBImage>();
    image.Size.ReadValues(kSquare);
    image.SetDataSet(dataSet);
    image.DataField = field;
    image.FitMode = mode;
    image.Color = qRgb(0x11, 0x22, 0x33);
    image.Frame.SetDrawBottom(true);
    image.Prepare();
    return image;
}

// The trace with the picture's checksum cut off.
std::vector<std::string> WithoutChecksums(std::vector<std::string> lines)
{
    for (std::string& line : lines) {
        if (line.rfind("DrawPicture", 0) == 0)
            line = line.substr(0, line.find(" sha1="));
    }
    return lines;
}

TEST_F(PrintableTest, RuleDrawsOneLineAcrossItsMiddle)
{
    // Size 100 x 10 at band offset 0: Y(5) and X(100) at each resolution.
    Start(Device::Record96);
    TRpHRule& rule = band_->NewPrintable<TRpHRule>();
    rule.Size.ReadValues(kRuleBox);
    rule.SetPen(kRedPen);
    rule.SetBrush(kBlueBrush);
    rule.Prepare();
    rule.Print(0, 0);
    EXPECT_EQ(RecordedTrace(), std::vector<std::string>{"Line 0,2,38,2" + kPen});
    EXPECT_EQ(rule.Pen(), kRedPen);

    Start(Device::Printer600);
    TRpHRule& wide = band_->NewPrintable<TRpHRule>();
    wide.Size.ReadValues(kRuleBox);
    wide.SetPen(output::Pen{qRgb(0, 0, 0), output::PenStyle::Solid, 1});
    wide.Prepare();
    wide.Print(0, 0);
    // (0, 12) to (236, 12); the line's last pixel is not drawn.
    EXPECT_EQ(InkBounds(PrintedPage()), QRect(0, 12, 236, 1));

    // A disabled rule draws nothing.
    Start(Device::Record96);
    TRpHRule& off = band_->NewPrintable<TRpHRule>();
    off.SetEnabled(false);
    off.Prepare();
    off.Print(0, 0);
    EXPECT_EQ(RecordedTrace(), std::vector<std::string>{});
}

TEST_F(PrintableTest, PdfShapeOnTheRecordedPage)
{
    // At band offsets (100, 200) of a 200 x 100 box at (50, 20): L 57, T 83, R 132, B 121, the
    // middle (94, 102).
    struct Row {
        TRpShapeType type;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {TRpShapeType::rpsRectangle, {"Rectangle 57,83,132,121" + kPen + kBrush}},
        {TRpShapeType::rpsCircle, {"Ellipse 57,83,132,121" + kPen + kBrush}},
        {TRpShapeType::rpsVertLine, {"Line 94,83,94,121" + kPen}},
        {TRpShapeType::rpsHorLine, {"Line 57,102,132,102" + kPen}},
        {TRpShapeType::rpsTopAndBottom, {"Line 57,83,132,83" + kPen, "Line 57,121,132,121" + kPen}},
        {TRpShapeType::rpsRightAndLeft, {"Line 57,83,57,121" + kPen, "Line 132,83,132,121" + kPen}},
        {TRpShapeType::rpsRoundRect, {}},
        {TRpShapeType::rpsLeftDiagonal, {}},
        {TRpShapeType::rpsRightDiagonal, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.type));
        Start(Device::Record96);
        TRpPDFShape& shape = band_->NewPrintable<TRpPDFShape>();
        EXPECT_EQ(shape.ShapeType(), TRpShapeType::rpsRectangle);
        shape.Size.ReadValues(kShapeBox);
        shape.SetShapeType(r.type);
        shape.SetPen(kRedPen);
        shape.SetBrush(kBlueBrush);
        shape.Prepare();
        shape.Print(100, 200);
        EXPECT_EQ(RecordedTrace(), r.lines);
    }
}

TEST_F(PrintableTest, RuleAndPdfShapeGoOnlyToThePdfDocument)
{
    struct Row {
        const char* name;
        bool pdf;
        bool enabled;
        std::size_t rules;
        std::size_t shapes;
    };
    // The rule is exported whether or not it is enabled; the shape only when it is.
    const Row rows[] = {
        {"PDF document", true, true, 1, 1},
        {"other filter", false, true, 0, 0},
        {"PDF document, disabled", true, false, 1, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        Start(Device::Record96);
        RecordingFilter filter;
        filter.pdfDocument = r.pdf;
        Export(filter);
        TRpHRule& rule = band_->NewPrintable<TRpHRule>();
        rule.Size.ReadValues(kRuleBox);
        rule.SetPen(kRedPen);
        rule.SetEnabled(r.enabled);
        rule.Prepare();
        TRpPDFShape& shape = band_->NewPrintable<TRpPDFShape>();
        shape.Size.ReadValues(kShapeBox);
        shape.SetShapeType(TRpShapeType::rpsRoundRect);
        shape.SetBrush(kBlueBrush);
        shape.SetEnabled(r.enabled);
        shape.Prepare();
        rule.Print(100, 200);
        shape.Print(100, 200);
        ASSERT_EQ(filter.items.size(), r.rules + r.shapes);
        if (r.rules == 1) {
            const auto& value = std::get<output::ExportShape>(filter.items[0].control);
            EXPECT_EQ(value.kind, output::ShapeClass::Rule);
            EXPECT_EQ(value.pen, kRedPen);
            // DeviceX(100) = 38, DeviceY(200) = 76, DeviceX(200) = 76, DeviceY(210) = 79.
            EXPECT_EQ(value.rect, output::GdiRect(38, 76, 76, 79));
            EXPECT_EQ(filter.items[0].x, 38);
            EXPECT_EQ(filter.items[0].y, 76);
        }
        if (r.shapes == 1) {
            const auto& value = std::get<output::ExportShape>(filter.items[1].control);
            EXPECT_EQ(value.kind, output::ShapeClass::PdfShape);
            EXPECT_EQ(value.shape, TRpShapeType::rpsRoundRect);
            EXPECT_EQ(value.brush, kBlueBrush);
            EXPECT_EQ(value.rect, output::GdiRect(57, 83, 132, 121));
        }
        run_->filter = nullptr;
    }
}

TEST_F(PrintableTest, GraphicImageWithoutAPicturePrintsItsFrameOnly)
{
    const std::string frame = "FillRect 0,99,100,100 brush=solid/#000000";
    struct Row {
        const char* name;
        bool dataSet;
        const char* field;
        std::size_t row;
    };
    const Row rows[] = {
        {"no data set", false, "PHOTO", 0}, {"no such field", true, "PORTRAIT", 0},
        {"text field", true, "TITLE", 0},   {"bytes that are no picture", true, "PHOTO", 2},
        {"0 wide", true, "PHOTO", 3},
    };
    for (const TFitMode mode : {TFitMode::fmProportional, TFitMode::fmInsideProp}) {
        for (const bool stretch : {false, true}) {
            for (const Row& r : rows) {
                SCOPED_TRACE(r.name);
                auto table = Pictures();
                table->SetRow(r.row);
                Start(Device::Record96);
                TRpGrDBImage& image = PlaceGrImage(*band_, r.dataSet ? table.get() : nullptr, r.field, mode);
                image.SetStretch(stretch);
                image.Print(0, 0);
                EXPECT_EQ(RecordedTrace(), std::vector<std::string>{frame});
            }
        }
    }
}

TEST_F(PrintableTest, GraphicImageFitsThePictureAt96Dpi)
{
    struct Row {
        const char* name;
        TFitMode mode;
        bool center;
        bool stretch;
        std::vector<std::string> lines;
    };
    const std::string picture = " 200x100";
    const Row rows[] = {
        {"inside, centred",
         TFitMode::fmInsideProp,
         true,
         false,
         {"SetClipRect 0,25,100,75", "DrawPicture 0,25,100,75" + picture, "RemoveClip"}},
        // Always in the middle, whatever Center says.
        {"inside",
         TFitMode::fmInsideProp,
         false,
         false,
         {"SetClipRect 0,25,100,75", "DrawPicture 0,25,100,75" + picture, "RemoveClip"}},
        {"keep width, centred",
         TFitMode::fmKeepWidth,
         true,
         false,
         {"SetClipRect 0,25,100,75", "DrawPicture 0,25,100,75" + picture, "RemoveClip"}},
        {"keep width",
         TFitMode::fmKeepWidth,
         false,
         false,
         {"SetClipRect 0,0,100,50", "DrawPicture 0,0,100,50" + picture, "RemoveClip"}},
        // Wider than the control: cut to it.
        {"keep height, centred",
         TFitMode::fmKeepHeight,
         true,
         false,
         {"SetClipRect 0,0,100,100", "DrawPicture -50,0,150,100" + picture, "RemoveClip"}},
        {"keep height",
         TFitMode::fmKeepHeight,
         false,
         false,
         {"SetClipRect 0,0,100,100", "DrawPicture 0,0,200,100" + picture, "RemoveClip"}},
        // A wide picture covers the control by its height.
        {"proportional, centred",
         TFitMode::fmProportional,
         true,
         false,
         {"SetClipRect 0,0,100,100", "DrawPicture -50,0,150,100" + picture, "RemoveClip"}},
        {"stretched", TFitMode::fmInsideProp, true, true, {"DrawPicture 0,0,100,100" + picture}},
    };
    const std::string frame = "FillRect 0,99,100,100 brush=solid/#000000";
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto table = Pictures();
        Start(Device::Record96);
        TRpGrDBImage& image = PlaceGrImage(*band_, table.get(), "PHOTO", r.mode);
        image.SetCenter(r.center);
        image.SetStretch(r.stretch);
        image.Print(0, 0);
        std::vector<std::string> expected = r.lines;
        expected.push_back(frame);
        EXPECT_EQ(WithoutChecksums(RecordedTrace()), expected);
    }
}

TEST_F(PrintableTest, GraphicImageFitsThePictureAt600Dpi)
{
    // The control is 625 device pixels square.
    struct Row {
        const char* name;
        TFitMode mode;
        bool stretch;
        QRect draw;
        QRect ink;
    };
    const Row rows[] = {
        // 312.5 rounds to 312, (625 - 312) / 2 to 156.
        {"inside", TFitMode::fmInsideProp, false, QRect(0, 156, 625, 312), QRect(0, 156, 625, 312)},
        {"keep width", TFitMode::fmKeepWidth, false, QRect(0, 156, 625, 312), QRect(0, 156, 625, 312)},
        // (625 - 1250) / 2 toward zero; the ink stays inside the control.
        {"keep height", TFitMode::fmKeepHeight, false, QRect(-312, 0, 1250, 625), QRect(0, 0, 625, 625)},
        {"stretched", TFitMode::fmInsideProp, true, QRect(0, 0, 625, 625), QRect(0, 0, 625, 625)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto table = Pictures();
        Start(Device::Printer600);
        // Away from the page's corner, so that a picture past the control's left edge would show.
        TRpGrDBImage& image = PlaceGrImage(*band_, table.get(), "PHOTO", r.mode);
        image.Frame.SetDrawBottom(false);
        image.SetStretch(r.stretch);
        const QRect box = output::GdiRect(0, 0, 625, 625);
        if (!r.stretch) {
            const FittedPicture fit =
                FitPicture(*printer_, QSize(200, 100), box, 264.58L, 264.58L, r.mode, true, false);
            EXPECT_EQ(fit.draw, r.draw);
            EXPECT_EQ(fit.clip, r.draw.intersected(box));
        }
        image.Print(500, 0);
        // Band offset 500 tenths: 1181 device pixels to the right.
        EXPECT_EQ(InkBounds(PrintedPage()), r.ink.translated(1181, 0));
    }
}

TEST_F(PrintableTest, GraphicImageAtItsNaturalSize)
{
    auto table = Pictures();
    table->SetRow(1);
    Start(Device::Record96);
    TRpGrDBImage& image = PlaceGrImage(*band_, table.get(), "PHOTO", TFitMode::fmProportional);
    image.ClipImage = true;
    image.SetCenter(false);
    image.Print(0, 0);
    EXPECT_EQ(LinesStartingWith(WithoutChecksums(RecordedTrace()), "DrawPicture"),
              std::vector<std::string>{"DrawPicture 0,0,16,16 16x16"});

    Start(Device::Printer600);
    TRpGrDBImage& big = PlaceGrImage(*band_, table.get(), "PHOTO", TFitMode::fmProportional);
    big.Frame.SetDrawBottom(false);
    big.ClipImage = true;
    big.Print(0, 0);
    // 100 pixels, centred in the 625-pixel control: (625 - 100) / 2 = 262.
    EXPECT_EQ(InkBounds(PrintedPage()), QRect(262, 262, 100, 100));
}

TEST_F(PrintableTest, GraphicImageIsExportedToAnyFilter)
{
    auto table = Pictures();
    for (const std::size_t row : {std::size_t{0}, std::size_t{2}}) {
        SCOPED_TRACE(row);
        table->SetRow(row);
        Start(Device::Record96);
        RecordingFilter filter;
        Export(filter);
        TRpGrDBImage& image = PlaceGrImage(*band_, table.get(), "PHOTO", TFitMode::fmKeepHeight);
        image.ClipImage = true;
        image.SetStretch(true);
        image.SetEnabled(false);
        image.Print(100, 200);
        ASSERT_EQ(filter.items.size(), 1u);
        const auto& value = std::get<output::ExportPicture>(filter.items[0].control);
        EXPECT_EQ(value.kind, output::PictureClass::GrDBImage);
        EXPECT_EQ(value.pixels.size(), row == 0 ? QSize(200, 100) : QSize(0, 0));
        EXPECT_EQ(value.FitMode, TFitMode::fmKeepHeight);
        EXPECT_TRUE(value.ClipImage);
        EXPECT_TRUE(value.Stretch);
        EXPECT_TRUE(value.Center);
        // DeviceX(100) = 38, DeviceY(200) = 76, 100 pixels on.
        EXPECT_EQ(value.rect, output::GdiRect(38, 76, 138, 176));
        EXPECT_EQ(filter.items[0].x, 38);
        EXPECT_EQ(filter.items[0].y, 76);
        run_->filter = nullptr;
    }
}

TEST_F(PrintableTest, GraphicImageFieldLivesForTheRun)
{
    auto table = Pictures();
    Start(Device::Record96);
    TRpGrDBImage& image = PlaceGrImage(*band_, table.get(), "PHOTO", TFitMode::fmProportional);
    ASSERT_NE(image.Field(), nullptr);
    image.Unprepare();
    EXPECT_EQ(image.Field(), nullptr);
    image.Prepare();
    table.reset();
    EXPECT_EQ(image.DataSet(), nullptr);
    EXPECT_EQ(image.Field(), nullptr);
    image.Print(0, 0);
    EXPECT_EQ(RecordedTrace(), std::vector<std::string>{"FillRect 0,99,100,100 brush=solid/#000000"});
}

TEST(GraphicControls, CreatedWith)
{
    const TRpHRule rule;
    EXPECT_EQ(rule.Bounds(), QRect(0, 0, 100, 10));
    EXPECT_EQ(rule.VertAdjust, 0);
    const TRpPDFShape shape;
    EXPECT_EQ(shape.Bounds(), QRect(0, 0, 100, 10));
    EXPECT_EQ(shape.ShapeType(), TRpShapeType::rpsRectangle);
    const TRpGrDBImage image;
    EXPECT_EQ(image.Bounds(), QRect(0, 0, 105, 105));
    EXPECT_TRUE(image.Center());
    EXPECT_FALSE(image.Stretch());
    EXPECT_FALSE(image.ClipImage);
    EXPECT_EQ(image.FitMode, TFitMode::fmProportional);
}

TEST(GraphicControls, DesignViews)
{
    output::TraceCanvas canvas;
    TRpHRule rule;
    rule.SetPen(kRedPen);
    rule.Paint(canvas);
    EXPECT_EQ(canvas.Lines().back(), "Line 0,5,100,5" + kPen);

    struct Row {
        TRpShapeType type;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {TRpShapeType::rpsRectangle, {"Rectangle 3,3,40,30" + kPen + kBrush}},
        {TRpShapeType::rpsCircle, {"Ellipse 0,0,40,30" + kPen + kBrush}},
        {TRpShapeType::rpsVertLine, {"Line 20,0,20,30" + kPen}},
        {TRpShapeType::rpsHorLine, {"Line 0,15,40,15" + kPen}},
        {TRpShapeType::rpsTopAndBottom, {"Line 0,0,40,0" + kPen, "Line 0,29,40,29" + kPen}},
        {TRpShapeType::rpsRightAndLeft, {"Line 0,0,0,30" + kPen, "Line 39,0,39,30" + kPen}},
        {TRpShapeType::rpsRoundRect, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.type));
        TRpPDFShape shape;
        shape.SetBounds(0, 0, 40, 30);
        shape.SetShapeType(r.type);
        shape.SetPen(kRedPen);
        shape.SetBrush(kBlueBrush);
        output::TraceCanvas base;
        shape.TRpPrintable::Paint(base);
        canvas.Clear();
        shape.Paint(canvas);
        std::vector<std::string> expected = base.Lines();
        expected.insert(expected.end(), r.lines.begin(), r.lines.end());
        EXPECT_EQ(canvas.Lines(), expected);
    }

    TRpGrDBImage image;
    image.Name = "RpGrDBImage1";
    image.SetBounds(0, 0, 40, 30);
    image.Color = qRgb(1, 2, 3);
    canvas.Clear();
    image.Paint(canvas);
    EXPECT_EQ(canvas.Lines().front(), "FillRect 0,0,40,30 brush=solid/#010203");
    EXPECT_NE(LinesStartingWith(canvas.Lines(), "TextOut 20,").at(0).find("\"(RpGrDBImage1)\""), std::string::npos);
}

}  // namespace
}  // namespace report::engine
