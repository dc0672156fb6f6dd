// A band put on the page during a run: events, child bands, breaks, background, controls,
// stretching over columns, frame, full-height lines and the export filter.
#include "report/engine/model/band.h"
#include "report/engine/model/controller.h"
#include "report/engine/model/printable.h"
#include "report/engine/model/report.h"
#include "report/engine/controls/shape.h"
#include "report/output/export/export_filter.h"
#include "report/output/canvas/rounding.h"
#include "report/output/printer/rp_printer.h"

#include <algorithm>
#include <cmath>

namespace report::engine {

namespace {

using output::RoundHalfEvenInt;

// Screen pixels per tenth of a millimetre.
constexpr long double kPixelsPerTenth = 0.377952755905512L;

bool IsPageBand(TRpBandType type) {
    return type == TRpBandType::rbTitle || type == TRpBandType::rbPageHeader ||
           type == TRpBandType::rbPageFooter || type == TRpBandType::rbOverlay;
}

QRect DeviceBox(const output::TRpPrinter& printer, long double x, long double y, long double width, long double height) {
    const int left = printer.DeviceX(x);
    const int top = printer.DeviceY(y);
    return {left, top, printer.DeviceX(x + width) - left, printer.DeviceY(y + height) - top};
}

}  // namespace

long double TRpCustomBand::LinkedHeight(bool includeLinks) const {
    long double height = Size.Height;
    if (!includeLinks) return height;
    for (const TRpCustomBand* band = link_; band != nullptr && band != this; band = band->link_) height += band->Size.Height;
    return height;
}

bool TRpCustomBand::CanExpand(long double extra) const {
    if (report_ == nullptr) return false;
    return RoundHalfEvenInt(Size.Height + Expanded + extra) <= report_->AvailableSpace();
}

bool TRpCustomBand::ExpandBand(long double& newExpanded, bool& started, long double extra) {
    if (!CanExpand(extra)) return false;
    if (!started && extra < Expanded) {
        newExpanded = Expanded;
        started = true;
        return true;
    }
    Expanded += extra;
    newExpanded = Expanded;
    started = true;
    return false;
}

void TRpCustomBand::AdvanceY() {
    if (report_ != nullptr) report_->CurrentY += RoundHalfEvenInt(Size.Height + Expanded);
}

void TRpCustomBand::KeepTogether(long double& height) {
    CalculatedHeight = Size.Height;
    long double extra = 0;
    for (const auto& control : Printables()) {
        if (!control->CountsForKeepTogether() || !control->Enabled()) continue;
        long double needed = control->Bounds().height();
        control->GetExpandedHeight(needed);
        const long double bottom = (control->Bounds().top() + needed) / kPixelsPerTenth;
        if (bottom > CalculatedHeight) {
            CalculatedHeight = bottom;
            extra = (bounds_.height() - control->Bounds().top() - control->Bounds().height() + 1) / kPixelsPerTenth;
        }
    }
    height = CalculatedHeight + std::max<long double>(extra, 0);
}

void TRpCustomBand::FitsOnPage() {
    TCustomRpReport& report = *report_;
    const int height = RoundHalfEvenInt(LinkedHeight(true));
    const int printable = RoundHalfEvenInt(report.RunPaperLength() - (report.NativePage(2) + report.NativePage(0)));
    const bool pageFooter = bandType_ == TRpBandType::rbPageFooter;
    if (!pageFooter && report.AvailableSpace() < height && height <= printable) {
        // breaks below
    } else if (report.PageNumber != 0) {
        if (bandType_ == TRpBandType::rbDetail) report.DetailBreak = false;
        return;
    }
    report.DetailBreak = bandType_ == TRpBandType::rbDetail;
    if (!(report.Page.Continuous && report.PageNumber != 0)) report.StartNewColumn();
}

void TRpCustomBand::PrintBand(bool asPageFooter) {
    if (report_ == nullptr) return;
    TCustomRpReport& report = *report_;
    const TRpBandType type = asPageFooter ? TRpBandType::rbPageFooter : bandType_;
    const bool paging = report.OutputByPaging();
    bool print = Enabled();
    const int startX = report.CurrentX;
    const int startY = report.CurrentY;
    long double bandWidth = Size.Width;
    Expanded = 0;
    if (print && BeforePrint) BeforePrint(*this, print);
    if (bandType_ == TRpBandType::rbSummary && report.Page.Columns() > 1) {
        if (!AlignToBottom) {
            // The Summary prints in the current column, as wide as one column; Size keeps its width.
            const long double columns = report.Page.Columns();
            const long double space = report.NativePage(6);
            const long double width =
                (report.NativePage(3) - (report.NativePage(4) + report.NativePage(5)) - space * (columns - 1)) / columns;
            report.CurrentX = RoundHalfEvenInt(report.NativePage(4) + (report.CurrentColumn - 1) * width) +
                              RoundHalfEvenInt(space * (report.CurrentColumn - 1));
            bandWidth = width;
        } else {
            report.StartNewPage();
        }
    }
    if (print) {
        PrintChild(TCBPrintOrder::cboBeforeParent, type);
        if (!paging) BreakBefore(type);
        if (Controller != nullptr) Controller->NotifyClients(kNotifyDetailRow);
        if (KeepOnOnePage && !paging) {
            long double height = 0;
            KeepTogether(height);
            if (height > report.AvailableSpace()) report.StartNewColumn();
        }
        PaintBackground(bandWidth);
        if (bounds_.height() != 0 && Enabled()) PrintBody(bandWidth, paging);
        if (report.Exporting && report.ExportFilter != nullptr) {
            report.ExportFilter->ExportBand(type, startX, startY, Expanded);
        }
    }
    if (!print && !Enabled() && Controller != nullptr) Controller->NotifyClients(kNotifyDetailRow);
    if (AfterPrint) AfterPrint(*this, print);
    PrintChild(TCBPrintOrder::cboAfterParent, type);
    // Bands the paging prints leave the break of the band that caused it standing.
    if (!paging) report.DetailBreak = false;
}

void TRpCustomBand::PrintChild(TCBPrintOrder side, TRpBandType type) {
    auto* child = dynamic_cast<TRpChildBand*>(ChildBand());
    if (child == nullptr) return;
    if (child->PrintOrder != side && child->PrintOrder != TCBPrintOrder::cboBeforeAndAfter) return;
    if (type == TRpBandType::rbPageFooter) {
        child->PrintBand(true);
    } else {
        report_->OutputBand(child);
    }
}

void TRpCustomBand::BreakBefore(TRpBandType type) {
    TCustomRpReport& report = *report_;
    const bool pageExists = report.PageNumber > 0;
    if (ForceNewPage && !report.DetailBreak && !IsPageBand(type) && pageExists) {
        // A group header printed again while its group is open stays where it is.
        if (GroupOpen()) return;
        const bool broke = report.RequestNewPage();
        report.DetailBreak = false;
        if (broke) return;
    } else if (ForceNewColumn && !IsPageBand(type) && pageExists) {
        if (report.RequestNewColumn()) return;
    }
    // A swallowed request still needs the room the band takes.
    if (type != TRpBandType::rbPageFooter) FitsOnPage();
}

void TRpCustomBand::PaintBackground(long double bandWidth) {
    TCustomRpReport& report = *report_;
    if (TransparentBand || !Enabled() || report.RpPrinter == nullptr) return;
    long double height = Size.Height;
    if (PreCaluculateBandHeight) KeepTogether(height);
    PrintedRect = DeviceBox(*report.RpPrinter, report.CurrentX, report.CurrentY, bandWidth, height);
    if (report.Exporting && report.ExportFilter != nullptr) {
        const output::ExportShape shape{.shape = output::TRpShapeType::rpsRectangle, .rect = PrintedRect,
                                        .pen = {.color = Color, .style = output::PenStyle::Clear},
                                        .brush = {.color = Color, .style = output::BrushStyle::Solid}};
        report.ExportFilter->ExportControl(shape, PrintedRect.left(), PrintedRect.top());
    }
}

void TRpCustomBand::FillBackground() {
    TCustomRpReport& report = *report_;
    if (!report.PrintToDevice || TransparentBand || report.RpPrinter == nullptr) return;
    output::Canvas* canvas = report.RpPrinter->GetCanvas();
    if (canvas == nullptr) return;
    canvas->SetBrush({.color = Color, .style = output::BrushStyle::Solid});
    canvas->FillRect(PrintedRect);
}

void TRpCustomBand::PrintBody(long double bandWidth, bool paging) {
    TCustomRpReport& report = *report_;
    FillBackground();
    Expanded = 0;
    bool first = true;
    for (;;) {
        bool allDone = true;
        bool progressed = false;
        long double tallest = 0;
        for (const auto& control : Printables()) {
            if (!control->Enabled()) continue;
            Expanded = 0;
            if (first || !control->PrintFinished) {
                control->Print(report.CurrentX, report.CurrentY);
                progressed = progressed || control->PutAnythingDown();
            }
            allDone = allDone && control->PrintFinished;
            tallest = std::max(tallest, Expanded);
        }
        Expanded = tallest;
        DrawFrameAndLines(bandWidth);
        // A continuation in a fresh column that put nothing down would never end.
        if (allDone || paging || (!first && !progressed)) break;
        report.DetailBreak = true;
        report.StartNewColumn();
        report.DetailBreak = false;
        Expanded = 0;
        first = false;
        if (report.RpPrinter != nullptr) {
            PrintedRect = DeviceBox(*report.RpPrinter, report.CurrentX, report.CurrentY, bandWidth, Size.Height);
        }
        FillBackground();
    }
    AdvanceY();
}

void TRpCustomBand::DrawFrameAndLines(long double bandWidth) {
    TCustomRpReport& report = *report_;
    output::TRpPrinter* printer = report.RpPrinter;
    if (!(report.PrintToDevice || report.Exporting) || printer == nullptr) return;
    PrintedRect = DeviceBox(*printer, report.CurrentX, report.CurrentY, bandWidth, Size.Height + Expanded + 1.0L);
    output::Canvas* canvas = printer->GetCanvas();
    if (canvas != nullptr) Frame.PaintFrame(*canvas, PrintedRect, printer->XFactor(), printer->YFactor());
    if (bounds_.width() <= 0) return;
    for (const auto& control : Printables()) {
        const auto* shape = dynamic_cast<const TRpShape*>(control.get());
        if (shape == nullptr || shape->Tag != 1000 || shape->Shape() != output::TRpShapeType::rpsVertLine) continue;
        const long double middle = shape->Bounds().left() + shape->Bounds().width() / 2;
        const int x = PrintedRect.left() + RoundHalfEvenInt(PrintedRect.width() * 1.0L * middle / bounds_.width());
        const output::Pen pen{.color = shape->Pen().color, .style = output::PenStyle::Solid, .width = shape->Pen().width};
        if (canvas != nullptr) {
            canvas->SetPen(pen);
            canvas->Line(x, PrintedRect.top(), x, PrintedRect.bottom() + 1);
        }
        if (report.Exporting && report.ExportFilter != nullptr) {
            // The drawn line goes out as a value; the design shape stays as it is.
            const output::ExportShape line{.shape = output::TRpShapeType::rpsVertLine,
                                           .rect = QRect(x, PrintedRect.top(), 1, PrintedRect.height()),
                                           .pen = pen, .brush = {.color = shape->Brush().color, .style = output::BrushStyle::Clear}};
            report.ExportFilter->ExportControl(line, x, PrintedRect.top());
        }
    }
}

}  // namespace report::engine
