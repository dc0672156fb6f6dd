// The report's making and its end: the window it answers the printer object and the previews
// through, the printer objects it keeps, and the composite job it leaves.
#include "report/engine/model/report.h"

#include "report/engine/model/report_unit.h"
#include "report/engine/model/report_values.h"
#include "report/engine/run/report_job.h"
#include "report/engine/run/report_window.h"
#include "report/output/printer/rp_printer.h"

namespace report::engine {

TCustomRpReport::TCustomRpReport(const PaperSizeSource& defaultPaperSize, bool usMeasure)
    : Page(this, usMeasure), controller_(std::make_unique<TRpCustomController>(this)),
      window_(std::make_unique<TRpReportWindow>(*this)) {
    Functions.AddFunction("PAGENUMBER", "0");
    Functions.AddFunction("COLUMNNUMBER", "0");
    Functions.AddFunction("REPORTTITLE", "''");
    DesignScheme = CurrentDesignScheme();
    Page.SetPaperSize(defaultPaperSize ? defaultPaperSize() : output::DefaultPrinterPaperSize());
    Page.ApplyToControl();
    constructing_ = false;
}

TCustomRpReport::~TCustomRpReport() {
    // The bands go first, while the report they tell about it still stands; nothing is
    // rebuilt or laid out meanwhile.
    destroying_ = true;
    window_->destroying = true;
    if (ReportListJob != nullptr) ReportListJob->RemoveReport(*this);
    RpPrinter = nullptr;
    FlushReleasedPrinters();
    output::TRpPrinter::Release(std::move(ownPrinter_));
    for (std::unique_ptr<output::TRpPrinter>& printer : shownPrinters_) output::TRpPrinter::Release(std::move(printer));
    for (TRpCustomController* controller : controllers_) controller->ParentReport = nullptr;
    controllers_.clear();
    bandList_.clear();
    ownedBands_.clear();
}

}  // namespace report::engine
