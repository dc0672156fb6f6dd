// Records, reads and replays a page like the activity list's (about 130 text lines and 60
// activity icons of 29 x 16), and measures words with the cached metrics next to a new
// QFontMetricsF per word. Usage: page_bench [rounds, default 1000] [words, default 10000]
#include "bench/bench_run.h"
#include "report/output/canvas/font_resolver.h"
#include "report/output/canvas/measure.h"
#include "report/output/canvas/painter_canvas.h"
#include "report/output/canvas/rounding.h"
#include "report/output/pages/page_format.h"
#include "utility/cp1250.h"

#include <QApplication>
#include <QPainter>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace report::output;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

QImage Icon(int n)
{
    QImage icon(29, 16, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    for (int y = 2; y < 14; ++y)
        for (int x = 4 + n % 3; x < 24; ++x)
            icon.setPixel(x, y, qRgba(40 * (n % 4), 100, 200, 255));
    return icon;
}

// The shape of one page of the activity list: title, frame, rows of text with an icon each.
void DrawListPage(Canvas& c, const std::vector<QImage>& icons)
{
    FontSpec title;
    title.face = "Arial";
    title.points = 12;
    title.bold = true;
    FontSpec row;
    row.face = "Arial";
    row.points = 8;
    c.SetBackground({false, 0});
    c.SetFont(title);
    c.TextOut(40, 30,
              "Wykaz czynno\x9c"
              "ci kierowcy");
    c.SetPen({qRgb(0, 0, 0), PenStyle::Solid, 1});
    c.Line(40, 55, 754, 55);
    c.SetFont(row);
    for (int i = 0; i < 130; ++i) {
        const int y = 60 + i * 8;
        const std::string day = "2024-03-" + std::to_string(1 + i % 28) + "  08:" + std::to_string(10 + i % 50);
        c.SetTextAlign({HorizontalAlign::Left, false});
        c.TextOut(45, y, day + "  Praca  " + std::to_string(i % 9) + " h " + std::to_string(i % 60) + " min");
        c.SetTextAlign({HorizontalAlign::Right, false});
        c.TextOut(750, y, "Razem: " + std::to_string(i * 7 % 600));
        if (i % 13 == 0)
            c.Line(40, y, 754, y);
        if (i < 60)
            c.DrawPicture(QRect(300, y - 4, 29, 16), icons[static_cast<std::size_t>(i % icons.size())]);
    }
    c.SetBrush({qRgb(0, 0, 0), BrushStyle::Clear});
    c.Rectangle(GdiRect(38, 28, 756, 1110));
}

}  // namespace

int main(int argc, char** argv)
{
    bench::OffscreenUnlessAsked();
    QApplication app(argc, argv);
    const int rounds = bench::CountArgument(argc, argv, 1, 1000);
    const int wordCount = bench::CountArgument(argc, argv, 2, 10000);
    std::vector<QImage> icons;
    for (int i = 0; i < 8; ++i)
        icons.push_back(Icon(i));

    Clock::duration record{}, encode{}, read{}, replay{};
    std::size_t pageBytes = 0;
    QImage target(794, 1123, QImage::Format_ARGB32_Premultiplied);
    for (int r = 0; r < rounds; ++r) {
        auto t0 = Clock::now();
        PageRecorder recorder(PageHeaderFor(2100, 2970));
        DrawListPage(recorder, icons);
        auto t1 = Clock::now();
        const std::vector<std::uint8_t> bytes = recorder.Bytes();
        auto t2 = Clock::now();
        const ReadPageResult page = ReadPage(bytes);
        auto t3 = Clock::now();
        if (!page.page) {
            std::fprintf(stderr, "page not read: %s\n", page.error.c_str());
            return 1;
        }
        target.fill(Qt::white);
        {
            QPainter painter(&target);
            PainterCanvas canvas(painter, 96);
            ReplayPage(*page.page, canvas, QRect(0, 0, 794, 1123));
        }
        auto t4 = Clock::now();
        record += t1 - t0;
        encode += t2 - t1;
        read += t3 - t2;
        replay += t4 - t3;
        pageBytes = bytes.size();
    }
    std::printf("page of %zu bytes, %d rounds, per page:\n", pageBytes, rounds);
    std::printf("  record %.3f ms, encode %.3f ms, read %.3f ms, replay onto 794x1123 %.3f ms\n", Ms(record) / rounds,
                Ms(encode) / rounds, Ms(read) / rounds, Ms(replay) / rounds);

    std::vector<std::string> words;
    for (int i = 0; i < wordCount; ++i)
        words.push_back("s\xB3owo" + std::to_string(i * 7919 % 100000));
    FontSpec font;
    font.face = "Arial";
    font.points = 8;
    MeasureDevice measure;
    long long sum = 0;
    auto t0 = Clock::now();
    for (const std::string& w : words)
        sum += measure.TextWidth(font, w);
    auto t1 = Clock::now();
    // The slow paths: the font and a QFontMetricsF made for every word, and a shaped
    // measurement of the whole word with one QFontMetricsF.
    QImage device(1, 1, QImage::Format_ARGB32);
    device.setDotsPerMeterX(3780);
    device.setDotsPerMeterY(3780);
    long long slowSum = 0;
    auto t2 = Clock::now();
    for (const std::string& w : words) {
        const QFontMetricsF metrics(MakeQFont(font, FontPixelSize(font, 96)), &device);
        slowSum += RoundHalfEvenInt(metrics.horizontalAdvance(utility::Cp1250ToQString(w)));
    }
    auto t3 = Clock::now();
    long long shapedSum = 0;
    const QFontMetricsF shaped(MakeQFont(font, FontPixelSize(font, 96)), &device);
    for (const std::string& w : words)
        shapedSum += RoundHalfEvenInt(shaped.horizontalAdvance(utility::Cp1250ToQString(w)));
    auto t4 = Clock::now();
    std::printf("%d words: MeasureDevice %.3f ms (%.0f ns a word); font and metrics per word %.3f ms; "
                "shaped on one metrics %.3f ms (width sums %lld, %lld, %lld)\n",
                wordCount, Ms(t1 - t0), Ms(t1 - t0) * 1e6 / wordCount, Ms(t3 - t2), Ms(t4 - t3), sum, slowSum,
                shapedSum);
    return 0;
}
