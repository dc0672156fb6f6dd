// The user's save of the largest card's printout, the whole way through the program: the main
// window opens the card download file, "Podgląd i wydruk" makes the pages (the program's progress
// window up) and shows the preview; there "Save report" opens the save dialog, the name is typed
// and Return pressed, the export runs with its progress window up, and the file is closed. Timed
// from the Return to the file closed (the export's progress window gone, the file at its final
// size) and to the preview's own event loop running again. In the same rounds cairo's PDF surface
// draws the content of that PDF (see cairo_anchor.h). Run it offscreen and under X:
//   QT_QPA_PLATFORM=offscreen preview_save_bench [rounds, default 7]
//   xvfb-run -a preview_save_bench [rounds]
#include "app/startup.h"
#include "app/tc_druk.h"
#include "app/tc_glow.h"
#include "bench/bench_run.h"
#include "bench/bench_support.h"
#include "bench/cairo_anchor.h"
#include "report/output/preview/rp_standard_preview.h"
#include "report/output/printer/progress_form.h"
#include "report/output/printer/rp_printer.h"
#include "tests/support/full_card.h"
#include "utility/dialogi.h"
#include "utility/paths.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace {

using bench::Clock;
using bench::Column;
using bench::Ms;

// What one save took, from the Return on the save dialog.
struct SaveTimes {
    Clock::time_point returnPressed;
    std::optional<Clock::time_point> progressShown;
    std::optional<Clock::time_point> fileClosed;
    std::optional<Clock::time_point> backInPreview;
    std::uintmax_t bytesAtClose = 0;
};

// Watches for the export's progress window: when it shows and when it goes. It goes when the
// export has ended, after the writer closed its file.
class ProgressWatch final : public QObject {
public:
    ProgressWatch(SaveTimes& times, std::filesystem::path pdf) : times_(times), pdf_(std::move(pdf))
    {
        qApp->installEventFilter(this);
    }
    ~ProgressWatch() override { qApp->removeEventFilter(this); }
    ProgressWatch(const ProgressWatch&) = delete;
    ProgressWatch& operator=(const ProgressWatch&) = delete;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show || times_.progressShown)
            return false;
        auto* form = qobject_cast<report::output::TRpProgressForm*>(watched);
        if (form == nullptr)
            return false;
        times_.progressShown = Clock::now();
        connect(form, &QObject::destroyed, this, [this] {
            times_.fileClosed = Clock::now();
            std::error_code ignored;
            times_.bytesAtClose = std::filesystem::file_size(pdf_, ignored);
            // The first event the preview's own loop handles after the save has returned.
            QTimer::singleShot(0, this, [this] { times_.backInPreview = Clock::now(); });
        });
        return false;
    }

private:
    SaveTimes& times_;
    std::filesystem::path pdf_;
};

bool Exposed(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    return window.isVisible() && handle != nullptr && handle->isExposed();
}

// Types `pdf`'s name on the save dialog once it is up and exposed, then presses Return.
void TypeNameAndReturn(const std::filesystem::path& pdf, SaveTimes& times)
{
    auto* poll = new QTimer(qApp);
    poll->setInterval(2);
    QObject::connect(poll, &QTimer::timeout, [poll, pdf, &times] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !Exposed(*dialog))
            return;
        poll->stop();
        poll->deleteLater();
        dialog->selectNameFilter(dialog->nameFilters().value(0));
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QWidget* target = edit != nullptr ? static_cast<QWidget*>(edit) : dialog;
        if (edit != nullptr)
            edit->setText(utility::PathToQString(pdf));
        else
            dialog->selectFile(utility::PathToQString(pdf));
        times.returnPressed = Clock::now();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
        QApplication::sendEvent(target, &press);
        QApplication::sendEvent(target, &release);
    });
    poll->start();
}

// The cairo anchor's content: the printout of the card in memory exported once through the
// recording writer.
bench::AnchorContent PrintoutContent(const std::filesystem::path& pdf)
{
    bench::AnchorContent content;
    app::Tf_tcDruk form;
    form.RpReport1.ReportTitle = app::CardReportTitle(tacho::CardImage, form.DateFrom, form.DateTo);
    form.RpReport1.OnPreview = [&](report::output::TRpPrinter&) {
        bench::ItemRecorder recorder(pdf);
        (void)form.RpReport1.ExportWithFilter(recorder);
        content = recorder.Content();
    };
    (void)form.RpReport1.PreviewReport();
    return content;
}

}  // namespace

int main(int argc, char** argv)
{
    QTemporaryDir folder;
    const int rounds = bench::CountArgument(argc, argv, 1, 7);
    if (!folder.isValid() || rounds < 1)
        return 1;
    bench::KeepSettingsIn(folder);
    QApplication application(argc, argv);
    app::InitializeUnits();
    bench::PrintedBoxes boxes;
    utility::SetMessageBoxes(&boxes);
    const std::filesystem::path card = folder.filePath(QStringLiteral("rok.DDD")).toStdString();
    const std::filesystem::path cairoPdf = folder.filePath(QStringLiteral("cairo.pdf")).toStdString();
    if (!bench::WriteCardFile(*std::make_unique<tacho::CardImageData>(testsupport::YearCardImage()), card))
        return 1;

    auto window = std::make_unique<app::Tf_tcGlow>();
    window->show();
    window->OpenCardFile(card);
    if (window->BitBtnDruk1->isHidden()) {
        std::fprintf(stderr, "the card did not open\n");
        return 1;
    }
    const bench::AnchorContent content = PrintoutContent(folder.filePath(QStringLiteral("anchor.PDF")).toStdString());

    Column preview{"Druk button to the preview shown", {}}, toShown{"Return to export progress shown", {}},
        toClosed{"Return to the file closed", {}}, toBack{"Return to the preview again", {}},
        cairo{"cairo anchor (same content)", {}}, ratio{"file closed / cairo (x)", {}};
    std::uintmax_t pdfBytes = 0;
    int pages = 0;
    for (int round = 0; round <= rounds; ++round) {
        const std::filesystem::path pdf = folder.filePath(QStringLiteral("raport%1.PDF").arg(round)).toStdString();
        SaveTimes times;
        const auto pressed = Clock::now();
        std::optional<Clock::time_point> shown;
        QTimer poll;
        poll.setInterval(2);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* shownPreview = qobject_cast<report::output::TRpStandardPreview*>(QApplication::activeModalWidget());
            if (shownPreview == nullptr || !Exposed(*shownPreview))
                return;
            poll.stop();
            shown = Clock::now();
            pages = shownPreview->RpPrinter() != nullptr ? shownPreview->RpPrinter()->PageCount() : 0;
            ProgressWatch watch(times, pdf);
            TypeNameAndReturn(pdf, times);
            shownPreview->Command("SaveReport")->trigger();
            // Until the first event after the save, as the preview's loop sees it.
            while (!times.backInPreview && times.fileClosed)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            shownPreview->close();
        });
        poll.start();
        window->BitBtnDruk1->click();
        if (!shown || !times.fileClosed || !times.backInPreview || !times.progressShown) {
            std::fprintf(stderr, "round %d: the save did not go through\n", round);
            return 1;
        }
        pdfBytes = std::filesystem::file_size(pdf);
        if (pdfBytes != times.bytesAtClose) {
            std::fprintf(stderr, "round %d: the file grew after the export's end\n", round);
            return 1;
        }
        std::filesystem::remove(pdf);
        if (round == 0)
            continue;
        preview.ms.push_back(Ms(*shown - pressed));
        toShown.ms.push_back(Ms(*times.progressShown - times.returnPressed));
        toClosed.ms.push_back(Ms(*times.fileClosed - times.returnPressed));
        toBack.ms.push_back(Ms(*times.backInPreview - times.returnPressed));
        cairo.ms.push_back(bench::DrawWithCairo(content, cairoPdf));
        ratio.ms.push_back(toClosed.ms.back() / cairo.ms.back());
    }
    window.reset();
    utility::SetMessageBoxes(nullptr);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("largest card through the program (%s): %d pages, %ju-byte PDF; %d rounds after a cold one; "
                "peak RSS %ld MB\n",
                qPrintable(QGuiApplication::platformName()), pages, pdfBytes, rounds, usage.ru_maxrss / 1024);
    std::printf("cairo anchor: %zu pages, %zu texts, %zu shapes, %zu icons\n\n", content.pages.size(),
                content.texts.size(), content.shapes.size(), content.pictures.size());
    std::printf("| %-34s | %9s | %9s | %9s |\n", "step", "median ms", "min ms", "max ms");
    std::printf("|------------------------------------|-----------|-----------|-----------|\n");
    for (const Column* c : {&preview, &toShown, &toClosed, &toBack, &cairo, &ratio})
        bench::PrintColumn(*c, 34);
    app::FinalizeUnits();
    return 0;
}
