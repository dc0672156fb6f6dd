// What the report viewers share: the toolbar with its commands, the pane with the thumbnails and
// the search results beside the page, the status bar, and the keys and wheel that page through
// the document whatever has the focus.
#pragma once

#include <QDialog>

#include <functional>

class QAction;
class QActionGroup;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollArea;
class QSplitter;
class QStatusBar;
class QTabWidget;
class QToolBar;

namespace report::output {

class TRpThumbGrid;
class TRpThumbModel;

class TRpPreviewFrame : public QDialog {
    Q_OBJECT
public:
    ~TRpPreviewFrame() override;

    // A toolbar command by its object name ("ZoomFit", "nextPage", ...); nullptr for none.
    [[nodiscard]] QAction* Command(const char* name) const;
    [[nodiscard]] QLabel& StatusPanel(int index) const;

    // A key of the viewers' keyboard table; false for keys it leaves alone.
    bool FormKeyDown(int key, Qt::KeyboardModifiers modifiers);
    void FirstPageClick();
    void PrevPageClick();
    void NextPageClick();
    virtual void LastPageClick();
    void ExitClick();

protected:
    // A window without parent showing `statusPanels` panels (widths as given, the last one
    // stretching), with `pageArea` beside the pane; it frees itself when it closes.
    TRpPreviewFrame(const std::vector<int>& panelWidths, QScrollArea* pageArea);

    // Runs the command of toolbar button `name`, showing what it throws.
    void OnCommand(const char* name, std::function<void()> command);
    // Runs a command, showing what it throws instead of letting it reach the event loop.
    static void Guarded(const std::function<void()>& command);

    // The page on show and the number of pages that may be shown.
    [[nodiscard]] virtual int CurrentPage() const = 0;
    [[nodiscard]] virtual int PageCount() const = 0;
    // Shows page `n` (ignored outside the document) and brings the status bar up to date.
    virtual void ShowPage(int n) = 0;
    // A page chosen in the thumbnail list (row + 1).
    virtual void ThumbChosen(int page);
    // Goes to page `n` and selects its thumbnail, without the list paging back.
    void GoToPage(int n);
    void KeyUp();
    void KeyDown();
    void SetThumbRows(int rows);

    bool eventFilter(QObject* watched, QEvent* event) override;

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
    QScrollArea* pageArea_ = nullptr;
    QStatusBar* StatusBar = nullptr;
    std::vector<QLabel*> panels_;
    bool thumbSyncing_ = false;
    bool keyPaging_ = false;

private:
    void BuildToolBar();
    void BuildPanes();
    void BuildStatusBar(const std::vector<int>& panelWidths);
};

}  // namespace report::output
