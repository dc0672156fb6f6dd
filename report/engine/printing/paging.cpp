// The run's paging: room left, new columns and pages, page footers and the controls placed on
// the page itself.
#include "report/engine/printing/paging.h"

#include "report/engine/controls/image.h"
#include "report/engine/model/printable.h"
#include "report/engine/model/report_model.h"
#include "report/expr/ev_environment.h"
#include "report/output/canvas/rounding.h"
#include "report/output/export/export_filter.h"
#include "report/output/printer/rp_printer.h"

#include <utility>

namespace report::engine {

namespace {

using output::RoundHalfEvenInt;
using enum TRpPage::Index;

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

TRpPaging::TRpPaging(TRpReportModel& report, const TRpPagingOutput& output)
    : TRpPrintRun(report), report_(report), printer_(output.printer), filter_(output.exportFilter),
      printToDevice_(output.printToDevice)
{}

TRpPaging::~TRpPaging() = default;

void TRpPaging::Start() { Start(TRpPagePosition{.y = -1, .pageNumber = 0, .column = report_.Page.Columns()}, false); }

void TRpPaging::Start(const TRpPagePosition& position, bool partOfJob)
{
    currentY_ = position.y;
    pageNumber_ = position.pageNumber;
    currentColumn_ = position.column;
    partOfJob_ = partOfJob;
    ReserveFooterSpace();
    currentX_ = RoundHalfEvenInt(report_.NativePage(kLeftMargin));
    running_ = true;
}

void TRpPaging::SetNumberEntries(expr::TRpEvElement* page, expr::TRpEvElement* column)
{
    pageEnv_ = page;
    columnEnv_ = column;
}

void TRpPaging::SetPageEvents(std::function<void()> started, std::function<void()> ending)
{
    pageStarted_ = std::move(started);
    pageEnding_ = std::move(ending);
}

long double TRpPaging::RunPaperLength() const { return printer_.GetPageLength(); }

void TRpPaging::ReserveFooterSpace()
{
    footerReserve_ = 0;
    for (const TRpCustomBand* band : report_.BandList()) {
        if (band->BandType() != TRpBandType::rbPageFooter || band->ParentBand() != nullptr || !band->Enabled())
            continue;
        footerReserve_ += band->Size.Height;
        for (const TRpCustomBand* child = band->ChildBand(); child != nullptr; child = child->ChildBand()) {
            if (child->Enabled())
                footerReserve_ += child->Size.Height;
        }
    }
    startReserve_ = footerReserve_;
}

std::int32_t TRpPaging::AvailableSpace() const
{
    if (!running_ || currentY_ == -1)
        return 0;
    if (filter_ != nullptr && filter_->GetStreaming())
        return RoundHalfEvenInt(RunPaperLength());
    return RoundHalfEvenInt(RunPaperLength() - report_.NativePage(kBottomMargin) - footerReserve_ - currentY_);
}

std::int32_t TRpPaging::ColumnWidth() const
{
    if (const TRpCustomBand* detail = report_.Bands.Band(4))
        return RoundHalfEvenInt(detail->Size.Width);
    const std::int64_t inner = RoundHalfEvenInt(report_.NativePage(kWidth) -
                                                (report_.NativePage(kLeftMargin) + report_.NativePage(kRightMargin)));
    const std::int64_t columns = report_.Page.Columns() > 0 ? report_.Page.Columns() : 1;
    return static_cast<std::int32_t>((inner - RoundHalfEvenInt(report_.NativePage(kColumnSpace)) * (columns - 1)) /
                                     columns);
}

void TRpPaging::OutputBand(TRpCustomBand* band)
{
    if (band == nullptr)
        return;
    if (band->AlignToBottom) {
        if (band->BandType() == TRpBandType::rbSummary && !report_.LastPageFooter)
            footerReserve_ = 0;
        const long double bottom = report_.NativePage(kBottomMargin);
        const std::int32_t need = RoundHalfEvenInt(band->Size.Height + bottom + footerReserve_);
        const std::int32_t paper = RoundHalfEvenInt(RunPaperLength());
        if (paper - currentY_ >= need) {
            currentY_ = paper - RoundHalfEvenInt(band->Size.Height) - RoundHalfEvenInt(bottom + footerReserve_);
        }
    }
    PrintBand(*band);
}

void TRpPaging::OutputPagingBand(TRpCustomBand* band, bool asPageFooter)
{
    if (band == nullptr)
        return;
    const PagingScope scope(pagingDepth_);
    PrintBand(*band, asPageFooter);
}

void TRpPaging::StartNewColumn()
{
    // A lowered column count, or a column carried over from another report, wraps as well.
    if (currentColumn_ >= report_.Page.Columns()) {
        currentColumn_ = 1;
        currentX_ = RoundHalfEvenInt(report_.NativePage(kLeftMargin));
        StartNewPage();
    } else {
        currentX_ = currentX_ + ColumnWidth() + RoundHalfEvenInt(report_.NativePage(kColumnSpace));
        ++currentColumn_;
        currentY_ = columnTop_;
    }
    expr::TRpEvEnvironment::SetIntegerConstant(columnEnv_, currentColumn_);
    if (!(currentColumn_ == 1 && pageNumber_ == 1)) {
        OutputPagingBand(report_.Bands.Band(3));
        const PagingScope scope(pagingDepth_);
        ReprintGroupHeaders(report_.Controller());
    }
}

void TRpPaging::StartNewPage()
{
    FinishPage();
    if (filter_ != nullptr)
        filter_->NewPage();
    ++pageNumber_;
    expr::TRpEvEnvironment::SetIntegerConstant(pageEnv_, pageNumber_);
    if (printToDevice_ || pageNumber_ == 1)
        printer_.NewPage();
    currentY_ = RoundHalfEvenInt(report_.NativePage(kTopMargin));
    if (pageStarted_)
        pageStarted_();
    if (report_.BackgroundColor != qRgb(255, 255, 255))
        PaintPageBackground();
    PrintBackImage();
    if (pageNumber_ > 1 || report_.FirstPageHeader)
        OutputPagingBand(report_.Bands.Band(2));
    columnTop_ = currentY_;
    currentColumn_ = 1;
    if (pageNumber_ == 1) {
        if (const TRpCustomBand* title = report_.Bands.Band(1))
            columnTop_ += RoundHalfEvenInt(title->Size.Height);
    }
}

void TRpPaging::PaintPageBackground()
{
    const QRect page(0, 0, RoundHalfEvenInt(report_.NativePage(kWidth) * printer_.XFactor()),
                     RoundHalfEvenInt(report_.NativePage(kLength) * printer_.YFactor()));
    const QRgb color = report_.BackgroundColor;
    const output::ExportShape shape{.shape = output::TRpShapeType::rpsRectangle,
                                    .rect = page,
                                    .pen = {.color = color, .style = output::PenStyle::Clear},
                                    .brush = {.color = color, .style = output::BrushStyle::Solid}};
    if (output::Canvas* canvas = printer_.GetCanvas()) {
        canvas->SetBrush(shape.brush);
        canvas->SetPen(shape.pen);
        canvas->Rectangle(page);
    }
    if (filter_ != nullptr)
        filter_->ExportControl(shape, 0, 0);
}

void TRpPaging::FinishPage()
{
    if (pageNumber_ > 0) {
        // Only the last page may lose its footers' room.
        const long double reserve = lastPage_ ? footerReserve_ : startReserve_;
        currentY_ = RoundHalfEvenInt(RunPaperLength() - report_.NativePage(kBottomMargin) - reserve);
        currentX_ = RoundHalfEvenInt(report_.NativePage(kLeftMargin));
        if (!(lastPage_ && !report_.LastPageFooter))
            OutputPagingBand(report_.Bands.Band(6), true);
        PrintPageDecorations();
        if (pageEnding_)
            pageEnding_();
    }
    if (filter_ != nullptr)
        filter_->EndPage();
}

void TRpPaging::FinishLastPage(bool atLeftMargin)
{
    if (atLeftMargin)
        currentX_ = RoundHalfEvenInt(report_.NativePage(kLeftMargin));
    lastPage_ = true;
    FinishPage();
}

void TRpPaging::PrintBackImage()
{
    if (backImage_ == nullptr)
        return;
    const TRpPrintableSize& size = backImage_->Size;
    const int left = printer_.DeviceX(size.Native(TRpPrintableSize::kLeft));
    const int top = printer_.DeviceY(size.Native(TRpPrintableSize::kTop));
    const QRect box(left, top, RoundHalfEvenInt(size.Native(TRpPrintableSize::kWidth) * printer_.XFactor()),
                    RoundHalfEvenInt(size.Native(TRpPrintableSize::kHeight) * printer_.YFactor()));
    if (output::Canvas* canvas = printer_.GetCanvas(); canvas != nullptr && !backImage_->Picture().isNull()) {
        canvas->DrawPicture(box, backImage_->Picture());
    }
    if (filter_ != nullptr) {
        output::ExportPicture picture = backImage_->PictureValue(0, 0);
        picture.Stretch = true;
        picture.rect = box;
        filter_->ExportControl(picture, left, top);
    }
}

void TRpPaging::PrintPageDecorations()
{
    for (const auto& printable : report_.Printables()) {
        if (printable.get() != static_cast<TRpPrintable*>(backImage_))
            printable->Print(0, 0);
    }
    if ((printToDevice_ || filter_ != nullptr) && printer_.GetCanvas() != nullptr) {
        const int left = printer_.DeviceX(report_.NativePage(kLeftMargin));
        const int top = printer_.DeviceY(report_.NativePage(kTopMargin));
        const QRect rect(left, top,
                         printer_.DeviceX(report_.NativePage(kWidth) - report_.NativePage(kRightMargin)) - left,
                         printer_.DeviceY(RunPaperLength() - report_.NativePage(kBottomMargin)) - top);
        report_.Frame.PaintFrame(*printer_.GetCanvas(), rect, printer_.XFactor(), printer_.YFactor());
    }
}

bool TRpPaging::RequestNewPage()
{
    if (!running_)
        return false;
    if (skipForceNewPage_) {
        skipForceNewPage_ = false;
        return false;
    }
    do {
        StartNewColumn();
    } while (currentColumn_ != 1);
    return true;
}

bool TRpPaging::RequestNewColumn()
{
    if (!running_)
        return false;
    if (!skipForceNewColumn_ && currentColumn_ <= 1) {
        skipForceNewColumn_ = true;
        return false;
    }
    StartNewColumn();
    return true;
}

}  // namespace report::engine
