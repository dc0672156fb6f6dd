// What the preview tests share: a report as the preview window sees it, recording what it is
// asked; printer objects with documents of text lines; a printer service with no printer or
// one; windows closed and freed at the end of each test.
#pragma once

#include "report/output/preview/rp_standard_preview.h"
#include "report/output/printer/printer_settings.h"
#include "report/output/printer/printer_windows.h"
#include "report/output/printer/rp_printer.h"
#include "tests/support/fake_printer_service.h"

#include <QPointer>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace report::output::testing {

using namespace testsupport;

class FakePreviewedReport : public PreviewedReport {
    Q_OBJECT
public:
    // ReportWindow
    void PrintToPrinterMessage() override { ++printAgainMessages; }
    void ClosePreviewMessage(TRpPrinter& printer) override;
    const TRpPrinterSettings& PrinterSettings() const override { return settings; }
    bool ShowProgress() const override { return false; }
    void AfterPrint() override {}
    bool Exporting() const override { return false; }
    bool Destroying() const override { return false; }
    long double PageWidth() const override { return 2100; }
    long double PageLength() const override { return 2970; }

    // PreviewedReport
    TRpPreviewOptions PreviewOptions() const override { return options; }
    QString ReportTitle() const override { return title; }
    int PageOrientation() const override { return orientation; }
    void SetPagePaper(TRpPaperSize size, int newOrientation) override;
    bool OnStandPrevEvent(QWidget& sender, TStandPrevEventType eventType, const std::string& contName) override;
    int PagesInPreview() const override { return pagesInPreview; }
    void RequestStop() override { ++stopRequests; }
    void SetPrinterSettings(const TRpPrinterSettings& newSettings) override { settings = newSettings; }
    void PrintToPrinter() override;
    std::optional<TRpPrinterSettings> ShowPrinterSetup() override;
    void ExportWithFilter(TRpExportFilter& filter) override;

    TRpPrinterSettings settings;
    TRpPreviewOptions options;
    QString title = QStringLiteral("Lista");
    int orientation = 0;
    int pagesInPreview = 0;
    // Commands the report's handler takes; every command offered is listed in `events`.
    std::vector<TStandPrevEventType> handles;
    std::vector<std::pair<TStandPrevEventType, std::string>> events;
    std::optional<TRpPrinterSettings> setupAnswer;
    std::optional<std::pair<TRpPaperSize, int>> paper;
    std::unique_ptr<TRpPrinter> owned;
    int printAgainMessages = 0;
    int closeMessages = 0;
    int prints = 0;
    int setups = 0;
    int exports = 0;
    int stopRequests = 0;
    // Runs while PrintToPrinter is under way.
    std::function<void()> duringPrint;
    // Runs for ExportWithFilter.
    std::function<void(TRpExportFilter& filter)> onExport;
};

// Lines of text of each page of a document.
using DocumentText = std::vector<std::vector<std::string>>;

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Replaces the printers with the one printer "Office" (before printer objects are made).
    void UseOfficePrinter();
    // Records one page per entry, each line of text one under the other (code page 1250), on
    // an A4 portrait page; finished unless `finish` is false (the last page then stays open).
    static void Record(TRpPrinter& printer, const DocumentText& pages, bool finish = true);
    // `count` pages whose one line reads "Page n".
    static DocumentText NumberedPages(int count);
    // A report file of `pages`.
    std::filesystem::path SaveReportFile(const char* name, const DocumentText& pages);
    // A window on `printer`, kept for closing at the end of the test, shown.
    TRpStandardPreview& Open(TRpPrinter& printer);
    // Closes every window opened and frees it.
    void CloseWindows();

    FakePrinterService* service_ = nullptr;
    std::unique_ptr<PrinterService> previous_;
    std::filesystem::path folder_;
    std::vector<QPointer<TRpStandardPreview>> windows_;
};

}  // namespace report::output::testing
