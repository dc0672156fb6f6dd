// Records pages of about 40 KB into a page list, compressed and not, reads them back forwards,
// backwards and at random, and saves and loads the report file.
// Usage: page_list_bench [page count, default 2000]
#include "bench/bench_run.h"
#include "report/output/pages/page_format.h"
#include "report/output/pages/page_list.h"

#include <QApplication>
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

// A page like the activity list's: a frame, 130 lines of text in a few columns and small
// pictures of the day's activities; about 40 KB.
std::string MakePage(int number)
{
    using namespace report::output;
    PageRecorder recorder(PageHeaderFor(2100, 2970));
    recorder.Rectangle(GdiRect(10, 10, 784, 1113));
    std::mt19937 random(static_cast<unsigned>(number));
    QImage picture(29, 16, QImage::Format_ARGB32);
    static const char* const kinds[] = {"Jazda", "Praca", "Dyspozycyjno\x9C\xE6", "Odpoczynek"};
    for (int line = 0; line < 130; ++line) {
        const int y = 20 + line * 8;
        recorder.TextOut(20, y, "2024-03-" + std::to_string(1 + line % 28));
        recorder.TextOut(120, y, std::to_string(random() % 24) + ":" + std::to_string(10 + random() % 50));
        recorder.TextOut(200, y, kinds[random() % 4]);
        recorder.TextOut(400, y,
                         "Kierowca " + std::to_string(number) + " pojazd WX " + std::to_string(random() % 99999));
        recorder.Line(20, y + 7, 760, y + 7);
        if (line % 20 == 0) {
            picture.fill(qRgb(static_cast<int>(random() % 256), 120, 40));
            recorder.DrawPicture(GdiRect(600, y, 629, y + 16), picture);
        }
    }
    const std::vector<std::uint8_t> bytes = recorder.Bytes();
    return std::string(bytes.begin(), bytes.end());
}

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "failed: %s\n", what);
        std::exit(1);
    }
}

// Reads the pages' bytes as stored (decoded when compressed).
double ReadPages(TRpPageList& list, const std::vector<int>& order, const std::vector<std::string>& pages)
{
    const auto start = std::chrono::steady_clock::now();
    for (int n : order) {
        const auto page = list.GetPageBytes(n);
        Check(page.ok() && page.bytes.size() == pages[static_cast<std::size_t>(n) - 1].size(), "read");
    }
    return Seconds(std::chrono::steady_clock::now() - start);
}

// Reads the pages as the preview and the printer take them: through the checked page reader.
double ReadCheckedPages(TRpPageList& list, const std::vector<int>& order)
{
    const auto start = std::chrono::steady_clock::now();
    for (int n : order)
        Check(list.GetPage(n).page.has_value(), "read page");
    return Seconds(std::chrono::steady_clock::now() - start);
}

}  // namespace

int main(int argc, char** argv)
{
    bench::OffscreenUnlessAsked();
    QApplication app(argc, argv);
    const int count = bench::CountArgument(argc, argv, 1, 2'000);
    QTemporaryDir scratch;
    if (!scratch.isValid() || count < 1)
        return 1;
    std::vector<std::string> pages;
    double megabytes = 0;
    for (int n = 1; n <= count; ++n) {
        pages.push_back(MakePage(n));
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
        const double checked = ReadCheckedPages(list, shuffled);
        std::printf("  random, read as pages %7.3f s %8.1f MB/s\n", checked, megabytes / checked);

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
