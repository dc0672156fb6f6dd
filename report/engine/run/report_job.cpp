#include "report/engine/run/report_job.h"

#include "report/engine/run/report.h"
#include "report/engine/run/report_window.h"
#include "report/output/canvas/rounding.h"
#include "report/output/export/export_filter.h"
#include "report/output/printer/rp_printer.h"
#include "utility/cp1250.h"

#include <QScopeGuard>

#include <algorithm>

namespace report::engine {

using output::TRpPrinter;

TRpReportListJob::TRpReportListJob() = default;

TRpReportListJob::~TRpReportListJob()
{
    for (TCustomRpReport* report : reports_) {
        if (report->ReportListJob == this)
            report->ReportListJob = nullptr;
    }
}

void TRpReportListJob::AddReport(TCustomRpReport& report)
{
    if (std::ranges::find(reports_, &report) == reports_.end())
        reports_.push_back(&report);
    report.ReportListJob = this;
}

void TRpReportListJob::RemoveReport(TCustomRpReport& report)
{
    std::erase(reports_, &report);
    if (report.ReportListJob == this)
        report.ReportListJob = nullptr;
}

void TRpReportListJob::ApplyJobSettings()
{
    if (printer_ == nullptr)
        return;
    TRpPrinter& p = *printer_;
    const output::TRpPrinterSettings& s = PrinterSettings;
    p.SetPrinterIndex(s.PrinterIndex);
    p.Settings().SetPaperSize(PaperSize);
    p.Settings().SetOrientation(Orientation == TPrinterOrientation::poLandscape ? 1 : 0);
    p.ApplySettings(s);
    p.SetTitle(utility::Cp1250ToQString(Title));
}

TRpRunResult TRpReportListJob::Print() { return Run(nullptr); }

TRpRunResult TRpReportListJob::ExportWithFilter(output::TRpExportFilter& filter) { return Run(&filter); }

TRpRunResult TRpReportListJob::Run(output::TRpExportFilter* filter)
{
    if (busy_)
        return TRpRunResult::Busy;
    for (const TCustomRpReport* report : reports_) {
        if (!report->Available() || report->GeneratingInBackground())
            return TRpRunResult::Busy;
    }
    TCustomRpReport* first = reports_.empty() ? nullptr : reports_.front();
    if (first != nullptr) {
        Orientation = first->Page.Orientation();
        PaperSize = first->Page.PaperSize();
    }
    // The job's own printer object for this run, freed once whatever happens; the one before
    // it comes back.
    auto printer = std::make_unique<TRpPrinter>(first != nullptr ? &first->Window() : nullptr);
    printer->SetDestination(filter != nullptr ? output::TRpPrinterDestination::rpdRecord
                                              : output::TRpPrinterDestination::rpdPrinter);
    if (filter == nullptr && !printer->PrintersPresent())
        return TRpRunResult::NoPrinter;
    printer->Settings().SetOrientation(Orientation == TPrinterOrientation::poLandscape ? 1 : 0);
    printer->SetTitle(utility::Cp1250ToQString(Title));
    printer->SetFirstPage(PrinterSettings.FirstPage);
    printer->SetLastPage(PrinterSettings.LastPage);
    TRpPrinter* const previous = printer_;
    printer_ = printer.get();
    const auto restore = qScopeGuard([&] { printer_ = previous; });
    return RunReports(filter);
}

TRpRunResult TRpReportListJob::RunReports(output::TRpExportFilter* filter)
{
    if (OnStartJob)
        OnStartJob(*this);
    if (reports_.empty()) {
        if (AfterReport)
            AfterReport(*this);
        return TRpRunResult::Done;
    }
    ApplyJobSettings();
    TRpPrinter& printer = *printer_;
    printer.BeginDoc();
    const std::vector<TCustomRpReport*> reports = reports_;
    // Read in tenths of a millimetre: the first report keeps the units it has.
    std::int32_t y = output::RoundHalfEvenInt(reports.front()->NativePage(TRpPage::kTopMargin));
    std::int32_t pageNumber = 0;
    std::int32_t column = 1;
    bool cancelled = false;
    busy_ = true;
    {
        const auto idle = qScopeGuard([this] {
            busy_ = false;
            current_ = nullptr;
        });
        try {
            for (std::size_t i = 0; i < reports.size() && !cancelled; ++i) {
                TCustomRpReport& report = *reports[i];
                TRpPrinter* const ownPrinter = report.RpPrinter;
                const std::int32_t tag = report.Tag;
                const auto restore = qScopeGuard([&] {
                    report.RpPrinter = ownPrinter;
                    report.Tag = tag;
                });
                report.RpPrinter = &printer;
                // The report goes on where the one before it ended.
                report.position_ = TRpPagePosition{.y = report.StartNewPageInComposite ? printer.GetPageLength() : y,
                                                   .pageNumber = pageNumber,
                                                   .column = column};
                if (i + 1 == reports.size())
                    report.Tag = 999;
                current_ = &report;
                if (BeforeReport)
                    BeforeReport(*this, static_cast<int>(i));
                if (filter != nullptr)
                    static_cast<void>(report.ExportWithCurrentPrinter(*filter, printer));
                else
                    report.GenerateReport(true);
                if (report.AfterPrint)
                    report.AfterPrint(report);
                if (report.Cancelled() || printer.Cancelled()) {
                    cancelled = true;
                    continue;
                }
                if (AfterReport)
                    AfterReport(*this);
                y = report.CurrentY();
                pageNumber = report.PageNumber();
                column = report.CurrentColumn();
            }
        } catch (...) {
            printer.AbortDoc();
            throw;
        }
    }
    if (!cancelled)
        printer.EndDoc();
    if (AfterReport)
        AfterReport(*this);
    return cancelled ? TRpRunResult::Cancelled : TRpRunResult::Done;
}

}  // namespace report::engine
