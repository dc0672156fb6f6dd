// The chosen printer's settings as the report sees them: read from the printer, changed by the
// report and written back before a document is printed; and the report's own persistent choices.
#pragma once

#include "report/output/pages/page_stream.h"
#include "report/output/printer/paper_sizes.h"
#include "report/output/printer/printer_service.h"

#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace report::output {

class TPrinterSettings;

// The report's persistent printer choices, applied to the printer object at every run.
struct TRpPrinterSettings {
    int Copies = 1;
    TRpBin OutputBin = TRpBin::Auto;
    bool Duplex = false;
    int FirstPage = 0;  // 0: unbounded
    int LastPage = 0;
    bool UseStandardprinter = false;
    bool UseCustomBinCode = false;
    int CustomBinCode = 0;
    int ExtendedDuplex = 0;
    bool UseCustomPaperCode = false;
    int CustomPaperCode = 0;
    bool PrintMetaFile = false;
    int MemoryLimit = static_cast<int>(kDefaultMemoryLimit);
    int PrintQuality = 0;
    int Collate = 0;
    int ColorOption = 0;
    int PrinterIndex = -1;
};

// A printer set-up's answer taken from `chosen` into `settings`: the paper source (a CustomBinCode
// from kFirstRawBin on is the printer's own code, below it one of the report's bins), collation,
// colour, quality, copies, duplex and the page range.
inline constexpr int kFirstRawBin = 13;
void TakePrinterSetup(TRpPrinterSettings& settings, const TRpPrinterSettings& chosen);

// Hooks fired before reading and before applying; `devMode` is the record being read or about to
// be sent and may be changed; setting `cancel` stops the operation.
using TRpPrinterEvent = std::function<void(TPrinterSettings& sender, bool& cancel, DevMode& devMode)>;

class TPrinterSettings {
public:
    TPrinterSettings() = default;

    // Attaches the printer object (not owned; nullptr detaches) and reads its settings when it
    // has printers.
    void SetPrinter(SystemPrinter* printer);
    [[nodiscard]] SystemPrinter* Printer() const { return printer_; }
    // Takes the printer's settings record; the rest is read only for a printer other than the one
    // read last (by place and name). Nothing without a printer object.
    void ReadPrinterSettings();
    // Writes the wanted values into the printer's settings record. Nothing without a printer.
    void ApplyPrinterSettings();
    // True when the printer's settings record declares every bit of `fields`.
    [[nodiscard]] bool Supports(std::uint32_t fields) const;
    // True when a printer's settings were read. Without one every paper and orientation is taken
    // and Default reads as A4.
    [[nodiscard]] bool HasDevice() const { return printer_ != nullptr && devMode_.has_value(); }

    // Takes the report's choices whole through the setters below; the page range, the printer
    // index and the memory limit are not the settings' to take.
    void Apply(const TRpPrinterSettings& chosen);
    // The choices held, as Apply takes them.
    [[nodiscard]] TRpPrinterSettings Chosen() const;

    // Taken only when the printer declares the field.
    void SetCopies(int copies);
    void SetDuplex(bool duplex);
    void SetOutputBin(TRpBin bin);
    // Taken when the printer declares orientation, or without a printer. 0 portrait, 1 landscape.
    void SetOrientation(int orientation);
    // Taken for Default, for a paper the printer lists, or for any paper without a printer.
    void SetPaperSize(TRpPaperSize size);
    void SetPaperWidth(int tenths) { paperWidth_ = tenths; }
    void SetPaperLength(int tenths) { paperLength_ = tenths; }
    void SetExtendedDuplex(int value) { extendedDuplex_ = value; }
    void SetUseCustomBinCode(bool value) { useCustomBinCode_ = value; }
    void SetCustomBinCode(int value) { customBinCode_ = value; }
    void SetUseCustomPaperCode(bool value) { useCustomPaperCode_ = value; }
    void SetCustomPaperCode(int value) { customPaperCode_ = value; }
    void SetPrintQuality(int value) { printQuality_ = value; }
    void SetCollate(int value) { collate_ = value; }
    void SetColorOption(int value) { colorOption_ = value; }
    void SetPrintMetaFile(bool value) { printMetaFile_ = value; }
    void SetUseStandardPrinter(bool value) { useStandardPrinter_ = value; }
    void SetMemoryLimit(int value) { memoryLimit_ = value; }
    void SetOnGetSettings(TRpPrinterEvent hook) { onGetSettings_ = std::move(hook); }
    void SetOnApplySettings(TRpPrinterEvent hook) { onApplySettings_ = std::move(hook); }

    // Paper size in 0.1 mm, portrait: the table's for a standard paper, the stored size for
    // Default and Custom (A4's for Default when nothing was read).
    [[nodiscard]] int GetPaperWidth() const;
    [[nodiscard]] int GetPaperLength() const;
    [[nodiscard]] int ReadForIndex() const { return readForIndex_; }
    [[nodiscard]] const QString& DeviceName() const { return deviceName_; }
    [[nodiscard]] const std::optional<DevMode>& GetDevMode() const { return devMode_; }
    [[nodiscard]] int Copies() const { return copies_; }
    [[nodiscard]] bool Duplex() const { return duplex_; }
    [[nodiscard]] int ExtendedDuplex() const { return extendedDuplex_; }
    [[nodiscard]] bool UseCustomBinCode() const { return useCustomBinCode_; }
    [[nodiscard]] int CustomBinCode() const { return customBinCode_; }
    [[nodiscard]] bool UseCustomPaperCode() const { return useCustomPaperCode_; }
    [[nodiscard]] int CustomPaperCode() const { return customPaperCode_; }
    [[nodiscard]] int PrintQuality() const { return printQuality_; }
    [[nodiscard]] int Collate() const { return collate_; }
    [[nodiscard]] int ColorOption() const { return colorOption_; }
    [[nodiscard]] bool PrintMetaFile() const { return printMetaFile_; }
    [[nodiscard]] bool UseStandardPrinter() const { return useStandardPrinter_; }
    [[nodiscard]] int MemoryLimit() const { return memoryLimit_; }
    [[nodiscard]] int Orientation() const { return orientation_; }
    [[nodiscard]] TRpBin OutputBin() const { return outputBin_; }
    [[nodiscard]] TRpPaperSize PaperSize() const { return paperSize_; }
    // Whether the printer lists a paper (Custom always; Default never).
    [[nodiscard]] bool PaperSupported(TRpPaperSize size) const;
    [[nodiscard]] int DpiX() const { return dpiX_; }
    [[nodiscard]] int DpiY() const { return dpiY_; }
    [[nodiscard]] int OffsetX() const { return offsetX_; }
    [[nodiscard]] int OffsetY() const { return offsetY_; }

private:
    void ReadFields(const DevMode& devMode, const DeviceCaps& caps);
    void ReadPapers();
    [[nodiscard]] DevMode WantedDevMode(DevMode devMode) const;

    SystemPrinter* printer_ = nullptr;
    int readForIndex_ = -1;
    QString readForName_;
    QString deviceName_;
    std::optional<DevMode> devMode_;
    int copies_ = 0;
    bool duplex_ = false;
    bool printMetaFile_ = false;
    bool useStandardPrinter_ = false;
    TRpPrinterEvent onGetSettings_;
    TRpPrinterEvent onApplySettings_;
    int extendedDuplex_ = 0;
    bool useCustomBinCode_ = false;
    int customBinCode_ = 0;
    int printQuality_ = 0;
    int collate_ = 0;
    int colorOption_ = 0;
    int memoryLimit_ = static_cast<int>(kDefaultMemoryLimit);
    bool useCustomPaperCode_ = false;
    int customPaperCode_ = 0;
    int orientation_ = 0;
    TRpBin outputBin_ = TRpBin::First;
    TRpPaperSize paperSize_ = TRpPaperSize::A4;
    std::array<bool, kPaperSizeCount> paperSupported_{};  // by ordinal; Default stays false
    int paperWidth_ = 0;
    int paperLength_ = 0;
    int dpiX_ = 0;
    int dpiY_ = 0;
    int offsetX_ = 0;
    int offsetY_ = 0;
};

// The paper of the shared printer's settings; Default when it declares none, names none of the
// report's papers, or there is no printer.
[[nodiscard]] TRpPaperSize DefaultPrinterPaperSize();
[[nodiscard]] TRpPaperSize DefaultPrinterPaperSize(SystemPrinter& printer);

// Selects the printer again with its driver's own settings.
void ResetPrinterDevMode(SystemPrinter& printer);

}  // namespace report::output
