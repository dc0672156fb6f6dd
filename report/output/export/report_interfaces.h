// What the output half sees of a report: the export filters its page size, the printer object
// the window of its messages, and the preview windows what they show and ask of it. The report
// implements them; nothing of the output half needs the report's own classes.
#pragma once

#include "report/output/export/export_filter_library.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>

class QWidget;

namespace report::output {

class TRpPrinter;
class TRpExportFilter;
struct TRpPrinterSettings;
enum class TRpPaperSize : std::uint8_t;

// The report as an export filter sees it: its page size in tenths of a millimetre while the run
// lasts (each page takes the size in force when it is begun).
class ExportedReport {
public:
    ExportedReport() = default;
    ExportedReport(const ExportedReport&) = delete;
    ExportedReport& operator=(const ExportedReport&) = delete;
    virtual ~ExportedReport() = default;

    [[nodiscard]] virtual long double PageWidth() const = 0;
    [[nodiscard]] virtual long double PageLength() const = 0;
};

// The report as its printer object sees it. Message 1026 arrives queued (posted), 1028 direct
// (sent).
class ReportWindow : public QObject, public ExportedReport {
    Q_OBJECT
public:
    using QObject::QObject;

    // 1026: run the report again, straight to the printer.
    virtual void PrintToPrinterMessage() = 0;
    // 1028: the preview of `printer` is closing. The report lets go of it with
    // TRpPrinter::Release, which frees it once the printer object's own calls have returned.
    virtual void ClosePreviewMessage(TRpPrinter& printer) = 0;

    // The report's printer choices; the printer object takes UseStandardprinter and MemoryLimit.
    [[nodiscard]] virtual const TRpPrinterSettings& PrinterSettings() const = 0;
    // Whether printing and exporting show a progress window.
    [[nodiscard]] virtual bool ShowProgress() const = 0;
    // Fires the report's AfterPrint event.
    virtual void AfterPrint() = 0;
    // True while the report exports through a filter.
    [[nodiscard]] virtual bool Exporting() const = 0;
    // True while the report is being destroyed.
    [[nodiscard]] virtual bool Destroying() const = 0;
    // The report's stop request: its data loop ends before the next row.
    virtual void RequestStop() = 0;
};

// How the preview fits the page into its control.
enum class TRpZoomState : std::uint8_t { rpZoomToFit, rpZoomToWidth, rpZoomOther, rpZoom100 };

// The preview window's commands, as the report's OnStandPrevEvent is told them.
enum class TStandPrevEventType : std::uint8_t {
    spOpen,
    spClose,
    spCopy,
    spPrint,
    spPrintSetup,
    spLoad,
    spSave,
    spCancel
};

enum class TPreviewWindowState : std::uint8_t { wsNormal, wsMinimized, wsMaximized };
enum class TPreviewFormStyle : std::uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };

// How the report wants its preview window.
struct TRpPreviewOptions {
    TPreviewFormStyle PrevFormStyle = TPreviewFormStyle::fsNormal;
    TPreviewWindowState PreviewInitialState = TPreviewWindowState::wsNormal;
    int PreviewWidth = 0;  // pixels; below 1 reads as 500
    int PreviewHeight = 0;
    int PreviewLeft = 0;
    int PreviewTop = 0;
    bool PrevShowThumbs = true;
    bool PrevShowSearch = true;
    TRpZoomState PrevInitialZoom = TRpZoomState::rpZoomToFit;
    int Zoom = 100;  // percent, used when the first zoom is neither fit nor width
    TPrevSaveType PreviewDefaultSaveType = TPrevSaveType::stRPP;  // the save dialog's first line
};

// A report that can be previewed: what the preview window reads of it and asks it to do.
// A printer object whose report is not one of these is previewed without a report.
class PreviewedReport : public ReportWindow {
    Q_OBJECT
public:
    using ReportWindow::ReportWindow;

    [[nodiscard]] virtual TRpPreviewOptions PreviewOptions() const = 0;
    // The document title (ReportTitle).
    [[nodiscard]] virtual QString ReportTitle() const = 0;
    // The report page's orientation: 0 portrait, 1 landscape.
    [[nodiscard]] virtual int PageOrientation() const = 0;
    // The report page takes the paper and orientation of a loaded report file.
    virtual void SetPagePaper(TRpPaperSize size, int orientation) = 0;
    // Offers a preview command to the report's OnStandPrevEvent; true when the handler took it
    // (Handled). False when the report has no handler.
    [[nodiscard]] virtual bool OnStandPrevEvent(QWidget& sender, TStandPrevEventType eventType,
                                                const std::string& contName) = 0;
    // Above 0: the preview asks the report to stop once it shows this many pages.
    [[nodiscard]] virtual int PagesInPreview() const = 0;
    // Replaces the report's printer choices (PrinterSettings()).
    virtual void SetPrinterSettings(const TRpPrinterSettings& settings) = 0;
    // Runs the report again, straight to the printer.
    virtual void PrintToPrinter() = 0;
    // The report's printer set-up dialog: the choices made (its second settings object, with
    // the printer index also stored in PrinterSettings()), or nullopt when it was cancelled.
    [[nodiscard]] virtual std::optional<TRpPrinterSettings> ShowPrinterSetup() = 0;
    // Runs the report into `filter`.
    virtual void ExportWithFilter(TRpExportFilter& filter) = 0;
};

}  // namespace report::output
