// The report's paging operations and position, passed on to the paging of the run under way.
#include "report/engine/run/report.h"

namespace report::engine {

void TCustomRpReport::SetExportFilter(output::TRpExportFilter* filter)
{
    ExportFilter = filter;
    Exporting = filter != nullptr;
}

void TCustomRpReport::RequestStop()
{
    if (paging_ != nullptr)
        paging_->RequestStop();
}

std::int32_t TCustomRpReport::CurrentX() const { return paging_ != nullptr ? paging_->CurrentX() : lastX_; }

std::int32_t TCustomRpReport::CurrentY() const { return paging_ != nullptr ? paging_->CurrentY() : position_.y; }

std::int32_t TCustomRpReport::CurrentColumn() const
{
    return paging_ != nullptr ? paging_->CurrentColumn() : position_.column;
}

std::int32_t TCustomRpReport::PageNumber() const
{
    return paging_ != nullptr ? paging_->PageNumber() : position_.pageNumber;
}

void TCustomRpReport::OutputBand(TRpCustomBand* band)
{
    if (paging_ != nullptr)
        paging_->OutputBand(band);
}

std::int32_t TCustomRpReport::AvailableSpace() const { return paging_ != nullptr ? paging_->AvailableSpace() : 0; }

void TCustomRpReport::StartNewColumn()
{
    if (paging_ != nullptr)
        paging_->StartNewColumn();
}

void TCustomRpReport::StartNewPage()
{
    if (paging_ != nullptr)
        paging_->StartNewPage();
}

void TCustomRpReport::FinishPage()
{
    if (paging_ != nullptr)
        paging_->FinishPage();
}

void TCustomRpReport::ReserveFooterSpace()
{
    if (paging_ != nullptr)
        paging_->ReserveFooterSpace();
}

}  // namespace report::engine
