#include "report/engine/controls/label.h"
#include "report/engine/model/band.h"
#include "report/output/canvas/measure.h"
#include "report/output/canvas/rounding.h"
#include "report/output/canvas/trace_canvas.h"
#include "report/output/printer/rp_printer.h"
#include "tests/report/engine/controls/label_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace report::engine {
namespace {

using enginetest::LabelTest;
using enginetest::LinesStartingWith;
using enginetest::TextFilter;
using Lines = std::vector<std::string>;

constexpr long double kFactor = 96.0L / 254.0L;

int Px(long double tenths) { return output::RoundHalfEvenInt(tenths * kFactor); }

// A TextOut line of the trace: where, what and how aligned.
struct Drawn {
    int x = 0;
    int y = 0;
    std::string text;
    std::string align;
};

std::vector<Drawn> TextsDrawn(const Lines& trace)
{
    std::vector<Drawn> drawn;
    for (const std::string& line : LinesStartingWith(trace, "TextOut ")) {
        Drawn d;
        char quoted[256] = {};
        if (std::sscanf(line.c_str(), "TextOut %d,%d \"%255[^\"]\"", &d.x, &d.y, quoted) < 2)
            continue;
        d.text = quoted;
        const std::size_t at = line.find(" align=");
        d.align = line.substr(at + 7, line.find(' ', at + 7) - at - 7);
        drawn.push_back(d);
    }
    return drawn;
}

Lines TextsOf(const std::vector<Drawn>& drawn)
{
    Lines texts;
    for (const Drawn& d : drawn)
        texts.push_back(d.text);
    return texts;
}

const Lines kFiveLines{"one", "two", "three", "four", "five"};

TEST_F(LabelTest, BandGrowsWhileThePageHasRoom)
{
    StartReport();
    SetSpace(101);
    struct Row {
        long double expanded;
        long double extra;
        bool can;
    };
    // round(42.3 + Expanded + extra) against 101.
    for (const Row& r : {Row{0, 29.1L, true}, Row{29.1L, 29.1L, true}, Row{58.2L, 29.1L, false}, Row{0, 58.7L, true},
                         Row{0, 59.3L, false}}) {
        SetExpanded(r.expanded);
        EXPECT_EQ(band_->CanExpand(r.extra), r.can)
            << static_cast<double>(r.expanded) << '+' << static_cast<double>(r.extra);
    }

    // Growing: the band takes the extra height; the control learns how far it reaches.
    SetExpanded(0);
    long double reach = 0;
    bool started = false;
    EXPECT_FALSE(band_->ExpandBand(reach, started, 29.1L));
    EXPECT_EQ(band_->Expanded(), 29.1L);
    EXPECT_EQ(reach, 29.1L);
    EXPECT_TRUE(started);
    // No room: nothing changes.
    EXPECT_FALSE(band_->ExpandBand(reach, started, 40));
    EXPECT_EQ(band_->Expanded(), 29.1L);
    // The first growth of a control on a band already grown further takes that height.
    SetSpace(200);
    SetExpanded(40);
    started = false;
    EXPECT_TRUE(band_->ExpandBand(reach, started, 29.1L));
    EXPECT_EQ(band_->Expanded(), 40);
    EXPECT_EQ(reach, 40);
    EXPECT_TRUE(started);
    EXPECT_FALSE(band_->ExpandBand(reach, started, 10));
    EXPECT_EQ(band_->Expanded(), 50);

    // Without a run the report has no room at all, and its bands cannot grow.
    TRpReport idle;
    EXPECT_EQ(idle.AvailableSpace(), 0);
    EXPECT_FALSE(CreateBand(idle, TRpBandType::rbDetail).CanExpand(1));
}

TEST_F(LabelTest, MemoStretchesAndContinues)
{
    // Five lines, 42.3 tenths high on a band as high; a line of 7 pt is 10 px (26.46 tenths) on
    // the recorded page: one line fits, the band grows twice within 101, the rest waits.
    StartReport();
    SetSpace(101);
    TRpMemo& memo = PlaceAt<TRpMemo>({42.3L, 0, 0, 900});
    memo.SetLines(kFiveLines);
    memo.SetAutoStretch(true);
    int fired = 0;
    memo.OnPrint = [&](TRpCustomLabel&, std::string&) { ++fired; };
    memo.Prepare();
    const long double lh = LineHeight(memo);
    ASSERT_NEAR(static_cast<double>(lh), 10 * 254.0 / 96, 1e-9);

    memo.Print(0, 0);
    EXPECT_FALSE(memo.PrintFinished);
    EXPECT_TRUE(memo.PutAnythingDown());
    EXPECT_EQ(memo.CurrentLine(), 3);
    EXPECT_EQ(band_->Expanded(), 2 * lh);
    EXPECT_EQ(fired, 1);

    // The band carries the memo to a fresh column: it fires again and goes on at line 4.
    SetExpanded(0);
    memo.Print(0, 500);
    EXPECT_TRUE(memo.PrintFinished);
    EXPECT_EQ(memo.CurrentLine(), 5);
    EXPECT_EQ(fired, 2);

    const Lines trace = RecordedTrace();
    const std::vector<Drawn> drawn = TextsDrawn(trace);
    EXPECT_EQ(TextsOf(drawn), kFiveLines);
    const int ys[] = {0, Px(lh), Px(2 * lh), Px(500), Px(500 + lh)};
    for (std::size_t i = 0; i < drawn.size() && i < 5; ++i) {
        EXPECT_EQ(drawn[i].y, ys[i]) << i;
        EXPECT_EQ(drawn[i].x, 0) << i;
    }
    // The background, then a strip of the memo's colour for each line the band grew by.
    const std::string white = " brush=solid/#ffffff";
    const Lines fills = LinesStartingWith(trace, "FillRect ");
    ASSERT_GE(fills.size(), 3u);
    EXPECT_EQ(fills[0], "FillRect 0,0,340,16" + white);
    EXPECT_EQ(fills[1], "FillRect 0,16,340," + std::to_string(Px(42.3L + lh)) + white);
    EXPECT_EQ(fills[2],
              "FillRect 0," + std::to_string(Px(42.3L + lh)) + ",340," + std::to_string(Px(42.3L + 2 * lh)) + white);
}

TEST_F(LabelTest, LinesTakeThePrintersHeight)
{
    // 7 pt is 10 px at 96 dpi (26.46 tenths) but 65 px at 600 dpi (27.52 tenths): with room for
    // the band to reach 96 tenths the third line fits on the recorded page only.
    for (const auto& [device, lines] : {std::pair{Device::Record96, 3}, std::pair{Device::Printer600, 2}}) {
        SCOPED_TRACE(lines);
        StartReport(device);
        SetSpace(96);
        TRpMemo& memo = PlaceAt<TRpMemo>({42.3L, 0, 0, 900});
        memo.SetLines(kFiveLines);
        memo.SetAutoStretch(true);
        memo.Prepare();
        memo.Print(0, 0);
        EXPECT_EQ(memo.CurrentLine(), lines);
        EXPECT_FALSE(memo.PrintFinished);
    }
}

TEST_F(LabelTest, WithoutStretchWhatDoesNotFitIsLeftOut)
{
    StartReport();
    SetSpace(1000);
    TRpMemo& memo = PlaceAt<TRpMemo>({42.3L, 0, 0, 900});
    memo.SetLines(kFiveLines);
    memo.Prepare();
    memo.Print(0, 0);
    EXPECT_TRUE(memo.PrintFinished);
    EXPECT_EQ(memo.CurrentLine(), 1);
    EXPECT_EQ(band_->Expanded(), 0);
    // The next print starts again from the top.
    memo.Print(0, 500);
    EXPECT_EQ(TextsOf(TextsDrawn(RecordedTrace())), (Lines{"one", "one"}));
}

TEST_F(LabelTest, PrepareStartsAnUnfinishedControlAgain)
{
    StartReport();
    SetSpace(101);
    TRpMemo& memo = PlaceAt<TRpMemo>({42.3L, 0, 0, 900});
    memo.SetLines(kFiveLines);
    memo.SetAutoStretch(true);
    memo.Prepare();
    memo.Print(0, 0);
    ASSERT_FALSE(memo.PrintFinished);
    // A run that stopped here (an exception) is followed by a new run.
    memo.Unprepare();
    memo.Prepare();
    EXPECT_TRUE(memo.PrintFinished);
    EXPECT_EQ(memo.CurrentLine(), 0);
    SetExpanded(0);
    memo.Print(0, 500);
    EXPECT_EQ(TextsOf(TextsDrawn(RecordedTrace())), (Lines{"one", "two", "three", "one", "two", "three"}));
}

TEST_F(LabelTest, LineThatNeverFitsEndsAfterOneFreshColumn)
{
    // A memo 1 mm high, a 2.6 mm line, a band that cannot grow.
    StartReport();
    TRpMemo& memo = PlaceAt<TRpMemo>({10, 0, 0, 900});
    memo.SetAutoStretch(true);
    memo.SetLines({"Uwagi:"});
    memo.Prepare();
    memo.Print(0, 0);
    EXPECT_FALSE(memo.PrintFinished);
    EXPECT_FALSE(memo.PutAnythingDown());
    // The band tries a fresh column: still nothing fits, so the memo counts finished.
    SetExpanded(0);
    memo.Print(0, 500);
    EXPECT_TRUE(memo.PrintFinished);
    EXPECT_FALSE(memo.PutAnythingDown());
    EXPECT_EQ(memo.CurrentLine(), 0);
    // The next row's print is a new start, not a resumed one.
    memo.Print(0, 1000);
    EXPECT_FALSE(memo.PrintFinished);
    EXPECT_TRUE(TextsDrawn(RecordedTrace()).empty());
}

TEST_F(LabelTest, LineThatDidNotFitPrintsInAFreshColumnWithRoom)
{
    StartReport();
    TRpMemo& memo = PlaceAt<TRpMemo>({10, 0, 0, 900});
    memo.SetAutoStretch(true);
    memo.SetLines({"Uwagi:"});
    memo.Prepare();
    memo.Print(0, 0);
    ASSERT_FALSE(memo.PrintFinished);
    // At the top of the next column the band has room to grow.
    SetSpace(1000);
    SetExpanded(0);
    memo.Print(0, 500);
    EXPECT_TRUE(memo.PrintFinished);
    EXPECT_TRUE(memo.PutAnythingDown());
    EXPECT_GT(band_->Expanded(), 0);
    EXPECT_EQ(TextsOf(TextsDrawn(RecordedTrace())), Lines{"Uwagi:"});
}

TEST_F(LabelTest, OnPrintChangesTheTextForOnePrint)
{
    StartReport();
    TextFilter filter;
    Export(filter);
    TRpLabel& label = PlaceAt({42.3L, 0, 0, 1500});
    label.SetCaption("Dane z karty kierowcy");
    label.OnPrint = [](TRpCustomLabel&, std::string& value) { value = "Dane z karty nr 1234"; };
    label.Prepare();
    label.Print(0, 0);
    EXPECT_EQ(filter.Texts(), Lines{"Dane z karty nr 1234"});
    EXPECT_EQ(label.TextToPrint(), "Dane z karty kierowcy");
    EXPECT_EQ(label.Caption(), "Dane z karty kierowcy");

    // A memo's handler sees an empty text, and what it gives changes nothing printed.
    TRpMemo& memo = PlaceAt<TRpMemo>({42.3L, 0, 0, 1500});
    memo.SetLines({"Pozna\xF1"});
    std::string seen = "not called";
    memo.OnPrint = [&](TRpCustomLabel&, std::string& value) {
        seen = value;
        value = "other";
    };
    memo.Prepare();
    filter.lines.clear();
    memo.Print(0, 0);
    EXPECT_EQ(seen, "");
    EXPECT_EQ(filter.Texts(), Lines{"Pozna\xF1"});
}

TEST_F(LabelTest, ExportHandsOverEveryLine)
{
    StartReport();
    TextFilter filter;
    Export(filter);
    TRpLabel& label = PlaceAt({100, 100, 20, 300});
    label.SetAlignment(TAlignment::taRightJustify);
    label.SetTransparent(true);
    label.Color = qRgb(200, 0, 0);
    label.SetCaption("ab\r\rcd");
    label.Prepare();
    label.Print(1000, 2000);
    const long double lh = LineHeight(label);
    ASSERT_EQ(filter.lines.size(), 3u);
    EXPECT_EQ(filter.Texts(), (Lines{"ab", "", "cd"}));
    long double y = 2000 + 20;
    for (std::size_t i = 0; i < filter.lines.size(); ++i) {
        const TextFilter::Line& line = filter.lines[i];
        // Right-aligned lines are placed by their right edge.
        EXPECT_EQ(line.x, 1000 + 100 + 300) << i;
        EXPECT_EQ(line.y, y) << i;
        y += lh;
        EXPECT_EQ(line.alignment, output::HorizontalAlign::Right);
        EXPECT_EQ(line.font, label.Font());
        EXPECT_EQ(line.color, qRgb(200, 0, 0));
    }
    // Transparent: no background.
    EXPECT_TRUE(filter.items.empty());
}

TEST_F(LabelTest, BackgroundPaintedAndExportedByColour)
{
    struct Row {
        bool transparent;
        QRgb color;
        bool painted;
        bool exported;
    };
    const Row rows[] = {
        {true, qRgb(200, 0, 0), false, false},
        {false, qRgb(255, 255, 255), true, false},
        {false, qRgb(200, 0, 0), true, true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<int>(&r - rows));
        // Drawn on the recorded page.
        StartReport();
        TRpLabel& drawn = PlaceAt({60, 100, 20, 300});
        drawn.SetTransparent(r.transparent);
        drawn.Color = r.color;
        drawn.SetCaption("ab");
        drawn.Prepare();
        drawn.Print(1000, 2000);
        const Lines fills = LinesStartingWith(RecordedTrace(), "FillRect ");
        // DeviceX(1100) = 416, DeviceY(2020) = 763, DeviceX(1400) = 529, DeviceY(2080) = 786.
        char fill[80];
        std::snprintf(fill, sizeof fill, "FillRect 416,763,529,786 brush=solid/#%06x", r.color & 0xFFFFFFu);
        EXPECT_EQ(fills, r.painted ? Lines{fill} : Lines{});

        // Exported.
        StartReport();
        TextFilter filter;
        Export(filter);
        TRpLabel& exported = PlaceAt({60, 100, 20, 300});
        exported.SetTransparent(r.transparent);
        exported.Color = r.color;
        exported.SetCaption("ab");
        exported.Prepare();
        exported.Print(1000, 2000);
        ASSERT_EQ(filter.items.size(), r.exported ? 1u : 0u);
        if (!r.exported)
            continue;
        const auto& shape = std::get<output::ExportShape>(filter.items[0].control);
        // The box in device pixels: DeviceWidth(300) = 113, DeviceHeight(60) = 23.
        EXPECT_EQ(shape.rect, QRect(416, 763, 113, 23));
        EXPECT_EQ(shape.shape, output::TRpShapeType::rpsRectangle);
        EXPECT_EQ(shape.brush, (output::Brush{r.color, output::BrushStyle::Solid}));
        EXPECT_EQ(shape.pen.style, output::PenStyle::Clear);
        EXPECT_EQ(filter.items[0].x, 416);
        EXPECT_EQ(filter.items[0].y, 763);
    }
}

TEST_F(LabelTest, FrameGoesRoundTheControlsBox)
{
    // Only the top line: the text moves down by the frame width (1 pt = 4 tenths), not
    // sideways, and the frame is drawn on the control's own box.
    StartReport();
    TRpLabel& label = PlaceAt({60, 100, 20, 300});
    label.SetTransparent(true);
    label.Frame.SetDrawTop(true);
    label.Frame.SetWidth(1);
    label.SetCaption("ab");
    label.Prepare();
    label.Print(1000, 2000);
    const Lines trace = RecordedTrace();
    const std::vector<Drawn> drawn = TextsDrawn(trace);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].x, Px(1100));
    EXPECT_EQ(drawn[0].y, Px(2024));
    const Lines fills = LinesStartingWith(trace, "FillRect ");
    ASSERT_EQ(fills.size(), 1u);
    EXPECT_EQ(fills[0].rfind("FillRect 416,763,529,", 0), 0u) << fills[0];
}

TEST_F(LabelTest, AutoSizedLabelPrintsInTheBoxItHasAfterSizing)
{
    // Right-aligned and sized to its text: OnPrint makes it wider, so it moves left; background,
    // text and right edge stay together.
    StartReport();
    TRpLabel& label = Place(500, 0, 63, 16);
    label.SetAlignment(TAlignment::taRightJustify);
    label.SetAutoSize(true);
    label.SetCaption("ab");
    ASSERT_EQ(label.Bounds(), QRect(552, 0, 11, 16));
    label.OnPrint = [](TRpCustomLabel&, std::string& value) { value = "aaaa bbbb cccc dddd"; };
    label.Prepare();
    label.Print(0, 0);
    EXPECT_EQ(label.Bounds(), QRect(467, 0, 96, 16));
    const Lines trace = RecordedTrace();
    EXPECT_EQ(LinesStartingWith(trace, "FillRect "), Lines{"FillRect 467,0,563,16 brush=solid/#ffffff"});
    const std::vector<Drawn> drawn = TextsDrawn(trace);
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].x, 563);
    EXPECT_EQ(drawn[0].align, "right");
}

// Justified lines: the words and where each was drawn.
struct JustifiedLine {
    std::vector<Drawn> words;
};

std::vector<JustifiedLine> ByLine(const std::vector<Drawn>& drawn)
{
    std::vector<JustifiedLine> lines;
    for (const Drawn& d : drawn) {
        if (lines.empty() || lines.back().words.back().y != d.y)
            lines.emplace_back();
        lines.back().words.push_back(d);
    }
    return lines;
}

TEST_F(LabelTest, JustifiedMemoFillsItsWidth)
{
    for (const TAlignment alignment : {TAlignment::taLeftJustify, TAlignment::taRightJustify, TAlignment::taCenter}) {
        SCOPED_TRACE(static_cast<int>(alignment));
        StartReport();
        MeasureForReal();
        TRpMemo& memo = PlaceAt<TRpMemo>({200, 100, 0, 900});
        memo.SetAlignment(alignment);
        memo.FullJustify = true;
        memo.SetLines(
            {"Pojazdy u\xBFywane w okresie od pierwszego do ostatniego dnia listy, z przebiegiem i krajem rejestracji",
             "WX 12345 PL"});
        memo.Prepare();
        memo.Print(0, 0);
        ASSERT_GE(memo.FormattedLines().size(), 3u);
        const std::vector<JustifiedLine> lines = ByLine(TextsDrawn(RecordedTrace()));
        ASSERT_EQ(lines.size(), memo.FormattedLines().size());

        output::MeasureDevice device;
        const output::FontSpec font = memo.Font();
        const int left = Px(100);
        const int right = Px(100) + output::RoundHalfEvenInt(900 * kFactor);
        const int blank = device.TextWidth(font, " ");
        for (std::size_t n = 0; n < lines.size(); ++n) {
            SCOPED_TRACE(n);
            const std::vector<Drawn>& words = lines[n].words;
            EXPECT_EQ(words.front().x, left);
            for (const Drawn& w : words) {
                EXPECT_EQ(w.align, "left");
                EXPECT_LE(w.x + device.TextWidth(font, w.text), right + 1);
            }
            const Drawn& last = words.back();
            const int end = last.x + device.TextWidth(font, last.text);
            if (n + 1 < lines.size() - 1) {
                // Full lines: the gaps take up the rest of the width.
                EXPECT_NEAR(end, right, 1);
            }
        }
        // The last line would need gaps far wider than five blanks: it keeps single blanks.
        const std::vector<Drawn>& last = lines.back().words;
        ASSERT_EQ(last.size(), 3u);
        EXPECT_EQ(last[1].x, last[0].x + device.TextWidth(font, last[0].text) + blank);
        EXPECT_EQ(last[2].x, last[1].x + device.TextWidth(font, last[1].text) + blank);
    }
}

TEST_F(LabelTest, JustifiedWordsExportAtTheirOwnPlaces)
{
    StartReport();
    MeasureForReal();
    TextFilter filter;
    Export(filter);
    TRpMemo& memo = PlaceAt<TRpMemo>({200, 100, 0, 900});
    memo.SetAlignment(TAlignment::taRightJustify);
    memo.FullJustify = true;
    memo.SetLines({"ab cd", ""});
    memo.Prepare();
    memo.Print(0, 0);
    // Word by word, left-aligned from the left edge; an empty line exports nothing.
    ASSERT_EQ(filter.Texts(), (Lines{"ab", "cd"}));
    output::MeasureDevice device;
    const output::FontSpec font = memo.Font();
    const int second = Px(100) + device.TextWidth(font, "ab") + device.TextWidth(font, " ");
    EXPECT_EQ(filter.lines[0].x, 100);
    EXPECT_EQ(filter.lines[1].x, 100 + (second - Px(100)) / kFactor);
    for (const TextFilter::Line& line : filter.lines) {
        EXPECT_EQ(line.alignment, output::HorizontalAlign::Left);
        EXPECT_EQ(line.y, 0);
    }
}

TEST_F(LabelTest, DisabledOrUnpreparedControls)
{
    StartReport();
    TRpLabel& label = PlaceAt({60, 0, 0, 900});
    label.SetCaption("ab");
    // Not prepared: it prepares itself.
    label.Print(0, 0);
    EXPECT_TRUE(label.IsPrinting());
    label.SetEnabled(false);
    label.Visible = true;
    label.Print(0, 100);
    EXPECT_EQ(TextsOf(TextsDrawn(RecordedTrace())), Lines{"ab"});
}

TEST_F(LabelTest, LabelOnTheReportItselfCannotStretch)
{
    StartReport();
    SetSpace(1000);
    TRpLabel& label = report_->NewPrintable<TRpLabel>();
    label.SetAutoSize(false);
    label.Size.ReadValues(std::vector<long double>{30, 0, 0, 900});
    label.SetFont(output::FontSpec{.face = "Arial", .points = 7});
    label.SetAutoStretch(true);
    label.SetCaption("ab\rcd");
    label.Prepare();
    label.Print(0, 0);
    // No band to grow: the lines that fit print.
    EXPECT_EQ(TextsOf(TextsDrawn(RecordedTrace())), Lines{"ab"});
}

TEST_F(LabelTest, DesignViewWritesTheLines)
{
    StartReport();
    TRpLabel& label = Place(0, 0, 51, 40);
    label.SetAlignment(TAlignment::taRightJustify);
    label.SetCaption("aaaa bbbb cccc");
    output::TraceCanvas canvas;
    label.Paint(canvas);
    const int lineHeight = output::MeasureDevice().TextHeight(label.Font());
    const std::vector<Drawn> drawn = TextsDrawn(canvas.Lines());
    ASSERT_EQ(TextsOf(drawn), (Lines{"aaaa bbbb ", "cccc"}));
    EXPECT_EQ(drawn[0].x, 51);
    EXPECT_EQ(drawn[0].y, 0);
    EXPECT_EQ(drawn[1].y, lineHeight);
    EXPECT_EQ(drawn[1].align, "right");
    // Nothing while the report prints.
    label.Prepare();
    output::TraceCanvas printing;
    label.Paint(printing);
    EXPECT_TRUE(printing.Lines().empty());
}

}  // namespace
}  // namespace report::engine
