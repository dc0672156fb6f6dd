#include "report/engine/controls/label.h"
#include "report/engine/model/band.h"
#include "report/output/canvas/measure.h"
#include "tests/report/engine/controls/label_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace report::engine {
namespace {

using enginetest::FiveByteMeasurer;
using enginetest::LabelTest;
using Lines = std::vector<std::string>;

TEST_F(LabelTest, ReportMeasuresWidthPlusOne)
{
    StartReport();
    const output::FontSpec font;
    EXPECT_EQ(report_->TextWidth(font, "abc"), 16);
    EXPECT_EQ(report_->TextWidth(font, ""), 1);
    EXPECT_EQ(report_->TextHeight(font), FiveByteMeasurer::kLineHeight);

    // The real device: its own width plus one, its own line height.
    MeasureForReal();
    output::MeasureDevice device;
    const output::FontSpec arial{.face = "Arial", .points = 7};
    EXPECT_EQ(report_->TextWidth(arial, "Kierowca"), device.TextWidth(arial, "Kierowca") + 1);
    EXPECT_EQ(report_->TextHeight(arial), device.TextHeight(arial));
}

TEST_F(LabelTest, FormattingBreaksLinesByTheControlWidth)
{
    // The control is 51 px wide: a word joins a line while the line stays at most 51 px
    // (10 bytes); a word alone on a line is cut to what stays below 51 px (9 bytes).
    struct Row {
        const char* text;
        bool wordWrap;
        Lines lines;
    };
    const Row rows[] = {
        {"ab\r\ncd", true, {"ab", "cd"}},
        {"ab\r", true, {"ab", ""}},
        {"", true, {""}},
        {"\r\r", true, {"", "", ""}},
        {"aaaa bbbb cccc", true, {"aaaa bbbb ", "cccc"}},
        {"abcdefg-hijk", true, {"abcdefg-", "hijk"}},
        {"abcdefghijkl", true, {"abcdefghi", "jkl"}},
        {"ab abcdefghijkl", true, {"ab ", "abcdefghij", "kl"}},
        // What is left of a long word is broken again, never lost.
        {"abcdefghijklmnopqrstuvwxyz", true, {"abcdefghi", "jklmnopqr", "stuvwxyz"}},
        {"ab abcdefghijklmnopqrstuvwxyz", true, {"ab ", "abcdefghij", "klmnopqrs", "tuvwxyz"}},
        // Without word wrap the paragraph stops at its first overflow; the rest is clipped.
        {"aaaa bbbb cccc dddd", false, {"aaaa bbbb "}},
        {"abcdefghijkl", false, {"abcdefghi"}},
        {"ab abcdefghijkl x", false, {"ab ", "abcdefghij"}},
        {"aaaa bbbb cccc dddd\raa", false, {"aaaa bbbb ", "aa"}},
    };
    StartReport();
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        TRpLabel& label = Place(0, 0, 51, 16);
        label.SetWordWrap(r.wordWrap);
        label.SetCaption(r.text);
        EXPECT_EQ(label.FormattedLines(), r.lines);
        EXPECT_EQ(label.Bounds().width(), 51);
        EXPECT_EQ(label.TextToPrint(), r.text);
        band_->FreePrintable(label);
    }
}

// A control keeps its lines while nothing they were broken with changes (it is formatted when
// its caption is set and again when it prints); anything that changes breaks them again, as a
// control formatted for the first time with the same settings breaks them.
TEST_F(LabelTest, LinesBreakAgainWhenAnythingTheyWereBrokenWithChanges)
{
    StartReport();
    TRpLabel& label = Place(0, 0, 51, 16);
    const std::string text = "Karta wyjeta ze slotu kierowcy przy czynnosci prowadzenie";
    label.SetCaption(text);
    const Lines first = label.FormattedLines();
    label.FormatLines();
    EXPECT_EQ(label.FormattedLines(), first);

    label.SetBounds(0, 0, 120, 16);
    label.FormatLines();
    EXPECT_NE(label.FormattedLines(), first);
    EXPECT_EQ(label.FormattedLines(), FreshLines(label, text));

    TRpMemo& memo = Place<TRpMemo>(0, 0, 51, 16);
    memo.SetLines({"aaaa bbbb cccc"});
    memo.FormatLines();
    EXPECT_EQ(memo.FormattedLines(), (Lines{"aaaa bbbb ", "cccc"}));
    memo.SetLines({"aaaa bbbb"});
    memo.FormatLines();
    EXPECT_EQ(memo.FormattedLines(), Lines{"aaaa bbbb"});

    MeasureForReal();
    label.FormatLines();
    EXPECT_EQ(label.FormattedLines(), FreshLines(label, text));
    const Lines real = label.FormattedLines();

    label.SetFont(output::FontSpec{.face = "Arial", .points = 14, .bold = true});
    EXPECT_NE(label.FormattedLines(), real);
    EXPECT_EQ(label.FormattedLines(), FreshLines(label, text));

    label.SetZoom(50);
    label.FormatLines();
    EXPECT_EQ(label.FormattedLines(), FreshLines(label, text));

    label.SetWordWrap(false);
    label.FormatLines();
    EXPECT_EQ(label.FormattedLines(), FreshLines(label, text));

    label.SetCaption("krotko");
    EXPECT_EQ(label.FormattedLines(), Lines{"krotko"});
}

// Each input of the breaking changed alone, on the real measuring device: the lines are those
// of a control formatted afresh with the new settings, and differ from the kept ones. (The zoom
// moves the width with it.)
TEST_F(LabelTest, EachInputAloneBreaksTheLinesAgain)
{
    const std::string text = "Karta wyjeta ze slotu kierowcy przy czynnosci prowadzenie";
    const output::FontSpec arial{.face = "Arial", .points = 10};
    struct Row {
        const char* name;
        std::function<void(TRpLabel&)> change;
    };
    const Row rows[] = {
        {"width", [](TRpLabel& l) { l.SetBounds(0, 0, 160, 16); }},
        {"size", [&](TRpLabel& l) { l.SetFont(output::FontSpec{.face = "Arial", .points = 12}); }},
        {"bold", [&](TRpLabel& l) { l.SetFont(output::FontSpec{.face = "Arial", .points = 10, .bold = true}); }},
        {"face", [&](TRpLabel& l) { l.SetFont(output::FontSpec{.face = "Courier New", .points = 10}); }},
        {"word wrap", [](TRpLabel& l) { l.SetWordWrap(false); }},
        {"auto size", [](TRpLabel& l) { l.SetAutoSize(true); }},
        {"caption", [](TRpLabel& l) { l.SetCaption("Karta wyjeta"); }},
        {"measurer", [this](TRpLabel&) { report_->SetMeasurer(std::make_unique<FiveByteMeasurer>()); }},
    };
    StartReport();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        MeasureForReal();
        TRpLabel& label = Place(0, 0, 120, 16);
        label.SetFont(arial);
        label.SetCaption(text);
        const Lines kept = label.FormattedLines();
        row.change(label);
        label.FormatLines();
        const Lines lines = label.FormattedLines();
        EXPECT_NE(lines, kept);
        EXPECT_EQ(lines, FreshLines(label, label.TextToPrint()));
        band_->FreePrintable(label);
    }
}

TEST_F(LabelTest, WordWrapTakesACharacterALineWhenNoneFits)
{
    StartReport();
    TRpLabel& label = Place(0, 0, 3, 16);
    label.SetCaption("abc");
    EXPECT_EQ(label.FormattedLines(), (Lines{"a", "b", "c"}));
    label.SetWordWrap(false);
    label.SetCaption("abc");
    EXPECT_EQ(label.FormattedLines(), Lines{""});
}

TEST_F(LabelTest, AutoSizeKeepsOneLineAndTakesItsWidth)
{
    StartReport();
    TRpLabel& label = Place(0, 0, 51, 16);
    label.SetAutoSize(true);
    label.SetCaption("aaaa bbbb cccc dddd");
    EXPECT_EQ(label.FormattedLines(), Lines{"aaaa bbbb cccc dddd"});
    EXPECT_EQ(label.Bounds(), QRect(0, 0, 96, 16));
    // A carriage return still breaks; the widest line decides.
    label.SetCaption("ab\rabcdef");
    EXPECT_EQ(label.FormattedLines(), (Lines{"ab", "abcdef"}));
    EXPECT_EQ(label.Bounds().width(), 31);
    // Each drawn side of the frame adds its width.
    label.Frame.SetWidth(2);
    label.Frame.SetDrawLeft(true);
    label.Frame.SetDrawRight(true);
    label.Frame.SetDrawTop(true);
    label.SetCaption("ab");
    EXPECT_EQ(label.Bounds().width(), 11 + 2 + 2);
}

TEST_F(LabelTest, AutoSizeMovesByTheAlignment)
{
    // 19 bytes measure 96 px; the control starts 63 px wide at 671 on a 734-px band.
    struct Row {
        TAlignment alignment;
        bool alignToBand;
        TBiDiMode bidi;
        int left;
    };
    const Row rows[] = {
        {TAlignment::taLeftJustify, false, TBiDiMode::bdLeftToRight, 671},
        {TAlignment::taRightJustify, false, TBiDiMode::bdLeftToRight, 638},
        // The centre stays where it was, within the half pixel integer halving drops.
        {TAlignment::taCenter, false, TBiDiMode::bdLeftToRight, 655},
        // Right-to-left alignment mirrors the sides.
        {TAlignment::taLeftJustify, false, TBiDiMode::bdRightToLeft, 638},
        {TAlignment::taRightJustify, false, TBiDiMode::bdRightToLeft, 671},
        // Aligned to the band: its right edge whatever the width.
        {TAlignment::taRightJustify, true, TBiDiMode::bdLeftToRight, 638},
    };
    StartReport();
    ASSERT_EQ(band_->Bounds().width(), 734);
    for (const Row& r : rows) {
        SCOPED_TRACE(static_cast<int>(&r - rows));
        TRpLabel& label = Place(671, 0, 63, 16);
        label.BiDiMode = r.bidi;
        label.SetAlignment(r.alignment);
        label.SetAlignToBand(r.alignToBand);
        label.SetAutoSize(true);
        label.SetCaption("aaaa bbbb cccc dddd");
        EXPECT_EQ(label.Bounds(), QRect(r.left, 0, 96, 16));
        if (r.alignToBand) {
            label.SetCaption("ab");
            EXPECT_EQ(label.Bounds().right() + 1, 734);
        }
        band_->FreePrintable(label);
    }
}

TEST_F(LabelTest, ALabelIsAtLeastOneLineHigh)
{
    StartReport();
    // The one-line height is the report's 11 px (times the zoom) plus 1.
    TRpLabel& label = Place(0, 0, 51, 5);
    label.SetCaption("ab");
    EXPECT_EQ(label.Bounds().height(), 12);
    TRpLabel& tall = Place(0, 0, 51, 40);
    tall.SetCaption("ab");
    EXPECT_EQ(tall.Bounds().height(), 40);
    // A memo is left as high as it is.
    TRpMemo& memo = Place<TRpMemo>(0, 0, 51, 5);
    memo.SetLines({"ab"});
    memo.FormatLines();
    EXPECT_EQ(memo.Bounds().height(), 5);
}

TEST_F(LabelTest, WithoutParentNothingIsFormatted)
{
    TRpLabel label;
    label.SetAutoSize(false);
    label.SetCaption("aaaa bbbb");
    EXPECT_TRUE(label.FormattedLines().empty());
    EXPECT_EQ(label.Caption(), "aaaa bbbb");
    // Placed on a band it formats at once.
    StartReport();
    auto owned = std::make_unique<TRpLabel>();
    TRpLabel* placed = owned.get();
    placed->SetAutoSize(false);
    placed->SetBounds(0, 0, 51, 16);
    placed->SetCaption("ab cd");
    band_->InsertPrintable(std::move(owned));
    EXPECT_EQ(placed->FormattedLines(), Lines{"ab cd"});
}

TEST_F(LabelTest, MemoFormatsItsLines)
{
    StartReport();
    TRpMemo& memo = Place<TRpMemo>(0, 0, 51, 16);
    EXPECT_FALSE(memo.UsesCaption());
    EXPECT_TRUE(memo.CountsForKeepTogether());
    memo.FormatLines();
    EXPECT_TRUE(memo.FormattedLines().empty());
    memo.SetLines({"aaaa bbbb cccc", "", "x"});
    memo.FormatLines();
    EXPECT_EQ(memo.FormattedLines(), (Lines{"aaaa bbbb ", "cccc", "", "x"}));
    // With AutoSize the lines are copied unbroken and the memo takes the widest one's width.
    memo.SetAutoSize(true);
    EXPECT_EQ(memo.FormattedLines(), (Lines{"aaaa bbbb cccc", "", "x"}));
    EXPECT_EQ(memo.Bounds().width(), 71);
}

TEST_F(LabelTest, MemoExpandedHeightIsItsLines)
{
    StartReport();
    TRpMemo& memo = Place<TRpMemo>(0, 0, 51, 16);
    memo.SetLines({"aaaa bbbb cccc", "x"});
    long double height = 0;
    memo.GetExpandedHeight(height);
    EXPECT_EQ(height, 3 * FiveByteMeasurer::kLineHeight);
    // At zoom 200 the lines are twice as high (and the memo twice as wide: still three lines).
    report_->SetZoom(200);
    memo.GetExpandedHeight(height);
    EXPECT_EQ(height, 3 * 2 * FiveByteMeasurer::kLineHeight);
}

TEST_F(LabelTest, NameAndCaption)
{
    StartReport();
    TRpLabel& label = Place(0, 0, 51, 16);
    label.SetName("RpLabel1");
    EXPECT_EQ(label.Caption(), "RpLabel1");
    label.SetName("RpLabel2");
    EXPECT_EQ(label.Caption(), "RpLabel2");
    label.SetCaption("Uwagi:");
    label.SetName("RpLabel3");
    EXPECT_EQ(label.Caption(), "Uwagi:");
    EXPECT_EQ(label.Name, "RpLabel3");
}

TEST_F(LabelTest, FontSizeFromTheFormWinsAtLoaded)
{
    // The print layout's heights and stored sizes: -9/7, -11/8, -15/11, -16/12.
    struct Row {
        int fontSize;
        int pixels;
    };
    StartReport();
    for (const Row& r : {Row{7, 9}, Row{8, 11}, Row{11, 15}, Row{12, 16}}) {
        SCOPED_TRACE(r.fontSize);
        TRpLabel& label = Place(0, 0, 51, 16);
        EXPECT_TRUE(label.ParentFont());
        label.BeginLoading();
        label.ReadFontSize(r.fontSize);
        label.Loaded();
        EXPECT_EQ(label.Font().points, r.fontSize);
        EXPECT_EQ(label.Font().face, "Arial");
        EXPECT_FALSE(label.ParentFont());
        EXPECT_EQ(output::FontPixelHeight(label.Font().points, 96), r.pixels);
        EXPECT_EQ(label.WriteFontSize(), r.fontSize);
        band_->FreePrintable(label);
    }
    // Without a stored size the parent's font stays.
    TRpLabel& plain = Place(0, 0, 51, 16);
    plain.Loaded();
    EXPECT_TRUE(plain.ParentFont());
    EXPECT_EQ(&plain.Font(), &band_->Font());
}

TEST_F(LabelTest, RowLabelBreaksByTheRealWidths)
{
    // The detail row's label: 310 px wide, Arial 7 pt, measured on the 96-dpi device.
    StartReport();
    MeasureForReal();
    TRpLabel& label = Place(25, 0, 310, 16);
    output::FontSpec font = label.Font();
    font.points = 7;
    label.SetFont(font);
    label.SetAutoStretch(true);
    const std::string text =
        "2024-05-01 (\xB6r) 06:15-14:45 Prowadzenie pojazdu 8:30, praca 1:10, dyspozycyjno\xB6\xE6 0:20, "
        "odpoczynek 13:40; przejechano 612 km pojazdem WX 12345 (PL), miejsce rozpocz\xEA"
        "cia: Pozna\xF1";
    label.SetCaption(text);
    output::MeasureDevice device;
    const auto width = [&](const std::string& s) { return device.TextWidth(font, s) + 1; };
    const Lines& lines = label.FormattedLines();
    ASSERT_GE(lines.size(), 2u);
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(lines[i]);
        joined += lines[i];
        EXPECT_LE(width(lines[i]), 310);
        if (i + 1 < lines.size()) {
            // The next line's first word would not have fitted on this one.
            const std::string& next = lines[i + 1];
            const std::size_t end = next.find_first_of(" -");
            EXPECT_GT(width(lines[i] + next.substr(0, end == std::string::npos ? next.size() : end + 1)), 310);
        }
    }
    EXPECT_EQ(joined, text);
}

}  // namespace
}  // namespace report::engine
