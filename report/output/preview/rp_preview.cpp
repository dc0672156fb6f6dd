#include "report/output/preview/rp_preview.h"

#include "report/output/canvas/measure.h"
#include "report/output/canvas/rounding.h"
#include "report/output/pages/page_paint.h"
#include "report/output/preview/outline_tree.h"
#include "report/output/printer/paper_sizes.h"
#include "report/output/printer/rp_printer.h"
#include "utility/dialogi.h"

#include <QCursor>
#include <QDrag>
#include <QDragEnterEvent>
#include <QFocusEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <exception>
#include <utility>

namespace report::output {
namespace {

constexpr int kMinZoom = 2;
constexpr int kMaxZoom = 2000;

PreviewedReport* ReportOf(TRpPrinter* printer)
{
    return printer ? qobject_cast<PreviewedReport*>(printer->ParentReport()) : nullptr;
}

// Runs an owner's event handler; what it throws is shown, not let into the event loop. The
// handler runs from a copy: it may replace itself.
template <typename Handler, typename... Args>
void Fire(const Handler& handler, Args&&... args)
{
    if (!handler)
        return;
    const Handler run = handler;
    try {
        run(std::forward<Args>(args)...);
    } catch (const std::exception& e) {
        // The report library's texts are code page 1250.
        utility::ErrorBox(e.what());
    } catch (...) {
        utility::ErrorBox("Unknown error");
    }
}

}  // namespace

int ScreenPixels(long double tenths) { return RoundHalfEvenInt(tenths * kMeasureDpi / 254.0L); }

// ---- TRpPreviewImage ----

TRpPreviewImage::TRpPreviewImage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Image"));
    setMouseTracking(true);
    // Whether a drop is taken is OnDragOver's to say.
    setAcceptDrops(true);
    resize(100, 50);
}

void TRpPreviewImage::SetRpPrinter(TRpPrinter* printer) { printer_ = printer; }

void TRpPreviewImage::SetPageNumber(int n)
{
    pageNumber_ = n;
    page_.reset();
    if (printer_)
        page_ = printer_->RecordedPage(n);
    setAccessibleName(tr("Page %1").arg(n));
    update();
}

QString TRpPreviewImage::LinkAt(int x, int y)
{
    if (!links_ || zoom_ <= 0)
        return {};
    const int px = RoundHalfEvenInt(static_cast<long double>(x) / zoom_ * 100);
    const int py = RoundHalfEvenInt(static_cast<long double>(y) / zoom_ * 100);
    for (const TRpLinkRecord& link : *links_) {
        if (px >= link.left && px <= link.right && py >= link.top && py <= link.bottom) {
            currentLink_ = link.link;
            return link.link;
        }
    }
    return {};
}

void TRpPreviewImage::BeginDrag()
{
    const QPointer<TRpPreviewImage> alive(this);
    // Qt frees the drag when it is over.
    const QPointer<QDrag> drag = new QDrag(this);
    drag->setMimeData(new QMimeData);
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction);
    // Events go on during the drag: the page may have gone with its window.
    if (!alive)
        return;
    QObject* const target = action != Qt::IgnoreAction && drag ? drag->target() : nullptr;
    Fire(OnEndDrag, *this, target, mapFromGlobal(QCursor::pos()));
}

void TRpPreviewImage::paintEvent(QPaintEvent* event)
{
    static_cast<void>(event);
    QPainter painter(this);
    PaintPage(page_.get(), painter, rect(), false, printer_ ? &printer_->PageFonts() : nullptr);
}

void TRpPreviewImage::mousePressEvent(QMouseEvent* event)
{
    // The page takes its own presses: the release then comes back here.
    event->accept();
    if (event->button() == Qt::LeftButton)
        clickPending_ = true;
    Fire(OnMouseDown, *this, event->button(), event->modifiers(), event->position().toPoint());
}

void TRpPreviewImage::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The second press itself came as a press before this; its release is no click of its own.
    event->accept();
    if (event->button() == Qt::LeftButton) {
        clickPending_ = false;
        Fire(OnDblClick, *this);
    }
}

void TRpPreviewImage::mouseMoveEvent(QMouseEvent* event)
{
    event->accept();
    const QPoint at = event->position().toPoint();
    const QPointer<TRpPreviewImage> alive(this);
    Fire(OnMouseMove, *this, event->buttons(), event->modifiers(), at);
    if (!alive)
        return;
    const bool over = !LinkAt(at.x(), at.y()).isEmpty();
    if (over)
        setCursor(Qt::PointingHandCursor);
    else
        unsetCursor();
    if (over == overLink_)
        return;
    overLink_ = over;
    if (!OnHyperlink)
        return;
    bool handled = false;
    if (over)
        Fire(OnHyperlink, printer_, TRpHyperlinkEventType::heCursorMoveOver, currentLink_, handled);
    else
        Fire(OnHyperlink, printer_, TRpHyperlinkEventType::heCursorMoveAway, QString(), handled);
}

void TRpPreviewImage::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    const QPoint at = event->position().toPoint();
    // A handler may close the window the page is in.
    const QPointer<TRpPreviewImage> alive(this);
    if (event->button() == Qt::LeftButton && std::exchange(clickPending_, false) && rect().contains(at))
        Fire(OnClick, *this);
    if (!alive)
        return;
    Fire(OnMouseUp, *this, event->button(), event->modifiers(), at);
    if (!alive || !overLink_ || !OnHyperlink)
        return;
    bool handled = false;
    Fire(OnHyperlink, printer_, TRpHyperlinkEventType::heGoto, currentLink_, handled);
    if (alive && !handled)
        OpenHyperlink(printer_, currentLink_);
}

bool TRpPreviewImage::DragOver(QObject* source, QPoint at, TDragState state)
{
    bool accept = false;
    if (OnDragOver) {
        accept = true;
        Fire(OnDragOver, *this, source, at, state, accept);
    }
    dropTaken_ = accept && state != TDragState::dsDragLeave;
    return accept;
}

void TRpPreviewImage::dragEnterEvent(QDragEnterEvent* event)
{
    if (!OnDragOver) {
        event->ignore();
        return;
    }
    // Entered, the page hears of every move, so OnDragOver may change its answer on the way;
    // an answer of no only keeps the drop out.
    const bool accept = DragOver(event->source(), event->position().toPoint(), TDragState::dsDragEnter);
    event->accept();
    if (accept)
        event->acceptProposedAction();
    else
        event->setDropAction(Qt::IgnoreAction);
}

void TRpPreviewImage::dragMoveEvent(QDragMoveEvent* event)
{
    if (DragOver(event->source(), event->position().toPoint(), TDragState::dsDragMove))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TRpPreviewImage::dragLeaveEvent(QDragLeaveEvent* event)
{
    static_cast<void>(event);
    // Qt does not say on leaving where the drag came from.
    static_cast<void>(DragOver(nullptr, mapFromGlobal(QCursor::pos()), TDragState::dsDragLeave));
}

void TRpPreviewImage::dropEvent(QDropEvent* event)
{
    if (!std::exchange(dropTaken_, false)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    Fire(OnDragDrop, *this, event->source(), event->position().toPoint());
}

// ---- TRpPreview ----

TRpPreview::TRpPreview(QWidget* parent) : QScrollArea(parent), image_(new TRpPreviewImage)
{
    setObjectName(QStringLiteral("RpPreview"));
    setWidgetResizable(false);
    setAlignment(Qt::AlignCenter);
    setWidget(image_);
    resize(250, 250);
}

TRpPreview::~TRpPreview() { SetRpPrinter(nullptr); }

void TRpPreview::SetRpPrinter(TRpPrinter* printer)
{
    if (printer_ && printer_->GetClientWindow() == this) {
        printer_->SetPreviewActive(false);
        printer_->SetClientWindow(nullptr);
    }
    printer_ = printer;
    image_->SetRpPrinter(printer);
    if (printer) {
        printer->SetClientWindow(this);
        printer->SetPreviewActive(true);
    }
    pageNumber_ = 1;
    image_->SetPageNumber(1);
    update();
    static_cast<TRpPageMouseEvents&>(*image_) = static_cast<const TRpPageMouseEvents&>(*this);
    if (printer && outline_)
        ShowOutline(printer->PageList().Outline(), outline_);
}

void TRpPreview::SetPageNumber(int n)
{
    if (n == pageNumber_ && image_->PageMetafile())
        return;
    if (!printer_ || n < 1 || n > printer_->PageCount())
        return;
    image_->SetPageNumber(n);
    pageNumber_ = n;
    FollowPageSize();
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void TRpPreview::ReloadPage()
{
    image_->SetPageNumber(pageNumber_);
    FollowPageSize();
}

void TRpPreview::SetZoom(int zoom)
{
    if (zoom < kMinZoom || zoom > kMaxZoom)
        return;
    zoomState_ = TRpZoomState::rpZoomOther;
    zoom_ = zoom;
    UpdateImage();
}

QSize TRpPreview::PageSizeTenths() const
{
    if (const std::shared_ptr<const Page>& page = image_->PageMetafile();
        page && page->header.widthTenths > 0 && page->header.lengthTenths > 0)
        return {page->header.widthTenths, page->header.lengthTenths};
    if (printer_ && printer_->GetPageWidth() > 0 && printer_->GetPageLength() > 0)
        return {printer_->GetPageWidth(), printer_->GetPageLength()};
    return {PaperWidthTenths(TRpPaperSize::Letter), PaperLengthTenths(TRpPaperSize::Letter)};
}

void TRpPreview::UpdateImage()
{
    const QSize tenths = PageSizeTenths();
    laidOutTenths_ = tenths;
    const int width = ScreenPixels(tenths.width() / 100.0L * zoom_) + 4;
    const int height = ScreenPixels(tenths.height() / 100.0L * zoom_) + 4;
    image_->resize(width, height);
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
    image_->SetZoom(zoom_);
}

void TRpPreview::ZoomToFit()
{
    const QSize tenths = PageSizeTenths();
    const long double byWidth = static_cast<long double>(width()) / std::max(1, ScreenPixels(tenths.width()));
    const long double byHeight = static_cast<long double>(height()) / std::max(1, ScreenPixels(tenths.height()));
    SetZoom(std::min(RoundHalfEvenInt(byWidth * 95), RoundHalfEvenInt(byHeight * 95)));
    UpdateImage();
    zoomState_ = TRpZoomState::rpZoomToFit;
}

void TRpPreview::ZoomToWidth()
{
    const QSize tenths = PageSizeTenths();
    const long double byWidth = static_cast<long double>(width()) / std::max(1, ScreenPixels(tenths.width()));
    SetZoom(RoundHalfEvenInt(byWidth * 90));
    UpdateImage();
    zoomState_ = TRpZoomState::rpZoomToWidth;
}

void TRpPreview::ApplyZoomState()
{
    if (zoomState_ == TRpZoomState::rpZoomToFit)
        ZoomToFit();
    else if (zoomState_ == TRpZoomState::rpZoomToWidth)
        ZoomToWidth();
    UpdateImage();
}

void TRpPreview::FollowPageSize()
{
    // A page of another size than the one laid out (say a landscape page among portrait ones)
    // gets its own proportions instead of being stretched into the old ones.
    if (PageSizeTenths() != laidOutTenths_)
        ApplyZoomState();
}

void TRpPreview::SetOutline(QTreeWidget* outline)
{
    outline_ = outline;
    if (printer_)
        ShowOutline(printer_->PageList().Outline(), outline);
}

void TRpPreview::ProgressMessage(int percent)
{
    if (OnProgressUpdate)
        OnProgressUpdate(*this, percent);
}

void TRpPreview::FinishedPagesMessage(int count)
{
    if (count == pageNumber_)
        RefreshPageOnShow();
    if (OnPageAvailable)
        OnPageAvailable(*this, count);
}

void TRpPreview::RefreshPageOnShow()
{
    if (!printer_ || image_->PageMetafile() || image_->PageNumber() > printer_->FinishedPages())
        return;
    if (const PreviewedReport* report = ReportOf(printer_);
        report && report->PreviewOptions().PrevInitialZoom == TRpZoomState::rpZoomToWidth)
        ZoomToWidth();
    image_->SetPageNumber(image_->PageNumber());
    FollowPageSize();
}

void TRpPreview::DetachPrinter(TRpPrinter& printer)
{
    if (printer_ != &printer)
        return;
    printer.SetClientWindow(nullptr);
    printer_ = nullptr;
    image_->SetRpPrinter(nullptr);
}

void TRpPreview::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    ApplyZoomState();
}

void TRpPreview::focusInEvent(QFocusEvent* event)
{
    QScrollArea::focusInEvent(event);
    // Entering is the keyboard's or the program's doing. The window coming back to the front,
    // a menu closing or a click on the page does not enter: each would throw away the place
    // scrolled to.
    switch (event->reason()) {
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
    case Qt::MenuBarFocusReason:
    case Qt::MouseFocusReason:
        return;
    default:
        ApplyZoomState();
    }
}

}  // namespace report::output
