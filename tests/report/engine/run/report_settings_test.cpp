// What a run takes from the report and leaves in it: the page background picture, margins that
// do not fit, the printer settings, the values the computed controls read, page 1 kept for the
// design view, zoom, and the design scheme chosen at start-up.
#include "report/engine/controls/expr_print.h"
#include "report/engine/controls/image.h"
#include "report/engine/model/report_unit.h"
#include "report/engine/run/report_window.h"
#include "tests/report/engine/model/printable_fixture.h"
#include "tests/report/engine/run/run_fixture.h"

#include <gtest/gtest.h>

namespace enginetest {
namespace {

using report::engine::TCustomRpReport;
using report::engine::TRpImage;
using report::engine::TRpRunResult;
using report::engine::TRpUnit;
using report::output::ExportPicture;
using report::output::TRpPrinter;

class ReportSettingsTest : public RunTest {};

// Keeps every control handed over.
class PictureFilter : public CallFilter {
public:
    void ExportControl(const report::output::ExportedControl& control, long double x, long double y) override
    {
        if (const auto* picture = std::get_if<ExportPicture>(&control))
            pictures.push_back({*picture, x, y});
    }
    struct Item {
        ExportPicture picture;
        long double x;
        long double y;
    };
    std::vector<Item> pictures;
};

TEST_F(ReportSettingsTest, TheBackImageIsTheControlNamedAndOnlyThatOne)
{
    struct Case {
        const char* control;
        std::vector<const char*> images;
        int found;  // index of the image that becomes BackImage; -1 none
    };
    const Case cases[] = {
        {"", {"", "Tlo"}, -1},
        {"Tlo", {"Tlo", "Logo", "Tlo"}, 2},
        {"Logo", {"Tlo", "Logo"}, 1},
        {"Brak", {"Tlo"}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        Build();
        rows_ = 1;
        needData_ = 0;
        std::vector<TRpImage*> images;
        for (const char* name : c.images) {
            TRpImage& image = report_->NewPrintable<TRpImage>();
            image.Name = name;
            images.push_back(&image);
        }
        report_->BackImageControl = c.control;
        ASSERT_EQ(report_->PreviewReport(), TRpRunResult::Done);
        EXPECT_EQ(report_->BackImage(), c.found < 0 ? nullptr : images[static_cast<std::size_t>(c.found)]);
        report_.reset();
    }
}

TEST_F(ReportSettingsTest, TheBackImageIsDrawnOncePerPageAndNotAsAPageControl)
{
    Build();
    rows_ = 120;
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(qRgb(200, 10, 10));
    TRpImage& image = report_->NewPrintable<TRpImage>();
    image.Name = "Tlo";
    image.SetPicture(picture);
    const long double box[] = {1000, 100, 200, 1500};  // height, left, top, width (0.1 mm)
    image.Size.ReadValues(box);
    report_->BackImageControl = "Tlo";
    PictureFilter filter;
    ASSERT_EQ(report_->ExportWithFilter(filter), TRpRunResult::Done);
    ASSERT_EQ(filter.pictures.size(), 2u);
    for (const PictureFilter::Item& item : filter.pictures) {
        EXPECT_EQ(item.picture.pixels, picture);
        EXPECT_TRUE(item.picture.Stretch);
        // 96 dpi: 100 and 200 tenths of a millimetre are 38 and 76 pixels; 1500 x 1000 is 567 x 378.
        EXPECT_EQ(item.x, 38);
        EXPECT_EQ(item.y, 76);
        EXPECT_EQ(item.picture.rect, QRect(38, 76, 567, 378));
    }
}

TEST_F(ReportSettingsTest, MarginsWiderThanThePageBecomeNought)
{
    struct Case {
        long double left, right, top, bottom;
        long double leftAfter, rightAfter, topAfter, bottomAfter;
    };
    // Millimetres on A4 (210 x 297).
    const Case cases[] = {
        {150, 70, 10, 10, 0, 0, 10, 10},
        {10, 6, 200, 100, 10, 6, 0, 0},
        {105, 105, 10, 10, 105, 105, 10, 10},
    };
    for (const Case& c : cases) {
        Build();
        rows_ = 0;
        needData_ = 0;
        auto& page = report_->Page;
        page.SetLeftMargin(c.left);
        page.SetRightMargin(c.right);
        page.SetTopMargin(c.top);
        page.SetBottomMargin(c.bottom);
        ASSERT_EQ(report_->PreviewReport(), TRpRunResult::Done);
        EXPECT_EQ(page.LeftMargin(), c.leftAfter);
        EXPECT_EQ(page.RightMargin(), c.rightAfter);
        EXPECT_EQ(page.TopMargin(), c.topAfter);
        EXPECT_EQ(page.BottomMargin(), c.bottomAfter);
        EXPECT_EQ(report_->GetUnits(), TRpUnit::MM);
        report_.reset();
    }
}

TEST_F(ReportSettingsTest, ThePrinterObjectTakesThePageAndThePrinterChoices)
{
    Build();
    report_->PrinterSettings.FirstPage = 2;
    report_->PrinterSettings.LastPage = 3;
    report_->PrinterSettings.Copies = 2;
    report_->Page.SetPaperSize(report::output::TRpPaperSize::Custom);
    report_->Page.SetWidth(100);
    report_->Page.SetLength(150);
    report_->Page.SetOrientation(report::engine::TPrinterOrientation::poLandscape);
    TRpPrinter printer(&report_->Window());
    report_->RpPrinter = &printer;
    report_->ApplyPrinterSettings();
    EXPECT_EQ(printer.FirstPage(), 2);
    EXPECT_EQ(printer.LastPage(), 3);
    EXPECT_EQ(printer.Settings().Copies(), 2);
    EXPECT_EQ(printer.AppliedSettings().FirstPage, 2);
    EXPECT_EQ(printer.AppliedSettings().LastPage, 3);
    EXPECT_EQ(printer.GetPaperSize(), report::output::TRpPaperSize::Custom);
    EXPECT_EQ(printer.GetOrientation(), 1);
    // The page is 1500 x 1000 across; the paper is given upright.
    EXPECT_EQ(printer.GetPaperWidth(), 1000);
    EXPECT_EQ(printer.GetPaperLength(), 1500);
    EXPECT_EQ(printer.GetPageWidth(), 1500);
    report_->RpPrinter = nullptr;
}

TEST_F(ReportSettingsTest, RunValuesExistOnlyDuringARun)
{
    Build();
    rows_ = 3;
    report_->ReportTitle = "Lista";
    std::vector<std::string> seen;
    onNeedData_ = [&](int call) {
        report::engine::TRpReportValues* values = report_->RunValues();
        ASSERT_NE(values, nullptr);
        seen.push_back(std::to_string(values->PageNumber()) + " " + values->ReportTitle() + " " +
                       std::to_string(values->RecordNumber().value_or(-1)) + "/" +
                       std::to_string(values->RecordCount().value_or(-1)) + " " +
                       values->Functions()->GetValue("REPORTTITLE").StringValue);
        static_cast<void>(call);
    };
    EXPECT_EQ(report_->RunValues(), nullptr);
    ASSERT_EQ(report_->PreviewReport(), TRpRunResult::Done);
    const std::vector<std::string> expected{"0 Lista 0/1 Lista", "1 Lista 1/1 Lista", "1 Lista 2/1 Lista",
                                            "1 Lista 3/1 Lista"};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(report_->RunValues(), nullptr);
}

TEST_F(ReportSettingsTest, PageOneIsKeptForTheDesignViewOnTheFirstFinishedPage)
{
    Build();
    TRpPrinter printer;
    printer.BeginDoc();
    printer.NewPage();
    printer.GetCanvas()->FillRect(QRect(0, 0, 50, 50));
    printer.NewPage();
    printer.EndDoc();
    report_->FinishedPagesMessage(printer, 2);
    EXPECT_TRUE(report_->PageImage.isNull());
    report_->FinishedPagesMessage(printer, 1);
    ASSERT_FALSE(report_->PageImage.isNull());
    EXPECT_EQ(report_->PageImage.size(), report_->PixelSize);
    EXPECT_TRUE(report_->RepaintPending);
    // The next run drops it.
    rows_ = 0;
    ASSERT_EQ(report_->PreviewReport(), TRpRunResult::Done);
    EXPECT_TRUE(report_->PageImage.isNull());
}

TEST_F(ReportSettingsTest, ZoomAndPreviewSizeReadAsTheComponentHasThem)
{
    Build();
    const std::pair<int, int> zooms[] = {{0, 100}, {301, 100}, {1, 1}, {300, 300}, {-5, 300}};
    for (const auto& [zoom, expected] : zooms) {
        report_->SetZoom(zoom);
        EXPECT_EQ(report_->Zoom(), expected) << zoom;
    }
    EXPECT_EQ(report_->Window().PreviewOptions().Zoom, 300);
    EXPECT_EQ(report_->PreviewWidthOrDefault(), 500);
    report_->PreviewWidth = 640;
    EXPECT_EQ(report_->PreviewWidthOrDefault(), 640);
    EXPECT_EQ(report_->Window().PreviewOptions().PreviewWidth, 640);
    EXPECT_TRUE(report_->PrintIfEmpty());
    report_->SetPrintIfEmpty(false);
    EXPECT_FALSE(report_->Controller().PrintIfEmpty);
}

TEST_F(ReportSettingsTest, TheDesignSchemeFollowsTheDisplaysColours)
{
    struct Case {
        int bits;
        int colors;
        bool palette;
    };
    const Case cases[] = {{1, 2, true},    {4, 16, true},   {8, 256, true},
                          {16, -1, false}, {24, -1, false}, {32, -1, false}};
    const report::engine::TRpDesignScheme palette = report::engine::PaletteDesignScheme();
    for (const Case& c : cases) {
        EXPECT_EQ(report::engine::DisplayColorCount(c.bits), c.colors) << c.bits;
        const report::engine::TRpDesignScheme scheme = report::engine::DesignSchemeFor(c.colors);
        EXPECT_EQ(scheme.lightGridColor, c.palette ? qRgb(192, 192, 192) : qRgb(249, 249, 249)) << c.bits;
        EXPECT_EQ(scheme.marginStyle, c.palette ? palette.marginStyle : report::output::PenStyle::Dot) << c.bits;
    }
    EXPECT_EQ(report::engine::DesignSchemeFor(0).outlineColor, qRgb(128, 128, 128));
    EXPECT_EQ(report::engine::DesignSchemeFor(257).outlineColor, qRgb(96, 96, 96));
}

TEST_F(ReportSettingsTest, StartUpIsCountedAndTheReportTakesItsScheme)
{
    ASSERT_FALSE(report::engine::ReportUnitInitialized());
    report::engine::InitializeReportUnit();
    report::engine::InitializeReportUnit();
    EXPECT_TRUE(report::engine::ReportUnitInitialized());
    EXPECT_FALSE(report::engine::SystemLocaleName().isEmpty());
    Build();
    EXPECT_EQ(report_->DesignScheme.lightGridColor, report::engine::CurrentDesignScheme().lightGridColor);
    report::engine::FinalizeReportUnit();
    EXPECT_TRUE(report::engine::ReportUnitInitialized());
    report::engine::FinalizeReportUnit();
    EXPECT_FALSE(report::engine::ReportUnitInitialized());
    EXPECT_TRUE(report::engine::SystemLocaleName().isEmpty());
}

}  // namespace
}  // namespace enginetest
