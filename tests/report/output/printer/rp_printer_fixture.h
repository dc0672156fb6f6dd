// What the printer object's tests share: a fake printer service installed as the program's, a
// report and a client window that record what reaches them, and pages with a mark that tells
// which page they are.
#pragma once

#include "report/output/printer/printer_settings.h"
#include "report/output/printer/printer_windows.h"
#include "report/output/printer/rp_printer.h"
#include "tests/support/fake_printer_service.h"

#include <QObject>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <vector>

namespace report::output::testing {

using namespace testsupport;

class FakeReport : public ReportWindow {
public:
    void PrintToPrinterMessage() override { ++printAgainMessages; }
    // Lets go of the printer object it owns, as the report does on 1028.
    void ClosePreviewMessage(TRpPrinter& printer) override;
    const TRpPrinterSettings& PrinterSettings() const override { return settings; }
    bool ShowProgress() const override { return showProgress; }
    void AfterPrint() override { ++afterPrints; }
    bool Exporting() const override { return exporting; }
    bool Destroying() const override { return false; }
    void RequestStop() override { ++stopRequests; }
    long double PageWidth() const override { return pageWidth; }
    long double PageLength() const override { return pageLength; }

    TRpPrinterSettings settings;
    std::unique_ptr<TRpPrinter> owned;
    bool showProgress = false;
    bool exporting = false;
    long double pageWidth = 2100;
    long double pageLength = 2970;
    int printAgainMessages = 0;
    int closeMessages = 0;
    int afterPrints = 0;
    int stopRequests = 0;
};

class RecordingClient : public ClientWindow {
public:
    QObject* WindowObject() override { return &object; }
    void ProgressMessage(int percent) override { progress.push_back(percent); }
    void FinishedPagesMessage(int count) override { finished.push_back(count); }
    void DetachPrinter(TRpPrinter& printer) override
    {
        ++detaches;
        printer.SetClientWindow(nullptr);
    }

    QObject object;
    std::vector<int> progress;
    std::vector<int> finished;
    int detaches = 0;
};

class RpPrinterTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Replaces the one printer "Office" (before a printer object is made).
    void UsePrinter(const FakePrinter& printer);
    // Opens `pages` pages, each with its mark, and ends the document.
    static void Run(TRpPrinter& printer, int pages);
    // A black box 10 mm wide whose left edge lies `page` x 10 mm from the left, 20 mm down.
    static void DrawMark(TRpPrinter& printer, int page);
    // The page whose mark a printed picture at `dpi` shows (0 when it shows none).
    static int MarkOf(const QImage& picture, int dpi, int offsetPixels = 0);
    // A report file of `pages` pages of `width` x `length` (0.1 mm).
    std::filesystem::path SaveReport(const char* name, int pages, int width = 2100, int length = 2970);

    FakePrinterService* service_ = nullptr;
    std::unique_ptr<PrinterService> previous_;
    std::filesystem::path folder_;
};

}  // namespace report::output::testing
