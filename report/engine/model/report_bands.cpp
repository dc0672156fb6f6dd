#include "report/engine/model/report_bands.h"

#include "report/engine/model/report_model.h"

#include <memory>
#include <optional>

namespace report::engine {
namespace {

std::optional<TRpBandType> TypeOfIndex(int index)
{
    switch (index) {
    case 1:
        return TRpBandType::rbTitle;
    case 2:
        return TRpBandType::rbPageHeader;
    case 3:
        return TRpBandType::rbColumnHeader;
    case 4:
        return TRpBandType::rbDetail;
    case 5:
        return std::nullopt;
    case 6:
        return TRpBandType::rbPageFooter;
    default:
        return TRpBandType::rbSummary;
    }
}

}  // namespace

TRpCustomBand* TRpReportBands::Band(int index) const
{
    const std::optional<TRpBandType> type = TypeOfIndex(index);
    if (!type)
        return nullptr;
    for (TRpCustomBand* band : report_.BandList()) {
        if (band->BandType() == *type)
            return band;
    }
    return nullptr;
}

void TRpReportBands::SetHas(int index, bool has)
{
    const std::optional<TRpBandType> type = TypeOfIndex(index);
    if (!type)
        return;
    TRpCustomBand* band = Band(index);
    if (has && band == nullptr) {
        (void)CreateBand(report_, *type);
    } else if (!has && band != nullptr) {
        report_.FreeBand(*band);
    }
}

TRpBand& CreateBand(TRpReportModel& report, TRpBandType type)
{
    auto band = std::make_unique<TRpBand>(type);
    band->Name = MakeUniqueName(report.ComponentNames(), band->NamePrefix());
    return static_cast<TRpBand&>(report.InsertBand(std::move(band)));
}

}  // namespace report::engine
