// The largest card's printout as the preview keeps it: the page store the layout run fills,
// the report file saved from it, loading that file back, reading every page through the checked
// reader and replaying it at 96 dpi. Usage: report_file_bench [rounds, default 5]
#include "app/startup.h"
#include "app/tc_druk.h"
#include "bench/bench_run.h"
#include "bench/bench_support.h"
#include "report/output/canvas/painter_canvas.h"
#include "report/output/pages/page_format.h"
#include "report/output/printer/rp_printer.h"
#include "tacho/card_file_loader.h"
#include "tacho/ddd_file.h"
#include "tests/support/full_card.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QPainter>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

namespace {

using bench::Clock;
using bench::Ms;
using report::output::TRpPrinter;

struct Column {
    const char* name;
    std::vector<double> ms;
};

void Print(const Column& c)
{
    std::vector<double> sorted = c.ms;
    std::sort(sorted.begin(), sorted.end());
    std::printf("| %-36s | %9.1f | %9.1f | %9.1f |\n", c.name, sorted[sorted.size() / 2], sorted.front(),
                sorted.back());
}

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "failed: %s\n", what);
        std::exit(1);
    }
}

// Pictures drawn on the document's pages, and how many of them differ in their pixels.
void CountPictures(TRpPrinter& printer, int& drawn, int& distinct)
{
    QSet<QByteArray> seen;
    drawn = 0;
    for (int n = 1; n <= printer.PageCount(); ++n) {
        const std::optional<report::output::Page> page = printer.GetRecordedPage(n);
        Check(page.has_value(), "page read");
        for (const report::output::PageRecord& record : page->records) {
            const auto* picture = std::get_if<report::output::page_record::Picture>(&record);
            if (!picture)
                continue;
            ++drawn;
            const QImage image = picture->picture.Image();
            QCryptographicHash hash(QCryptographicHash::Sha256);
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
            seen.insert(hash.result() + QByteArray::number(image.width()) + 'x' + QByteArray::number(image.height()));
        }
    }
    distinct = static_cast<int>(seen.size());
}

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir folder;
    const int rounds = bench::CountArgument(argc, argv, 1, 5);
    if (!folder.isValid() || rounds < 1)
        return 1;
    bench::KeepSettingsIn(folder);
    bench::OffscreenUnlessAsked();
    QApplication application(argc, argv);
    app::InitializeUnits();
    bench::PrintedBoxes boxes;
    utility::SetMessageBoxes(&boxes);
    const std::filesystem::path card = folder.filePath(QStringLiteral("rok.DDD")).toStdString();
    const std::filesystem::path rpp = folder.filePath(QStringLiteral("raport.RPP")).toStdString();
    Check(bench::WriteCardFile(*std::make_unique<tacho::CardImageData>(testsupport::YearCardImage()), card),
          "card file");

    Column layout{"layout run into the page store", {}}, save{"save the report file", {}},
        load{"load the report file", {}}, read{"read every page (checked reader)", {}},
        replay{"replay every page at 96 dpi", {}};
    int pages = 0, drawn = 0, distinct = 0;
    std::int64_t store = 0;
    bool storeInFile = false;
    std::uintmax_t fileBytes = 0;
    for (int round = 0; round <= rounds; ++round) {
        bool isImageFile = false;
        Check(tacho::LoadCardFile(card, tacho::CardImage, isImageFile) == tacho::LoadCardResult::Loaded, "card");
        auto form = std::make_unique<app::Tf_tcDruk>();
        form->RpReport1.ReportTitle = app::CardReportTitle(tacho::CardImage, form->DateFrom, form->DateTo);
        const auto t0 = Clock::now();
        Clock::time_point t1, t2;
        // In place of the preview window: its Save as report file, at once.
        form->RpReport1.OnPreview = [&](TRpPrinter& printer) {
            t1 = Clock::now();
            pages = printer.PageCount();
            store = printer.PageStream()->Size();
            storeInFile = !printer.PageStream()->InMemory();
            std::string error;
            Check(printer.SaveRecordedDocument(rpp, error), "save");
            t2 = Clock::now();
        };
        (void)form->RpReport1.PreviewReport();
        form.reset();
        fileBytes = std::filesystem::file_size(rpp);

        TRpPrinter loaded;
        std::string error;
        const auto t3 = Clock::now();
        Check(loaded.LoadRecordedDocument(rpp, error), "load");
        const auto t4 = Clock::now();
        Check(loaded.PageCount() == pages, "page count");
        std::vector<report::output::Page> all;
        for (int n = 1; n <= pages; ++n) {
            std::optional<report::output::Page> page = loaded.GetRecordedPage(n);
            Check(page.has_value(), "page read");
            all.push_back(std::move(*page));
        }
        const auto t5 = Clock::now();
        QImage image(794, 1123, QImage::Format_RGB32);
        for (const report::output::Page& page : all) {
            image.fill(Qt::white);
            QPainter painter(&image);
            report::output::PainterCanvas canvas(painter, report::output::kMeasureDpi);
            report::output::ReplayPage(page, canvas, image.rect());
        }
        const auto t6 = Clock::now();
        if (round == 0) {
            CountPictures(loaded, drawn, distinct);
            continue;
        }
        layout.ms.push_back(Ms(t1 - t0));
        save.ms.push_back(Ms(t2 - t1));
        load.ms.push_back(Ms(t4 - t3));
        read.ms.push_back(Ms(t5 - t4));
        replay.ms.push_back(Ms(t6 - t5));
    }
    utility::SetMessageBoxes(nullptr);
    std::printf("largest card: %d pages, %d pictures drawn, %d distinct\n", pages, drawn, distinct);
    std::printf("page store: %lld bytes (%s); report file: %ju bytes; %d rounds after a cold one\n\n",
                static_cast<long long>(store), storeInFile ? "temporary file" : "in memory", fileBytes, rounds);
    std::printf("| %-36s | %9s | %9s | %9s |\n", "step", "median ms", "min ms", "max ms");
    std::printf("|--------------------------------------|-----------|-----------|-----------|\n");
    for (const Column* c : {&layout, &save, &load, &read, &replay})
        Print(*c);
    app::FinalizeUnits();
    return 0;
}
