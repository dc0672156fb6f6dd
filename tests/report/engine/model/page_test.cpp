#include "report/engine/model/page.h"

#include "report/engine/run/report.h"
#include "report/output/printer/printer_service.h"
#include "report/output/printer/printer_settings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <vector>

namespace report::engine {
namespace {

using output::TRpPaperSize;

// Counts the hooks the page calls.
class HookReport : public TRpReport {
public:
    using TRpReport::TRpReport;
    void LayoutBands() override { ++layouts; }
    void Repaint() override { ++repaints; }
    void Reset() { layouts = repaints = 0; }
    int layouts = 0;
    int repaints = 0;
};

PaperSizeSource Paper(TRpPaperSize size)
{
    return [size] { return size; };
}

// Lengths in tenths of a millimetre, whatever the page's unit.
std::vector<long double> Tenths(const TRpPage& page) { return page.WriteValues(); }

void ExpectPaper(const TRpPage& page, long double width, long double length)
{
    const std::vector<long double> v = Tenths(page);
    EXPECT_NEAR(static_cast<double>(v[3]), static_cast<double>(width), 1e-9);
    EXPECT_NEAR(static_cast<double>(v[1]), static_cast<double>(length), 1e-9);
}

TEST(Page, MetricAndUSDefaults)
{
    const TRpPage metric(nullptr, false);
    EXPECT_EQ(metric.PaperSize(), TRpPaperSize::A4);
    EXPECT_EQ(metric.Units, TRpUnit::MM);
    EXPECT_EQ(metric.Columns(), 1);
    EXPECT_TRUE(metric.Ruler());
    EXPECT_FALSE(metric.Continuous);
    EXPECT_EQ(metric.Orientation(), TPrinterOrientation::poPortrait);
    EXPECT_EQ(Tenths(metric), (std::vector<long double>{100, 2970, 100, 2100, 100, 100, 0}));

    const TRpPage us(nullptr, true);
    EXPECT_EQ(us.PaperSize(), TRpPaperSize::Letter);
    EXPECT_EQ(us.Units, TRpUnit::Inches);
    ExpectPaper(us, 2159, 2794);
    const std::vector<long double> v = Tenths(us);
    for (int i : {0, 2, 4, 5})
        EXPECT_NEAR(static_cast<double>(v[static_cast<std::size_t>(i)]), 127.0, 1e-12) << i;
    EXPECT_EQ(v[6], 0);
    EXPECT_NEAR(static_cast<double>(us.LeftMargin()), 0.5, 1e-12);
    EXPECT_NEAR(static_cast<double>(us.Width()), 8.5, 1e-12);
}

TEST(Page, ReportTakesTheDefaultPrinterPaper)
{
    struct Row {
        TRpPaperSize printer;
        long double width;
        long double length;
    };
    for (const Row& r : {Row{TRpPaperSize::A5, 1480, 2100}, Row{TRpPaperSize::Letter, 2159, 2794},
                         Row{TRpPaperSize::Default, 2100, 2970}}) {
        SCOPED_TRACE(static_cast<int>(r.printer));
        const TRpReport report(Paper(r.printer), false);
        EXPECT_EQ(report.Page.PaperSize(), r.printer);
        ExpectPaper(report.Page, r.width, r.length);
        EXPECT_EQ(report.GetUnits(), TRpUnit::MM);
    }
    const TRpReport noPrinter(Paper(TRpPaperSize::Default), false);
    EXPECT_EQ(noPrinter.Page.PaperSize(), TRpPaperSize::Default);
    ExpectPaper(noPrinter.Page, 2100, 2970);
    EXPECT_EQ(noPrinter.Font.face, "Arial");
    EXPECT_EQ(noPrinter.Font.points, 10);
}

// One printer, "Office", whose settings name `paperCode` (none: it declares no paper).
class OnePrinterService : public output::PrinterService {
public:
    explicit OnePrinterService(std::optional<int> paperCode) : paperCode_(paperCode) {}
    QStringList PrinterNames() override { return {"Office"}; }
    QString DefaultPrinterName() override { return "Office"; }
    std::optional<output::DevMode> DefaultDevMode(const QString& name) override
    {
        if (name != "Office")
            return std::nullopt;
        output::DevMode devMode;
        if (paperCode_) {
            devMode.fields = output::kDmPaperSize;
            devMode.paperSize = *paperCode_;
        }
        return devMode;
    }
    std::optional<output::DeviceCaps> Capabilities(const QString&, const output::DevMode&) override
    {
        return output::DeviceCaps{600, 600, 4961, 7016, 0, 0};
    }
    std::optional<std::vector<int>> PaperCodes(const QString&) override { return std::nullopt; }
    std::unique_ptr<output::PrintJob> StartJob(const QString&, const output::DevMode&, const QString&,
                                               const QString&) override
    {
        return nullptr;
    }

private:
    std::optional<int> paperCode_;
};

TEST(Page, NewReportTakesTheSharedPrinterPaper)
{
    struct Row {
        std::optional<int> code;
        TRpPaperSize paper;
        long double width;
    };
    const Row rows[] = {
        {11, TRpPaperSize::A5, 1480},
        {1, TRpPaperSize::Letter, 2159},
        {std::nullopt, TRpPaperSize::Default, 2100},
        {999, TRpPaperSize::Default, 2100},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.code.value_or(-1));
        std::unique_ptr<output::PrinterService> previous =
            output::InstallPrinterService(std::make_unique<OnePrinterService>(r.code));
        {
            const TRpReport report({}, false);
            EXPECT_EQ(report.Page.PaperSize(), r.paper);
            EXPECT_NEAR(static_cast<double>(report.Page.WriteValues()[3]), static_cast<double>(r.width), 1e-9);
        }
        output::InstallPrinterService(std::move(previous));
    }
}

TEST(Page, ReportPixelSizeFollowsPaperAndZoom)
{
    TRpReport report(Paper(TRpPaperSize::A4), false);
    EXPECT_EQ(report.PixelSize, QSize(794, 1123));
    report.Page.SetOrientation(TPrinterOrientation::poLandscape);
    EXPECT_EQ(report.PixelSize, QSize(1123, 794));
    report.SetZoom(200);
    EXPECT_EQ(report.Zoom(), 200);
    EXPECT_EQ(report.Page.Zoom, 200);
    EXPECT_EQ(report.PixelSize, QSize(2245, 1587));
    for (int refused : {0, 301, -5}) {
        report.SetZoom(refused);
        EXPECT_EQ(report.Zoom(), 200) << refused;
    }
    report.SetZoom(1);
    EXPECT_EQ(report.PixelSize, QSize(11, 8));
    report.SetZoom(300);
    EXPECT_EQ(report.Page.Zoom, 300);
}

TEST(Page, SetValueTable)
{
    struct Row {
        const char* name;
        TRpPaperSize paper;
        int index;
        long double value;  // millimetres
        bool taken;
        int layouts;
        int repaints;
    };
    const Row rows[] = {
        {"bottom margin", TRpPaperSize::A4, 0, 15, true, 1, 0},
        {"length on A4", TRpPaperSize::A4, 1, 100, false, 0, 0},
        {"length on custom paper", TRpPaperSize::Custom, 1, 100, true, 1, 0},
        {"top margin", TRpPaperSize::A4, 2, 15, true, 1, 1},
        {"width on A4", TRpPaperSize::A4, 3, 100, false, 0, 0},
        {"width on custom paper", TRpPaperSize::Custom, 3, 100, true, 1, 0},
        {"left margin", TRpPaperSize::A4, 4, 15, true, 1, 1},
        {"right margin", TRpPaperSize::A4, 5, 15, true, 1, 1},
        {"column space", TRpPaperSize::A4, 6, 15, true, 1, 1},
        {"index 7", TRpPaperSize::Custom, 7, 15, false, 0, 0},
        {"index -1", TRpPaperSize::Custom, -1, 15, false, 0, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        HookReport report(Paper(TRpPaperSize::A4), false);
        report.Page.SetPaperSize(r.paper);
        const std::vector<long double> before = Tenths(report.Page);
        report.Reset();
        report.Page.SetValue(r.index, r.value);
        std::vector<long double> expected = before;
        if (r.taken)
            expected[static_cast<std::size_t>(r.index)] = r.value * 10;
        EXPECT_EQ(Tenths(report.Page), expected);
        EXPECT_EQ(report.layouts, r.layouts);
        EXPECT_EQ(report.repaints, r.repaints);
    }
}

TEST(Page, PaperWidthTakesOnlyOnCustomPaper)
{
    HookReport report(Paper(TRpPaperSize::A4), false);
    report.Page.SetValue(3, 100);
    ExpectPaper(report.Page, 2100, 2970);
    report.Page.SetPaperSize(TRpPaperSize::Custom);
    ExpectPaper(report.Page, 2100, 2970);
    report.Page.SetValue(3, 100);
    ExpectPaper(report.Page, 1000, 2970);
    EXPECT_EQ(report.PixelSize, QSize(378, 1123));
}

TEST(Page, OrientationAndPaper)
{
    TRpReport report(Paper(TRpPaperSize::A4), false);
    TRpPage& page = report.Page;
    page.SetOrientation(TPrinterOrientation::poLandscape);
    EXPECT_EQ(page.Orientation(), TPrinterOrientation::poLandscape);
    EXPECT_EQ(report.PrinterSettings.Orientation, TPrinterOrientation::poLandscape);
    EXPECT_EQ(page.PaperSize(), TRpPaperSize::A4);
    ExpectPaper(page, 2970, 2100);
    page.SetPaperSize(TRpPaperSize::A5);
    EXPECT_EQ(page.PaperSize(), TRpPaperSize::A5);
    ExpectPaper(page, 2100, 1480);
    EXPECT_EQ(page.Units, TRpUnit::MM);
    page.SetOrientation(TPrinterOrientation::poPortrait);
    ExpectPaper(page, 1480, 2100);
    EXPECT_EQ(report.PrinterSettings.Orientation, TPrinterOrientation::poPortrait);
    // Default and Custom keep the lengths.
    page.SetPaperSize(TRpPaperSize::Default);
    ExpectPaper(page, 1480, 2100);
    EXPECT_EQ(page.PaperSize(), TRpPaperSize::Default);
}

TEST(Page, CustomPaperTurnsAndTurnsBack)
{
    TRpReport report(Paper(TRpPaperSize::Custom), false);
    TRpPage& page = report.Page;
    page.SetWidth(100);
    page.SetLength(200);
    ExpectPaper(page, 1000, 2000);
    page.SetOrientation(TPrinterOrientation::poLandscape);
    ExpectPaper(page, 2000, 1000);
    EXPECT_EQ(report.PixelSize, QSize(756, 378));
    page.SetOrientation(TPrinterOrientation::poLandscape);
    ExpectPaper(page, 2000, 1000);
    page.SetOrientation(TPrinterOrientation::poPortrait);
    ExpectPaper(page, 1000, 2000);
    EXPECT_EQ(page.PaperSize(), TRpPaperSize::Custom);
}

TEST(Page, PaperSizeKeepsTheUnit)
{
    TRpReport report(Paper(TRpPaperSize::A4), false);
    report.SetUnits(TRpUnit::Inches);
    report.Page.SetPaperSize(TRpPaperSize::Letter);
    EXPECT_EQ(report.GetUnits(), TRpUnit::Inches);
    EXPECT_NEAR(static_cast<double>(report.Page.Width()), 8.5, 1e-12);
    EXPECT_NEAR(static_cast<double>(report.Page.Length()), 11.0, 1e-12);
}

TEST(Page, Columns)
{
    HookReport report(Paper(TRpPaperSize::A4), false);
    struct Step {
        int set;
        int columns;
        int layouts;
    };
    const Step steps[] = {{0, 1, 0}, {-3, 1, 0}, {1, 1, 0}, {2, 2, 1}, {2, 2, 0}, {0, 2, 0}};
    for (const Step& s : steps) {
        SCOPED_TRACE(s.set);
        report.Reset();
        report.Page.SetColumns(s.set);
        EXPECT_EQ(report.Page.Columns(), s.columns);
        EXPECT_EQ(report.layouts, s.layouts);
        EXPECT_EQ(report.repaints, s.layouts);
    }
}

TEST(Page, RulerNeedsAReport)
{
    TRpPage alone(nullptr, false);
    alone.SetRuler(false);
    EXPECT_TRUE(alone.Ruler());
    HookReport report(Paper(TRpPaperSize::A4), false);
    report.Reset();
    report.Page.SetRuler(false);
    EXPECT_FALSE(report.Page.Ruler());
    EXPECT_EQ(report.repaints, 2);  // the page, then its unit set again
    report.Reset();
    report.Page.SetRuler(false);
    EXPECT_EQ(report.repaints, 0);
}

TEST(Page, OtherIndicesReadColumnSpace)
{
    TRpReport report(Paper(TRpPaperSize::A4), false);
    report.Page.SetColumnSpace(2.5L);
    for (int index : {6, 7, -1, 100}) {
        EXPECT_NEAR(static_cast<double>(report.Page.GetValue(index)), 2.5, 1e-12) << index;
    }
    report.Font.points = 10;
    report.SetUnits(TRpUnit::Characters);
    EXPECT_NEAR(static_cast<double>(report.Page.GetValue(7)), 25 / 31.496062992125984, 1e-9);
}

TEST(Page, CharactersAcrossAndDown)
{
    TRpReport report(Paper(TRpPaperSize::A4), false);
    report.Font.points = 10;
    report.SetUnits(TRpUnit::Characters);
    // Left margin (index 4) is measured across, top margin (index 2) down; both hold 100.
    EXPECT_NEAR(static_cast<double>(report.Page.GetValue(4)), 100 / 31.496062992125984, 1e-9);
    EXPECT_NEAR(static_cast<double>(report.Page.GetValue(2)), 100 / 57.204724409448819, 1e-9);
    EXPECT_NEAR(static_cast<double>(report.Page.GetValue(0)), 100 / 57.204724409448819, 1e-9);
    EXPECT_NEAR(static_cast<double>(report.Page.GetValue(5)), 100 / 31.496062992125984, 1e-9);
}

TEST(Page, ProgramValueListRoundTrips)
{
    const std::vector<long double> program{100, 2970, 100, 2100, 100, 60, 0};
    TRpReport report(Paper(TRpPaperSize::Letter), false);
    report.Page.ReadValues(program);
    EXPECT_EQ(report.Page.WriteValues(), program);
    EXPECT_EQ(report.PixelSize, QSize(794, 1123));
    const double mm[] = {10, 297, 10, 210, 10, 6, 0};
    for (int i = 0; i < 7; ++i) {
        EXPECT_NEAR(static_cast<double>(report.Page.GetValue(i)), mm[i], 1e-12) << i;
    }
}

TEST(Page, ValueListTakesAtMostSevenNumbers)
{
    TRpPage page(nullptr, false);
    page.ReadValues(std::vector<long double>{1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_EQ(page.WriteValues(), (std::vector<long double>{1, 2, 3, 4, 5, 6, 7}));
    page.ReadValues(std::vector<long double>{50, 60});
    EXPECT_EQ(page.WriteValues(), (std::vector<long double>{50, 60, 3, 4, 5, 6, 7}));
}

}  // namespace
}  // namespace report::engine
