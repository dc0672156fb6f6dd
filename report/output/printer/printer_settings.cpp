#include "report/output/printer/printer_settings.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace report::output {
namespace {

constexpr int kDuplexSimplex = 1;
constexpr int kDuplexShortEdge = 3;

// Device pixels to tenths of a millimetre.
int Tenths(int pixels, int dpi)
{
    if (dpi <= 0)
        return 0;
    return static_cast<int>(std::nearbyint(static_cast<long double>(pixels) / dpi * 254.0L));
}

TRpPaperSize PaperSizeForCode(int code) { return PaperSizeFromCode(code).value_or(TRpPaperSize::Default); }

}  // namespace

void TPrinterSettings::SetPrinter(SystemPrinter* printer)
{
    printer_ = printer;
    if (printer_ && !printer_->Printers().isEmpty())
        ReadPrinterSettings();
}

void TPrinterSettings::ReadPrinterSettings()
{
    if (!printer_)
        return;
    QCoreApplication::processEvents();
    deviceName_ = printer_->Name();
    devMode_ = printer_->GetDevMode();
    if (!devMode_)
        return;
    // The place alone could name another printer once the list has changed.
    const int index = printer_->Index();
    if (index == readForIndex_ && deviceName_ == readForName_)
        return;

    if (onGetSettings_) {
        bool cancel = false;
        onGetSettings_(*this, cancel, *devMode_);
        if (cancel)
            return;
    }
    const std::optional<DeviceCaps> caps = printer_->Caps();
    if (!caps)
        return;
    ReadFields(*devMode_, *caps);
    ReadPapers();
    readForIndex_ = index;
    readForName_ = deviceName_;
}

void TPrinterSettings::ReadFields(const DevMode& devMode, const DeviceCaps& caps)
{
    dpiX_ = caps.dpiX;
    dpiY_ = caps.dpiY;
    copies_ = (devMode.fields & kDmCopies) ? devMode.copies : 1;
    outputBin_ = (devMode.fields & kDmDefaultSource) ? BinFromCode(devMode.defaultSource) : TRpBin::First;
    if (devMode.fields & kDmDuplex) {
        duplex_ = devMode.duplex != kDuplexSimplex;
        extendedDuplex_ = devMode.duplex;
    }
    offsetX_ = Tenths(caps.offsetX, dpiX_);
    offsetY_ = Tenths(caps.offsetY, dpiY_);
    paperSize_ = (devMode.fields & kDmPaperSize) ? PaperSizeForCode(devMode.paperSize) : TRpPaperSize::Default;
    paperWidth_ = Tenths(caps.physicalWidth, dpiX_);
    paperLength_ = Tenths(caps.physicalHeight, dpiY_);
    // Taken whether declared or not; the orientation stays the report's.
    printQuality_ = devMode.printQuality;
    collate_ = devMode.collate;
    colorOption_ = devMode.color;
}

void TPrinterSettings::ReadPapers()
{
    if (const std::optional<std::vector<int>> codes = printer_->PaperCodes()) {
        paperSupported_.fill(false);
        for (const int code : *codes) {
            const std::optional<TRpPaperSize> size = PaperSizeFromCode(code);
            if (size && *size != TRpPaperSize::Default)
                paperSupported_[static_cast<std::size_t>(*size)] = true;
        }
    }
    paperSupported_[static_cast<std::size_t>(TRpPaperSize::Custom)] = true;
}

DevMode TPrinterSettings::WantedDevMode(DevMode devMode) const
{
    devMode.fields |= kDmPaperLength | kDmPaperWidth;
    devMode.paperLength = GetPaperLength();
    devMode.paperWidth = GetPaperWidth();
    if (Supports(kDmPaperSize) && paperSize_ != TRpPaperSize::Default) {
        devMode.paperSize = useCustomPaperCode_ ? customPaperCode_ : PaperCode(paperSize_);
    }
    devMode.fields |= kDmCopies;
    devMode.copies = copies_;
    if (Supports(kDmDuplex)) {
        if (extendedDuplex_ != 0)
            devMode.duplex = extendedDuplex_;
        else
            devMode.duplex = duplex_ ? kDuplexShortEdge : kDuplexSimplex;
    }
    devMode.fields |= kDmDefaultSource;
    devMode.defaultSource = useCustomBinCode_ ? customBinCode_ : BinCode(outputBin_);
    devMode.fields |= kDmOrientation;
    devMode.orientation = orientation_ == 0 ? 1 : 2;
    if (Supports(kDmCollate))
        devMode.collate = collate_;
    if (Supports(kDmColor))
        devMode.color = colorOption_;
    return devMode;
}

void TPrinterSettings::ApplyPrinterSettings()
{
    if (!printer_)
        return;
    deviceName_ = printer_->Name();
    devMode_ = printer_->GetDevMode();
    if (!devMode_)
        return;
    DevMode wanted = WantedDevMode(*devMode_);
    if (onApplySettings_) {
        bool cancel = false;
        onApplySettings_(*this, cancel, wanted);
        if (cancel)
            return;
    }
    printer_->SetDevMode(wanted);
    devMode_ = wanted;
}

void TPrinterSettings::Apply(const TRpPrinterSettings& chosen)
{
    SetCopies(chosen.Copies);
    SetOutputBin(chosen.OutputBin);
    SetDuplex(chosen.Duplex);
    SetUseStandardPrinter(chosen.UseStandardprinter);
    SetPrintMetaFile(chosen.PrintMetaFile);
    SetUseCustomBinCode(chosen.UseCustomBinCode);
    SetCustomBinCode(chosen.CustomBinCode);
    SetUseCustomPaperCode(chosen.UseCustomPaperCode);
    SetCustomPaperCode(chosen.CustomPaperCode);
    SetPrintQuality(chosen.PrintQuality);
    SetCollate(chosen.Collate);
    SetColorOption(chosen.ColorOption);
    SetExtendedDuplex(chosen.ExtendedDuplex);
}

TRpPrinterSettings TPrinterSettings::Chosen() const
{
    TRpPrinterSettings chosen;
    chosen.Copies = copies_;
    chosen.OutputBin = outputBin_;
    chosen.Duplex = duplex_;
    chosen.UseStandardprinter = useStandardPrinter_;
    chosen.PrintMetaFile = printMetaFile_;
    chosen.UseCustomBinCode = useCustomBinCode_;
    chosen.CustomBinCode = customBinCode_;
    chosen.UseCustomPaperCode = useCustomPaperCode_;
    chosen.CustomPaperCode = customPaperCode_;
    chosen.PrintQuality = printQuality_;
    chosen.Collate = collate_;
    chosen.ColorOption = colorOption_;
    chosen.ExtendedDuplex = extendedDuplex_;
    chosen.MemoryLimit = memoryLimit_;
    return chosen;
}

void TakePrinterSetup(TRpPrinterSettings& settings, const TRpPrinterSettings& chosen)
{
    settings.UseCustomBinCode = chosen.CustomBinCode >= kFirstRawBin;
    if (settings.UseCustomBinCode)
        settings.CustomBinCode = chosen.CustomBinCode;
    else
        settings.OutputBin = static_cast<TRpBin>(std::max(0, chosen.CustomBinCode));
    settings.Collate = chosen.Collate;
    settings.ColorOption = chosen.ColorOption;
    settings.PrintQuality = chosen.PrintQuality;
    settings.Copies = chosen.Copies;
    settings.Duplex = chosen.Duplex;
    settings.ExtendedDuplex = chosen.ExtendedDuplex;
    settings.FirstPage = chosen.FirstPage;
    settings.LastPage = chosen.LastPage;
}

bool TPrinterSettings::Supports(std::uint32_t fields) const
{
    return HasDevice() && (devMode_->fields & fields) == fields;
}

void TPrinterSettings::SetCopies(int copies)
{
    if (Supports(kDmCopies))
        copies_ = copies;
}

void TPrinterSettings::SetDuplex(bool duplex)
{
    if (Supports(kDmDuplex))
        duplex_ = duplex;
}

void TPrinterSettings::SetOutputBin(TRpBin bin)
{
    if (Supports(kDmDefaultSource))
        outputBin_ = bin;
}

void TPrinterSettings::SetOrientation(int orientation)
{
    if (!HasDevice() || Supports(kDmOrientation))
        orientation_ = orientation;
}

void TPrinterSettings::SetPaperSize(TRpPaperSize size)
{
    if (size == TRpPaperSize::Default || !HasDevice() || PaperSupported(size))
        paperSize_ = size;
}

bool TPrinterSettings::PaperSupported(TRpPaperSize size) const
{
    return paperSupported_[static_cast<std::size_t>(size)];
}

int TPrinterSettings::GetPaperWidth() const
{
    if (paperSize_ == TRpPaperSize::Custom)
        return paperWidth_;
    if (paperSize_ == TRpPaperSize::Default) {
        // Nothing read: a 0 x 0 page would divide the preview's zoom by zero.
        return paperWidth_ > 0 && paperLength_ > 0 ? paperWidth_ : PaperWidthTenths(TRpPaperSize::A4);
    }
    return PaperWidthTenths(paperSize_);
}

int TPrinterSettings::GetPaperLength() const
{
    if (paperSize_ == TRpPaperSize::Custom)
        return paperLength_;
    if (paperSize_ == TRpPaperSize::Default) {
        return paperWidth_ > 0 && paperLength_ > 0 ? paperLength_ : PaperLengthTenths(TRpPaperSize::A4);
    }
    return PaperLengthTenths(paperSize_);
}

TRpPaperSize DefaultPrinterPaperSize(SystemPrinter& printer)
{
    const std::optional<DevMode> devMode = printer.GetDevMode();
    if (!devMode || !(devMode->fields & kDmPaperSize))
        return TRpPaperSize::Default;
    return PaperSizeForCode(devMode->paperSize);
}

TRpPaperSize DefaultPrinterPaperSize() { return DefaultPrinterPaperSize(SharedPrinter()); }

void ResetPrinterDevMode(SystemPrinter& printer) { printer.ResetDevMode(); }

}  // namespace report::output
