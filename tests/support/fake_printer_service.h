// A printer service with printers made up by the test: their settings records, resolution, offsets
// and papers, and every document printed on them, page by page, as pictures.
#pragma once

#include "report/output/printer/printer_service.h"

#include <QImage>

#include <map>
#include <memory>
#include <vector>

namespace testsupport {

struct FakePrinter {
    report::output::DevMode devMode;  // the driver's settings
    int dpiX = 60;
    int dpiY = 60;
    int offsetX = 0;  // device pixels
    int offsetY = 0;
    std::optional<std::vector<int>> paperCodes;  // nullopt: the printer cannot tell
    bool refusesJobs = false;
};

struct FakeJob {
    QString printer;
    QString title;
    QString outputFileName;           // empty: the printer
    report::output::DevMode devMode;  // as sent
    std::vector<QImage> pages;
    bool finished = false;
    bool aborted = false;
};

class FakePrinterService : public report::output::PrinterService {
public:
    // A printer with an A4 portrait record declaring orientation, paper, copies and collate.
    static FakePrinter A4Printer();

    void Add(const QString& name, FakePrinter printer) { printers_[name] = std::move(printer); }
    void Remove(const QString& name) { printers_.erase(name); }
    void SetDefault(const QString& name) { default_ = name; }

    QStringList PrinterNames() override;
    QString DefaultPrinterName() override { return default_; }
    std::optional<report::output::DevMode> DefaultDevMode(const QString& name) override;
    std::optional<report::output::DeviceCaps> Capabilities(const QString& name,
                                                           const report::output::DevMode& devMode) override;
    std::optional<std::vector<int>> PaperCodes(const QString& name) override;
    std::unique_ptr<report::output::PrintJob> StartJob(const QString& name, const report::output::DevMode& devMode,
                                                       const QString& title, const QString& outputFileName) override;

    // Calls made, for tests that count work.
    int capabilityCalls = 0;
    int paperCodeCalls = 0;
    // Every document started, in order; pages are white pictures of the page as printed.
    std::vector<std::shared_ptr<FakeJob>> jobs;

private:
    std::map<QString, FakePrinter> printers_;
    QString default_;
};

}  // namespace testsupport
