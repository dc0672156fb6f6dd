// Prints the activity list's bands (Title with child, column header, Detail rows with a box,
// Summary, page footer with child) into the page recorder, two columns per A4 page, and gives
// rows per second for 1,000, 10,000 and 100,000 rows; then a whole preview run of 10,000 rows
// fed by OnNeedData (data loop, window messages before every row, recording), per row.
// Usage: band_print_bench
#include "report/engine/controls/shape.h"
#include "report/engine/printing/paging.h"
#include "report/engine/run/report.h"
#include "report/output/printer/paper_sizes.h"
#include "report/output/printer/rp_printer.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <memory>

namespace {

using namespace report::engine;
using Clock = std::chrono::steady_clock;

TRpCustomBand& AddBand(TRpReport& report, TRpBandType type, long double height, long double width,
                       TRpCustomBand* parent)
{
    std::unique_ptr<TRpCustomBand> band;
    if (parent != nullptr) {
        auto child = std::make_unique<TRpChildBand>();
        child->SetParentBand(parent);
        band = std::move(child);
    } else {
        band = std::make_unique<TRpBand>(type);
    }
    const long double values[] = {height, width};
    band->Size.ReadValues(values);
    TRpCustomBand& placed = report.InsertBand(std::move(band));
    auto& box = placed.NewPrintable<TRpShape>();
    const long double place[] = {30, 10, 5, 600};
    box.Size.ReadValues(place);
    return placed;
}

void BuildReport(TRpReport& report)
{
    report.Page.SetUnits(TRpUnit::MM);
    report.Page.SetLeftMargin(10);
    report.Page.SetRightMargin(6);
    report.Page.SetTopMargin(10);
    report.Page.SetBottomMargin(10);
    report.Page.SetColumns(2);
    report.Page.SetColumnSpace(0);
    TRpCustomBand& title = AddBand(report, TRpBandType::rbTitle, 365.1L, 1942, nullptr);
    AddBand(report, TRpBandType::rbChild, 68.8L, 1942, &title);
    AddBand(report, TRpBandType::rbColumnHeader, 7.9L, 971, nullptr);
    AddBand(report, TRpBandType::rbDetail, 42.3L, 971.02L, nullptr);
    TRpCustomBand& summary = AddBand(report, TRpBandType::rbSummary, 55.6L, 971, nullptr);
    AddBand(report, TRpBandType::rbChild, 50.3L, 971, &summary);
    TRpCustomBand& footer = AddBand(report, TRpBandType::rbPageFooter, 42.3L, 1942, nullptr);
    AddBand(report, TRpBandType::rbChild, 15.9L, 1942, &footer);
}

// A whole run as the program makes it (no preview window is opened): microseconds per row.
double MicrosecondsPerRowOfARun(int rows)
{
    TRpReport report([] { return report::output::TRpPaperSize::A4; }, false);
    BuildReport(report);
    report.OnNeedData = [rows, calls = 0](TRpBasePanel&, bool& more) mutable { more = ++calls <= rows; };
    const auto start = Clock::now();
    if (report.PreviewReport() != TRpRunResult::Done)
        std::fprintf(stderr, "the run did not complete\n");
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    return seconds * 1e6 / rows;
}

double RowsPerSecond(int rows)
{
    TRpReport report([] { return report::output::TRpPaperSize::A4; }, false);
    BuildReport(report);

    report::output::TRpPrinter printer;
    const auto start = Clock::now();
    printer.BeginDoc();
    // The bands as the data loop prints them (no band forces a page or column), through the
    // paging of a run of the report's own.
    TRpPaging paging(report, TRpPagingOutput{.printer = printer});
    paging.Start();
    for (const auto& band : report.BandList()) {
        for (const auto& control : band->Printables())
            control->Prepare();
    }
    paging.OutputBand(report.Bands.Band(1));
    paging.OutputBand(report.Bands.Band(3));
    for (int row = 0; row < rows; ++row)
        paging.OutputBand(report.Bands.Band(4));
    if (report.Bands.Band(7)->Size.Height > paging.AvailableSpace())
        paging.StartNewColumn();
    paging.OutputBand(report.Bands.Band(7));
    paging.FinishLastPage(true);
    printer.EndDoc();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    for (const auto& band : report.BandList()) {
        for (const auto& control : band->Printables())
            control->Unprepare();
    }
    return rows / seconds;
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    for (const int rows : {1000, 10000, 100000}) {
        std::printf("%7d rows: %.0f rows/s\n", rows, RowsPerSecond(rows));
    }
    std::printf("whole run of 10000 rows: %.2f us/row\n", MicrosecondsPerRowOfARun(10000));
    return 0;
}
