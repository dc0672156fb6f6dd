// The standard preview window: a report's recorded pages with zoom, paging, thumbnails, a text
// search with its result list, copying a page, printer set-up, printing, saving and loading
// report files, and cancelling a run that is still being produced. Every command is first
// offered to the report's OnStandPrevEvent.
#pragma once

#include "report/output/preview/rp_preview.h"
#include "report/output/printer/printer_windows.h"
#include "report/output/printer/rp_printer.h"
#include "report/output/viewer/preview_frame.h"

#include <QPointer>

#include <filesystem>
#include <string>

namespace report::output {

class TRpStandardPreview : public TRpPreviewFrame {
    Q_OBJECT
public:
    // A window without parent (a disabled parent would disable it) that frees itself when it
    // closes, showing `printer`'s document. Settings come from the printer object's report when
    // it is a PreviewedReport; without one the window opens maximised at zoom 100.
    explicit TRpStandardPreview(TRpPrinter& printer);

    // Shows the window without modality and brings the status bar up to date.
    void ShowPreview();
    // Shows the window modally; returns when it has closed (it frees itself then).
    int ShowPreviewModal();
    // The status bar's page position and title, as the document is now.
    void UpdateStatusBar();

    // Commands of the toolbar, the result list and the preview control.
    void ZoomToFitClick();
    void ZoomToWidthClick();
    void ZoomTo100Click();
    void LastPageClick() override;
    void GotoPageButtonClick();
    void FindButtonClick();
    void copybuttonClick();
    void PrintSetupClick();
    void PrintClick();
    void LoadClick();
    void SaveClick();
    void CancelButtonClick();
    void SearchResultBoxClick();
    void RpPreviewPageAvailable(int pageNum);
    void RpPreviewProgressUpdate(int percent);

    [[nodiscard]] TRpPreview& Preview() { return *RpPreview; }
    [[nodiscard]] TRpPrinter* RpPrinter() const { return printer_; }
    [[nodiscard]] const QString& PreviewTitle() const { return title_; }

protected:
    [[nodiscard]] int CurrentPage() const override;
    [[nodiscard]] int PageCount() const override;
    void ShowPage(int n) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void TakeReportSettings();
    void ApplyInitialZoom();
    void ShowPanes();
    // Enables the commands that need a finished document, or disables them while it is made.
    void UpdateCommands();
    void UpdateThumbMetrics();
    // Offers a command to the report; true when its handler took it.
    bool Offer(TStandPrevEventType type, const char* name);
    void ExportAs(const std::filesystem::path& fileName, const std::string& extension);
    [[nodiscard]] bool Busy() const;

    TRpPreview* RpPreview;
    QPointer<TRpPrinter> printer_;
    QPointer<PreviewedReport> report_;
    QString title_;
    int orientation_ = 0;
    bool showThumbs_ = true;
    bool showSearch_ = true;
    TRpZoomState initialZoom_ = TRpZoomState::rpZoomOther;
    int initialZoomPercent_ = 100;
    bool maximised_ = false;
    int lastProgress_ = 0;
    int savedLeft_ = 0;
    int savedTop_ = 0;
    bool positioned_ = false;
    // Print, printer set-up or export runs started here and not yet returned.
    int running_ = 0;
    bool closing_ = false;
};

// Opens the standard preview window for a printer object.
class TRpStandardPreviewInterface : public PreviewInterface {
public:
    QWidget* Show(TRpPrinter& printer) override;
    QWidget* ShowModal(TRpPrinter& printer) override;
};

// Start-up of the preview unit: the printer objects' previews open the standard window, and
// the XML viewer's factory is the standard one.
void InitializePreviewUnit();
// The program's end: the link handlers are released.
void FinalizePreviewUnit();

}  // namespace report::output
