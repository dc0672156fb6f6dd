// The XML report viewer: pages, zooms and searches an XML report document and tells its owner
// about its print, save and set-up buttons and about clicks on the page's items. It prints and
// saves nothing itself.
#pragma once

#include "report/output/viewer/preview_frame.h"
#include "report/output/viewer/search_dialog.h"
#include "report/output/xml/rpx_document.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

namespace report::output {

// What the viewer tells its owner (etMouseOut comes last, after the report's own list).
enum class TPrevEventType : std::uint8_t {
    etPrintButton,
    etSaveButton,
    etControlClick,
    etLoadButton,
    etPrintSetup,
    etMouseOver,
    etBandClick,
    etMouseOut
};
// `cName`: the item's identifier; `cText`: its text; `number`: its number + 1 (0 for buttons).
using TRpPreviewXEvent = std::function<void(QObject* sender, TPrevEventType eventType, const QString& cName,
                                            const QString& cText, int number)>;

class TRpXSearchDlg : public TSearchDlg {
    Q_OBJECT
public:
    explicit TRpXSearchDlg(QWidget* parent = nullptr);
};

// The page picture, which knows the items under the mouse.
class TRpXPageImage : public QWidget {
    Q_OBJECT
public:
    explicit TRpXPageImage(QWidget* parent = nullptr);

    void SetPicture(QImage picture, std::vector<TPageItem> items);
    [[nodiscard]] const QImage& Picture() const { return picture_; }
    [[nodiscard]] const std::vector<TPageItem>& Items() const { return items_; }
    // The control item at `at`, else the band there; nullptr over neither.
    [[nodiscard]] const TPageItem* ItemAt(const QPoint& at, bool bands) const;

    std::function<void(const TPageItem* item)> OnHover;
    std::function<void(const TPageItem& item)> OnClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QImage picture_;
    std::vector<TPageItem> items_;
    const TPageItem* hovered_ = nullptr;
};

class TRpXStandardViewer : public TRpPreviewFrame {
    Q_OBJECT
public:
    TRpXStandardViewer();

    // Shows `document` from page 1; `title` goes to the status bar. The search index is made
    // when search is shown.
    void AttachDocument(std::unique_ptr<TRpXDocument> document, const QString& title);
    // Opens a document file; a file that cannot be read is shown in an error box and the
    // document on show stays. True when it was opened.
    bool OpenFile(const std::filesystem::path& fileName);

    // Panes and buttons, before a document is attached.
    void SetShowThumbs(bool show);
    void SetShowSearch(bool show);
    void SetButtonsVisible(bool print, bool printSetup, bool save, bool load);
    // Thumbnails show an item's picture only with this on; else a grey box in its place.
    void SetThumbnailImages(bool images) { thumbnailImages_ = images; }

    void ZoomToFitClick();
    void ZoomToWidthClick();
    void ZoomTo100Click();
    void GotoPageButtonClick();
    void FindButtonClick();
    void SearchResultBoxClick();
    void copybuttonClick();
    void PrintClick();
    void SaveClick();
    void PrintSetupClick();
    void LoadClick();

    [[nodiscard]] double Zoom() const { return zoom_; }
    [[nodiscard]] const QImage& PageImage() const { return image_->Picture(); }
    [[nodiscard]] TRpXPageImage& Image() { return *image_; }
    [[nodiscard]] const TRpXDocument* Document() const { return document_.get(); }

    TRpPreviewXEvent OnPrevXEvent;

protected:
    [[nodiscard]] int CurrentPage() const override { return page_; }
    [[nodiscard]] int PageCount() const override;
    void ShowPage(int n) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    enum class Fit : std::uint8_t { None, Width, Page };

    void SetZoom(double zoom);
    void Redraw();
    void UpdateStatusBar();
    void UpdateThumbs();
    void ShowHit(int line);
    void Fire(TPrevEventType type, const QString& name = QString(), const QString& text = QString(), int number = 0);

    std::unique_ptr<TRpXDocument> document_;
    TRpXPageImage* image_ = nullptr;
    QString title_;
    int page_ = 1;
    double zoom_ = 100;
    Fit fit_ = Fit::None;
    bool showThumbs_ = true;
    bool showSearch_ = true;
    bool thumbnailImages_ = false;
    QString searchText_;
    bool matchCase_ = false;
    std::vector<TRpXIndexEntry> index_;
};

// Opens XML viewers. This base opens none.
class TRpXMLPreviewInterface {
public:
    virtual ~TRpXMLPreviewInterface() = default;
    // Shows the viewer without modality; the window, or nullptr.
    virtual QWidget* Show();
    // Shows it modally and returns when it has closed.
    virtual void ShowModal();
    // The picture of the page on show; null without one.
    [[nodiscard]] virtual QImage PageImage();
    // Gives the viewer a document to show.
    virtual void AttachDocument(std::unique_ptr<TRpXDocument> document, const QString& title);

    TRpPreviewXEvent OnPrevXEvent;
};

// The standard XML viewer, made on first use without parent.
class TRpXMLStandardPreviewInterface : public TRpXMLPreviewInterface {
public:
    ~TRpXMLStandardPreviewInterface() override;
    QWidget* Show() override;
    void ShowModal() override;
    [[nodiscard]] QImage PageImage() override;
    void AttachDocument(std::unique_ptr<TRpXDocument> document, const QString& title) override;

private:
    TRpXStandardViewer& Viewer();

    QPointer<TRpXStandardViewer> viewer_;
};

using XMLPreviewInterfaceFactory = std::function<std::unique_ptr<TRpXMLPreviewInterface>()>;
// The XML viewer's factory; set by the program's start-up. Without one the base is made.
void SetXMLPreviewInterfaceClass(XMLPreviewInterfaceFactory factory);
[[nodiscard]] std::unique_ptr<TRpXMLPreviewInterface> MakeXMLPreviewInterface();

}  // namespace report::output
