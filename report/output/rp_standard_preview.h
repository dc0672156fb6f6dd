// The standard preview window: a report's recorded pages with zoom, paging, thumbnails, a text
// search with its result list, copying a page, printer set-up, printing, saving and loading
// report files, and cancelling a run that is still being produced. Every command is first
// offered to the report's OnStandPrevEvent.
#pragma once

#include "report/output/printer_windows.h"
#include "report/output/rp_printer.h"
#include "report/output/rp_preview.h"

#include <QDialog>
#include <QPointer>

#include <functional>
#include <string>

class QAction;
class QActionGroup;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QToolBar;

namespace report::output {

class TRpPrinter;
class TRpThumbGrid;
class TRpThumbModel;

class TRpStandardPreview : public QDialog {
    Q_OBJECT
public:
    // A window without parent (a disabled parent would disable it) that frees itself when it
    // closes, showing `printer`'s document. Settings come from the printer object's report when
    // it is a PreviewedReport; without one the window opens maximised at zoom 100.
    explicit TRpStandardPreview(TRpPrinter& printer);
    ~TRpStandardPreview() override;

    // Shows the window without modality and brings the status bar up to date.
    void ShowPreview();
    // Shows the window modally; returns when it has closed (it frees itself then).
    int ShowPreviewModal();
    // The status bar's page position and title, as the document is now.
    void UpdateStatusBar();

    // Commands of the toolbar, the lists and the preview control.
    void ZoomToFitClick();
    void ZoomToWidthClick();
    void ZoomTo100Click();
    void FirstPageClick();
    void PrevPageClick();
    void NextPageClick();
    void LastPageClick();
    void GotoPageButtonClick();
    void FindButtonClick();
    void copybuttonClick();
    void PrintSetupClick();
    void PrintClick();
    void LoadClick();
    void SaveClick();
    void CancelButtonClick();
    void ExitClick();
    void ThumbGridSelectCell(int row);
    void SearchResultBoxClick();
    void RpPreviewPageAvailable(int pageNum);
    void RpPreviewProgressUpdate(int percent);
    // A key of the window's keyboard table; false for keys it leaves alone.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);

    [[nodiscard]] TRpPreview& Preview() { return *RpPreview; }
    [[nodiscard]] TRpPrinter* RpPrinter() const { return printer_; }
    [[nodiscard]] QLabel& StatusPanel(int index) const;
    [[nodiscard]] QAction* Command(const char* name) const;
    [[nodiscard]] const QString& PreviewTitle() const { return title_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void BuildWindow();
    void BuildToolBar();
    void BuildPanes();
    void BuildStatusBar();
    void TakeReportSettings();
    void ApplyInitialZoom();
    void ShowPanes();
    // Enables the commands that need a finished document, or disables them while it is made.
    void UpdateCommands();
    void SetThumbRows(int rows);
    void UpdateThumbMetrics();
    void GoToPage(int n);
    void KeyUp();
    void KeyDown();
    // Offers a command to the report; true when its handler took it.
    bool Offer(TStandPrevEventType type, const char* name);
    // Runs a command, showing what it throws instead of letting it reach the event loop.
    void Guarded(const std::function<void()>& command);
    void ExportAs(const std::filesystem::path& fileName, const std::string& extension);
    [[nodiscard]] bool Busy() const;
    [[nodiscard]] int PageCount() const;

    QPointer<TRpPrinter> printer_;
    QPointer<PreviewedReport> report_;
    QString title_;
    int orientation_ = 0;
    bool showThumbs_ = true;
    bool showSearch_ = true;
    TRpZoomState initialZoom_ = TRpZoomState::rpZoomOther;
    int initialZoomPercent_ = 100;
    bool maximised_ = false;
    bool stayOnTop_ = false;
    int lastProgress_ = 0;
    int savedLeft_ = 0;
    int savedTop_ = 0;
    bool positioned_ = false;
    bool thumbSyncing_ = false;
    bool keyPaging_ = false;
    // Print, printer set-up or export runs started here and not yet returned.
    int running_ = 0;
    bool closing_ = false;

    QToolBar* ToolBar1 = nullptr;
    QActionGroup* zoomGroup_ = nullptr;
    QPushButton* ExitButton = nullptr;
    QSplitter* Splitter2 = nullptr;
    QTabWidget* Tabs = nullptr;
    QWidget* TabThumbs = nullptr;
    QWidget* TabSearchResult = nullptr;
    TRpThumbGrid* ThumbGrid = nullptr;
    TRpThumbModel* thumbModel_ = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* SearchTextLabel = nullptr;
    QListWidget* SearchResultBox = nullptr;
    TRpPreview* RpPreview = nullptr;
    QStatusBar* StatusBar = nullptr;
    QLabel* panels_[3] = {};
};

// Opens the standard preview window for a printer object.
class TRpStandardPreviewInterface : public PreviewInterface {
public:
    QWidget* Show(TRpPrinter& printer) override;
    QWidget* ShowModal(TRpPrinter& printer) override;
};

// Start-up of the preview unit: the printer objects' previews open the standard window.
void InitializePreviewUnit();
// The program's end: the link handlers are released.
void FinalizePreviewUnit();

}  // namespace report::output
