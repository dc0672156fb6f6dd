// The report: page, font, units and zoom, the printer object and export filter of a run, and
// the hooks its bands and design view attach to.
#pragma once

#include "report/engine/page.h"
#include "report/engine/units.h"
#include "report/output/canvas.h"
#include "report/output/paper_sizes.h"

#include <QSize>

#include <cstdint>
#include <functional>

namespace report::output {
class TRpExportFilter;
class TRpPrinter;
}  // namespace report::output

namespace report::engine {

// The report's printer choices.
class TRpReportPrinterSettings {
public:
    // Kept by the page when its orientation changes and by the printer set-up; not published,
    // since a run takes the page's orientation.
    TPrinterOrientation Orientation = TPrinterOrientation::poPortrait;
};

// Gives the default printer's paper; injected so tests need no printer.
using PaperSizeSource = std::function<output::TRpPaperSize()>;

class TCustomRpReport {
public:
    // The page gets `defaultPaperSize()`'s paper (none given: Default, the paper of no
    // printer); `usMeasure` chooses the page's US or metric defaults.
    explicit TCustomRpReport(const PaperSizeSource& defaultPaperSize = {}, bool usMeasure = UsesUSMeasure());
    virtual ~TCustomRpReport() = default;
    TCustomRpReport(const TCustomRpReport&) = delete;
    TCustomRpReport& operator=(const TCustomRpReport&) = delete;

    // The pixel size of the paper at the report's zoom (96 dpi); kept by the page.
    QSize PixelSize;
    // The font bands and controls inherit.
    output::FontSpec Font{.face = "Arial", .points = 10};
    TRpReportPrinterSettings PrinterSettings;
    TRpReportPrinterSettings SetupSettings;
    TRpPage Page;

    // False only while a run exports: then only the export filter receives the pages.
    bool PrintToDevice = true;
    // True exactly while ExportFilter is set (see SetExportFilter); not owned.
    bool Exporting = false;
    output::TRpExportFilter* ExportFilter = nullptr;
    // The printer object of the current run or preview; not owned.
    output::TRpPrinter* RpPrinter = nullptr;

    void SetExportFilter(output::TRpExportFilter* filter);

    // The report's unit is its page's.
    [[nodiscard]] TRpUnit GetUnits() const { return Page.Units; }
    virtual void SetUnits(TRpUnit unit);

    [[nodiscard]] std::int32_t Zoom() const { return zoom_; }
    // Accepted from 1 to 300 only; the page and the pixel size follow.
    void SetZoom(std::int32_t zoom);

    // Called when the page changes in a way that moves the bands; empty until bands exist.
    virtual void LayoutBands() {}
    // Called when the report's look changed and a view of it should be drawn again.
    virtual void Repaint() {}

private:
    std::int32_t zoom_ = 100;
};

class TRpReport : public TCustomRpReport {
public:
    using TCustomRpReport::TCustomRpReport;
};

}  // namespace report::engine
