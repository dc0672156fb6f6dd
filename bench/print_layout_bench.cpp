// The largest card's printout from its card download file to the PDF on the user's path, as
// "Podgląd i wydruk" and the preview's save make it: loading the file, the printout's lists, the
// preview's layout run, the PDF run, with the program's progress window and the export's
// progress window shown as a user has them. In the same rounds cairo's PDF surface draws the
// content of our PDF (its texts, rectangles, lines and icons, taken from our writer's items in
// the cold round) as the anchor of the PDF run. Usage: print_layout_bench [rounds, default 5]
#include "app/startup.h"
#include "app/tc_druk.h"
#include "bench/bench_run.h"
#include "bench/bench_support.h"
#include "bench/cairo_anchor.h"
#include "report/output/pdf/pdf_document.h"
#include "report/output/printer/rp_printer.h"
#include "tacho/card_file_loader.h"
#include "tacho/ddd_file.h"
#include "tests/support/full_card.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"

#include <QApplication>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

using bench::Clock;
using bench::Column;
using bench::Ms;

int main(int argc, char** argv)
{
    // The settings the start-up writes go to a folder of the run, not the user's.
    QTemporaryDir folder;
    const int rounds = bench::CountArgument(argc, argv, 1, 5);
    if (!folder.isValid() || rounds < 1)
        return 1;
    bench::KeepSettingsIn(folder);
    QApplication application(argc, argv);
    app::InitializeUnits();
    bench::PrintedBoxes boxes;
    utility::SetMessageBoxes(&boxes);
    const std::filesystem::path card = folder.filePath(QStringLiteral("rok.DDD")).toStdString();
    const std::filesystem::path pdf = folder.filePath(QStringLiteral("raport.PDF")).toStdString();
    if (!bench::WriteCardFile(*std::make_unique<tacho::CardImageData>(testsupport::YearCardImage()), card))
        return 1;

    Column load{"load the card download file", {}}, lists{"lists (the form made)", {}},
        layout{"layout run (preview's pages)", {}}, export_{"PDF run (save as PDF)", {}}, total{"total", {}},
        cairo{"cairo anchor (same content)", {}}, ratio{"PDF run / cairo (x)", {}};
    const std::filesystem::path cairoPdf = folder.filePath(QStringLiteral("cairo.pdf")).toStdString();
    bench::AnchorContent content;
    int pages = 0;
    std::size_t rows = 0;
    std::uintmax_t pdfBytes = 0;
    for (int round = 0; round <= rounds; ++round) {
        const auto t0 = Clock::now();
        bool isImageFile = false;
        if (tacho::LoadCardFile(card, tacho::CardImage, isImageFile) != tacho::LoadCardResult::Loaded) {
            std::fprintf(stderr, "the card did not load\n");
            return 1;
        }
        const auto t1 = Clock::now();
        auto form = std::make_unique<app::Tf_tcDruk>();
        form->RpReport1.ReportTitle = app::CardReportTitle(tacho::CardImage, form->DateFrom, form->DateTo);
        const auto t2 = Clock::now();
        Clock::time_point t3, t4;
        // In place of the preview window: its Save as PDF, at once.
        form->RpReport1.OnPreview = [&](report::output::TRpPrinter& printer) {
            t3 = Clock::now();
            pages = printer.PageCount();
            if (round == 0) {
                // The cold round keeps the writer's items for the anchor; the timed ones do not.
                bench::ItemRecorder recorder(pdf);
                (void)form->RpReport1.ExportWithFilter(recorder);
                content = recorder.Content();
            } else {
                report::output::TRpPDFDocumentFilter filter(pdf);
                (void)form->RpReport1.ExportWithFilter(filter);
            }
            t4 = Clock::now();
        };
        (void)form->RpReport1.PreviewReport();
        rows = form->ActivityLines.size();
        form.reset();
        pdfBytes = std::filesystem::file_size(pdf);
        if (round == 0)
            continue;
        load.ms.push_back(Ms(t1 - t0));
        lists.ms.push_back(Ms(t2 - t1));
        layout.ms.push_back(Ms(t3 - t2));
        export_.ms.push_back(Ms(t4 - t3));
        total.ms.push_back(Ms(t4 - t0));
        cairo.ms.push_back(bench::DrawWithCairo(content, cairoPdf));
        ratio.ms.push_back(export_.ms.back() / cairo.ms.back());
    }
    utility::SetMessageBoxes(nullptr);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("largest card: %zu rows, %d pages, %ju-byte PDF; %d rounds after a cold one; peak RSS %ld MB\n", rows,
                pages, pdfBytes, rounds, usage.ru_maxrss / 1024);
    std::printf("cairo anchor: %zu pages, %zu texts, %zu shapes, %zu icons (%zu distinct), %ju-byte PDF\n\n",
                content.pages.size(), content.texts.size(), content.shapes.size(), content.pictures.size(),
                content.images.size(), std::filesystem::file_size(cairoPdf));
    std::printf("| %-30s | %9s | %9s | %9s |\n", "step", "median ms", "min ms", "max ms");
    std::printf("|--------------------------------|-----------|-----------|-----------|\n");
    for (const Column* c : {&load, &lists, &layout, &export_, &total, &cairo, &ratio})
        bench::PrintColumn(*c, 30);
    app::FinalizeUnits();
    return 0;
}
