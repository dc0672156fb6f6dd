#include "report/output/preview/rp_preview.h"

#include "report/output/canvas/measure.h"
#include "report/output/pages/page_paint.h"
#include "report/output/printer/paper_sizes.h"
#include "report/output/printer/rp_printer.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>

namespace report::output {
namespace {

constexpr int kMinZoom = 2;
constexpr int kMaxZoom = 2000;

PreviewedReport* ReportOf(TRpPrinter* printer)
{
    return printer ? qobject_cast<PreviewedReport*>(printer->ParentReport()) : nullptr;
}

}  // namespace

int ScreenPixels(long double tenths)
{
    return RoundHalfEvenInt(tenths * kMeasureDpi / 254.0L);
}

// ---- TRpPreviewImage ----

TRpPreviewImage::TRpPreviewImage(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Image"));
    setMouseTracking(true);
    resize(100, 50);
}

void TRpPreviewImage::SetRpPrinter(TRpPrinter* printer)
{
    printer_ = printer;
}

void TRpPreviewImage::SetPageNumber(int n)
{
    pageNumber_ = n;
    page_.reset();
    if (printer_)
        page_ = printer_->GetRecordedPage(n);
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

void TRpPreviewImage::paintEvent(QPaintEvent* event)
{
    static_cast<void>(event);
    QPainter painter(this);
    PaintPage(page_ ? &*page_ : nullptr, painter, rect(), false, printer_ ? &printer_->PageFonts() : nullptr);
}

void TRpPreviewImage::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    const QPoint at = event->position().toPoint();
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
        OnHyperlink(printer_, TRpHyperlinkEventType::heCursorMoveOver, currentLink_, handled);
    else
        OnHyperlink(printer_, TRpHyperlinkEventType::heCursorMoveAway, QString(), handled);
}

void TRpPreviewImage::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    if (!overLink_ || !OnHyperlink)
        return;
    bool handled = false;
    OnHyperlink(printer_, TRpHyperlinkEventType::heGoto, currentLink_, handled);
    if (!handled)
        OpenHyperlink(printer_, currentLink_);
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

TRpPreview::~TRpPreview()
{
    SetRpPrinter(nullptr);
}

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
    if (printer) {
        printer->SetOutline(outline_);
        if (outline_)
            printer->PageList().Outline().SetTreeView(outline_);
    }
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
    if (const std::optional<Page>& page = image_->PageMetafile();
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
    if (printer_) {
        printer_->SetOutline(outline);
        printer_->PageList().Outline().SetTreeView(outline);
    }
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

}  // namespace report::output
