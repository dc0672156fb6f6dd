#include "report/output/printer/printer_service.h"

#include "report/output/canvas/measure.h"
#include "report/output/printer/qt_printer_service.h"
#include "utility/rp_error.h"

namespace report::output {

SystemPrinter::SystemPrinter(PrinterService& service) : service_(service) {}

SystemPrinter::~SystemPrinter() { Abort(); }

void SystemPrinter::EnsureListed()
{
    if (!listed_)
        Refresh();
}

const QStringList& SystemPrinter::Printers()
{
    EnsureListed();
    return names_;
}

void SystemPrinter::Refresh()
{
    names_ = service_.PrinterNames();
    listed_ = true;
    if (!name_.isEmpty() && !names_.contains(name_)) {
        name_.clear();
        devMode_.reset();
    }
}

int SystemPrinter::Index()
{
    EnsureListed();
    if (names_.isEmpty())
        return -1;
    if (name_.isEmpty())
        Select(-1);
    return static_cast<int>(names_.indexOf(name_));
}

void SystemPrinter::SetIndex(int index)
{
    EnsureListed();
    if (index < -1 || index >= names_.size() || (index == -1 && names_.isEmpty()))
        throw ERpError("Printer selected is not valid");
    Select(index);
}

void SystemPrinter::Select(int index)
{
    if (index == -1) {
        const QString preferred = service_.DefaultPrinterName();
        name_ = names_.contains(preferred) ? preferred : names_.front();
    } else {
        name_ = names_[index];
    }
    devMode_ = service_.DefaultDevMode(name_);
    outputFileName_.clear();
}

QString SystemPrinter::Name() { return Index() < 0 ? QString() : name_; }

std::optional<DevMode> SystemPrinter::GetDevMode()
{
    if (Index() < 0)
        return std::nullopt;
    // A printer that could not say its settings before is asked once more.
    if (!devMode_)
        devMode_ = service_.DefaultDevMode(name_);
    return devMode_;
}

void SystemPrinter::SetDevMode(const DevMode& devMode)
{
    if (Index() >= 0)
        devMode_ = devMode;
}

void SystemPrinter::ResetDevMode()
{
    if (Index() >= 0)
        devMode_ = service_.DefaultDevMode(name_);
}

std::optional<DeviceCaps> SystemPrinter::Caps()
{
    const std::optional<DevMode> devMode = GetDevMode();
    if (!devMode)
        return std::nullopt;
    return service_.Capabilities(name_, *devMode);
}

std::optional<std::vector<int>> SystemPrinter::PaperCodes()
{
    if (Index() < 0)
        return std::nullopt;
    return service_.PaperCodes(name_);
}

void SystemPrinter::BeginDoc()
{
    if (job_)
        throw ERpError("Printing in progress");
    const std::optional<DevMode> devMode = GetDevMode();
    if (!devMode)
        throw ERpError("Printer selected is not valid");
    const std::optional<DeviceCaps> caps = service_.Capabilities(name_, *devMode);
    std::unique_ptr<PrintJob> job = service_.StartJob(name_, *devMode, title_, outputFileName_);
    if (!job || !caps)
        throw ERpError("The printer did not take the document");
    job_ = std::move(job);
    jobCaps_ = *caps;
}

void SystemPrinter::NewPage()
{
    if (!job_)
        throw ERpError("Printer is not currently printing");
    if (!job_->NewPage()) {
        Abort();
        throw ERpError("The printer did not take the page");
    }
}

void SystemPrinter::EndDoc()
{
    if (!job_)
        throw ERpError("Printer is not currently printing");
    std::unique_ptr<PrintJob> job = std::move(job_);
    jobCaps_ = {};
    if (!job->Finish())
        throw ERpError("The printer did not take the document");
}

void SystemPrinter::Abort()
{
    if (!job_)
        return;
    std::unique_ptr<PrintJob> job = std::move(job_);
    jobCaps_ = {};
    job->Abort();
}

QPainter* SystemPrinter::Painter() { return job_ ? &job_->Painter() : nullptr; }

namespace {

struct PrinterGlobals {
    std::unique_ptr<PrinterService> service;
    std::unique_ptr<SystemPrinter> shared;
};

PrinterGlobals& Globals()
{
    static PrinterGlobals globals;
    return globals;
}

}  // namespace

PrinterService& ThePrinterService()
{
    PrinterGlobals& globals = Globals();
    if (!globals.service)
        InstallPrinterService(std::make_unique<QtPrinterService>());
    return *globals.service;
}

std::unique_ptr<PrinterService> InstallPrinterService(std::unique_ptr<PrinterService> service)
{
    PrinterGlobals& globals = Globals();
    globals.shared.reset();
    std::unique_ptr<PrinterService> previous = std::move(globals.service);
    globals.service = std::move(service);
    if (globals.service)
        globals.shared = std::make_unique<SystemPrinter>(*globals.service);
    return previous;
}

SystemPrinter& SharedPrinter()
{
    static_cast<void>(ThePrinterService());
    return *Globals().shared;
}

int DefaultPrinterResolution()
{
    PrinterService& service = ThePrinterService();
    const QString name = service.DefaultPrinterName();
    if (name.isEmpty())
        return kMeasureDpi;
    const std::optional<DevMode> devMode = service.DefaultDevMode(name);
    if (!devMode)
        return kMeasureDpi;
    const std::optional<DeviceCaps> caps = service.Capabilities(name, *devMode);
    return caps && caps->dpiX > 0 ? caps->dpiX : kMeasureDpi;
}

}  // namespace report::output
