// The output device of one report run: it records pages into a page list (preview, save,
// export) or draws them straight on a printer, converts report lengths (0.1 mm) to device pixels,
// carries the printer settings, the page range, the progress and the cancel flag of the run, and
// tells its windows how the run goes.
#pragma once

#include "report/output/canvas/canvas.h"
#include "report/output/canvas/measure.h"
#include "report/output/export/export_device.h"
#include "report/output/export/report_interfaces.h"
#include "report/output/pages/page_format.h"
#include "report/output/pages/page_list.h"
#include "report/output/printer/printer_settings.h"
#include "report/output/printer/printer_windows.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace report::output {

class PainterCanvas;
class PageRecorder;

enum class TRpPrinterDestination : std::uint8_t { rpdRecord, rpdPrinter };
enum class TRpPrinterStatus : std::uint8_t { rpsReady, rpsBusy, rpsFinished };

class TRpPrinter : public QObject {
    Q_OBJECT
public:
    using TRpPrinterCallback = std::function<void(TRpPrinter& sender)>;

    // `parentReport` (may be null) is the report that owns the run; the printer object takes its
    // UseStandardprinter and MemoryLimit. The printers are those of ThePrinterService().
    explicit TRpPrinter(ReportWindow* parentReport = nullptr);
    ~TRpPrinter() override;
    TRpPrinter(const TRpPrinter&) = delete;
    TRpPrinter& operator=(const TRpPrinter&) = delete;

    // Frees a printer object, at once or, while one of its own calls that may hand it over
    // (PreviewModal, ClosePreview) is still running, when that call returns.
    static void Release(std::unique_ptr<TRpPrinter> printer);

    // Document cycle. BeginDoc throws ERpError "RpPrinter not ready" unless the status is ready,
    // and then changes nothing; NewPage throws ERpError "Illegal call to NewPage" unless busy.
    // Printer and page list failures throw ERpError with their text.
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void AbortDoc();
    void Cancel() { cancelled_ = true; }
    // Cancels a busy document and forgets the recorded one; the status goes back to ready.
    void Reset();
    // Whether recorded pages are compressed; takes effect before BeginDoc.
    void SetCompression(bool compress);

    // Lengths in 0.1 mm to device pixels, rounded half to even.
    [[nodiscard]] int DeviceX(long double x) const;
    [[nodiscard]] int DeviceY(long double y) const;
    [[nodiscard]] int DeviceWidth(long double width) const;
    [[nodiscard]] int DeviceHeight(long double height) const;
    // What an export of this run needs of the device: the factors and origin in force, and the
    // default printer's resolution for pictures kept at the printer's scale, asked when needed.
    [[nodiscard]] ExportDevice DeviceForExport() const;
    // The current page's drawing surface; nullptr when no page is open.
    [[nodiscard]] Canvas* GetCanvas() { return canvas_; }
    // Paper size in 0.1 mm regardless of orientation, and the page size after it.
    [[nodiscard]] int GetPaperWidth() const { return settings_.GetPaperWidth(); }
    [[nodiscard]] int GetPaperLength() const { return settings_.GetPaperLength(); }
    [[nodiscard]] int GetPageWidth() const;
    [[nodiscard]] int GetPageLength() const;
    [[nodiscard]] TRpPaperSize GetPaperSize() const { return settings_.PaperSize(); }
    [[nodiscard]] int GetOrientation() const { return settings_.Orientation(); }
    // The printer's unprintable margins (0.1 mm) when printing, 0 when recording.
    [[nodiscard]] int GetOffsetX() const;
    [[nodiscard]] int GetOffsetY() const;

    // The report's choices applied whole: Settings().Apply and the page range.
    void ApplySettings(const TRpPrinterSettings& chosen);
    // The choices ApplySettings would apply again: the settings' and the page range.
    [[nodiscard]] TRpPrinterSettings AppliedSettings() const;
    // Selects another printer (-1: keep the current one) with its driver's settings and reads
    // them; an own printer takes the output file of the shared printer when both name the same
    // printer. ERpError for an index outside the printer list.
    void SetPrinterIndex(int index);
    void SetDestination(TRpPrinterDestination destination) { destination_ = destination; }
    // Moves to page `n`, but only while the current page number lies in 1..PageCount.
    void SetCurrentPage(int n);

    // Page `n` of a busy or finished document; nullopt for any other number or a page that
    // cannot be read.
    [[nodiscard]] std::optional<Page> GetRecordedPage(int n);
    // The same page as the page list shares it (TRpPageList::SharedPage): the preview, its
    // thumbnails, the search and a print draw one page; null where GetRecordedPage has none.
    [[nodiscard]] std::shared_ptr<const Page> RecordedPage(int n);
    // The fonts the recorded pages are drawn with on screen (96 dpi), kept for every paint of
    // the page, its thumbnails and copies, so each is made once.
    [[nodiscard]] MeasureDevice& PageFonts();
    // Prints the recorded pages of FirstPage..LastPage (0: the first, the last), or asks the
    // report to run again straight to the printer (message 1026) when its recording was not
    // meant to be reprinted. When the report shows progress, a progress window follows the
    // print as the client window and is destroyed after it.
    void PrintRecordedPages();
    // Loads a saved report file as a finished document, with the orientation and the nearest
    // paper of its first page. A file that cannot be loaded leaves the document as it was;
    // false with `error` (English) then.
    [[nodiscard]] bool LoadRecordedDocument(const std::filesystem::path& fileName, std::string& error);
    // Saves a finished document as a report file; false with `error` otherwise.
    [[nodiscard]] bool SaveRecordedDocument(const std::filesystem::path& fileName, std::string& error);

    // Opens the preview (OnPreview when set, else the preview factory's window).
    void Preview();
    // The same, modal: returns when the window has closed.
    void PreviewModal();
    // A preview that closes cancels a busy document and fires the after-preview callback.
    void SetPreviewActive(bool active);
    // The preview window closes: the preview goes inactive and the report is told (1028),
    // which normally releases this printer object.
    void ClosePreview();

    // Stores the percent and posts it to the client window (1024).
    void SetProgress(int percent);
    // Stores the count and posts it to the client window (1025).
    void SetFinishedPages(int count);

    // Fields of the run.
    [[nodiscard]] ReportWindow* ParentReport() const { return parentReport_; }
    [[nodiscard]] ClientWindow* GetClientWindow() const;
    // Messages 1024 and 1025 go to `window` from now on (nullptr: nowhere).
    void SetClientWindow(ClientWindow* window);
    [[nodiscard]] ReportWindow* GetReportWindow() const { return reportWindow_; }
    void SetReportWindow(ReportWindow* window) { reportWindow_ = window; }
    void SetAfterPrintCallback(TRpPrinterCallback callback) { afterPrint_ = std::move(callback); }
    void SetAfterPreviewCallback(TRpPrinterCallback callback) { afterPreview_ = std::move(callback); }
    void SetOnPreview(TRpPrinterCallback onPreview) { onPreview_ = std::move(onPreview); }
    [[nodiscard]] const QString& Title() const { return title_; }
    void SetTitle(const QString& title) { title_ = title; }
    [[nodiscard]] int FirstPage() const { return firstPage_; }
    [[nodiscard]] int LastPage() const { return lastPage_; }
    void SetFirstPage(int page) { firstPage_ = page; }
    void SetLastPage(int page) { lastPage_ = page; }
    [[nodiscard]] bool ReprintRecorded() const { return reprintRecorded_; }
    void SetReprintRecorded(bool value) { reprintRecorded_ = value; }
    // The document on show was loaded from a report file.
    [[nodiscard]] bool ReportFileLoaded() const { return reportFileLoaded_; }
    void SetReportFileLoaded(bool value) { reportFileLoaded_ = value; }
    [[nodiscard]] QWidget* PreviewForm() const { return previewForm_; }
    [[nodiscard]] TRpPrinterStatus Status() const { return status_; }
    [[nodiscard]] TRpPrinterDestination Destination() const { return destination_; }
    [[nodiscard]] int PageCount() const { return pageCount_; }
    [[nodiscard]] int PageNumber() const { return pageNumber_; }
    [[nodiscard]] int FinishedPages() const { return finishedPages_; }
    [[nodiscard]] bool Cancelled() const { return cancelled_; }
    [[nodiscard]] int Progress() const { return progress_; }
    [[nodiscard]] bool PreviewActive() const { return previewActive_; }
    [[nodiscard]] bool PrintersPresent() const { return printersPresent_; }
    [[nodiscard]] long double XFactor() const { return xFactor_; }
    [[nodiscard]] long double YFactor() const { return yFactor_; }
    [[nodiscard]] int OffsetX() const { return offsetX_; }
    [[nodiscard]] int OffsetY() const { return offsetY_; }
    [[nodiscard]] TPrinterSettings& Settings() { return settings_; }
    [[nodiscard]] const TPrinterSettings& Settings() const { return settings_; }
    [[nodiscard]] TRpPageList& PageList() { return *pageList_; }
    [[nodiscard]] TRpStream* PageStream() { return pageList_->Stream(); }
    [[nodiscard]] SystemPrinter& Printer() { return *printer_; }

signals:
    // Message 1024, emitted only while there is a client window, which receives it queued.
    void ProgressPosted(int percent);
    // Message 1025, the same way.
    void FinishedPagesPosted(int count);

private:
    class CallGuard;

    [[nodiscard]] bool InRange() const;
    void OpenPage();
    void OpenRecordingPage();
    void OpenPrinterPage();
    // Closes the open page; the page list's error when it refused the page, else empty.
    [[nodiscard]] std::string ClosePage(bool keepRecording);
    void DropCanvases();
    void PrintPages(int first, int last, bool showProgress);
    void ChoosePaperOf(const Page& page);
    void FollowSharedOutput();

    QPointer<ReportWindow> parentReport_;
    std::unique_ptr<SystemPrinter> ownPrinter_;
    SystemPrinter* printer_ = nullptr;
    TPrinterSettings settings_;
    std::unique_ptr<TRpPageList> pageList_;
    std::unique_ptr<PageRecorder> recorder_;
    std::unique_ptr<PainterCanvas> printerCanvas_;
    std::unique_ptr<MeasureDevice> pageFonts_;
    Canvas* canvas_ = nullptr;
    TRpPrinterDestination destination_ = TRpPrinterDestination::rpdRecord;
    TRpPrinterStatus status_ = TRpPrinterStatus::rpsReady;
    ClientWindow* clientWindow_ = nullptr;
    QPointer<QObject> clientObject_;
    QMetaObject::Connection progressConnection_;
    QMetaObject::Connection finishedPagesConnection_;
    QPointer<ReportWindow> reportWindow_;
    TRpPrinterCallback afterPrint_;
    TRpPrinterCallback afterPreview_;
    TRpPrinterCallback onPreview_;
    QPointer<QWidget> previewForm_;
    QString title_;
    int firstPage_ = 0;
    int lastPage_ = 0;
    int offsetX_ = 0;
    int offsetY_ = 0;
    int pageCount_ = 0;
    int pageNumber_ = 0;
    int finishedPages_ = 0;
    int progress_ = 0;
    long double xFactor_ = kRecordFactor;
    long double yFactor_ = kRecordFactor;
    bool cancelled_ = false;
    bool printersPresent_ = false;
    bool previewActive_ = false;
    bool reprintRecorded_ = false;
    bool reportFileLoaded_ = false;
    // Calls of its own under way that may hand the object over, and a release asked meanwhile.
    int handOverDepth_ = 0;
    bool releasePending_ = false;
};

// The 1-based position of `sub` in `s`; 0 when it does not occur (or is empty).
[[nodiscard]] int SubstringPos(std::string_view sub, std::string_view s);

}  // namespace report::output
