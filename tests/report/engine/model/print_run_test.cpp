// The run a report prints through: attached while it lives, the one before it back when it ends
// in whatever order the runs end; what the controls and bands take from it.
#include "report/engine/model/print_run.h"

#include "report/engine/model/printable.h"
#include "report/engine/model/report_bands.h"
#include "report/engine/model/report_model.h"
#include "report/output/printer/rp_printer.h"
#include "tests/report/engine/model/fixed_run.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace report::engine {
namespace {

using enginetest::FixedRun;

PaperSizeSource A4()
{
    return [] { return output::TRpPaperSize::A4; };
}

TEST(PrintRun, TheLatestRunIsTheReportsUntilItEndsInAnyOrder)
{
    TRpReportModel report(A4(), false);
    output::TRpPrinter printer;
    EXPECT_EQ(report.PrintRun(), nullptr);
    struct Case {
        const char* name;
        bool middleEndsFirst;
    };
    for (const Case c : {Case{"the last ends first", false}, Case{"a middle one ends first", true}}) {
        SCOPED_TRACE(c.name);
        std::optional<FixedRun> first(std::in_place, report, printer);
        std::optional<FixedRun> second(std::in_place, report, printer);
        std::optional<FixedRun> third(std::in_place, report, printer);
        EXPECT_EQ(report.PrintRun(), &*third);
        third.reset();
        EXPECT_EQ(report.PrintRun(), &*second);
        third.emplace(report, printer);
        if (c.middleEndsFirst) {
            // The middle one ends under a later one: the later one then gives way to the first.
            second.reset();
            EXPECT_EQ(report.PrintRun(), &*third);
            third.reset();
            EXPECT_EQ(report.PrintRun(), &*first);
            first.reset();
        } else {
            third.reset();
            second.reset();
            EXPECT_EQ(report.PrintRun(), &*first);
            first.reset();
        }
        EXPECT_EQ(report.PrintRun(), nullptr);
    }
}

TEST(PrintRun, ControlsPrintWithTheRunTheyWerePreparedIn)
{
    TRpReportModel report(A4(), false);
    TRpPrintable& control = report.NewPrintable<TRpPrintable>();
    output::TRpPrinter printer;
    control.Prepare();
    // Prepared outside a run, it has nothing to print with.
    EXPECT_EQ(control.PrintRun(), nullptr);
    EXPECT_EQ(control.RpPrinter(), nullptr);
    control.Unprepare();
    auto run = std::make_unique<FixedRun>(report, printer);
    control.Prepare();
    EXPECT_EQ(control.PrintRun(), run.get());
    EXPECT_EQ(control.RpPrinter(), &printer);
    control.Unprepare();
    EXPECT_EQ(control.PrintRun(), nullptr);
    EXPECT_EQ(control.RpPrinter(), nullptr);
}

TEST(PrintRun, BandsGrowWithinTheRoomTheRunLeaves)
{
    TRpReportModel report(A4(), false);
    TRpBand& band = CreateBand(report, TRpBandType::rbDetail);
    const long double height[] = {42.3L};
    band.Size.ReadValues(height);
    // round(42.3 + Expanded + extra) against the room; no run, no room.
    EXPECT_FALSE(band.CanExpand(0));
    output::TRpPrinter printer;
    FixedRun run(report, printer);
    struct Case {
        std::int32_t space;
        long double expanded;
        long double extra;
        bool can;
    };
    const Case cases[] = {
        {42, 0, 0, true}, {42, 0, 0.3L, false}, {100, 29.1L, 28.6L, true}, {100, 29.1L, 29.2L, false}};
    for (const Case& c : cases) {
        run.space = c.space;
        run.SetExpanded(band, c.expanded);
        EXPECT_EQ(band.CanExpand(c.extra), c.can) << c.space << ' ' << static_cast<double>(c.extra);
    }
}

}  // namespace
}  // namespace report::engine
