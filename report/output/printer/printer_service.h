// The printers of the system as the report library sees them: a service that lists them and
// knows their settings, and the printer object that selects one, keeps its settings record and
// prints documents on it.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace report::output {

// Bits of DevMode::fields: the fields a printer declares (reading) or that are sent (applying).
inline constexpr std::uint32_t kDmOrientation = 1;
inline constexpr std::uint32_t kDmPaperSize = 2;
inline constexpr std::uint32_t kDmPaperLength = 4;
inline constexpr std::uint32_t kDmPaperWidth = 8;
inline constexpr std::uint32_t kDmCopies = 256;
inline constexpr std::uint32_t kDmDefaultSource = 512;
inline constexpr std::uint32_t kDmPrintQuality = 1024;
inline constexpr std::uint32_t kDmColor = 2048;
inline constexpr std::uint32_t kDmDuplex = 4096;
inline constexpr std::uint32_t kDmCollate = 32768;

// A printer's settings record. Fields whose bit is not in `fields` mean nothing.
struct DevMode {
    std::uint32_t fields = 0;
    int orientation = 1;  // 1 portrait, 2 landscape
    int paperSize = 0;    // paper code (see paper_sizes.h); 256 = the size in paperWidth/Length
    int paperLength = 0;  // 0.1 mm
    int paperWidth = 0;   // 0.1 mm
    int copies = 1;
    int defaultSource = 0;  // bin code
    int printQuality = 0;   // dots per inch
    int color = 0;          // 1 monochrome, 2 colour
    int duplex = 0;         // 1 one-sided, 2 long edge, 3 short edge
    int collate = 0;        // 0 off, 1 on
};

// What a printer's page is like under one settings record.
struct DeviceCaps {
    int dpiX = 0;
    int dpiY = 0;
    int physicalWidth = 0;  // device pixels, the paper as it comes out (landscape turned)
    int physicalHeight = 0;
    int offsetX = 0;  // device pixels from the paper's corner to the drawing origin
    int offsetY = 0;
};

// One document that is being printed. Its first page is open when it is made.
class PrintJob {
public:
    virtual ~PrintJob() = default;
    // The painter of the open page, in device pixels from the drawing origin.
    [[nodiscard]] virtual QPainter& Painter() = 0;
    // Ends the open page and opens the next; false when the printer failed.
    [[nodiscard]] virtual bool NewPage() = 0;
    // Ends the document and hands it to the printer; false when that failed.
    [[nodiscard]] virtual bool Finish() = 0;
    // Throws the document away.
    virtual void Abort() = 0;
};

// The system's printers. Names are the system's own (UTF-8).
class PrinterService {
public:
    virtual ~PrinterService() = default;
    // Installed printers, sorted by name.
    [[nodiscard]] virtual QStringList PrinterNames() = 0;
    // The system's default printer; empty when there is none.
    [[nodiscard]] virtual QString DefaultPrinterName() = 0;
    // The driver's own settings of a printer; nullopt when it is not installed.
    [[nodiscard]] virtual std::optional<DevMode> DefaultDevMode(const QString& name) = 0;
    // Resolution, paper and origin of the printer's page under `devMode`; nullopt when the
    // printer is not installed.
    [[nodiscard]] virtual std::optional<DeviceCaps> Capabilities(const QString& name, const DevMode& devMode) = 0;
    // Paper codes the printer lists; nullopt when it cannot tell.
    [[nodiscard]] virtual std::optional<std::vector<int>> PaperCodes(const QString& name) = 0;
    // Opens a document titled `title`, with the declared fields of `devMode`; nullptr when the
    // printer refuses it. A non-empty `outputFileName` sends the document to that file (PDF)
    // instead of the printer.
    [[nodiscard]] virtual std::unique_ptr<PrintJob> StartJob(const QString& name, const DevMode& devMode,
                                                             const QString& title, const QString& outputFileName) = 0;
};

// The printer object: one selected printer of a service, its settings record and its document.
// The selection is kept by name, so a refreshed list that moved the printer keeps it.
class SystemPrinter {
public:
    explicit SystemPrinter(PrinterService& service);
    ~SystemPrinter();
    SystemPrinter(const SystemPrinter&) = delete;
    SystemPrinter& operator=(const SystemPrinter&) = delete;

    [[nodiscard]] PrinterService& Service() const { return service_; }
    // Printer names as last listed (listed on first use).
    [[nodiscard]] const QStringList& Printers();
    // Lists the printers again. A selected printer that is gone gives way to the default one.
    void Refresh();
    // The selected printer's place in Printers(); the default printer (or the first) is selected
    // on first use; -1 without printers.
    [[nodiscard]] int Index();
    // Selects a printer (-1: the default one) with its driver's settings. Throws ERpError
    // "Printer selected is not valid" for any other index outside Printers().
    void SetIndex(int index);
    // The selected printer's name; empty without printers.
    [[nodiscard]] QString Name();

    // The settings record of the selected printer; nullopt without one.
    [[nodiscard]] std::optional<DevMode> GetDevMode();
    // Replaces the settings record used by Caps() and the next document.
    void SetDevMode(const DevMode& devMode);
    // Goes back to the driver's settings.
    void ResetDevMode();
    [[nodiscard]] std::optional<DeviceCaps> Caps();
    [[nodiscard]] std::optional<std::vector<int>> PaperCodes();

    void SetTitle(const QString& title) { title_ = title; }
    [[nodiscard]] const QString& Title() const { return title_; }
    // The file the next documents go to instead of the printer; empty: the printer. Selecting a
    // printer empties it.
    void SetOutputFileName(const QString& fileName) { outputFileName_ = fileName; }
    [[nodiscard]] const QString& OutputFileName() const { return outputFileName_; }
    // Opens a document with the current settings; throws ERpError when no printer is selected,
    // a document is open, or the printer refuses it.
    void BeginDoc();
    // Ends the open page and begins the next; throws ERpError when not printing or on failure.
    void NewPage();
    // Ends the document; throws ERpError when the printer failed to take it.
    void EndDoc();
    // Throws the open document away; nothing when none is open.
    void Abort();
    [[nodiscard]] bool Printing() const { return job_ != nullptr; }
    // The open page's painter; nullptr when not printing.
    [[nodiscard]] QPainter* Painter();
    // The open document's page in device pixels and its resolution (0 when not printing).
    [[nodiscard]] const DeviceCaps& JobCaps() const { return jobCaps_; }

private:
    void EnsureListed();
    void Select(int index);

    PrinterService& service_;
    QStringList names_;
    bool listed_ = false;
    QString name_;
    std::optional<DevMode> devMode_;
    QString title_;
    QString outputFileName_;
    std::unique_ptr<PrintJob> job_;
    DeviceCaps jobCaps_;
};

// The program's printer service: the one installed at start-up, or the system's (Qt) one made on
// first use.
[[nodiscard]] PrinterService& ThePrinterService();
// Installs `service` with a fresh shared printer object on it; returns the service it replaces
// (nullptr when none was made yet). Tests install a fake this way.
std::unique_ptr<PrinterService> InstallPrinterService(std::unique_ptr<PrinterService> service);
// The application's shared printer object, on ThePrinterService().
[[nodiscard]] SystemPrinter& SharedPrinter();
// The horizontal resolution (dots per inch) of the service's default printer with its driver's
// settings; 96 without one.
[[nodiscard]] int DefaultPrinterResolution();

}  // namespace report::output
