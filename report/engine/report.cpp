#include "report/engine/report.h"

namespace report::engine {

TCustomRpReport::TCustomRpReport(const PaperSizeSource& defaultPaperSize, bool usMeasure)
    : Page(this, usMeasure) {
    Page.SetPaperSize(defaultPaperSize ? defaultPaperSize() : output::TRpPaperSize::Default);
    Page.ApplyToControl();
}

void TCustomRpReport::SetExportFilter(output::TRpExportFilter* filter) {
    ExportFilter = filter;
    Exporting = filter != nullptr;
}

void TCustomRpReport::SetUnits(TRpUnit unit) { Page.SetUnits(unit); }

void TCustomRpReport::SetZoom(std::int32_t zoom) {
    if (zoom < 1 || zoom > 300) return;
    zoom_ = zoom;
    Page.Zoom = zoom;
    Page.ApplyToControl();
    LayoutBands();
}

}  // namespace report::engine
