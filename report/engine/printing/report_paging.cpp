// The report's paging during a run: room left, new columns and pages, page footers and the
// controls placed on the page itself.
#include "report/expr/ev_environment.h"
#include "report/engine/controls/image.h"
#include "report/engine/model/printable.h"
#include "report/engine/model/report.h"
#include "report/output/export/export_filter.h"
#include "report/output/canvas/rounding.h"
#include "report/output/printer/rp_printer.h"

namespace report::engine {

namespace {

using output::RoundHalfEvenInt;

enum PageValue { kBottom = 0, kLength = 1, kTop = 2, kWidth = 3, kLeft = 4, kRight = 5, kSpace = 6 };
// A control's sizes: 0 Height, 1 Left, 2 Top, 3 Width.
enum ControlValue { kPrintableHeight = 0, kPrintableLeft = 1, kPrintableTop = 2, kPrintableWidth = 3 };

// Counts the paging's own band output, so the bands it prints break nothing themselves.
class PagingScope {
public:
    explicit PagingScope(int& depth) : depth_(depth) { ++depth_; }
    ~PagingScope() { --depth_; }
    PagingScope(const PagingScope&) = delete;
    PagingScope& operator=(const PagingScope&) = delete;

private:
    int& depth_;
};

}  // namespace

long double TCustomRpReport::NativePage(int index) const {
    const std::vector<long double> values = Page.WriteValues();
    return index >= 0 && static_cast<std::size_t>(index) < values.size() ? values[static_cast<std::size_t>(index)] : 0;
}

long double TCustomRpReport::RunPaperLength() const {
    if (RpPrinter != nullptr) return RpPrinter->GetPageLength();
    return NativePage(kLength);
}

void TCustomRpReport::ReserveFooterSpace() {
    FooterReserve = 0;
    for (const TRpCustomBand* band : BandList()) {
        if (band->BandType() != TRpBandType::rbPageFooter || band->ParentBand() != nullptr || !band->Enabled()) continue;
        FooterReserve += band->Size.Height;
        for (const TRpCustomBand* child = band->ChildBand(); child != nullptr; child = child->ChildBand()) {
            if (child->Enabled()) FooterReserve += child->Size.Height;
        }
    }
    startReserve_ = FooterReserve;
}

std::int32_t TCustomRpReport::AvailableSpace() const {
    if (!Running || CurrentY == -1) return 0;
    if (Exporting && ExportFilter != nullptr && ExportFilter->GetStreaming()) {
        return RoundHalfEvenInt(RunPaperLength());
    }
    return RoundHalfEvenInt(RunPaperLength() - NativePage(kBottom) - FooterReserve - CurrentY);
}

std::int32_t TCustomRpReport::ColumnWidth() const {
    if (const TRpCustomBand* detail = Bands.Band(4)) return RoundHalfEvenInt(detail->Size.Width);
    const std::int64_t inner = RoundHalfEvenInt(NativePage(kWidth) - (NativePage(kLeft) + NativePage(kRight)));
    const std::int64_t columns = Page.Columns() > 0 ? Page.Columns() : 1;
    return static_cast<std::int32_t>((inner - RoundHalfEvenInt(NativePage(kSpace)) * (columns - 1)) / columns);
}

void TCustomRpReport::OutputBand(TRpCustomBand* band) {
    if (band == nullptr) return;
    if (band->AlignToBottom) {
        if (band->BandType() == TRpBandType::rbSummary && !LastPageFooter) FooterReserve = 0;
        const std::int32_t need = RoundHalfEvenInt(band->Size.Height + NativePage(kBottom) + FooterReserve);
        const std::int32_t paper = RoundHalfEvenInt(RunPaperLength());
        if (paper - CurrentY >= need) {
            CurrentY = paper - RoundHalfEvenInt(band->Size.Height) - RoundHalfEvenInt(NativePage(kBottom) + FooterReserve);
        }
    }
    band->PrintBand();
}

void TCustomRpReport::OutputPagingBand(TRpCustomBand* band, bool asPageFooter) {
    if (band == nullptr) return;
    const PagingScope scope(pagingDepth_);
    band->PrintBand(asPageFooter);
}

void TCustomRpReport::StartNewColumn() {
    // A lowered column count, or a column carried over from another report, wraps as well.
    if (CurrentColumn >= Page.Columns()) {
        CurrentColumn = 1;
        CurrentX = RoundHalfEvenInt(NativePage(kLeft));
        StartNewPage();
    } else {
        CurrentX = CurrentX + ColumnWidth() + RoundHalfEvenInt(NativePage(kSpace));
        ++CurrentColumn;
        CurrentY = ColumnTop;
    }
    expr::TRpEvEnvironment::SetIntegerConstant(ColumnEnv, CurrentColumn);
    if (!(CurrentColumn == 1 && PageNumber == 1)) {
        OutputPagingBand(Bands.Band(3));
        const PagingScope scope(pagingDepth_);
        controller_->ReprintGroupHeaders();
    }
}

void TCustomRpReport::StartNewPage() {
    FinishPage();
    if (Exporting && ExportFilter != nullptr) ExportFilter->NewPage();
    ++PageNumber;
    expr::TRpEvEnvironment::SetIntegerConstant(PageEnv, PageNumber);
    if ((PrintToDevice || PageNumber == 1) && RpPrinter != nullptr) RpPrinter->NewPage();
    CurrentY = RoundHalfEvenInt(NativePage(kTop));
    if (OnStartPage) OnStartPage(*this);
    if (BackgroundColor != qRgb(255, 255, 255) && RpPrinter != nullptr) {
        const QRect page(0, 0, RoundHalfEvenInt(NativePage(kWidth) * RpPrinter->XFactor()),
                         RoundHalfEvenInt(NativePage(kLength) * RpPrinter->YFactor()));
        const output::ExportShape shape{.shape = output::TRpShapeType::rpsRectangle, .rect = page,
                                        .pen = {.color = BackgroundColor, .style = output::PenStyle::Clear},
                                        .brush = {.color = BackgroundColor, .style = output::BrushStyle::Solid}};
        if (output::Canvas* canvas = RpPrinter->GetCanvas()) {
            canvas->SetBrush(shape.brush);
            canvas->SetPen(shape.pen);
            canvas->Rectangle(page);
        }
        if (Exporting && ExportFilter != nullptr) ExportFilter->ExportControl(shape, 0, 0);
    }
    PrintBackImage();
    if (PageNumber > 1 || FirstPageHeader) OutputPagingBand(Bands.Band(2));
    ColumnTop = CurrentY;
    CurrentColumn = 1;
    if (PageNumber == 1) {
        if (const TRpCustomBand* title = Bands.Band(1)) ColumnTop += RoundHalfEvenInt(title->Size.Height);
    }
}

void TCustomRpReport::FinishPage() {
    if (PageNumber > 0) {
        // Only the last page may lose its footers' room.
        const long double reserve = LastPage ? FooterReserve : startReserve_;
        CurrentY = RoundHalfEvenInt(RunPaperLength() - NativePage(kBottom) - reserve);
        CurrentX = RoundHalfEvenInt(NativePage(kLeft));
        if (!(LastPage && !LastPageFooter)) OutputPagingBand(Bands.Band(6), true);
        PrintPageDecorations();
        if (OnEndPage) OnEndPage(*this);
    }
    if (Exporting && ExportFilter != nullptr) ExportFilter->EndPage();
}

void TCustomRpReport::PrintBackImage() {
    if (BackImage == nullptr || RpPrinter == nullptr) return;
    const int left = RpPrinter->DeviceX(BackImage->Size.Native(kPrintableLeft));
    const int top = RpPrinter->DeviceY(BackImage->Size.Native(kPrintableTop));
    const QRect box(left, top, RoundHalfEvenInt(BackImage->Size.Native(kPrintableWidth) * RpPrinter->XFactor()),
                    RoundHalfEvenInt(BackImage->Size.Native(kPrintableHeight) * RpPrinter->YFactor()));
    if (output::Canvas* canvas = RpPrinter->GetCanvas(); canvas != nullptr && !BackImage->Picture().isNull()) {
        canvas->DrawPicture(box, BackImage->Picture());
    }
    if (Exporting && ExportFilter != nullptr) {
        output::ExportPicture picture = BackImage->PictureValue(0, 0);
        picture.Stretch = true;
        picture.rect = box;
        ExportFilter->ExportControl(picture, left, top);
    }
}

void TCustomRpReport::PrintPageDecorations() {
    for (const auto& printable : Printables()) {
        if (printable.get() != static_cast<TRpPrintable*>(BackImage)) printable->Print(0, 0);
    }
    if ((PrintToDevice || Exporting) && RpPrinter != nullptr && RpPrinter->GetCanvas() != nullptr) {
        const int left = RpPrinter->DeviceX(NativePage(kLeft));
        const int top = RpPrinter->DeviceY(NativePage(kTop));
        const QRect rect(left, top, RpPrinter->DeviceX(NativePage(kWidth) - NativePage(kRight)) - left,
                         RpPrinter->DeviceY(RunPaperLength() - NativePage(kBottom)) - top);
        Frame.PaintFrame(*RpPrinter->GetCanvas(), rect, RpPrinter->XFactor(), RpPrinter->YFactor());
    }
}

bool TCustomRpReport::RequestNewPage() {
    if (!Running) return false;
    if (SkipForceNewPage) {
        SkipForceNewPage = false;
        return false;
    }
    do {
        StartNewColumn();
    } while (CurrentColumn != 1);
    return true;
}

bool TCustomRpReport::RequestNewColumn() {
    if (!Running) return false;
    if (!SkipForceNewColumn && CurrentColumn <= 1) {
        SkipForceNewColumn = true;
        return false;
    }
    StartNewColumn();
    return true;
}

}  // namespace report::engine
