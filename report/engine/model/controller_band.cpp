#include "report/engine/model/controller_band.h"

#include "report/engine/model/report_bands.h"
#include "report/engine/model/report_model.h"

namespace report::engine {

TRpControllerBand::TRpControllerBand(TRpBandType type)
    : TRpCustomBand(type), controller_(std::make_unique<TRpController>(nullptr, this))
{
    controller_->Detail = this;
}

TRpControllerBand::~TRpControllerBand()
{
    // The controller outlives no band: it leaves the report's lists with the band.
    controller_->ParentReport = nullptr;
}

bool TRpControllerBand::SetMaster(TRpBasePanel* master)
{
    if (!controller_->SetMaster(master))
        return false;
    if (TRpReportModel* report = ParentReport(); report != nullptr && !report->IsLoading()) {
        report->RebuildBandList();
        report->LayoutBands();
    }
    return true;
}

void TRpControllerBand::SetParentReport(TRpReportModel* report)
{
    TRpCustomBand::SetParentReport(report);
    controller_->ParentReport = report;
}

void TRpControllerBand::Notification(TRpCustomBand& removed)
{
    TRpCustomBand::Notification(removed);
    controller_->Notification(removed);
    // Its own Detail is the band itself, which the removal of another band never clears.
    controller_->Detail = this;
}

TRpSubDetail::TRpSubDetail() : TRpControllerBand(TRpBandType::rbSubDetail) {}

void TRpSubDetail::Relist()
{
    if (TRpReportModel* report = ParentReport(); report != nullptr && !report->IsLoading()) {
        report->RebuildBandList();
        report->LayoutBands();
    }
}

void TRpSubDetail::SetHeaderBand(TRpCustomBand* band)
{
    Controller().Header = band;
    Relist();
}

void TRpSubDetail::SetFooterBand(TRpCustomBand* band)
{
    Controller().Footer = band;
    Relist();
}

void TRpSubDetail::SetPrintBefore(bool printBefore)
{
    Controller().SetPrintBefore(printBefore);
    Relist();
}

bool TRpSubDetailGroupBands::HasHeader() const { return owner_.HeaderBand() != nullptr; }

bool TRpSubDetailGroupBands::HasFooter() const { return owner_.FooterBand() != nullptr; }

void TRpSubDetailGroupBands::SetHasHeader(bool has)
{
    TRpReportModel* report = owner_.ParentReport();
    if (report == nullptr || has == HasHeader())
        return;
    if (has) {
        owner_.SetHeaderBand(&CreateBand(*report, TRpBandType::rbGroupHeader));
    } else {
        report->FreeBand(*owner_.HeaderBand());
    }
}

void TRpSubDetailGroupBands::SetHasFooter(bool has)
{
    TRpReportModel* report = owner_.ParentReport();
    if (report == nullptr || has == HasFooter())
        return;
    if (has) {
        owner_.SetFooterBand(&CreateBand(*report, TRpBandType::rbGroupFooter));
    } else {
        report->FreeBand(*owner_.FooterBand());
    }
}

}  // namespace report::engine
