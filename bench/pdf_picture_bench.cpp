// Coding pictures for PDF: LZW and ASCII85 of a large photo-like picture, and of the small
// activity icons the activity list puts in every row. Usage: pdf_picture_bench [repeats, default 5]
#include "bench/bench_run.h"
#include "report/output/codec/lzw.h"
#include "report/output/pdf/pdf_picture.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

// Smooth gradients with a little noise: LZW finds some repeats, as in a photograph.
QImage PhotoLike(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 engine(42);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int noise = static_cast<int>(engine() % 7);
            row[x] =
                qRgb((x * 255 / width + noise) & 0xFF, (y * 255 / height + noise) & 0xFF, ((x + y) / 8 + noise) & 0xFF);
        }
    }
    return image;
}

// An icon of 29 x 16 pixels as the activity list draws them: a few flat colours on white.
QImage Icon(int kind)
{
    QImage image(29, 16, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    painter.setBrush(QColor::fromHsv((kind * 67) % 360, 200, 220));
    painter.drawEllipse(2 + kind % 5, 1, 14, 13);
    painter.drawRect(16, 4 + kind % 3, 10, 7);
    return image;
}

template <typename Work>
double BestOf(int repeats, Work work)
{
    double best = 1e30;
    for (int i = 0; i < repeats; ++i) {
        const auto start = Clock::now();
        work();
        best = std::min(best, Seconds(Clock::now() - start));
    }
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    bench::OffscreenUnlessAsked();
    QGuiApplication app(argc, argv);
    const int repeats = std::max(1, bench::CountArgument(argc, argv, 1, 5));

    const QImage photo = PhotoLike(2000, 1500);
    const std::string rgb = report::output::BitmapToRgb(photo);
    std::string lzw;
    std::string text;
    std::string decoded;
    const double tRgb = BestOf(repeats, [&] { (void)report::output::BitmapToRgb(photo); });
    const double tLzw = BestOf(repeats, [&] {
        lzw.clear();
        report::output::LZWEncode(rgb, lzw);
    });
    const double tA85 = BestOf(repeats, [&] { report::output::ASCII85Encode(lzw, text); });
    const double tDecode = BestOf(repeats, [&] {
        decoded.clear();
        report::output::LZWDecode(lzw, decoded);
    });
    std::string data;
    std::string filters;
    const double tAll = BestOf(repeats, [&] { report::output::BitmapToImageData(photo, data, filters); });
    if (decoded != rgb) {
        std::fprintf(stderr, "LZWDecode did not give the pixels back\n");
        return 1;
    }
    const double mb = static_cast<double>(rgb.size()) / 1e6;
    std::printf("photo 2000 x 1500: %.1f MB of RGB, LZW %.1f MB (%.0f %%), ASCII85 text %.1f MB\n", mb,
                static_cast<double>(lzw.size()) / 1e6,
                100.0 * static_cast<double>(lzw.size()) / static_cast<double>(rgb.size()),
                static_cast<double>(text.size()) / 1e6);
    std::printf("  RGB copy   %8.1f ms  %7.1f MB/s\n", tRgb * 1e3, mb / tRgb);
    std::printf("  LZWEncode  %8.1f ms  %7.1f MB/s of RGB\n", tLzw * 1e3, mb / tLzw);
    std::printf("  ASCII85    %8.1f ms  %7.1f MB/s of LZW\n", tA85 * 1e3, static_cast<double>(lzw.size()) / 1e6 / tA85);
    std::printf("  LZWDecode  %8.1f ms  %7.1f MB/s of RGB\n", tDecode * 1e3, mb / tDecode);
    std::printf("  BitmapToImageData %8.1f ms  %7.1f MB/s of RGB\n", tAll * 1e3, mb / tAll);

    std::vector<QImage> icons;
    for (int i = 0; i < 1000; ++i)
        icons.push_back(Icon(i % 12));
    std::size_t iconBytes = 0;
    const double tIcons = BestOf(repeats, [&] {
        iconBytes = 0;
        for (const QImage& icon : icons) {
            report::output::BitmapToImageData(icon, data, filters);
            iconBytes += data.size();
        }
    });
    std::printf("1000 icons 29 x 16: %.1f ms, %.1f us per icon, %zu bytes of text per icon (1392 bytes of RGB)\n",
                tIcons * 1e3, tIcons * 1e6 / 1000.0, iconBytes / 1000);
    return 0;
}
