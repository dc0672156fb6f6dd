#include "report/engine/model/units.h"

#include "report/engine/model/band_size.h"
#include "report/engine/run/report.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace report::engine {
namespace {

constexpr long double kTableTolerance = 5e-5L;

const char* UnitName(TRpUnit unit)
{
    switch (unit) {
    case TRpUnit::MM:
        return "MM";
    case TRpUnit::Inches:
        return "Inches";
    case TRpUnit::Pixels:
        return "Pixels";
    case TRpUnit::Characters:
        return "Characters";
    case TRpUnit::Native:
        return "Native";
    }
    return "?";
}

// A value set through a band size in `unit` is stored in tenths of a millimetre and reads back.
TEST(ReportUnits, ValueSetStoredAndRead)
{
    struct Row {
        const char* name;
        TRpUnit unit;
        int fontSize;  // 0: the size has no report
        bool horizontal;
        long double in;
        long double stored;
    };
    const Row rows[] = {
        {"millimetres", TRpUnit::MM, 10, false, 297, 2970},
        {"inches", TRpUnit::Inches, 10, false, 11, 2794},
        {"characters across", TRpUnit::Characters, 10, true, 1, 31.4961L},
        {"characters down", TRpUnit::Characters, 10, false, 1, 57.2047L},
        {"characters across, negative font size", TRpUnit::Characters, -10, true, 1, 31.4961L},
        {"characters down, negative font size", TRpUnit::Characters, -10, false, 1, 57.2047L},
        {"characters across, no report", TRpUnit::Characters, 0, true, 1, 31.4961L},
        {"characters down, no report", TRpUnit::Characters, 0, false, 1, 57.2047L},
        {"characters across, font size 20", TRpUnit::Characters, 20, true, 2, 31.4961L},
        {"native", TRpUnit::Native, 10, false, 123.4L, 123.4L},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        TRpReport report([] { return output::TRpPaperSize::A4; }, false);
        report.Font.points = r.fontSize;
        TRpBandSize size(false);
        if (r.fontSize != 0)
            size.ParentReport = &report;
        size.Units = r.unit;
        const int index = r.horizontal ? 1 : 0;
        size.SetValue(index, r.in);
        EXPECT_NEAR(static_cast<double>(r.horizontal ? size.Width : size.Height), static_cast<double>(r.stored),
                    static_cast<double>(kTableTolerance));
        EXPECT_NEAR(static_cast<double>(size.GetValue(index)), static_cast<double>(r.in), 1e-12);
    }
}

TEST(ReportUnits, PixelsFollowTheFixedDeviceAndTheZoom)
{
    struct Row {
        std::int32_t zoom;
        long double read;
    };
    for (const Row& r : {Row{100, 1122.5197L}, Row{200, 2245.0394L}, Row{50, 561.2598L}}) {
        SCOPED_TRACE(r.zoom);
        TRpUnitBase holder(false);
        holder.Zoom = r.zoom;
        EXPECT_NEAR(static_cast<double>(holder.ToUnits(TRpUnit::Pixels, false, 2970)), static_cast<double>(r.read),
                    static_cast<double>(kTableTolerance));
        EXPECT_NEAR(static_cast<double>(holder.FromUnits(TRpUnit::Pixels, true, r.read)), 2970.0, 1e-3);
    }
}

TEST(ReportUnits, ReportFontOfSizeZeroCountsAsTen)
{
    TRpReport report([] { return output::TRpPaperSize::A4; }, false);
    report.Font.points = 0;
    TRpUnitBase holder(false);
    holder.ParentReport = &report;
    const long double across = holder.FromUnits(TRpUnit::Characters, true, 1);
    const long double down = holder.FromUnits(TRpUnit::Characters, false, 1);
    EXPECT_TRUE(std::isfinite(across));
    EXPECT_NEAR(static_cast<double>(across), 31.4961, 5e-5);
    EXPECT_NEAR(static_cast<double>(down), 57.2047, 5e-5);
    EXPECT_NEAR(static_cast<double>(holder.ToUnits(TRpUnit::Characters, true, across)), 1.0, 1e-12);
}

TEST(ReportUnits, RoundTripInEveryUnit)
{
    TRpReport report([] { return output::TRpPaperSize::A4; }, false);
    report.Font.points = 7;
    const TRpUnit units[] = {TRpUnit::MM, TRpUnit::Inches, TRpUnit::Pixels, TRpUnit::Characters, TRpUnit::Native};
    const long double values[] = {0, 0.1L, 1, 42.3L, 297, 2970, 12345.678L, -55.5L};
    for (std::int32_t zoom : {100, 37, 300}) {
        TRpUnitBase holder(false);
        holder.ParentReport = &report;
        holder.Zoom = zoom;
        for (TRpUnit unit : units) {
            for (bool horizontal : {false, true}) {
                for (long double v : values) {
                    SCOPED_TRACE(std::string(UnitName(unit)) + " zoom " + std::to_string(zoom) + " value " +
                                 std::to_string(static_cast<double>(v)) + (horizontal ? " across" : " down"));
                    const long double there = holder.ToUnits(unit, horizontal, v);
                    EXPECT_NEAR(static_cast<double>(holder.FromUnits(unit, horizontal, there)), static_cast<double>(v),
                                1e-9);
                    const long double back = holder.FromUnits(unit, horizontal, v);
                    EXPECT_NEAR(static_cast<double>(holder.ToUnits(unit, horizontal, back)), static_cast<double>(v),
                                1e-9);
                }
            }
        }
    }
}

TEST(ReportUnits, CreationFollowsTheMeasurementSystem)
{
    const TRpUnitBase metric(false);
    EXPECT_EQ(metric.Units, TRpUnit::MM);
    EXPECT_EQ(metric.SavedUnits, TRpUnit::MM);
    EXPECT_EQ(metric.Zoom, 100);
    EXPECT_FALSE(metric.Updating);
    EXPECT_EQ(metric.ParentReport, nullptr);
    EXPECT_EQ(TRpUnitBase::ScreenDPI, 96);
    const TRpUnitBase us(true);
    EXPECT_EQ(us.Units, TRpUnit::Inches);
    EXPECT_EQ(us.SavedUnits, TRpUnit::Inches);
}

TEST(ReportUnits, PixelsAreSetAsideAndBroughtBack)
{
    TRpUnitBase holder(false);
    holder.SetUnits(TRpUnit::Characters);
    EXPECT_EQ(holder.GetUnits(), TRpUnit::Characters);
    holder.BeginPixels();
    EXPECT_EQ(holder.Units, TRpUnit::Pixels);
    EXPECT_EQ(holder.SavedUnits, TRpUnit::Characters);
    holder.Units = TRpUnit::MM;
    holder.EndPixels();
    EXPECT_EQ(holder.Units, TRpUnit::Characters);
}

TEST(ReportUnits, MakeUniqueNameTakesTheSmallestFreeNumber)
{
    struct Row {
        std::vector<std::string> names;
        const char* prefix;
        const char* expected;
    };
    const Row rows[] = {
        {{}, "DetailBand", "DetailBand1"},
        {{"DetailBand1", "DetailBand2", "DetailBand4"}, "DetailBand", "DetailBand3"},
        {{"detailband1", "DETAILBAND2"}, "DetailBand", "DetailBand3"},
        {{"ChildBand1", "DetailBand"}, "DetailBand", "DetailBand1"},
        {{"TRpLabel1", "RpLabel10"}, "RpLabel", "RpLabel1"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.expected);
        EXPECT_EQ(MakeUniqueName(r.names, r.prefix), r.expected);
    }
}

}  // namespace
}  // namespace report::engine
