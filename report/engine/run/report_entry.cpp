// The entry points that start a report run: preview, print, export, printer set-up, and the
// previews that show while the pages are being made.
#include "report/engine/run/report.h"
#include "report/engine/run/report_job.h"
#include "report/engine/run/report_window.h"
#include "report/output/export/export_filter.h"
#include "report/output/printer/paper_sizes.h"
#include "report/output/printer/print_dialog.h"
#include "report/output/printer/printer_service.h"
#include "report/output/printer/progress_form.h"
#include "report/output/printer/rp_printer.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QScopeGuard>

#include <exception>

namespace report::engine {
namespace {

using output::TRpPrinter;

bool IsShown(const TRpPrinter& printer) { return printer.PreviewActive() || printer.PreviewForm() != nullptr; }

// The printer object of a preview: it records, reports to this report, and shows OnPreview
// instead of the standard window when set.
void SetUpPreviewPrinter(TCustomRpReport& report, TRpPrinter& printer)
{
    printer.SetDestination(output::TRpPrinterDestination::rpdRecord);
    printer.SetReportWindow(&report.Window());
    printer.SetTitle(utility::Cp1250ToQString(report.ReportTitle));
    if (report.OnPreview)
        printer.SetOnPreview(report.OnPreview);
}

// A progress window following `printer`, made its client window; none without ShowProgress.
std::unique_ptr<output::TRpProgressForm> ProgressFor(const TCustomRpReport& report, TRpPrinter& printer,
                                                     const char* caption = nullptr)
{
    if (!report.ShowProgress) {
        printer.SetClientWindow(nullptr);
        return nullptr;
    }
    auto progress = std::make_unique<output::TRpProgressForm>(&printer);
    if (caption != nullptr)
        progress->setWindowTitle(QString::fromLatin1(caption));
    progress->show();
    printer.SetClientWindow(progress.get());
    return progress;
}

}  // namespace

// When it goes, the printer object set aside and RpPrinter come back and the temporary one is
// released.
class TCustomRpReport::PrinterAside {
public:
    explicit PrinterAside(TCustomRpReport& report)
        : report_(report), previous_(report.RpPrinter), aside_(std::move(report.ownPrinter_))
    {}
    ~PrinterAside()
    {
        report_.RestorePrinter(std::move(aside_));
        report_.RpPrinter = previous_;
    }
    PrinterAside(const PrinterAside&) = delete;
    PrinterAside& operator=(const PrinterAside&) = delete;

private:
    TCustomRpReport& report_;
    TRpPrinter* const previous_;
    std::unique_ptr<TRpPrinter> aside_;
};

TRpRunResult TCustomRpReport::PreviewReport()
{
    if (CreateInBGThread)
        return GenerateInBackground(true);
    if (!CreateRpPrinter())
        return TRpRunResult::Busy;
    TRpPrinter& printer = *RpPrinter;
    SetUpPreviewPrinter(*this, printer);
    try {
        ApplyPrinterSettings();
        GenerateReport(false);
    } catch (...) {
        DropPrinter();
        throw;
    }
    if (refused_) {
        DropPrinter();
        return TRpRunResult::Cancelled;
    }
    printer.SetReprintRecorded(true);
    if (AfterPreview)
        AfterPreview(*this);
    if (cancelled_) {
        DropPrinter();
        return TRpRunResult::Cancelled;
    }
    printer.PreviewModal();
    // Handed back by its preview (1028): freed now that PreviewModal has returned.
    FlushReleasedPrinters();
    return TRpRunResult::Done;
}

TRpRunResult TCustomRpReport::PrintToPrinter()
{
    if (ReportListJob != nullptr)
        return ReportListJob->Print();
    if (!available_ || backgroundRun_)
        return TRpRunResult::Busy;
    // The printer object on show keeps its recording: the print runs on a new one. The progress
    // window goes after it.
    std::unique_ptr<output::TRpProgressForm> progress;
    const PrinterAside aside(*this);
    if (!CreateRpPrinter())
        return TRpRunResult::Busy;
    TRpPrinter& printer = *RpPrinter;
    if (!printer.PrintersPresent())
        return TRpRunResult::NoPrinter;
    printer.SetDestination(output::TRpPrinterDestination::rpdPrinter);
    progress = ProgressFor(*this, printer);
    GenerateReport(false);
    if (refused_ || cancelled_ || printer.Cancelled())
        return TRpRunResult::Cancelled;
    return TRpRunResult::Done;
}

TRpRunResult TCustomRpReport::ExportWithFilter(output::TRpExportFilter& filter)
{
    // Tested first: an export started during a run would take over that run's printer object.
    if (!available_ || backgroundRun_)
        return TRpRunResult::Busy;
    SetExportFilter(&filter);
    filter.Report = &Window();
    PrintToDevice = false;
    const auto exported = qScopeGuard([this] {
        SetExportFilter(nullptr);
        PrintToDevice = true;
    });
    std::unique_ptr<output::TRpProgressForm> progress;
    const PrinterAside aside(*this);
    RestorePrinter(std::make_unique<TRpPrinter>(&Window()));
    RpPrinter = ownPrinter_.get();
    progress = ProgressFor(*this, *RpPrinter, output::kExportingProgressCaption);
    GenerateReport(false);
    if (refused_ || cancelled_ || RpPrinter->Cancelled())
        return TRpRunResult::Cancelled;
    return TRpRunResult::Done;
}

TRpRunResult TCustomRpReport::ExportWithCurrentPrinter(output::TRpExportFilter& filter, output::TRpPrinter& printer)
{
    if (!available_ || backgroundRun_)
        return TRpRunResult::Busy;
    SetExportFilter(&filter);
    filter.Report = &Window();
    PrintToDevice = false;
    std::unique_ptr<output::TRpProgressForm> progress;
    output::ClientWindow* const client = printer.GetClientWindow();
    TRpPrinter* const previous = RpPrinter;
    const auto restore = qScopeGuard([&] {
        RpPrinter = previous;
        if (progress)
            printer.SetClientWindow(client);
        progress.reset();
        SetExportFilter(nullptr);
        PrintToDevice = true;
    });
    RpPrinter = &printer;
    if (ShowProgress)
        progress = ProgressFor(*this, printer, output::kExportingProgressCaption);
    GenerateReport(true);
    if (refused_ || cancelled_ || printer.Cancelled())
        return TRpRunResult::Cancelled;
    return TRpRunResult::Done;
}

bool TCustomRpReport::ShowPrinterSetup()
{
    output::TRpPrintDialog dialog;
    output::SystemPrinter& shared = dialog.Printer();
    shared.Refresh();
    const int index = PrinterSettings.PrinterIndex;
    if (index >= -1 && index < shared.Printers().size())
        shared.SetIndex(index);
    dialog.SetMinPage(0);
    dialog.SetMaxPage(9999);
    if (RpPrinter != nullptr && RpPrinter->Status() == output::TRpPrinterStatus::rpsFinished) {
        dialog.SetMinPage(1);
        dialog.SetMaxPage(RpPrinter->PageCount());
        dialog.SetFromPage(1);
        dialog.SetToPage(RpPrinter->PageCount());
    }
    dialog.SetOptions({output::TPrintDialogOption::poPageNums, output::TPrintDialogOption::poWarning});
    if (std::optional<output::DevMode> devMode = shared.GetDevMode()) {
        devMode->orientation = Page.Orientation() == TPrinterOrientation::poLandscape ? 2 : 1;
        shared.SetDevMode(*devMode);
    }
    dialog.SetCopies(PrinterSettings.Copies);
    if (!dialog.Execute()) {
        Tag = 1;
        return false;
    }
    PrinterSettings.Copies = dialog.Copies();
    PrinterSettings.PrinterIndex = shared.Index();
    Page.SetOrientation(dialog.Orientation() == 2 ? TPrinterOrientation::poLandscape : TPrinterOrientation::poPortrait);
    TRpReportPrinterSettings& setup = SetupSettings;
    // Paper sources have no counterpart here: the bin is kept as the dialog gives it.
    setup.CustomBinCode = dialog.OutputBin();
    setup.ExtendedDuplex = dialog.DuplexCode();
    setup.PrintQuality = dialog.PrintQuality();
    setup.Collate = dialog.Collate();
    setup.ColorOption = dialog.ColorOption();
    setup.Copies = dialog.Copies();
    setup.Orientation = Page.Orientation();
    setup.OutputBin = PrinterSettings.OutputBin;
    setup.CustomPaperCode = dialog.PaperSize();
    setup.PrinterIndex = PrinterSettings.PrinterIndex;
    setup.FirstPage = dialog.FromPage();
    setup.LastPage = dialog.ToPage();
    setup.Duplex = dialog.Duplex();
    const bool pageNumbers = dialog.PrintRange() == output::TPrintRange::prPageNums;
    PrinterSettings.FirstPage = pageNumbers ? dialog.FromPage() : 0;
    PrinterSettings.LastPage = pageNumbers ? dialog.ToPage() : 0;
    Tag = 0;
    return true;
}

// ---- Previews that show while the pages are made ----

TRpRunResult TCustomRpReport::PreviewWhileGenerating()
{
    if (CreateInBGThread)
        return GenerateInBackground(false);
    if (!CreateRpPrinter())
        return TRpRunResult::Busy;
    const QPointer<TRpPrinter> printer = RpPrinter;
    SetUpPreviewPrinter(*this, *printer);
    try {
        ApplyPrinterSettings();
        printer->Preview();
        GenerateReport(false);
    } catch (...) {
        if (printer && !IsShown(*printer))
            DropPrinter();
        throw;
    }
    if (printer)
        printer->SetReprintRecorded(true);
    if (AfterPreview)
        AfterPreview(*this);
    if (cancelled_ || refused_) {
        if (printer && !IsShown(*printer))
            DropPrinter();
        return TRpRunResult::Cancelled;
    }
    while (printer && printer->PreviewActive() && !QCoreApplication::closingDown()) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return TRpRunResult::Done;
}

TRpRunResult TCustomRpReport::GenerateInBackground(bool modal)
{
    if (!CreateRpPrinter())
        return TRpRunResult::Busy;
    const QPointer<TRpPrinter> printer = RpPrinter;
    SetUpPreviewPrinter(*this, *printer);
    // The run is queued on this thread and starts inside the preview's own event loop: the
    // events it fires touch the owner's windows, and nothing of the engine is shared between
    // threads.
    backgroundRun_ = true;
    QMetaObject::invokeMethod(
        &Window(), [this] { RunInBackground(); }, Qt::QueuedConnection);
    if (modal)
        printer->PreviewModal();
    else
        printer->Preview();
    if (modal)
        FlushReleasedPrinters();
    return TRpRunResult::Done;
}

void TCustomRpReport::RunInBackground()
{
    const auto done = qScopeGuard([this] { backgroundRun_ = false; });
    const QPointer<TRpPrinter> printer = RpPrinter;
    // The preview was closed before the run could start.
    if (!printer)
        return;
    try {
        GenerateReport(false);
    } catch (const std::exception& e) {
        utility::ErrorBox(e.what());
    }
    if ((cancelled_ || refused_) && printer && !IsShown(*printer))
        DropPrinter();
}

}  // namespace report::engine
