// What the bands, controls and frames of a report see of the run that prints them: the printer
// object, the export filter and the room left on the page. The run's paging implements it; the
// model only declares it, so printing a control never calls up into the paging.
#pragma once

#include <cstdint>

namespace report::output {
class TRpExportFilter;
class TRpPrinter;
}  // namespace report::output

namespace report::engine {

class TRpController;
class TRpCustomBand;
class TRpCustomController;
class TRpReportModel;

class TRpPrintRun {
public:
    TRpPrintRun(const TRpPrintRun&) = delete;
    TRpPrintRun& operator=(const TRpPrintRun&) = delete;

    // The printer object the pages are drawn with.
    [[nodiscard]] virtual output::TRpPrinter& Printer() const = 0;
    // False while the run exports: then only the export filter receives the pages.
    [[nodiscard]] virtual bool PrintToDevice() const = 0;
    // The export filter of an exporting run; null otherwise. Not owned.
    [[nodiscard]] virtual output::TRpExportFilter* ExportFilter() const = 0;
    // Room left below the position on the current page, tenths of a millimetre; 0 before the
    // first page.
    [[nodiscard]] virtual std::int32_t AvailableSpace() const = 0;

protected:
    // Attached to `report` for the run's whole life: its bands and controls print through it.
    // The run attached to the same report before it is attached again when this one ends.
    explicit TRpPrintRun(TRpReportModel& report);
    virtual ~TRpPrintRun();

    // The run state of the model's objects is the run's to set.
    static void SetExpanded(TRpCustomBand& band, long double expanded);
    static void SetDetailController(TRpCustomBand& band, TRpCustomController* controller);
    static void SetDetailNumber(TRpController& controller, std::int32_t number);

private:
    TRpReportModel& report_;
    TRpPrintRun* previous_;
};

}  // namespace report::engine
