// A composite job: several reports run one after the other into one printed document or one
// export, each going on where the one before it ended.
#pragma once

#include "report/engine/model/page.h"
#include "report/engine/model/report_events.h"
#include "report/output/printer/paper_sizes.h"
#include "report/output/printer/printer_settings.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace report::output {
class TRpExportFilter;
class TRpPrinter;
}  // namespace report::output

namespace report::engine {

class TCustomRpReport;

class TRpReportListJob {
public:
    using TJobEvent = std::function<void(TRpReportListJob& sender)>;
    using TJobReportEvent = std::function<void(TRpReportListJob& sender, int index)>;

    TRpReportListJob();
    ~TRpReportListJob();
    TRpReportListJob(const TRpReportListJob&) = delete;
    TRpReportListJob& operator=(const TRpReportListJob&) = delete;

    // Appends `report` (not owned; it must outlive the job or be removed first) and makes the
    // job its ReportListJob. A report already in the list is not added twice.
    void AddReport(TCustomRpReport& report);
    // Takes `report` out of the list; it no longer belongs to the job.
    void RemoveReport(TCustomRpReport& report);
    [[nodiscard]] const std::vector<TCustomRpReport*>& Reports() const { return reports_; }

    // The job's printer choices, title, paper and orientation.
    output::TRpPrinterSettings PrinterSettings;
    std::string Title;
    output::TRpPaperSize PaperSize = output::TRpPaperSize::A4;
    TPrinterOrientation Orientation = TPrinterOrientation::poPortrait;

    // Fired when the job starts; before each report with its index (from 0); after each report
    // and once more when the job ends.
    TJobEvent OnStartJob;
    TJobReportEvent BeforeReport;
    TJobEvent AfterReport;

    // Every report in order into one print job. Busy while the job or one of its reports
    // runs; NoPrinter without an installed printer; Cancelled when a report was cancelled.
    TRpRunResult Print();
    // Every report in order into `filter`, which gets one Start and, unless a report was
    // cancelled, one Finish.
    TRpRunResult ExportWithFilter(output::TRpExportFilter& filter);
    // Copies the job's settings into its printer object (nothing without one).
    void ApplyJobSettings();

    [[nodiscard]] bool Busy() const { return busy_; }
    // The report running now; null between reports and outside a run.
    [[nodiscard]] TCustomRpReport* CurrentReport() const { return current_; }
    // The job's printer object while it runs; null otherwise.
    [[nodiscard]] output::TRpPrinter* RpPrinter() const { return printer_; }

private:
    TRpRunResult Run(output::TRpExportFilter* filter);
    TRpRunResult RunReports(output::TRpExportFilter* filter);

    std::vector<TCustomRpReport*> reports_;
    output::TRpPrinter* printer_ = nullptr;
    TCustomRpReport* current_ = nullptr;
    bool busy_ = false;
};

}  // namespace report::engine
