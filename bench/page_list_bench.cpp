// Records pages of about 40 KB into a page list, compressed and not, reads them back forwards,
// backwards and at random, and saves and loads the report file.
// Usage: page_list_bench [page count, default 2000]
#include "report/output/page_list.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

using report::output::TRpPageList;
using report::output::TRpStream;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Page-format header, then records that look like a drawn page: short runs of text, numbers
// and shape coordinates, with now and then a picture's pixels.
std::string MakePage(int number, std::size_t size)
{
    std::string page(size, '\0');
    std::memcpy(page.data(), "KVPG", 4);
    page[4] = 1;
    page[8] = 36;
    for (int i = 0; i < 4; ++i)
        page[12 + static_cast<std::size_t>(i)] = static_cast<char>(size >> (8 * i));
    std::mt19937 random(static_cast<unsigned>(number));
    static const char text[] = "2024-03-11 06:14 Jazda 04:32 Praca 00:45 Odpoczynek 11:00 KIEROWCA ";
    std::size_t at = 36;
    while (at < size) {
        const std::size_t run = std::min<std::size_t>(size - at, 20 + random() % 60);
        if (random() % 10 == 0)
            for (std::size_t i = 0; i < run; ++i)
                page[at + i] = static_cast<char>(random());
        else
            std::memcpy(page.data() + at, text + random() % 8, std::min(run, sizeof text - 9));
        at += run;
    }
    return page;
}

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "failed: %s\n", what);
        std::exit(1);
    }
}

double ReadPages(TRpPageList& list, const std::vector<int>& order, const std::vector<std::string>& pages)
{
    const auto start = std::chrono::steady_clock::now();
    for (int n : order) {
        const auto page = list.GetPage(n);
        Check(page.ok() && page.bytes.size() == pages[static_cast<std::size_t>(n) - 1].size(), "read");
    }
    return Seconds(std::chrono::steady_clock::now() - start);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 2'000;
    QTemporaryDir scratch;
    if (!scratch.isValid() || count < 1)
        return 1;
    std::vector<std::string> pages;
    double megabytes = 0;
    for (int n = 1; n <= count; ++n) {
        pages.push_back(MakePage(n, 38'000 + static_cast<std::size_t>(n % 5) * 1'000));
        megabytes += static_cast<double>(pages.back().size()) / 1e6;
    }
    std::vector<int> forwards(static_cast<std::size_t>(count));
    std::iota(forwards.begin(), forwards.end(), 1);
    std::vector<int> backwards(forwards.rbegin(), forwards.rend());
    std::vector<int> shuffled = forwards;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(5));

    std::printf("%d pages, %.1f MB of page data\n", count, megabytes);
    for (bool compressed : {false, true}) {
        TRpPageList list;
        list.SetCompressed(compressed);
        list.SetStream(std::make_unique<TRpStream>());
        auto start = std::chrono::steady_clock::now();
        for (const std::string& page : pages)
            Check(list.AddRecordedPage(page), "record");
        Check(list.WriteHeader(), "header");
        const double record = Seconds(std::chrono::steady_clock::now() - start);
        const double size = static_cast<double>(list.Stream()->Size()) / 1e6;
        std::printf("%s: file %.1f MB\n", compressed ? "compressed" : "uncompressed", size);
        std::printf("  record    %7.3f s %8.1f MB/s\n", record, megabytes / record);
        const double forward = ReadPages(list, forwards, pages);
        std::printf("  forwards  %7.3f s %8.1f MB/s\n", forward, megabytes / forward);
        const double backward = ReadPages(list, backwards, pages);
        std::printf("  backwards %7.3f s %8.1f MB/s\n", backward, megabytes / backward);
        const double random = ReadPages(list, shuffled, pages);
        std::printf("  random    %7.3f s %8.1f MB/s\n", random, megabytes / random);

        const std::filesystem::path file = scratch.filePath(QStringLiteral("bench.rpp")).toStdString();
        start = std::chrono::steady_clock::now();
        Check(list.SaveToFile(file).ok(), "save");
        const double save = Seconds(std::chrono::steady_clock::now() - start);
        TRpPageList loaded;
        std::string error;
        start = std::chrono::steady_clock::now();
        Check(loaded.LoadFromFile(file, error) && loaded.PageCount() == count, "load");
        const double load = Seconds(std::chrono::steady_clock::now() - start);
        std::printf("  save      %7.3f s %8.1f MB/s\n", save, size / save);
        std::printf("  load      %7.3f s (header, walk of %d records, first and last page)\n", load, count);
        const double loadedRandom = ReadPages(loaded, shuffled, pages);
        std::printf("  random from the loaded file %7.3f s %8.1f MB/s\n", loadedRandom, megabytes / loadedRandom);
    }
    return 0;
}
