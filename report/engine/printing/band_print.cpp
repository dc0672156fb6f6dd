// A band put on the page during a run: events, child bands, breaks, background, controls,
// stretching over columns, frame, full-height lines and the export filter.
#include "report/engine/controls/shape.h"
#include "report/engine/model/band.h"
#include "report/engine/model/controller.h"
#include "report/engine/model/printable.h"
#include "report/engine/model/report_model.h"
#include "report/engine/printing/paging.h"
#include "report/output/canvas/rounding.h"
#include "report/output/export/export_filter.h"
#include "report/output/printer/rp_printer.h"

#include <QRect>

#include <algorithm>

namespace report::engine {

namespace {

using output::RoundHalfEvenInt;
using enum TRpPage::Index;

bool IsPageBand(TRpBandType type)
{
    return type == TRpBandType::rbTitle || type == TRpBandType::rbPageHeader || type == TRpBandType::rbPageFooter ||
           type == TRpBandType::rbOverlay;
}

QRect DeviceBox(const output::TRpPrinter& printer, long double x, long double y, long double width, long double height)
{
    const int left = printer.DeviceX(x);
    const int top = printer.DeviceY(y);
    return {left, top, printer.DeviceX(x + width) - left, printer.DeviceY(y + height) - top};
}

}  // namespace

// One band on its way to the page: the type it prints as, its width there, and its rectangle
// on the page canvas (device pixels) as last computed.
struct TRpPaging::BandPrint {
    TRpCustomBand& band;
    TRpBandType type;
    long double width;
    // The paging itself prints the band (a column or page change): no break of its own.
    bool paging;
    QRect printedRect;
};

void TRpPaging::AdvanceY(const TRpCustomBand& band)
{
    currentY_ += RoundHalfEvenInt(band.Size.Height + band.Expanded());
}

void TRpPaging::FitsOnPage(TRpCustomBand& band)
{
    const int height = RoundHalfEvenInt(band.LinkedHeight(true));
    const int printable =
        RoundHalfEvenInt(RunPaperLength() - (report_.NativePage(kTopMargin) + report_.NativePage(kBottomMargin)));
    const bool detail = band.BandType() == TRpBandType::rbDetail;
    const bool pageFooter = band.BandType() == TRpBandType::rbPageFooter;
    if (!pageFooter && AvailableSpace() < height && height <= printable) {
        // breaks below
    } else if (pageNumber_ != 0) {
        if (detail)
            detailBreak_ = false;
        return;
    }
    detailBreak_ = detail;
    if (!(report_.Page.Continuous && pageNumber_ != 0))
        StartNewColumn();
}

void TRpPaging::PrintBand(TRpCustomBand& band, bool asPageFooter)
{
    BandPrint print{.band = band,
                    .type = asPageFooter ? TRpBandType::rbPageFooter : band.BandType(),
                    .width = band.Size.Width,
                    .paging = OutputByPaging(),
                    .printedRect = {}};
    bool printed = band.Enabled();
    const int startX = currentX_;
    const int startY = currentY_;
    SetExpanded(band, 0);
    if (printed && band.BeforePrint)
        band.BeforePrint(band, printed);
    if (band.BandType() == TRpBandType::rbSummary && report_.Page.Columns() > 1) {
        if (!band.AlignToBottom) {
            // The Summary prints in the current column, as wide as one column; Size keeps its width.
            const long double columns = report_.Page.Columns();
            const long double space = report_.NativePage(kColumnSpace);
            const long double inner =
                report_.NativePage(kWidth) - (report_.NativePage(kLeftMargin) + report_.NativePage(kRightMargin));
            const long double width = (inner - space * (columns - 1)) / columns;
            currentX_ = RoundHalfEvenInt(report_.NativePage(kLeftMargin) + (currentColumn_ - 1) * width) +
                        RoundHalfEvenInt(space * (currentColumn_ - 1));
            print.width = width;
        } else {
            StartNewPage();
        }
    }
    if (printed) {
        PrintChild(band, TCBPrintOrder::cboBeforeParent, print.type == TRpBandType::rbPageFooter);
        if (!print.paging)
            BreakBefore(print);
        if (TRpCustomController* controller = band.DetailController())
            controller->NotifyClients(kNotifyDetailRow);
        if (band.KeepOnOnePage && !print.paging) {
            long double height = 0;
            band.KeepTogether(height);
            if (height > AvailableSpace())
                StartNewColumn();
        }
        PaintBackground(print);
        if (band.Bounds().height() != 0 && band.Enabled())
            PrintBody(print);
        if (filter_ != nullptr)
            filter_->ExportBand(print.type, startX, startY, band.Expanded());
    }
    if (!printed && !band.Enabled() && band.DetailController() != nullptr) {
        band.DetailController()->NotifyClients(kNotifyDetailRow);
    }
    if (band.AfterPrint)
        band.AfterPrint(band, printed);
    PrintChild(band, TCBPrintOrder::cboAfterParent, print.type == TRpBandType::rbPageFooter);
    // Bands the paging prints leave the break of the band that caused it standing.
    if (!print.paging)
        detailBreak_ = false;
}

void TRpPaging::PrintChild(TRpCustomBand& band, TCBPrintOrder side, bool asPageFooter)
{
    auto* child = dynamic_cast<TRpChildBand*>(band.ChildBand());
    if (child == nullptr)
        return;
    if (child->PrintOrder != side && child->PrintOrder != TCBPrintOrder::cboBeforeAndAfter)
        return;
    if (asPageFooter) {
        PrintBand(*child, true);
    } else {
        OutputBand(child);
    }
}

void TRpPaging::BreakBefore(BandPrint& print)
{
    const TRpCustomBand& band = print.band;
    const bool pageExists = pageNumber_ > 0;
    if (band.ForceNewPage && !detailBreak_ && !IsPageBand(print.type) && pageExists) {
        // A group header printed again while its group is open stays where it is.
        if (band.GroupOpen())
            return;
        const bool broke = RequestNewPage();
        detailBreak_ = false;
        if (broke)
            return;
    } else if (band.ForceNewColumn && !IsPageBand(print.type) && pageExists) {
        if (RequestNewColumn())
            return;
    }
    // A swallowed request still needs the room the band takes.
    if (print.type != TRpBandType::rbPageFooter)
        FitsOnPage(print.band);
}

void TRpPaging::PaintBackground(BandPrint& print)
{
    TRpCustomBand& band = print.band;
    if (band.TransparentBand || !band.Enabled())
        return;
    long double height = band.Size.Height;
    if (band.PreCaluculateBandHeight)
        band.KeepTogether(height);
    print.printedRect = DeviceBox(printer_, currentX_, currentY_, print.width, height);
    if (filter_ != nullptr) {
        const output::ExportShape shape{.shape = output::TRpShapeType::rpsRectangle,
                                        .rect = print.printedRect,
                                        .pen = {.color = band.Color, .style = output::PenStyle::Clear},
                                        .brush = {.color = band.Color, .style = output::BrushStyle::Solid}};
        filter_->ExportControl(shape, print.printedRect.left(), print.printedRect.top());
    }
}

void TRpPaging::FillBackground(const BandPrint& print)
{
    if (!printToDevice_ || print.band.TransparentBand)
        return;
    output::Canvas* canvas = printer_.GetCanvas();
    if (canvas == nullptr)
        return;
    canvas->SetBrush({.color = print.band.Color, .style = output::BrushStyle::Solid});
    canvas->FillRect(print.printedRect);
}

void TRpPaging::PrintBody(BandPrint& print)
{
    TRpCustomBand& band = print.band;
    FillBackground(print);
    SetExpanded(band, 0);
    bool first = true;
    for (;;) {
        bool allDone = true;
        bool progressed = false;
        long double tallest = 0;
        for (const auto& control : band.Printables()) {
            if (!control->Enabled())
                continue;
            SetExpanded(band, 0);
            if (first || !control->PrintFinished) {
                control->Print(currentX_, currentY_);
                progressed = progressed || control->PutAnythingDown();
            }
            allDone = allDone && control->PrintFinished;
            tallest = std::max(tallest, band.Expanded());
        }
        SetExpanded(band, tallest);
        DrawFrameAndLines(print);
        // A continuation in a fresh column that put nothing down would never end.
        if (allDone || print.paging || (!first && !progressed))
            break;
        detailBreak_ = true;
        StartNewColumn();
        detailBreak_ = false;
        SetExpanded(band, 0);
        first = false;
        print.printedRect = DeviceBox(printer_, currentX_, currentY_, print.width, band.Size.Height);
        FillBackground(print);
    }
    AdvanceY(band);
}

void TRpPaging::DrawFrameAndLines(BandPrint& print)
{
    const TRpCustomBand& band = print.band;
    if (!(printToDevice_ || filter_ != nullptr))
        return;
    print.printedRect =
        DeviceBox(printer_, currentX_, currentY_, print.width, band.Size.Height + band.Expanded() + 1.0L);
    const QRect& rect = print.printedRect;
    output::Canvas* canvas = printer_.GetCanvas();
    if (canvas != nullptr)
        band.Frame.PaintFrame(*canvas, rect, printer_.XFactor(), printer_.YFactor());
    const int designWidth = band.Bounds().width();
    if (designWidth <= 0)
        return;
    for (const auto& control : band.Printables()) {
        const auto* shape = dynamic_cast<const TRpShape*>(control.get());
        if (shape == nullptr || shape->Tag != 1000 || shape->Shape() != output::TRpShapeType::rpsVertLine)
            continue;
        const long double middle = shape->Bounds().left() + shape->Bounds().width() / 2;
        const int x = rect.left() + RoundHalfEvenInt(rect.width() * 1.0L * middle / designWidth);
        const output::Pen pen{
            .color = shape->Pen().color, .style = output::PenStyle::Solid, .width = shape->Pen().width};
        if (canvas != nullptr) {
            canvas->SetPen(pen);
            canvas->Line(x, rect.top(), x, rect.bottom() + 1);
        }
        if (filter_ != nullptr) {
            // The drawn line goes out as a value; the design shape stays as it is.
            const output::ExportShape line{
                .shape = output::TRpShapeType::rpsVertLine,
                .rect = QRect(x, rect.top(), 1, rect.height()),
                .pen = pen,
                .brush = {.color = shape->Brush().color, .style = output::BrushStyle::Clear}};
            filter_->ExportControl(line, x, rect.top());
        }
    }
}

}  // namespace report::engine
