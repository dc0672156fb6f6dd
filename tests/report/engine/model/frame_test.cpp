#include "report/engine/model/frame.h"

#include "report/engine/model/report_model.h"
#include "report/output/canvas/painter_canvas.h"
#include "report/output/canvas/trace_canvas.h"
#include "report/output/export/export_filter.h"
#include "report/output/pages/page_format.h"
#include "report/output/printer/rp_printer.h"
#include "tests/report/engine/model/fixed_run.h"
#include "tests/report/engine/model/printable_fixture.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

namespace report::engine {
namespace {

using enginetest::RecordingFilter;
using output::TRpShapeType;

constexpr long double kScreen = 0.3779528L;   // 96 dpi, pixels per tenth of a millimetre
constexpr long double kPrinter = 2.3622047L;  // 600 dpi
const QRect kBox = output::GdiRect(38, 205, 405, 221);

PaperSizeSource NoPrinter()
{
    return [] { return output::TRpPaperSize::Default; };
}

// The shape an exported control carries; none for any other kind of control.
std::optional<output::ExportShape> ShapeOf(const RecordingFilter::Item& item)
{
    const auto* shape = std::get_if<output::ExportShape>(&item.control);
    return shape != nullptr ? std::optional(*shape) : std::nullopt;
}

// A run of `report` that exports into `filter`, attached while it lives.
class ExportingRun {
public:
    ExportingRun(TRpReportModel& report, output::TRpExportFilter& filter) : run_(report, printer_)
    {
        run_.filter = &filter;
    }

private:
    output::TRpPrinter printer_;
    enginetest::FixedRun run_;
};

std::string Fill(int l, int t, int r, int b)
{
    return "FillRect " + std::to_string(l) + ',' + std::to_string(t) + ',' + std::to_string(r) + ',' +
           std::to_string(b) + " brush=solid/#123456";
}

TRpFrame FourSides(int width)
{
    TRpFrame frame;
    frame.SetColor(qRgb(0x12, 0x34, 0x56));
    for (int side = 0; side < 4; ++side)
        frame.SetDraw(side, true);
    frame.SetWidth(width);
    return frame;
}

TEST(Frame, NewFrame)
{
    const TRpFrame frame;
    EXPECT_EQ(frame.Color(), qRgb(0, 0, 0));
    EXPECT_EQ(frame.Style(), output::PenStyle::Solid);
    EXPECT_EQ(frame.Width(), 1);
    EXPECT_FALSE(frame.DrawTop() || frame.DrawBottom() || frame.DrawLeft() || frame.DrawRight());
    EXPECT_FALSE(frame.AnyFrame());
}

TEST(Frame, FourSidesDrawnAndExported)
{
    struct Row {
        const char* name;
        int width;
        long double factor;
        std::vector<std::string> fills;
        int exportedPen;  // 0: nothing exported
    };
    const Row rows[] = {
        {"1 pt on the screen",
         1,
         kScreen,
         {Fill(38, 205, 405, 206), Fill(38, 220, 405, 221), Fill(38, 205, 39, 221), Fill(404, 205, 405, 221)},
         1},
        {"1 pt at 600 dpi",
         1,
         kPrinter,
         {Fill(38, 205, 405, 213), Fill(38, 213, 405, 221), Fill(38, 205, 46, 221), Fill(397, 205, 405, 221)},
         8},
        {"3 pt on the screen",
         3,
         kScreen,
         {Fill(38, 205, 405, 209), Fill(38, 217, 405, 221), Fill(38, 205, 42, 221), Fill(401, 205, 405, 221)},
         4},
        {"-1 at 600 dpi",
         -1,
         kPrinter,
         {Fill(38, 205, 405, 206), Fill(38, 220, 405, 221), Fill(38, 205, 39, 221), Fill(404, 205, 405, 221)},
         1},
        {"0 on the screen", 0, kScreen, {}, 0},
        {"0 at 600 dpi", 0, kPrinter, {}, 0},
        {"-2 on the screen", -2, kScreen, {}, 0},
        {"-2 at 600 dpi", -2, kPrinter, {}, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TRpReportModel report(NoPrinter(), false);
        RecordingFilter filter;
        const ExportingRun run(report, filter);
        TRpFrame frame = FourSides(r.width);
        frame.ParentReport = &report;
        output::TraceCanvas canvas;
        frame.PaintFrame(canvas, kBox, r.factor, r.factor);
        EXPECT_EQ(canvas.Lines(), r.fills);
        if (r.exportedPen == 0) {
            EXPECT_TRUE(filter.items.empty());
            continue;
        }
        ASSERT_EQ(filter.items.size(), 1u);
        const output::ExportShape expected{TRpShapeType::rpsRectangle, kBox,
                                           output::Pen{qRgb(0x12, 0x34, 0x56), output::PenStyle::Solid, r.exportedPen},
                                           output::Brush{qRgb(0x12, 0x34, 0x56), output::BrushStyle::Clear}};
        EXPECT_EQ(ShapeOf(filter.items[0]), expected);
        EXPECT_EQ(filter.items[0].x, 38);
        EXPECT_EQ(filter.items[0].y, 205);
    }
}

TEST(Frame, SomeSidesExportOneLineEach)
{
    struct Exported {
        TRpShapeType shape;
        QRect rect;
        int x;
        int y;
    };
    struct Row {
        const char* name;
        bool draw[4];  // top, bottom, left, right
        std::vector<Exported> exported;
    };
    const Row rows[] = {
        {"top and left",
         {true, false, true, false},
         {{TRpShapeType::rpsHorLine, output::GdiRect(38, 205, 405, 206), 38, 205},
          {TRpShapeType::rpsVertLine, output::GdiRect(38, 205, 39, 221), 38, 205}}},
        {"bottom and right",
         {false, true, false, true},
         {{TRpShapeType::rpsHorLine, output::GdiRect(38, 220, 405, 221), 38, 220},
          {TRpShapeType::rpsVertLine, output::GdiRect(404, 205, 405, 221), 404, 205}}},
        {"three sides",
         {true, true, false, true},
         {{TRpShapeType::rpsHorLine, output::GdiRect(38, 205, 405, 206), 38, 205},
          {TRpShapeType::rpsHorLine, output::GdiRect(38, 220, 405, 221), 38, 220},
          {TRpShapeType::rpsVertLine, output::GdiRect(404, 205, 405, 221), 404, 205}}},
        {"none", {false, false, false, false}, {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TRpReportModel report(NoPrinter(), false);
        RecordingFilter filter;
        const ExportingRun run(report, filter);
        TRpFrame frame;
        frame.SetStyle(output::PenStyle::Dot);
        for (int side = 0; side < 4; ++side)
            frame.SetDraw(side, r.draw[side]);
        frame.ParentReport = &report;
        output::TraceCanvas canvas;
        frame.PaintFrame(canvas, kBox, kScreen, kScreen);
        EXPECT_EQ(canvas.Lines().size(), r.exported.size());
        ASSERT_EQ(filter.items.size(), r.exported.size());
        for (std::size_t i = 0; i < r.exported.size(); ++i) {
            SCOPED_TRACE(i);
            const Exported& e = r.exported[i];
            // The export pen is solid whatever the frame's style.
            const output::ExportShape expected{e.shape, e.rect, output::Pen{qRgb(0, 0, 0), output::PenStyle::Solid, 1},
                                               output::Brush{qRgb(0, 0, 0), output::BrushStyle::Clear}};
            EXPECT_EQ(ShapeOf(filter.items[i]), expected);
            EXPECT_EQ(filter.items[i].x, e.x);
            EXPECT_EQ(filter.items[i].y, e.y);
        }
    }
}

TEST(Frame, ExportsOnlyWhileTheReportsRunExports)
{
    TRpReportModel report(NoPrinter(), false);
    RecordingFilter filter;
    TRpFrame frame = FourSides(1);
    output::TraceCanvas canvas;
    frame.PaintFrame(canvas, kBox, kScreen, kScreen);  // no report
    frame.ParentReport = &report;
    frame.PaintFrame(canvas, kBox, kScreen, kScreen);  // a report without a run
    EXPECT_EQ(canvas.Lines().size(), 8u);
    {
        const ExportingRun run(report, filter);
        frame.PaintFrame(canvas, kBox, kScreen, kScreen);
        EXPECT_EQ(filter.items.size(), 1u);
        output::TRpPrinter printer;
        const enginetest::FixedRun printing(report, printer);
        frame.PaintFrame(canvas, kBox, kScreen, kScreen);  // a run that does not export
        EXPECT_EQ(filter.items.size(), 1u);
    }
    frame.PaintFrame(canvas, kBox, kScreen, kScreen);  // the run has ended
    EXPECT_EQ(filter.items.size(), 1u);
    EXPECT_EQ(canvas.Lines().size(), 20u);
}

TEST(Frame, CanvasTakesTheFramePen)
{
    TRpFrame frame = FourSides(5);
    frame.SetStyle(output::PenStyle::DashDot);
    output::TraceCanvas canvas;
    canvas.SetPen(output::Pen{qRgb(1, 1, 1), output::PenStyle::Clear, 7});
    frame.PaintFrame(canvas, kBox, kScreen, kScreen);
    EXPECT_EQ(canvas.GetPen(), (output::Pen{qRgb(0x12, 0x34, 0x56), output::PenStyle::DashDot, 1}));
    EXPECT_EQ(canvas.GetBrush(), (output::Brush{qRgb(0x12, 0x34, 0x56), output::BrushStyle::Solid}));
    output::Pen pen{qRgb(9, 9, 9), output::PenStyle::Clear, 12};
    frame.SetPen(pen);
    EXPECT_EQ(pen, (output::Pen{qRgb(0x12, 0x34, 0x56), output::PenStyle::DashDot, 1}));
}

TEST(Frame, SideWidths)
{
    struct Row {
        int width;
        long double xFactor;
        long double yFactor;
        int x;
        int y;
    };
    const Row rows[] = {
        {1, kScreen, kPrinter, 1, 8},
        {1, 0.01L, 0.01L, 1, 1},  // below one pixel, raised to one
        {2, kPrinter, kScreen, 17, 3},
        {-1, 0, 100, 1, 1},
        {0, kPrinter, kPrinter, 0, 0},
        {-2, kPrinter, kScreen, -17, -3},
        {INT_MAX, kPrinter, kPrinter, output::kCoordinateLimit, output::kCoordinateLimit},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.width);
        TRpFrame frame;
        frame.SetWidth(r.width);
        const FrameSideWidths sides = frame.SideWidths(r.xFactor, r.yFactor);
        EXPECT_EQ(sides.x, r.x);
        EXPECT_EQ(sides.y, r.y);
    }
}

TEST(Frame, HugeWidthStaysWithinTheCanvas)
{
    TRpFrame frame = FourSides(INT_MAX);
    output::TraceCanvas canvas;
    frame.PaintFrame(canvas, output::GdiRect(INT_MAX / 2, 0, INT_MAX / 2 + 10, 10), kPrinter, kPrinter);
    EXPECT_EQ(canvas.Lines().size(), 4u);
}

TEST(Frame, ChangesAreReported)
{
    TRpFrame frame;
    int changes = 0;
    frame.OnChange = [&] { ++changes; };
    frame.SetColor(qRgb(0, 0, 0));  // unchanged
    frame.SetWidth(1);
    frame.SetStyle(output::PenStyle::Solid);
    frame.SetDraw(4, true);  // no such side
    frame.SetDraw(-1, true);
    EXPECT_EQ(changes, 0);
    frame.SetColor(qRgb(255, 0, 0));
    frame.SetWidth(2);
    frame.SetStyle(output::PenStyle::Dash);
    frame.SetDrawTop(true);
    frame.SetDrawBottom(true);
    frame.SetDrawLeft(true);
    frame.SetDrawRight(true);
    EXPECT_EQ(changes, 7);
    EXPECT_TRUE(frame.DrawTop() && frame.DrawBottom() && frame.DrawLeft() && frame.DrawRight());
    frame.SetDrawTop(false);
    EXPECT_EQ(changes, 8);
    EXPECT_TRUE(frame.AnyFrame());
}

// The same frame on a QPainter: exactly the pixels of the four strips change colour.
TEST(Frame, PaintsOnAPainter)
{
    for (long double factor : {kScreen, kPrinter}) {
        SCOPED_TRACE(static_cast<double>(factor));
        QImage image(450, 250, QImage::Format_RGB32);
        image.fill(Qt::white);
        TRpFrame frame = FourSides(1);
        {
            QPainter painter(&image);
            output::PainterCanvas canvas(painter, factor == kScreen ? 96 : 600);
            frame.PaintFrame(canvas, kBox, factor, factor);
        }
        const int w = factor == kScreen ? 1 : 8;
        int wrong = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const bool inside = x >= 38 && x < 405 && y >= 205 && y < 221;
                const bool onSide = inside && (x < 38 + w || x >= 405 - w || y < 205 + w || y >= 221 - w);
                const QRgb expected = onSide ? qRgb(0x12, 0x34, 0x56) : qRgb(255, 255, 255);
                if ((image.pixel(x, y) & 0xFFFFFFu) != (expected & 0xFFFFFFu))
                    ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

// Recorded and replayed, the frame gives the same calls as drawn directly.
TEST(Frame, RecordsOnAPage)
{
    TRpFrame frame = FourSides(3);
    output::TraceCanvas direct;
    frame.PaintFrame(direct, kBox, kScreen, kScreen);
    const output::PageHeader header = output::PageHeaderFor(2100, 2970);
    output::PageRecorder recorder(header);
    frame.PaintFrame(recorder, kBox, kScreen, kScreen);
    const output::ReadPageResult read = output::ReadPage(recorder.Bytes());
    ASSERT_TRUE(read.page.has_value()) << read.error;
    output::TraceCanvas replayed;
    output::ReplayPage(*read.page, replayed, QRect(0, 0, header.pixelWidth, header.pixelHeight));
    std::vector<std::string> fills;
    for (const std::string& line : replayed.Lines()) {
        if (line.starts_with("FillRect"))
            fills.push_back(line);
    }
    EXPECT_EQ(fills, direct.Lines());
}

}  // namespace
}  // namespace report::engine
