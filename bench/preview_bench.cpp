// The preview's work on a long document: 100 recorded pages of 130 text lines each, searched for
// a text that is on none of them (every page read and every line compared), and every page
// painted as a thumbnail as the thumbnail list shows them.
// Usage: preview_bench [rounds, default 5]
#include "bench/bench_run.h"
#include "report/output/preview/text_search.h"
#include "report/output/printer/rp_printer.h"
#include "report/output/viewer/preview_thumbs.h"

#include <QApplication>
#include <QFontMetrics>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace report::output;
using Clock = std::chrono::steady_clock;

constexpr int kPages = 100;
constexpr int kLines = 130;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void Record(TRpPrinter& printer)
{
    FontSpec row;
    row.face = "Arial";
    row.points = 8;
    printer.BeginDoc();
    for (int page = 1; page <= kPages; ++page) {
        printer.NewPage();
        Canvas& c = *printer.GetCanvas();
        c.SetFont(row);
        c.SetBackground({false, 0});
        for (int i = 0; i < kLines; ++i) {
            const std::string text = "2024-03-" + std::to_string(1 + i % 28) + "  08:" + std::to_string(10 + i % 50) +
                                     "  Jazda \xB3\xF3"
                                     "d\x9F " +
                                     std::to_string(page * 1000 + i);
            c.TextOut(45, 60 + i * 8, text);
        }
    }
    printer.EndDoc();
}

}  // namespace

int main(int argc, char** argv)
{
    bench::OffscreenUnlessAsked();
    QApplication app(argc, argv);
    const int rounds = std::max(1, bench::CountArgument(argc, argv, 1, 5));

    TRpPrinter printer;
    const Clock::time_point recordStart = Clock::now();
    Record(printer);
    std::printf("recording %d pages of %d lines: %.1f ms\n", kPages, kLines, Ms(Clock::now() - recordStart));

    const QString missing = QString::fromUtf8("Odpoczynek dzienny skrócony");
    for (const bool matchCase : {false, true}) {
        double best = 1e300;
        for (int r = 0; r < rounds; ++r) {
            const Clock::time_point start = Clock::now();
            int found = 0;
            for (int page = 1; page <= kPages; ++page)
                found += FindTextInMetafile(missing, *printer.GetRecordedPage(page), matchCase) ? 1 : 0;
            best = std::min(best, Ms(Clock::now() - start));
            if (found != 0)
                return 1;
        }
        std::printf("search finding nothing (%s): %.1f ms for %d pages (best of %d)\n",
                    matchCase ? "match case" : "any case", best, kPages, rounds);
    }

    // The thumbnail list of the window's 193-pixel pane.
    const QFont font = QApplication::font();
    const TRpThumbMetrics metrics = ComputeThumbMetrics(189, QFontMetrics(font).height(), QSize(2100, 2970));
    TRpThumbModel model;
    model.SetPagePainter(RecordedPageThumbnails(printer));
    model.SetPictureSize(QSize(metrics.width, metrics.height));
    double best = 1e300;
    for (int r = 0; r < rounds; ++r) {
        const Clock::time_point start = Clock::now();
        for (int page = 1; page <= kPages; ++page)
            if (model.Thumbnail(page).isNull())
                return 1;
        best = std::min(best, Ms(Clock::now() - start));
    }
    std::printf("painting %d thumbnails of %d x %d: %.1f ms (best of %d)\n", kPages, metrics.width, metrics.height,
                best, rounds);
    return 0;
}
