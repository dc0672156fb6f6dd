// The printer service on the system's printers through Qt (CUPS on Linux).
#pragma once

#include "report/output/printer/printer_service.h"

#include <QPrinter>

namespace report::output {

// Papers map by their printer codes (QPageSize::windowsId); a code Qt has no size for is printed
// on a custom size from the report's paper table. Duplex 1/2/3 is one-sided, long edge, short
// edge; colour 1/2 grey scale, colour. Paper sources have no counterpart here: the bin is never
// declared and never sent. Documents are printed with the origin at the paper's corner, so the
// offsets are 0.
class QtPrinterService : public PrinterService {
public:
    [[nodiscard]] QStringList PrinterNames() override;
    [[nodiscard]] QString DefaultPrinterName() override;
    [[nodiscard]] std::optional<DevMode> DefaultDevMode(const QString& name) override;
    [[nodiscard]] std::optional<DeviceCaps> Capabilities(const QString& name, const DevMode& devMode) override;
    [[nodiscard]] std::optional<std::vector<int>> PaperCodes(const QString& name) override;
    [[nodiscard]] std::unique_ptr<PrintJob> StartJob(const QString& name, const DevMode& devMode, const QString& title,
                                                     const QString& outputFileName) override;

    // Sets up `printer` with the declared fields of `devMode` (also for the print dialog).
    static void Configure(QPrinter& printer, const DevMode& devMode);
    // The settings record `printer` stands for now.
    [[nodiscard]] static DevMode ReadDevMode(QPrinter& printer);
    // Our duplex code (1, 2 or 3) of Qt's duplex mode; "automatic" is the long edge.
    [[nodiscard]] static int DuplexCode(QPrinter::DuplexMode mode);
};

}  // namespace report::output
