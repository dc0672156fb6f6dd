// Opens the largest card from a card download file and builds the three lists of its
// printout (daily activities, vehicles, places), as the print road does for every preview.
// Prints the median and the fastest round of each step; the first round (cold caches) is
// left out. Usage: load_lists_bench [rounds, default 2000]
#include "bench/bench_run.h"
#include "bench/bench_support.h"
#include "tacho/activity_list.h"
#include "tacho/card_file_loader.h"
#include "tacho/ddd_file.h"
#include "tacho/vehicles_places.h"
#include "tests/support/full_card.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

using bench::Clock;
using bench::Us;

struct Column {
    const char* name;
    std::vector<double> us;
};

void Print(const Column& c)
{
    std::vector<double> sorted = c.us;
    std::sort(sorted.begin(), sorted.end());
    std::printf("| %-28s | %9.1f | %9.1f | %9.1f |\n", c.name, sorted[sorted.size() / 2], sorted.front(),
                sorted[sorted.size() * 95 / 100]);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int rounds = bench::CountArgument(argc, argv, 1, 2'000);
    QTemporaryDir folder;
    if (!folder.isValid() || rounds < 1)
        return 1;
    bench::PrintedBoxes boxes;
    utility::SetMessageBoxes(&boxes);

    const std::string file = utility::Utf8ToCp1250(folder.filePath(QStringLiteral("pelna.DDD")).toStdString());
    if (!bench::WriteCardFile(*std::make_unique<tacho::CardImageData>(testsupport::FullCardImage()),
                              utility::Cp1250ToUtf8(file)))
        return 1;

    Column load{"load (LoadCardFile)", {}}, days{"daily activity list", {}}, vehicles{"vehicles list", {}},
        places{"places list", {}}, total{"load and the three lists", {}};
    auto image = std::make_unique<tacho::CardImageData>();
    std::size_t lineCount = 0;
    for (int round = 0; round <= rounds; ++round) {
        std::vector<std::string> dayLines, dayValues, vehicleLines, keyedLines, placeLines;
        double first = 0, last = 0;
        bool isImageFile = false;
        const auto t0 = Clock::now();
        const tacho::LoadCardResult loaded = tacho::LoadCardFile(file, *image, isImageFile);
        const auto t1 = Clock::now();
        tacho::BuildDailyActivityList(*image, first, last, dayLines, dayValues);
        const auto t2 = Clock::now();
        tacho::BuildVehiclesList(*image, vehicleLines, keyedLines, dayValues);
        const auto t3 = Clock::now();
        tacho::BuildPlacesList(*image, placeLines);
        const auto t4 = Clock::now();
        if (loaded != tacho::LoadCardResult::Loaded) {
            std::fprintf(stderr, "the card did not load\n");
            return 1;
        }
        lineCount = dayLines.size() + keyedLines.size() + vehicleLines.size() + placeLines.size();
        if (round == 0)
            continue;
        load.us.push_back(Us(t1 - t0));
        days.us.push_back(Us(t2 - t1));
        vehicles.us.push_back(Us(t3 - t2));
        places.us.push_back(Us(t4 - t3));
        total.us.push_back(Us(t4 - t0));
    }
    utility::SetMessageBoxes(nullptr);
    std::printf("largest card: %zu-byte card download file, %zu lines; %d rounds after a cold one\n\n",
                static_cast<std::size_t>(std::filesystem::file_size(utility::Cp1250ToUtf8(file))), lineCount, rounds);
    std::printf("| %-28s | %9s | %9s | %9s |\n", "step", "median µs", "min µs", "p95 µs");
    std::printf("|------------------------------|-----------|-----------|-----------|\n");
    for (const Column* c : {&load, &days, &vehicles, &places, &total})
        Print(*c);
    return 0;
}
