#include "report/engine/model/report.h"

#include "report/engine/model/report_unit.h"
#include "report/output/printer/rp_printer.h"

#include <algorithm>
#include <stdexcept>

namespace report::engine {

void TCustomRpReport::AddController(TRpCustomController& controller) {
    if (&controller == controller_.get() || std::ranges::find(controllers_, &controller) != controllers_.end()) return;
    controllers_.push_back(&controller);
    controller.ParentReport = this;
    RebuildBandList();
    LayoutBands();
}

void TCustomRpReport::RemoveController(const TRpCustomController& controller) {
    const auto it = std::ranges::find(controllers_, &controller);
    if (it == controllers_.end()) return;
    controllers_.erase(it);
    RebuildBandList();
    LayoutBands();
}

std::vector<TRpCustomBand*> TCustomRpReport::OwnedBands() const {
    std::vector<TRpCustomBand*> bands;
    bands.reserve(ownedBands_.size());
    for (const std::unique_ptr<TRpCustomBand>& band : ownedBands_) bands.push_back(band.get());
    return bands;
}

void TCustomRpReport::SetExportFilter(output::TRpExportFilter* filter) {
    ExportFilter = filter;
    Exporting = filter != nullptr;
}

int TCustomRpReport::TextWidth(const output::FontSpec& font, std::string_view text) {
    if (!measurer_) measurer_ = std::make_unique<TRpDeviceMeasurer>();
    const int width = measurer_->TextWidth(font, text);
    return width < 0 ? 0 : width + 1;
}

int TCustomRpReport::TextHeight(const output::FontSpec& font) {
    if (!measurer_) measurer_ = std::make_unique<TRpDeviceMeasurer>();
    return std::max(measurer_->TextHeight(font), 0);
}

void TCustomRpReport::SetMeasurer(std::unique_ptr<TRpTextMeasurer> measurer) {
    measurer_ = std::move(measurer);
    ++measurerChanges_;
}

void TCustomRpReport::SetUnits(TRpUnit unit) {
    Page.SetUnits(unit);
    for (TRpCustomBand* band : bandList_) band->SetUnits(unit);
    for (const std::unique_ptr<TRpPrintable>& printable : Printables()) printable->Size.SetUnits(unit);
}

void TCustomRpReport::SetZoom(std::int32_t zoom) {
    if (zoom < 1 || zoom > 300) return;
    TRpBasePanel::SetZoom(zoom);
    Page.Zoom = zoom;
    Page.ApplyToControl();
    for (const std::unique_ptr<TRpCustomBand>& band : ownedBands_) band->SetZoom(zoom);
    for (const std::unique_ptr<TRpPrintable>& printable : Printables()) printable->SetZoom(zoom);
    LayoutBands();
}

TRpReport::TRpReport(const PaperSizeSource& defaultPaperSize, bool usMeasure)
    : TCustomRpReport(defaultPaperSize, usMeasure) {
    SetController(std::make_unique<TRpController>(this));
}

void TRpReport::WireBands() {
    TRpController& controller = Controller();
    controller.Detail = Bands.Band(4);
    controller.Header = Bands.Band(1);
    controller.Footer = Bands.Band(7);
}

}  // namespace report::engine
