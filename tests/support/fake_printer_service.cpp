#include "tests/support/fake_printer_service.h"

#include "report/output/printer/paper_sizes.h"

#include <QPainter>

#include <cmath>

namespace testsupport {

using namespace report::output;

namespace {

int Pixels(int tenths, int dpi) { return static_cast<int>(std::lround(tenths / 254.0 * dpi)); }

class FakePrintJob : public PrintJob {
public:
    FakePrintJob(std::shared_ptr<FakeJob> job, const DeviceCaps& caps) : job_(std::move(job)), caps_(caps)
    {
        OpenPage();
    }
    ~FakePrintJob() override
    {
        if (painter_.isActive())
            painter_.end();
    }
    FakePrintJob(const FakePrintJob&) = delete;
    FakePrintJob& operator=(const FakePrintJob&) = delete;

    QPainter& Painter() override { return painter_; }
    bool NewPage() override
    {
        painter_.end();
        OpenPage();
        return true;
    }
    bool Finish() override
    {
        painter_.end();
        job_->finished = true;
        return true;
    }
    void Abort() override
    {
        painter_.end();
        job_->aborted = true;
    }

private:
    void OpenPage()
    {
        QImage page(caps_.physicalWidth, caps_.physicalHeight, QImage::Format_RGB32);
        page.setDotsPerMeterX(static_cast<int>(std::lround(caps_.dpiX / 0.0254)));
        page.setDotsPerMeterY(static_cast<int>(std::lround(caps_.dpiY / 0.0254)));
        page.fill(Qt::white);
        job_->pages.push_back(std::move(page));
        painter_.begin(&job_->pages.back());
        painter_.translate(caps_.offsetX, caps_.offsetY);
    }

    std::shared_ptr<FakeJob> job_;
    DeviceCaps caps_;
    QPainter painter_;
};

}  // namespace

FakePrinter FakePrinterService::A4Printer()
{
    FakePrinter printer;
    printer.devMode.fields = kDmOrientation | kDmPaperSize | kDmCopies | kDmCollate;
    printer.devMode.paperSize = PaperCode(TRpPaperSize::A4);
    printer.devMode.copies = 1;
    printer.paperCodes = std::vector<int>{PaperCode(TRpPaperSize::A4), PaperCode(TRpPaperSize::Letter)};
    return printer;
}

QStringList FakePrinterService::PrinterNames()
{
    QStringList names;
    for (const auto& entry : printers_)
        names.push_back(entry.first);
    names.sort();
    return names;
}

std::optional<DevMode> FakePrinterService::DefaultDevMode(const QString& name)
{
    const auto found = printers_.find(name);
    if (found == printers_.end())
        return std::nullopt;
    return found->second.devMode;
}

std::optional<DeviceCaps> FakePrinterService::Capabilities(const QString& name, const DevMode& devMode)
{
    ++capabilityCalls;
    const auto found = printers_.find(name);
    if (found == printers_.end())
        return std::nullopt;
    const FakePrinter& printer = found->second;
    int width = devMode.paperWidth;
    int length = devMode.paperLength;
    const std::optional<TRpPaperSize> size = PaperSizeFromCode(devMode.paperSize);
    if ((devMode.fields & kDmPaperSize) && size && *size != TRpPaperSize::Default && *size != TRpPaperSize::Custom) {
        width = PaperWidthTenths(*size);
        length = PaperLengthTenths(*size);
    }
    if ((devMode.fields & kDmOrientation) && devMode.orientation == 2)
        std::swap(width, length);
    DeviceCaps caps;
    caps.dpiX = printer.dpiX;
    caps.dpiY = printer.dpiY;
    caps.physicalWidth = Pixels(width, printer.dpiX);
    caps.physicalHeight = Pixels(length, printer.dpiY);
    caps.offsetX = printer.offsetX;
    caps.offsetY = printer.offsetY;
    return caps;
}

std::optional<std::vector<int>> FakePrinterService::PaperCodes(const QString& name)
{
    ++paperCodeCalls;
    const auto found = printers_.find(name);
    if (found == printers_.end())
        return std::nullopt;
    return found->second.paperCodes;
}

std::unique_ptr<PrintJob> FakePrinterService::StartJob(const QString& name, const DevMode& devMode,
                                                       const QString& title, const QString& outputFileName)
{
    const auto found = printers_.find(name);
    if (found == printers_.end() || found->second.refusesJobs)
        return nullptr;
    const std::optional<DeviceCaps> caps = Capabilities(name, devMode);
    auto job = std::make_shared<FakeJob>();
    job->printer = name;
    job->title = title;
    job->outputFileName = outputFileName;
    job->devMode = devMode;
    jobs.push_back(job);
    return std::make_unique<FakePrintJob>(job, *caps);
}

}  // namespace testsupport
