#include "report/engine/model/band.h"
#include "report/engine/run/report.h"
#include "report/output/canvas/measure.h"
#include "report/output/canvas/trace_canvas.h"
#include "tests/support/program_bands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace report::engine {
namespace {

using testsupport::BandNamed;

std::vector<std::string> LinesStartingWith(const output::TraceCanvas& canvas, const std::string& prefix)
{
    std::vector<std::string> found;
    for (const std::string& line : canvas.Lines()) {
        if (line.rfind(prefix, 0) == 0)
            found.push_back(line);
    }
    return found;
}

std::string VerticalLine(int x, int height, const char* color)
{
    return "Line " + std::to_string(x) + ",0," + std::to_string(x) + ',' + std::to_string(height) + " pen=solid/1/" +
           color;
}

// A Detail band of the print layout, 367 x 16 pixels, in millimetres.
struct DetailView {
    std::unique_ptr<TRpReport> report = testsupport::MakeProgramReport();
    TRpBand* detail = nullptr;

    DetailView()
    {
        detail = &CreateBand(*report, TRpBandType::rbDetail);
        const long double values[] = {42.3L, 971};
        detail->Size.ReadValues(values);
    }
};

TEST(BandView, DetailBandInMillimetres)
{
    DetailView view;
    ASSERT_EQ(view.detail->Bounds().size(), QSize(367, 16));
    output::TraceCanvas canvas;
    view.detail->Paint(canvas);
    const std::vector<std::string>& lines = canvas.Lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "FillRect 0,0,367,16 brush=solid/#ffffff");

    // A line every 5 mm (18.9 px), every second one heavy; none across, the band is lower.
    std::vector<std::string> expected;
    for (int k = 1; k * 50 * 96.0 / 254 < 367; ++k) {
        const int x = static_cast<int>(std::lround(k * 50 * 96.0 / 254));
        expected.push_back(VerticalLine(x, 16, k % 2 == 0 ? "#f0f0f0" : "#f9f9f9"));
    }
    EXPECT_EQ(expected.size(), 19u);
    EXPECT_EQ(LinesStartingWith(canvas, "Line "), expected);

    // Outline in the dotted outline colour, no fill.
    EXPECT_EQ(LinesStartingWith(canvas, "Rectangle "),
              std::vector<std::string>{"Rectangle 0,0,367,16 pen=dot/1/#606060 brush=clear/#606060"});

    // The caption at the lower left, 4 pixels above the bottom, in the ruler's small face.
    output::MeasureDevice measure;
    const int textHeight = measure.TextHeight(view.report->DesignScheme.rulerFont);
    const std::vector<std::string> texts = LinesStartingWith(canvas, "TextOut ");
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(
        texts[0].rfind("TextOut 0," + std::to_string(16 - textHeight - 4) + " \"Detail\" font=\"Small Fonts\"/6pt/", 0),
        0u)
        << texts[0];
    EXPECT_NE(texts[0].find("bg=transparent"), std::string::npos);
    // Nothing is drawn after the caption.
    EXPECT_EQ(lines.back(), texts[0]);
}

TEST(BandView, LightLinesOnlyFromZoom60)
{
    for (const int zoom : {59, 60}) {
        SCOPED_TRACE(zoom);
        DetailView view;
        view.report->SetZoom(zoom);
        output::TraceCanvas canvas;
        view.detail->Paint(canvas);
        const int width = view.detail->Bounds().width();
        const int height = view.detail->Bounds().height();
        const long double step = 50 * 96.0L / 254 * zoom / 100;
        std::vector<std::string> expected;
        for (int k = zoom == 59 ? 2 : 1; std::lround(static_cast<double>(k * step)) < width; k += zoom == 59 ? 2 : 1) {
            expected.push_back(VerticalLine(static_cast<int>(std::lround(static_cast<double>(k * step))), height,
                                            k % 2 == 0 ? "#f0f0f0" : "#f9f9f9"));
        }
        ASSERT_GT(expected.size(), 5u);
        EXPECT_EQ(LinesStartingWith(canvas, "Line "), expected);
    }
}

TEST(BandView, RulerOffDisabledBandAndFrame)
{
    DetailView view;
    view.report->Page.SetRuler(false);
    view.detail->SetEnabled(false);
    view.detail->Frame.SetDrawTop(true);
    view.detail->Frame.SetColor(qRgb(1, 2, 3));
    output::TraceCanvas canvas;
    view.detail->Paint(canvas);
    EXPECT_TRUE(LinesStartingWith(canvas, "Line ").empty());
    EXPECT_EQ(canvas.Lines().front(), "FillRect 0,0,367,16 brush=solid/#c0c0c0");
    // The frame at the screen's scale: 1 point is 1 pixel.
    EXPECT_EQ(LinesStartingWith(canvas, "FillRect 0,0,367,1 "),
              std::vector<std::string>{"FillRect 0,0,367,1 brush=solid/#010203"});
}

TEST(BandView, PaletteSchemeAndInches)
{
    DetailView view;
    view.report->DesignScheme = PaletteDesignScheme();
    view.report->SetUnits(TRpUnit::Inches);
    output::TraceCanvas canvas;
    view.detail->Paint(canvas);
    // A quarter inch is 24 px: every fourth line heavy; light lines dotted.
    std::vector<std::string> expected;
    for (int k = 1; k * 24 < 367; ++k) {
        expected.push_back("Line " + std::to_string(k * 24) + ",0," + std::to_string(k * 24) +
                           ",16 pen=" + (k % 4 == 0 ? "solid" : "dot") + "/1/#c0c0c0");
    }
    EXPECT_EQ(LinesStartingWith(canvas, "Line "), expected);
    EXPECT_EQ(LinesStartingWith(canvas, "Rectangle ").at(0),
              "Rectangle 0,0,367,16 pen=solid/1/#808080 brush=clear/#808080");
}

TEST(BandView, CharacterCellsFollowTheReportFont)
{
    DetailView view;
    view.report->Font.points = 10;
    view.report->SetUnits(TRpUnit::Characters);
    output::TraceCanvas canvas;
    view.detail->Paint(canvas);
    EXPECT_EQ(view.detail->RulerFontSize, 10);
    // A character cell of a 10-point font: 31.5 tenths (11.9 px) wide, 57.2 tenths high.
    const std::vector<std::string> grid = LinesStartingWith(canvas, "Line ");
    ASSERT_FALSE(grid.empty());
    EXPECT_EQ(grid.front(), VerticalLine(12, 16, "#f9f9f9"));
    EXPECT_EQ(grid.size(), 30u);  // 367 / 11.905
}

TEST(BandView, ReportPageWithMarginsAndColumns)
{
    auto report = testsupport::MakeProgramReport();
    report->Page.SetRuler(false);
    output::TraceCanvas canvas;
    report->Paint(canvas);
    const std::vector<std::string> expected{
        "FillRect 0,0,794,1123 brush=solid/#ffffff",
        "Rectangle 38,38,771,1085 pen=dot/1/#8080ff brush=clear/#8080ff",
        // One boundary between the two columns: the first's right edge, the second's left edge.
        "Line 404,38,404,1085 pen=dot/1/#8080ff",
        "Line 404,38,404,1085 pen=dot/1/#8080ff",
    };
    EXPECT_EQ(canvas.Lines(), expected);

    report->Page.SetColumns(3);
    report->Page.SetColumnSpace(5);
    report->Frame.SetDrawLeft(true);
    canvas.Clear();
    report->Paint(canvas);
    // (733 - 2 x 18.9) / 3 = 231.74 px a column.
    const std::vector<std::string> lines = LinesStartingWith(canvas, "Line ");
    const std::vector<std::string> expectedLines{
        "Line 270,38,270,1085 pen=dot/1/#8080ff", "Line 289,38,289,1085 pen=dot/1/#8080ff",
        "Line 520,38,520,1085 pen=dot/1/#8080ff", "Line 539,38,539,1085 pen=dot/1/#8080ff",
        "Line 38,38,38,1085 pen=dot/1/#8080ff",
    };
    EXPECT_EQ(lines, expectedLines);
}

TEST(BandView, ReportRulerIsNumberedAndPageImageShown)
{
    auto report = testsupport::MakeProgramReport();
    report->PageImage = QImage(10, 10, QImage::Format_RGB32);
    report->PageImage.fill(Qt::red);
    output::TraceCanvas canvas;
    report->Paint(canvas);
    const std::vector<std::string>& lines = canvas.Lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[1].rfind("DrawPicture 0,0,794,1123 10x10", 0), 0u);
    // Centimetres at the heavy lines: 1 cm at 37.8 px, across and down.
    const std::vector<std::string> texts = LinesStartingWith(canvas, "TextOut ");
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0].rfind("TextOut 39,1 \"1\" font=\"Small Fonts\"/6pt/", 0), 0u) << texts[0];
    // 21 cm across (the last at 793.7 px is past the page), 29 down.
    EXPECT_EQ(texts.size(), 20u + 29u);
    EXPECT_EQ(texts[20].rfind("TextOut 1,39 \"1\"", 0), 0u) << texts[20];
}

}  // namespace
}  // namespace report::engine
