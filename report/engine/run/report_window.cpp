#include "report/engine/run/report_window.h"

#include "report/engine/run/report.h"
#include "report/engine/run/report_job.h"
#include "report/output/canvas/painter_canvas.h"
#include "report/output/pages/page_format.h"
#include "report/output/printer/print_dialog.h"
#include "report/output/printer/rp_printer.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"

#include <QPainter>

#include <exception>

namespace report::engine {
namespace {

// A save chosen while the report still runs: the file would otherwise stay unwritten unseen.
constexpr char kBusyExportText[] = "The report is still running: save it once it has finished";

// Calls made from the event loop: what they raise is shown, never passed on into Qt.
template <class F>
void Shown(F&& call)
{
    try {
        call();
    } catch (const std::exception& e) {
        utility::ErrorBox(e.what());
    }
}

}  // namespace

TRpReportWindow::TRpReportWindow(TCustomRpReport& report) : report_(report) {}

void TRpReportWindow::PrintToPrinterMessage() { PrintToPrinter(); }

void TRpReportWindow::ClosePreviewMessage(output::TRpPrinter& printer) { report_.ClosePreviewMessage(printer); }

const output::TRpPrinterSettings& TRpReportWindow::PrinterSettings() const { return report_.PrinterSettings; }

bool TRpReportWindow::ShowProgress() const { return report_.ShowProgress; }

void TRpReportWindow::AfterPrint()
{
    if (report_.AfterPrint)
        report_.AfterPrint(report_);
}

bool TRpReportWindow::Exporting() const { return report_.Exporting; }

bool TRpReportWindow::Destroying() const { return destroying || report_.IsDestroying(); }

void TRpReportWindow::RequestStop() { report_.RequestStop(); }

long double TRpReportWindow::PageWidth() const { return report_.NativePage(TRpPage::kWidth); }

long double TRpReportWindow::PageLength() const { return report_.NativePage(TRpPage::kLength); }

output::TRpPreviewOptions TRpReportWindow::PreviewOptions() const
{
    output::TRpPreviewOptions options;
    options.PrevFormStyle = report_.PrevFormStyle;
    options.PreviewInitialState = report_.PreviewInitialState;
    options.PreviewWidth = report_.PreviewWidth;
    options.PreviewHeight = report_.PreviewHeight;
    options.PreviewLeft = report_.PreviewLeft;
    options.PreviewTop = report_.PreviewTop;
    options.PrevShowThumbs = report_.PrevShowThumbs;
    options.PrevShowSearch = report_.PrevShowSearch;
    options.PrevInitialZoom = report_.PrevInitialZoom;
    options.Zoom = report_.Zoom();
    options.PreviewDefaultSaveType = report_.PreviewDefaultSaveType;
    return options;
}

QString TRpReportWindow::ReportTitle() const { return utility::Cp1250ToQString(report_.ReportTitle); }

int TRpReportWindow::PageOrientation() const
{
    return report_.Page.Orientation() == TPrinterOrientation::poLandscape ? 1 : 0;
}

void TRpReportWindow::SetPagePaper(output::TRpPaperSize size, int orientation)
{
    report_.Page.SetPaperSize(size);
    report_.Page.SetOrientation(orientation == 1 ? TPrinterOrientation::poLandscape : TPrinterOrientation::poPortrait);
}

bool TRpReportWindow::OnStandPrevEvent(QWidget& sender, output::TStandPrevEventType eventType,
                                       const std::string& contName)
{
    if (!report_.OnStandPrevEvent)
        return false;
    bool handled = false;
    report_.OnStandPrevEvent(sender, eventType, contName, handled);
    return handled;
}

int TRpReportWindow::PagesInPreview() const { return report_.PagesInPreview; }

void TRpReportWindow::SetPrinterSettings(const output::TRpPrinterSettings& settings)
{
    static_cast<output::TRpPrinterSettings&>(report_.PrinterSettings) = settings;
}

void TRpReportWindow::PrintToPrinter()
{
    Shown([this] {
        // Asked for from a window: a print that cannot be made is not left unsaid.
        if (report_.PrintToPrinter() == TRpRunResult::NoPrinter)
            utility::WarningBox(output::kNoPrinterWarning);
    });
}

std::optional<output::TRpPrinterSettings> TRpReportWindow::ShowPrinterSetup()
{
    bool accepted = false;
    Shown([&] { accepted = report_.ShowPrinterSetup(); });
    if (!accepted)
        return std::nullopt;
    return static_cast<const output::TRpPrinterSettings&>(report_.SetupSettings);
}

void TRpReportWindow::ExportWithFilter(output::TRpExportFilter& filter)
{
    Shown([&] {
        // A report of a composite job is saved with the whole job.
        const TRpRunResult result = report_.ReportListJob != nullptr ? report_.ReportListJob->ExportWithFilter(filter)
                                                                     : report_.ExportWithFilter(filter);
        if (result == TRpRunResult::Busy)
            utility::ErrorBox(kBusyExportText);
    });
}

void TRpReportWindow::ProgressMessage(int percent) { static_cast<void>(percent); }

void TRpReportWindow::FinishedPagesMessage(int count)
{
    if (report_.RpPrinter != nullptr)
        report_.FinishedPagesMessage(*report_.RpPrinter, count);
}

void TRpReportWindow::PreviewWhileGeneratingMessage()
{
    Shown([this] { static_cast<void>(report_.PreviewWhileGenerating()); });
}

}  // namespace report::engine
