#include "report/engine/model/printable.h"

#include "report/engine/controls/image.h"
#include "report/engine/controls/shape.h"
#include "report/output/canvas/trace_canvas.h"
#include "tests/report/engine/model/printable_fixture.h"
#include "tests/support/ink_bounds.h"
#include "tests/support/program_bands.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace report::engine {
namespace {

using enginetest::LinesStartingWith;
using enginetest::PrintableTest;
using enginetest::RecordingFilter;
using testsupport::InkBounds;

std::vector<long double> Values(const TRpPrintable& control) { return control.Size.WriteValues(); }

// The detail row's label as the print layout stores it: Height, Left, Top, Width.
const std::vector<long double> kRowLabel{42.3333L, 119.0625L, 0, 817.5625L};

TEST(Printable, NewControl)
{
    TRpPrintable control;
    EXPECT_EQ(control.Bounds(), QRect(0, 0, 10, 10));
    EXPECT_EQ(control.Color, qRgb(255, 255, 255));
    EXPECT_EQ(control.Alignment(), TAlignment::taLeftJustify);
    EXPECT_FALSE(control.AlignToBand());
    EXPECT_TRUE(control.PrintFinished);
    EXPECT_TRUE(control.Enabled());
    EXPECT_EQ(control.ExportAs, TExportType::exptText);
    EXPECT_EQ(control.XLColumn, 0);
    EXPECT_EQ(control.ParentReport(), nullptr);
    EXPECT_EQ(control.RpPrinter(), nullptr);
    EXPECT_EQ(control.GetEditorClass(), nullptr);
    EXPECT_FALSE(control.CountsForKeepTogether());
    long double height = 7;
    control.GetExpandedHeight(height);
    EXPECT_EQ(height, 7);
    // The first bounds became the size: 10 px are 26.46 tenths.
    EXPECT_NEAR(static_cast<double>(control.Size.Native(TRpPrintableSize::kHeight)), 10 * 254.0 / 96, 1e-9);
    EXPECT_EQ(control.Size.Native(TRpPrintableSize::kLeft), 0);

    EXPECT_EQ(TRpShape().Bounds(), QRect(0, 0, 65, 65));
    EXPECT_EQ(TRpImage().Bounds(), QRect(0, 0, 105, 105));
    TRpDBImage dbImage;
    EXPECT_EQ(dbImage.Bounds(), QRect(0, 0, 105, 105));
    EXPECT_TRUE(dbImage.Center());
    EXPECT_FALSE(dbImage.Stretch());
    EXPECT_TRUE(dbImage.CountsForKeepTogether());
}

TEST(Printable, SizeInUnitsAndPixels)
{
    auto report = testsupport::MakeProgramReport();
    TRpBand& band = CreateBand(*report, TRpBandType::rbDetail);
    TRpImage& control = band.NewPrintable<TRpImage>();
    control.Size.ReadValues(kRowLabel);
    EXPECT_EQ(control.Bounds(), QRect(45, 0, 309, 16));
    EXPECT_EQ(control.Size.Units, TRpUnit::MM);
    EXPECT_NEAR(static_cast<double>(control.Size.Left()), 11.90625, 1e-12);
    control.Size.SetWidth(50);
    EXPECT_EQ(control.Size.Native(TRpPrintableSize::kWidth), 500);
    EXPECT_EQ(control.Bounds(), QRect(45, 0, 189, 16));
    // Other indices read 0 and write nothing.
    EXPECT_EQ(control.Size.GetValue(4), 0);
    control.Size.SetValue(-1, 3);
    EXPECT_EQ(Values(control), (std::vector<long double>{42.3333L, 119.0625L, 0, 500}));

    // At zoom 200 the pixels double, once: the native values stay.
    report->SetZoom(200);
    EXPECT_EQ(control.Bounds(), QRect(90, 0, 378, 32));
    control.Size.Units = TRpUnit::Pixels;
    EXPECT_NEAR(static_cast<double>(control.Size.Left()), 90.0, 1e-9);
    EXPECT_EQ(Values(control), (std::vector<long double>{42.3333L, 119.0625L, 0, 500}));
}

TEST(Printable, BoundsThatRoundToTheSizeLeaveItExact)
{
    struct Row {
        const char* name;
        std::vector<long double> values;
    };
    const Row rows[] = {
        {"the row label", kRowLabel},
        {"a left of 119 (44.98 px)", {42.3333L, 119, 0, 817.5625L}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        auto report = testsupport::MakeProgramReport();
        TRpBand& band = CreateBand(*report, TRpBandType::rbDetail);
        TRpBand& other = CreateBand(*report, TRpBandType::rbSummary);
        TRpPrintable& control = band.NewPrintable<TRpPrintable>();
        control.Size.ReadValues(r.values);
        ASSERT_EQ(control.Bounds(), QRect(45, 0, 309, 16));
        control.SetBounds(45, 0, 309, 16);
        EXPECT_EQ(Values(control), r.values);
        // Moving the control to another band keeps its values too.
        other.InsertPrintable(band.TakePrintable(control));
        EXPECT_EQ(control.Parent(), &other);
        EXPECT_EQ(Values(control), r.values);
        // A real change is taken, and only that value changes.
        control.SetBounds(45, 0, 309, 20);
        EXPECT_NEAR(static_cast<double>(control.Size.Native(TRpPrintableSize::kHeight)), 20 * 254.0 / 96, 1e-9);
        EXPECT_EQ(control.Size.Native(TRpPrintableSize::kLeft), r.values[TRpPrintableSize::kLeft]);
        EXPECT_EQ(control.Size.Native(TRpPrintableSize::kWidth), r.values[TRpPrintableSize::kWidth]);
    }
}

TEST(Printable, LoadedTakesStreamedBoundsForZeroValues)
{
    auto report = testsupport::MakeProgramReport();
    TRpBand& band = CreateBand(*report, TRpBandType::rbDetail);
    auto made = std::make_unique<TRpImage>();
    made->BeginLoading();
    const std::vector<long double> values{42.3L, 18.5L, 0, 0};
    made->Size.ReadValues(values);
    made->SetBounds(7, 0, 120, 16);  // the pixel bounds the form held
    EXPECT_EQ(made->Size.WriteValues(), values);
    TRpPrintable& control = band.InsertPrintable(std::move(made));
    EXPECT_EQ(control.Bounds().width(), 0);
    control.Loaded();
    EXPECT_EQ(control.Bounds(), QRect(7, 0, 120, 16));
    EXPECT_NEAR(static_cast<double>(control.Size.Native(TRpPrintableSize::kWidth)), 120 * 254.0 / 96, 1e-9);
    EXPECT_EQ(control.Size.Native(TRpPrintableSize::kHeight), 42.3L);
    EXPECT_EQ(control.Size.Native(TRpPrintableSize::kLeft), 18.5L);

    // Built while the report is being built: the report's Loaded finishes the control too.
    auto building = testsupport::MakeProgramReport();
    building->BeginLoading();
    TRpBand& later = CreateBand(*building, TRpBandType::rbDetail);
    TRpImage& image = later.NewPrintable<TRpImage>();
    image.Size.ReadValues(values);
    image.SetBounds(7, 0, 120, 16);
    building->Loaded();
    EXPECT_EQ(image.Bounds(), QRect(7, 0, 120, 16));
}

TEST(Printable, AlignToBand)
{
    auto report = testsupport::MakeProgramReport();
    TRpBand& band = CreateBand(*report, TRpBandType::rbTitle);
    ASSERT_EQ(band.Bounds().width(), 734);
    TRpPrintable& control = band.NewPrintable<TRpPrintable>();
    control.SetBounds(100, 5, 63, 13);
    control.SetAlignToBand(true);
    EXPECT_EQ(control.Bounds().left(), 0);
    struct Row {
        TAlignment alignment;
        int left;
    };
    for (const Row& r :
         {Row{TAlignment::taRightJustify, 671}, Row{TAlignment::taCenter, 335}, Row{TAlignment::taLeftJustify, 0}}) {
        control.SetAlignment(r.alignment);
        EXPECT_EQ(control.Bounds().left(), r.left) << static_cast<int>(r.alignment);
    }
    // A move keeps it in place; a band that changes width takes it along.
    control.SetAlignment(TAlignment::taRightJustify);
    control.SetBounds(10, 5, 63, 13);
    EXPECT_EQ(control.Bounds().left(), 671);
    report->Page.SetLeftMargin(20);  // 37.8 px less page
    EXPECT_EQ(control.Bounds().left(), band.Bounds().width() - 63);
    EXPECT_EQ(band.Bounds().width(), 696);
    // Off: it stays where it is.
    control.SetAlignToBand(false);
    control.SetBounds(10, 5, 63, 13);
    EXPECT_EQ(control.Bounds().left(), 10);

    // On the report itself only the left alignment moves it.
    TRpPrintable& onReport = report->NewPrintable<TRpPrintable>();
    onReport.SetBounds(50, 50, 63, 13);
    onReport.SetAlignment(TAlignment::taRightJustify);
    onReport.SetAlignToBand(true);
    EXPECT_EQ(onReport.Bounds().left(), 50);
    onReport.SetAlignment(TAlignment::taLeftJustify);
    EXPECT_EQ(onReport.Bounds().left(), 0);
}

TEST(Printable, DesignViewAndEditor)
{
    TRpPrintable control;
    control.SetBounds(0, 0, 30, 20);
    TRpFrame frame;
    frame.SetDrawRight(true);
    frame.SetColor(qRgb(9, 9, 9));
    control.SetFrame(frame);
    EXPECT_TRUE(control.Frame.DrawRight());
    EXPECT_FALSE(control.Frame.DrawTop());
    output::TraceCanvas canvas;
    control.Paint(canvas);
    const std::vector<std::string> expected{
        "FillRect 0,0,30,20 brush=solid/#ffffff",
        "Line 0,0,4,0 pen=solid/1/#000000",
        "Line 0,0,0,4 pen=solid/1/#000000",
        "Line 0,19,4,19 pen=solid/1/#000000",
        "Line 0,19,0,15 pen=solid/1/#000000",
        "Line 29,0,25,0 pen=solid/1/#000000",
        "Line 29,0,29,4 pen=solid/1/#000000",
        "Line 29,19,25,19 pen=solid/1/#000000",
        "Line 29,19,29,15 pen=solid/1/#000000",
        // The frame inside the area less its last column and row, at the screen's scale.
        "FillRect 28,0,29,19 brush=solid/#090909",
    };
    EXPECT_EQ(canvas.Lines(), expected);
    // Nothing while the control is printing.
    control.Prepare();
    canvas.Clear();
    control.Paint(canvas);
    EXPECT_TRUE(canvas.Lines().empty());

    // The base editor's neutral answers.
    struct Editor : TRpPrintableEditor {
        using TRpPrintableEditor::TRpPrintableEditor;
        void SetColor(QRgb) override {}
        void SetFont(const report::output::FontSpec&) override {}
        void SetText(const std::string&) override {}
        bool Edit() override { return true; }
    };
    Editor editor(control);
    EXPECT_EQ(&editor.Control, &control);
    EXPECT_EQ(editor.GetColor(), 0u);
    EXPECT_EQ(editor.GetFont(), nullptr);
    EXPECT_EQ(editor.ControlClass(), typeid(TRpPrintable));
    EXPECT_EQ(editor.GetText(), "");
    EXPECT_EQ(editor.NamePrefix(), "");
    EXPECT_EQ(editor.Description(), "");
    EXPECT_EQ(editor.GetAlignment(), TAlignment::taLeftJustify);
    editor.SetAlignment(TAlignment::taCenter);
    EXPECT_EQ(control.Alignment(), TAlignment::taLeftJustify);
}

TEST(Printable, NamesAndUnitsFollowTheReport)
{
    auto report = testsupport::MakeProgramReport();
    TRpBand& band = CreateBand(*report, TRpBandType::rbDetail);
    band.NewPrintable<TRpShape>().Name = "TitleBand1";
    EXPECT_EQ(CreateBand(*report, TRpBandType::rbTitle).Name, "TitleBand2");
    TRpShape& onReport = report->NewPrintable<TRpShape>();
    report->SetUnits(TRpUnit::Inches);
    EXPECT_EQ(band.Printables().front()->Size.Units, TRpUnit::Inches);
    EXPECT_EQ(onReport.Size.Units, TRpUnit::Inches);
    // A control placed on a band before the band has a report gets the report with the band.
    auto loose = std::make_unique<TRpBand>(TRpBandType::rbSummary);
    TRpShape& early = loose->NewPrintable<TRpShape>();
    EXPECT_EQ(early.ParentReport(), nullptr);
    report->InsertBand(std::move(loose));
    EXPECT_EQ(early.ParentReport(), report.get());
    // Taken off, it has none.
    std::unique_ptr<TRpPrintable> taken = band.TakePrintable(*band.Printables().front());
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(taken->ParentReport(), nullptr);
    EXPECT_EQ(taken->Parent(), nullptr);
    EXPECT_EQ(band.TakePrintable(*taken), nullptr);
}

TEST(Printable, IsEnabled)
{
    struct Row {
        bool enabled;
        bool visible;
        bool expected;
    };
    for (const Row& r :
         {Row{false, false, true}, Row{false, true, false}, Row{true, true, true}, Row{true, false, true}}) {
        TRpPrintable control;
        control.SetEnabled(r.enabled);
        control.Visible = r.visible;
        EXPECT_EQ(control.IsEnabled(), r.expected) << r.enabled << r.visible;
    }
}

TEST_F(PrintableTest, PrepareTakesThePrinterAndUnprepareDropsIt)
{
    Start(Device::Record96);
    TRpPrintable& control = band_->NewPrintable<TRpPrintable>();
    EXPECT_EQ(control.ParentReport(), report_.get());
    control.Prepare();
    EXPECT_TRUE(control.IsPrinting());
    EXPECT_EQ(control.RpPrinter(), printer_.get());
    control.Unprepare();
    EXPECT_FALSE(control.IsPrinting());
    EXPECT_EQ(control.RpPrinter(), nullptr);
    // Printed without a fresh Prepare, it draws nothing rather than use a freed printer object.
    control.Frame.SetDrawTop(true);
    control.Print(0, 0);
    EXPECT_TRUE(LinesStartingWith(RecordedTrace(), "FillRect").empty());
}

TEST_F(PrintableTest, FrameAt600Dpi)
{
    Start(Device::Printer600);
    TRpPrintable& control = band_->NewPrintable<TRpPrintable>();
    control.Size.ReadValues(kRowLabel);
    for (int side = 0; side < 4; ++side)
        control.Frame.SetDraw(side, true);
    control.Prepare();
    control.Print(100, 0);
    const QImage page = PrintedPage();
    ASSERT_EQ(page.width(), 2835);
    // DeviceX(100 + 119.0625) = 517, DeviceX(100 + 119.0625 + 817.5625) = 2449; 1 pt is 8 px.
    EXPECT_EQ(InkBounds(page), QRect(517, 0, 2449 - 517, 100));
    EXPECT_EQ(qGray(page.pixel(524, 50)), 0);
    EXPECT_EQ(qGray(page.pixel(525, 50)), 255);
}

TEST_F(PrintableTest, FrameOnTheRecordedPage)
{
    Start(Device::Record96);
    TRpPrintable& control = band_->NewPrintable<TRpPrintable>();
    control.Size.ReadValues(kRowLabel);
    control.Frame.SetDrawLeft(true);
    control.Frame.SetColor(qRgb(0x12, 0x34, 0x56));
    control.Prepare();
    control.Print(100, 200);
    // DeviceX(219.06) = 83, DeviceY(200) = 76, DeviceY(242.33) = 92.
    EXPECT_EQ(RecordedTrace(), std::vector<std::string>{"FillRect 83,76,84,92 brush=solid/#123456"});
}

TEST_F(PrintableTest, FramesThatDrawNothing)
{
    struct Row {
        const char* name;
        bool sides;
        bool exporting;
    };
    for (const Row& r : {Row{"no side, width 3", false, false}, Row{"all sides, export run", true, true}}) {
        SCOPED_TRACE(r.name);
        Start(Device::Record96);
        RecordingFilter filter;
        if (r.exporting)
            Export(filter);
        TRpPrintable& control = band_->NewPrintable<TRpPrintable>();
        control.Size.ReadValues(kRowLabel);
        control.Frame.SetWidth(3);
        for (int side = 0; side < 4; ++side)
            control.Frame.SetDraw(side, r.sides);
        control.Prepare();
        control.Print(100, 0);
        EXPECT_TRUE(RecordedTrace().empty());
        EXPECT_TRUE(filter.items.empty());
    }
}

}  // namespace
}  // namespace report::engine
