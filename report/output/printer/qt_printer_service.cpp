#include "report/output/printer/qt_printer_service.h"

#include "report/output/printer/paper_sizes.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>

namespace report::output {
namespace {

constexpr int kDuplexSimplex = 1;
constexpr int kDuplexLongEdge = 2;
constexpr int kDuplexShortEdge = 3;
constexpr int kColorMonochrome = 1;
constexpr int kColorColor = 2;

int TenthsOfMm(qreal mm) { return static_cast<int>(std::lround(mm * 10.0)); }

// The page size a paper code stands for: Qt's own size, the report's table size where Qt has
// none, or the custom size in tenths of a millimetre.
std::optional<QPageSize> PageSizeOf(const DevMode& devMode)
{
    const int code = devMode.paperSize;
    if ((devMode.fields & kDmPaperSize) && code != 0 && code != kCustomPaperCode) {
        const QPageSize::PageSizeId id = QPageSize::id(code);
        if (id != QPageSize::Custom)
            return QPageSize(id);
        const std::optional<TRpPaperSize> size = PaperSizeFromCode(code);
        if (size && *size != TRpPaperSize::Custom) {
            const PaperDimensions mm = PaperDimensionsOf(*size);
            return QPageSize(QSizeF(static_cast<qreal>(mm.widthMm), static_cast<qreal>(mm.heightMm)),
                             QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
        }
    }
    const std::uint32_t both = kDmPaperWidth | kDmPaperLength;
    if ((devMode.fields & both) == both && devMode.paperWidth > 0 && devMode.paperLength > 0 &&
        (!(devMode.fields & kDmPaperSize) || code == kCustomPaperCode)) {
        return QPageSize(QSizeF(devMode.paperWidth / 10.0, devMode.paperLength / 10.0), QPageSize::Millimeter,
                         QString(), QPageSize::ExactMatch);
    }
    return std::nullopt;
}

QPrinter::DuplexMode DuplexModeOf(int duplex)
{
    switch (duplex) {
    case kDuplexLongEdge:
        return QPrinter::DuplexLongSide;
    case kDuplexShortEdge:
        return QPrinter::DuplexShortSide;
    default:
        return QPrinter::DuplexNone;
    }
}

class QtPrintJob : public PrintJob {
public:
    QtPrintJob(const QPrinterInfo& info, const DevMode& devMode, const QString& title, const QString& outputFileName)
        : printer_(info, QPrinter::HighResolution)
    {
        if (!outputFileName.isEmpty()) {
            // Printing to a file is PDF here, whatever the name ends with.
            printer_.setOutputFormat(QPrinter::PdfFormat);
            printer_.setOutputFileName(outputFileName);
        }
        QtPrinterService::Configure(printer_, devMode);
        printer_.setDocName(title);
    }
    ~QtPrintJob() override
    {
        if (painter_.isActive())
            Abort();
    }
    QtPrintJob(const QtPrintJob&) = delete;
    QtPrintJob& operator=(const QtPrintJob&) = delete;

    [[nodiscard]] bool Begin() { return painter_.begin(&printer_); }
    QPainter& Painter() override { return painter_; }
    bool NewPage() override { return printer_.newPage(); }
    bool Finish() override { return painter_.end() && printer_.printerState() != QPrinter::Error; }
    void Abort() override
    {
        printer_.abort();
        painter_.end();
    }

private:
    QPrinter printer_;
    QPainter painter_;
};

}  // namespace

void QtPrinterService::Configure(QPrinter& printer, const DevMode& devMode)
{
    printer.setFullPage(true);
    if (const std::optional<QPageSize> size = PageSizeOf(devMode))
        printer.setPageSize(*size);
    if (devMode.fields & kDmOrientation) {
        printer.setPageOrientation(devMode.orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
    }
    if (devMode.fields & kDmCopies)
        printer.setCopyCount(std::max(1, devMode.copies));
    if (devMode.fields & kDmDuplex)
        printer.setDuplex(DuplexModeOf(devMode.duplex));
    if (devMode.fields & kDmColor) {
        printer.setColorMode(devMode.color == kColorMonochrome ? QPrinter::GrayScale : QPrinter::Color);
    }
    if (devMode.fields & kDmCollate)
        printer.setCollateCopies(devMode.collate != 0);
}

int QtPrinterService::DuplexCode(QPrinter::DuplexMode mode)
{
    switch (mode) {
    case QPrinter::DuplexLongSide:
    case QPrinter::DuplexAuto:
        return kDuplexLongEdge;
    case QPrinter::DuplexShortSide:
        return kDuplexShortEdge;
    case QPrinter::DuplexNone:
        break;
    }
    return kDuplexSimplex;
}

DevMode QtPrinterService::ReadDevMode(QPrinter& printer)
{
    DevMode devMode;
    devMode.fields =
        kDmOrientation | kDmPaperSize | kDmPaperLength | kDmPaperWidth | kDmCopies | kDmPrintQuality | kDmCollate;
    const QPageLayout layout = printer.pageLayout();
    devMode.orientation = layout.orientation() == QPageLayout::Landscape ? 2 : 1;
    const QPageSize size = layout.pageSize();
    const std::optional<TRpPaperSize> known = PaperSizeFromCode(size.windowsId());
    devMode.paperSize = known && *known != TRpPaperSize::Default ? PaperCode(*known) : kCustomPaperCode;
    const QSizeF mm = size.size(QPageSize::Millimeter);
    devMode.paperWidth = TenthsOfMm(mm.width());
    devMode.paperLength = TenthsOfMm(mm.height());
    devMode.copies = printer.copyCount();
    devMode.printQuality = printer.resolution();
    devMode.collate = printer.collateCopies() ? 1 : 0;

    const QPrinterInfo info = QPrinterInfo::printerInfo(printer.printerName());
    const QList<QPrinter::DuplexMode> duplexModes = info.supportedDuplexModes();
    if (duplexModes.contains(QPrinter::DuplexLongSide) || duplexModes.contains(QPrinter::DuplexShortSide)) {
        devMode.fields |= kDmDuplex;
        devMode.duplex = DuplexCode(printer.duplex());
    }
    if (info.supportedColorModes().contains(QPrinter::Color)) {
        devMode.fields |= kDmColor;
        devMode.color = printer.colorMode() == QPrinter::Color ? kColorColor : kColorMonochrome;
    }
    return devMode;
}

QStringList QtPrinterService::PrinterNames()
{
    QStringList names = QPrinterInfo::availablePrinterNames();
    names.sort();
    return names;
}

QString QtPrinterService::DefaultPrinterName() { return QPrinterInfo::defaultPrinterName(); }

std::optional<DevMode> QtPrinterService::DefaultDevMode(const QString& name)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull())
        return std::nullopt;
    QPrinter printer(info, QPrinter::HighResolution);
    return ReadDevMode(printer);
}

std::optional<DeviceCaps> QtPrinterService::Capabilities(const QString& name, const DevMode& devMode)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull())
        return std::nullopt;
    QPrinter printer(info, QPrinter::HighResolution);
    Configure(printer, devMode);
    DeviceCaps caps;
    caps.dpiX = printer.logicalDpiX();
    caps.dpiY = printer.logicalDpiY();
    const QRect paper = printer.paperRect(QPrinter::DevicePixel).toRect();
    caps.physicalWidth = paper.width();
    caps.physicalHeight = paper.height();
    return caps;
}

std::optional<std::vector<int>> QtPrinterService::PaperCodes(const QString& name)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull())
        return std::nullopt;
    std::vector<int> codes;
    for (const QPageSize& size : info.supportedPageSizes()) {
        if (size.windowsId() != 0)
            codes.push_back(size.windowsId());
    }
    return codes;
}

std::unique_ptr<PrintJob> QtPrinterService::StartJob(const QString& name, const DevMode& devMode, const QString& title,
                                                     const QString& outputFileName)
{
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull())
        return nullptr;
    auto job = std::make_unique<QtPrintJob>(info, devMode, title, outputFileName);
    if (!job->Begin())
        return nullptr;
    return job;
}

}  // namespace report::output
