// The preview control: one recorded page of a printer object at a chosen zoom, in a scroll area,
// following a report that is still being produced (messages 1024 and 1025).
#pragma once

#include "report/output/pages/page_format.h"
#include "report/output/preview/preview_links.h"
#include "report/output/printer/printer_windows.h"
#include "report/output/printer/rp_printer.h"

#include <QPoint>
#include <QPointer>
#include <QScrollArea>
#include <QSize>
#include <QTreeWidget>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace report::output {

class TRpPrinter;

enum class TDragState : std::uint8_t { dsDragEnter, dsDragLeave, dsDragMove };

// The mouse and drag events of the page, as its owner hears them; positions are pixels of the
// page image.
struct TRpPageMouseEvents {
    using TNotifyEvent = std::function<void(QWidget& sender)>;
    using TMouseEvent =
        std::function<void(QWidget& sender, Qt::MouseButton button, Qt::KeyboardModifiers shift, QPoint at)>;
    using TMouseMoveEvent =
        std::function<void(QWidget& sender, Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, QPoint at)>;
    // `source`: the object the drag started from (nullptr from another program); `accept`
    // comes in true and decides whether the page takes the drop.
    using TDragOverEvent =
        std::function<void(QWidget& sender, QObject* source, QPoint at, TDragState state, bool& accept)>;
    using TDragDropEvent = std::function<void(QWidget& sender, QObject* source, QPoint at)>;
    // `target`: where a drag begun on the page was dropped; nullptr when nothing took it.
    using TEndDragEvent = std::function<void(QWidget& sender, QObject* target, QPoint at)>;

    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TDragDropEvent OnDragDrop;
    TDragOverEvent OnDragOver;
    TEndDragEvent OnEndDrag;
    TMouseEvent OnMouseDown;
    TMouseMoveEvent OnMouseMove;
    TMouseEvent OnMouseUp;
};

// The page image inside the preview control. Its mouse events fire with the image as sender.
class TRpPreviewImage : public QWidget, public TRpPageMouseEvents {
    Q_OBJECT
public:
    explicit TRpPreviewImage(QWidget* parent = nullptr);

    void SetRpPrinter(TRpPrinter* printer);
    [[nodiscard]] TRpPrinter* RpPrinter() const { return printer_; }
    // Shows page `n` of the printer object (no page when it has none) and repaints.
    void SetPageNumber(int n);
    [[nodiscard]] int PageNumber() const { return pageNumber_; }
    // The page on show, shared with the printer object's page list; null while the page is not
    // recorded yet.
    [[nodiscard]] const std::shared_ptr<const Page>& PageMetafile() const { return page_; }

    // The zoom (percent) the links' rectangles are scaled by.
    void SetZoom(int zoom) { zoom_ = zoom; }
    [[nodiscard]] int Zoom() const { return zoom_; }
    // The page's clickable areas; none (the default) means no link anywhere.
    void SetLinks(std::optional<std::vector<TRpLinkRecord>> links) { links_ = std::move(links); }
    // The text of the link under (x, y) (pixels of the image), which also becomes CurrentLink;
    // empty when there is none.
    [[nodiscard]] QString LinkAt(int x, int y);
    [[nodiscard]] bool OverLink() const { return overLink_; }
    [[nodiscard]] const QString& CurrentLink() const { return currentLink_; }

    // Drags the page (it carries no data of its own); OnEndDrag tells where it went.
    void BeginDrag();

    TRpPreviewHyperlinkEvent OnHyperlink;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // OnDragOver's answer; false without a handler.
    bool DragOver(QObject* source, QPoint at, TDragState state);

    QPointer<TRpPrinter> printer_;
    int pageNumber_ = 1;
    std::shared_ptr<const Page> page_;
    int zoom_ = 100;
    std::optional<std::vector<TRpLinkRecord>> links_;
    bool overLink_ = false;
    QString currentLink_;
    // The left button went down here (not as a double click): its release is a click.
    bool clickPending_ = false;
    // OnDragOver's last answer: a drop now would be taken.
    bool dropTaken_ = false;
};

// The control's own mouse events (TRpPageMouseEvents) are handed to its page image by
// SetRpPrinter, so they fire when the page is clicked.
class TRpPreview : public QScrollArea, public ClientWindow, public TRpPageMouseEvents {
    Q_OBJECT
public:
    using PageAvailableEvent = std::function<void(TRpPreview& sender, int pageNum)>;
    using ProgressUpdateEvent = std::function<void(TRpPreview& sender, int progress)>;

    explicit TRpPreview(QWidget* parent = nullptr);
    ~TRpPreview() override;

    // Shows `printer`'s document (nullptr: none) from page 1; the printer object's preview is
    // switched on, the previous one's off. The page image takes the control's mouse events as
    // they are now.
    void SetRpPrinter(TRpPrinter* printer);
    [[nodiscard]] TRpPrinter* RpPrinter() const { return printer_; }
    [[nodiscard]] TRpPreviewImage& Image() { return *image_; }

    [[nodiscard]] int PageNumber() const { return pageNumber_; }
    // Goes to page `n` of 1..PageCount, at the top left; any other number is ignored.
    void SetPageNumber(int n);
    // Shows the current page again as the printer object has it now (after a load).
    void ReloadPage();

    [[nodiscard]] int Zoom() const { return zoom_; }
    // Takes a zoom of 2..2000 percent (ZoomState becomes rpZoomOther); ignores any other.
    void SetZoom(int zoom);
    [[nodiscard]] TRpZoomState ZoomState() const { return zoomState_; }
    // The whole page in the control, or its width.
    void ZoomToFit();
    void ZoomToWidth();
    // Sizes the page image for the zoom and scrolls to the top left.
    void UpdateImage();
    // Zoom to fit or to width again, as the zoom state says, then UpdateImage.
    void ApplyZoomState();

    // The size in 0.1 mm of the page on show; without one, the printer's page, else Letter.
    [[nodiscard]] QSize PageSizeTenths() const;

    // The tree that shows the outline of the document on show (not owned; nullptr: none).
    [[nodiscard]] QTreeWidget* Outline() const { return outline_; }
    void SetOutline(QTreeWidget* outline);

    // Link events; the page image keeps them.
    [[nodiscard]] const TRpPreviewHyperlinkEvent& OnHyperlink() const { return image_->OnHyperlink; }
    void SetOnHyperlink(TRpPreviewHyperlinkEvent event) { image_->OnHyperlink = std::move(event); }

    PageAvailableEvent OnPageAvailable;
    ProgressUpdateEvent OnProgressUpdate;

    // ClientWindow
    QObject* WindowObject() override { return this; }
    void ProgressMessage(int percent) override;
    void FinishedPagesMessage(int count) override;
    void DetachPrinter(TRpPrinter& printer) override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    // Entering the control fits the page again, as a resize does.
    void focusInEvent(QFocusEvent* event) override;

private:
    void RefreshPageOnShow();
    void FollowPageSize();

    TRpPreviewImage* image_;
    QPointer<TRpPrinter> printer_;
    QPointer<QTreeWidget> outline_;
    int pageNumber_ = 1;
    int zoom_ = 100;
    TRpZoomState zoomState_ = TRpZoomState::rpZoomOther;
    QSize laidOutTenths_;
};

// Screen pixels (96 per inch) of a length in 0.1 mm.
[[nodiscard]] int ScreenPixels(long double tenths);

}  // namespace report::output
