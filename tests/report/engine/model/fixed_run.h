// A run whose output and room on the page the test sets: the printer object and export filter
// the controls print with, and what AvailableSpace answers (0 unless set). Attached to its report
// while it lives, so it must go before the report does.
#pragma once

#include "report/engine/model/print_run.h"

#include <cstdint>

namespace enginetest {

class FixedRun final : public report::engine::TRpPrintRun {
public:
    FixedRun(report::engine::TRpReportModel& report, report::output::TRpPrinter& printer)
        : TRpPrintRun(report), printer_(printer)
    {}

    [[nodiscard]] report::output::TRpPrinter& Printer() const override { return printer_; }
    [[nodiscard]] bool PrintToDevice() const override { return printToDevice; }
    [[nodiscard]] report::output::TRpExportFilter* ExportFilter() const override { return filter; }
    [[nodiscard]] std::int32_t AvailableSpace() const override { return space; }
    // A band that has already grown, as a run leaves it.
    using TRpPrintRun::SetExpanded;

    bool printToDevice = true;
    report::output::TRpExportFilter* filter = nullptr;
    std::int32_t space = 0;

private:
    report::output::TRpPrinter& printer_;
};

}  // namespace enginetest
