// Line breaking of the printout's text controls with the real 96-dpi measure: the detail row
// label over every row of the largest card (a row's text is formatted when the band sets the
// caption and again when the label prints), and the places and vehicles memos.
// Prints the median and fastest round and rows per second; the first round (cold caches) is
// left out. Usage: label_format_bench [rounds, default 200]
#include "bench/bench_run.h"
#include "bench/bench_support.h"
#include "report/engine/controls/label.h"
#include "report/engine/model/band.h"
#include "report/engine/model/report_bands.h"
#include "report/engine/run/report.h"
#include "tacho/activity_list.h"
#include "tacho/vehicles_places.h"
#include "tests/support/full_card.h"
#include "utility/dialogi.h"

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using bench::Clock;
using bench::Us;
using report::engine::TRpBandType;

struct Column {
    const char* name;
    std::size_t items = 0;
    std::vector<double> us;
};

void Print(const Column& c)
{
    std::vector<double> sorted = c.us;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    std::printf("| %-34s | %6zu | %10.1f | %10.1f | %12.0f |\n", c.name, c.items, median, sorted.front(),
                median > 0 ? static_cast<double>(c.items) * 1e6 / median : 0.0);
}

// The row text as the detail band's BeforePrint makes it: after the key, before the keyword.
std::string RowText(const std::string& line)
{
    const std::size_t hash = line.find('#');
    std::string text = hash == std::string::npos ? line : line.substr(hash + 1, 255);
    const std::size_t slash = text.rfind('/');
    return slash == std::string::npos ? text : text.substr(0, slash);
}

template <class T>
T& Control(report::engine::TRpCustomBand& band, int left, int width, int height)
{
    T& control = band.NewPrintable<T>();
    control.SetAutoSize(false);
    control.SetAutoStretch(true);
    control.SetBounds(left, 0, width, height);
    control.SetFont(report::output::FontSpec{.face = "Arial", .points = 7, .charset = 238});
    return control;
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const int rounds = bench::CountArgument(argc, argv, 1, 200);
    if (rounds < 1)
        return 1;
    bench::PrintedBoxes boxes;
    utility::SetMessageBoxes(&boxes);

    const auto card = std::make_unique<tacho::CardImageData>(testsupport::FullCardImage());
    std::vector<std::string> activity, dayValues, vehicleLines, keyed, placeLines;
    double first = 0, last = 0;
    tacho::BuildDailyActivityList(*card, first, last, activity, dayValues);
    tacho::BuildVehiclesList(*card, vehicleLines, keyed, dayValues);
    tacho::BuildPlacesList(*card, placeLines);
    activity.insert(activity.end(), keyed.begin(), keyed.end());
    std::sort(activity.begin(), activity.end());
    std::vector<std::string> rows;
    for (const std::string& line : activity)
        rows.push_back(RowText(line));

    report::engine::TRpReport report;
    report::engine::TRpBand& detail = report::engine::CreateBand(report, TRpBandType::rbDetail);
    report::engine::TRpBand& child = report::engine::CreateBand(report, TRpBandType::rbSummary);
    // The print layout's row label (310 px) and memos (955.1 tenths: 361 px).
    auto& label = Control<report::engine::TRpLabel>(detail, 25, 310, 16);
    auto& places = Control<report::engine::TRpMemo>(child, 2, 361, 17);
    auto& vehicles = Control<report::engine::TRpMemo>(child, 2, 361, 17);
    places.SetLines(placeLines);
    vehicles.SetLines(vehicleLines);

    Column once{"row label, one format a row", rows.size(), {}};
    Column twice{"row label, caption and print", rows.size(), {}};
    Column memos{"places and vehicles memos", placeLines.size() + vehicleLines.size(), {}};
    std::size_t lines = 0;
    for (int round = 0; round <= rounds; ++round) {
        lines = 0;
        const auto t0 = Clock::now();
        for (const std::string& row : rows) {
            label.SetCaption(row);
            lines += label.FormattedLines().size();
        }
        const auto t1 = Clock::now();
        for (const std::string& row : rows) {
            label.SetCaption(row);
            label.FormatLines();
        }
        const auto t2 = Clock::now();
        places.FormatLines();
        vehicles.FormatLines();
        const auto t3 = Clock::now();
        if (round == 0)
            continue;
        once.us.push_back(Us(t1 - t0));
        twice.us.push_back(Us(t2 - t1));
        memos.us.push_back(Us(t3 - t2));
    }
    utility::SetMessageBoxes(nullptr);
    std::printf("largest card: %zu rows in %zu lines, %zu place and %zu vehicle lines; %d rounds after a cold one\n\n",
                rows.size(), lines, placeLines.size(), vehicleLines.size(), rounds);
    std::printf("| %-34s | %6s | %10s | %10s | %12s |\n", "step", "items", "median µs", "min µs", "items/s");
    std::printf("|------------------------------------|--------|------------|------------|--------------|\n");
    for (const Column* c : {&once, &twice, &memos})
        Print(*c);
    return 0;
}
