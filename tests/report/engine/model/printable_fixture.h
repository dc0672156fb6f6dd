// What the printable controls' tests share: a report with the print layout's page and a Detail
// band, printed by a run of the test's whose printer object records at 96 dpi or prints on a
// made-up 600-dpi printer; the page drawn, as canvas calls (96 dpi) or as a picture (600 dpi);
// an export filter that keeps what reaches it.
#pragma once

#include "report/engine/model/band.h"
#include "report/engine/run/report.h"
#include "report/output/export/export_filter.h"
#include "report/output/printer/printer_service.h"
#include "report/output/printer/rp_printer.h"
#include "tests/report/engine/model/fixed_run.h"
#include "tests/support/fake_printer_service.h"

#include <QImage>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace enginetest {

// Keeps every control handed over, with the position it came with.
class RecordingFilter : public report::output::TRpExportFilter {
public:
    struct Item {
        report::output::ExportedControl control;
        long double x;
        long double y;
    };
    void ExportControl(const report::output::ExportedControl& control, long double x, long double y) override
    {
        items.push_back({control, x, y});
    }
    [[nodiscard]] bool IsPDFDocumentFilter() const override { return pdfDocument; }
    std::vector<Item> items;
    // Answers as the PDF document filter would.
    bool pdfDocument = false;
};

class PrintableTest : public ::testing::Test {
protected:
    enum class Device { Record96, Printer600 };
    // The 600-dpi printer's paper, tenths of a millimetre.
    static constexpr int kPaperWidth = 1200;
    static constexpr int kPaperLength = 600;

    void SetUp() override;
    void TearDown() override;

    // A report with the print layout's page and a Detail band (367 x 16 px), printed by run_,
    // whose printer object has page 1 open. Controls placed on the band afterwards must be
    // prepared by the test.
    void Start(Device device);
    // After Start: `report` takes the place of the report, printed by a run of its own with the
    // printer object (the run and then the report before it go first).
    void ReplaceReport(std::unique_ptr<report::engine::TRpReport> report);
    // Ends the document and gives page 1 as canvas calls, one line each (see TraceCanvas),
    // without the replay's own clipping to the page; a clip taken off reads "RemoveClip".
    std::vector<std::string> RecordedTrace();
    // Ends the document and gives the printed page 1.
    QImage PrintedPage();
    // Makes the run export into `filter` (its pages go to the filter only).
    void Export(RecordingFilter& filter);

    std::unique_ptr<report::engine::TRpReport> report_;
    report::engine::TRpBand* band_ = nullptr;
    std::unique_ptr<report::output::TRpPrinter> printer_;
    // Declared after the report: it goes first.
    std::unique_ptr<FixedRun> run_;

private:
    testsupport::FakePrinterService* service_ = nullptr;
    std::unique_ptr<report::output::PrinterService> previous_;
};

// Lines of `lines` that start with `prefix`.
std::vector<std::string> LinesStartingWith(const std::vector<std::string>& lines, const std::string& prefix);

}  // namespace enginetest
