// The report's making and its end: the window it answers the printer object and the previews
// through, the printer objects it keeps, and the composite job it leaves.
#include "report/engine/model/report_values.h"
#include "report/engine/run/report.h"
#include "report/engine/run/report_job.h"
#include "report/engine/run/report_window.h"
#include "report/output/printer/rp_printer.h"

namespace report::engine {

TCustomRpReport::TCustomRpReport(const PaperSizeSource& defaultPaperSize, bool usMeasure)
    : TRpReportModel(defaultPaperSize, usMeasure), window_(std::make_unique<TRpReportWindow>(*this))
{}

TCustomRpReport::~TCustomRpReport()
{
    // The model's bands go after this, while the report they tell about it still stands.
    BeginDestroying();
    window_->destroying = true;
    if (ReportListJob != nullptr)
        ReportListJob->RemoveReport(*this);
    RpPrinter = nullptr;
    FlushReleasedPrinters();
    output::TRpPrinter::Release(std::move(ownPrinter_));
    for (std::unique_ptr<output::TRpPrinter>& printer : shownPrinters_)
        output::TRpPrinter::Release(std::move(printer));
}

TRpReport::TRpReport(const PaperSizeSource& defaultPaperSize, bool usMeasure)
    : TCustomRpReport(defaultPaperSize, usMeasure)
{
    SetController(std::make_unique<TRpController>(this));
}

void TRpReport::WireBands()
{
    TRpController& controller = Controller();
    controller.Detail = Bands.Band(4);
    controller.Header = Bands.Band(1);
    controller.Footer = Bands.Band(7);
}

std::int32_t TRpReport::RecordCount() const
{
    const expr::TRpDataSet* data = Controller().ActiveDataSet();
    return data != nullptr ? data->RecordCount() : 1;
}

}  // namespace report::engine
