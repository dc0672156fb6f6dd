#include "report/engine/model/report_model.h"

#include "report/engine/model/report_unit.h"

#include <algorithm>

namespace report::engine {

TRpReportModel::TRpReportModel(const PaperSizeSource& defaultPaperSize, bool usMeasure)
    : Page(this, usMeasure), controller_(std::make_unique<TRpCustomController>(this))
{
    Functions.AddFunction("PAGENUMBER", "0");
    Functions.AddFunction("COLUMNNUMBER", "0");
    Functions.AddFunction("REPORTTITLE", "''");
    DesignScheme = CurrentDesignScheme();
    Page.SetPaperSize(defaultPaperSize ? defaultPaperSize() : output::DefaultPrinterPaperSize());
    Page.ApplyToControl();
    constructing_ = false;
}

TRpReportModel::~TRpReportModel()
{
    // The bands go first, while the report they tell about it still stands; nothing is
    // rebuilt or laid out meanwhile.
    destroying_ = true;
    controller_->ParentReport = nullptr;
    for (TRpCustomController* controller : controllers_)
        controller->ParentReport = nullptr;
    controllers_.clear();
    bandList_.clear();
    ownedBands_.clear();
}

void TRpReportModel::AddController(TRpCustomController& controller)
{
    if (&controller == controller_.get() || std::ranges::find(controllers_, &controller) != controllers_.end())
        return;
    controllers_.push_back(&controller);
    controller.ParentReport = this;
    RebuildBandList();
    LayoutBands();
}

void TRpReportModel::RemoveController(const TRpCustomController& controller)
{
    const auto it = std::ranges::find(controllers_, &controller);
    if (it == controllers_.end())
        return;
    controllers_.erase(it);
    RebuildBandList();
    LayoutBands();
}

std::vector<TRpCustomBand*> TRpReportModel::OwnedBands() const
{
    std::vector<TRpCustomBand*> bands;
    bands.reserve(ownedBands_.size());
    for (const std::unique_ptr<TRpCustomBand>& band : ownedBands_)
        bands.push_back(band.get());
    return bands;
}

int TRpReportModel::TextWidth(const output::FontSpec& font, std::string_view text)
{
    if (!measurer_)
        measurer_ = std::make_unique<TRpDeviceMeasurer>();
    const int width = measurer_->TextWidth(font, text);
    return width < 0 ? 0 : width + 1;
}

int TRpReportModel::GrownTextWidth(const output::FontSpec& font, std::string_view text, TRpTextMeasurer::LineSum& sum)
{
    if (!measurer_)
        measurer_ = std::make_unique<TRpDeviceMeasurer>();
    const int width = measurer_->GrownTextWidth(font, text, sum);
    return width < 0 ? 0 : width + 1;
}

int TRpReportModel::TextHeight(const output::FontSpec& font)
{
    if (!measurer_)
        measurer_ = std::make_unique<TRpDeviceMeasurer>();
    return std::max(measurer_->TextHeight(font), 0);
}

void TRpReportModel::SetMeasurer(std::unique_ptr<TRpTextMeasurer> measurer)
{
    measurer_ = std::move(measurer);
    ++measurerChanges_;
}

void TRpReportModel::SetUnits(TRpUnit unit)
{
    Page.SetUnits(unit);
    for (TRpCustomBand* band : bandList_)
        band->SetUnits(unit);
    for (const std::unique_ptr<TRpPrintable>& printable : Printables())
        printable->Size.SetUnits(unit);
}

void TRpReportModel::SetZoom(std::int32_t zoom)
{
    if (zoom < 1 || zoom > 300)
        return;
    TRpBasePanel::SetZoom(zoom);
    Page.Zoom = zoom;
    Page.ApplyToControl();
    for (const std::unique_ptr<TRpCustomBand>& band : ownedBands_)
        band->SetZoom(zoom);
    for (const std::unique_ptr<TRpPrintable>& printable : Printables())
        printable->SetZoom(zoom);
    LayoutBands();
}

long double TRpReportModel::NativePage(int index) const
{
    return index >= 0 ? Page.WriteValue(static_cast<std::size_t>(index)) : 0;
}

}  // namespace report::engine
