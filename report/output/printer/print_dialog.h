// The printer set-up dialog: the system's print dialog opened with the report's printer, page
// range, copies and options, answering with the printer, range and paper the user chose.
#pragma once

#include "report/output/printer/print_dialog_mapping.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace report::output {

class SystemPrinter;

// What every dialog component carries.
class TRpCommonDialog {
public:
    using TNotifyEvent = std::function<void(TRpCommonDialog& sender)>;

    TRpCommonDialog() = default;
    virtual ~TRpCommonDialog() = default;
    TRpCommonDialog(const TRpCommonDialog&) = delete;
    TRpCommonDialog& operator=(const TRpCommonDialog&) = delete;

    // Kept for the component's streams; the look of the window follows the desktop.
    [[nodiscard]] bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool value) { ctl3D_ = value; }
    // Kept for the component's streams; the dialog has no help.
    [[nodiscard]] int HelpContext() const { return helpContext_; }
    void SetHelpContext(int value) { helpContext_ = value; }
    // Fired once the dialog window shows, in its place; and once when it has closed.
    void SetOnShow(TNotifyEvent handler) { onShow_ = std::move(handler); }
    void SetOnClose(TNotifyEvent handler) { onClose_ = std::move(handler); }

protected:
    void DoShow();
    void DoClose();

private:
    bool ctl3D_ = true;
    int helpContext_ = 0;
    TNotifyEvent onShow_;
    TNotifyEvent onClose_;
};

// A print dialog on the application's shared printer, taken when it is made.
class TRpBasePrintDialog : public TRpCommonDialog {
public:
    TRpBasePrintDialog();
    [[nodiscard]] SystemPrinter& Printer() const { return printer_; }

private:
    SystemPrinter& printer_;
};

class TRpPrintDialog : public TRpBasePrintDialog {
public:
    TRpPrintDialog() = default;

    // Runs the dialog modally. True when the user confirmed: the shared printer then has the
    // chosen printer (or the chosen output file) and settings, and the properties hold the
    // answer. On cancel nothing changes. Without printers it answers false at once, with a
    // warning when Options holds poWarning.
    virtual bool Execute();

    [[nodiscard]] int Collate() const { return collate_; }
    void SetCollate(int value) { collate_ = value; }
    [[nodiscard]] int Copies() const { return copies_; }
    // Also sets the shared printer's number of copies.
    void SetCopies(int value);
    [[nodiscard]] int FromPage() const { return fromPage_; }
    void SetFromPage(int value) { fromPage_ = value; }
    [[nodiscard]] int ToPage() const { return toPage_; }
    void SetToPage(int value) { toPage_ = value; }
    [[nodiscard]] int MinPage() const { return minPage_; }
    void SetMinPage(int value) { minPage_ = value; }
    [[nodiscard]] int MaxPage() const { return maxPage_; }
    void SetMaxPage(int value) { maxPage_ = value; }
    [[nodiscard]] TPrintDialogOptions Options() const { return options_; }
    void SetOptions(TPrintDialogOptions value) { options_ = value; }
    [[nodiscard]] bool PrintToFile() const { return printToFile_; }
    void SetPrintToFile(bool value) { printToFile_ = value; }
    [[nodiscard]] TPrintRange PrintRange() const { return printRange_; }
    void SetPrintRange(TPrintRange value) { printRange_ = value; }
    // Dots per inch.
    [[nodiscard]] int PrintQuality() const { return printQuality_; }
    void SetPrintQuality(int value) { printQuality_ = value; }
    // 1 grey scale, 2 colour.
    [[nodiscard]] int ColorOption() const { return colorOption_; }
    void SetColorOption(int value) { colorOption_ = value; }
    // Kept as given: paper sources have no counterpart here, the dialog never changes it.
    [[nodiscard]] int OutputBin() const { return outputBin_; }
    void SetOutputBin(int value) { outputBin_ = value; }
    // Paper code (paper_sizes.h); 256 for a size without one of ours.
    [[nodiscard]] int PaperSize() const { return paperSize_; }
    void SetPaperSize(int value) { paperSize_ = value; }
    [[nodiscard]] bool Duplex() const { return duplex_; }
    void SetDuplex(bool value) { duplex_ = value; }
    // The paper's width and length in 0.1 mm, portrait.
    [[nodiscard]] long double Paperwidth() const { return paperwidth_; }
    void SetPaperwidth(long double value) { paperwidth_ = value; }
    [[nodiscard]] long double Paperlength() const { return paperlength_; }
    void SetPaperlength(long double value) { paperlength_ = value; }
    // 1 portrait, 2 landscape.
    [[nodiscard]] std::int16_t Orientation() const { return orientation_; }
    void SetOrientation(std::int16_t value) { orientation_ = value; }
    // 1 one-sided, 2 long edge, 3 short edge.
    [[nodiscard]] int DuplexCode() const { return duplexCode_; }
    void SetDuplexCode(int value) { duplexCode_ = value; }
    // The DevMode field bits the chosen printer declares.
    [[nodiscard]] std::uint32_t DevModeFields() const { return devModeFields_; }

private:
    [[nodiscard]] PrintDialogRequest Request() const;
    void TakeAnswer(const PrintDialogAnswer& answer, QPrinter& chosen);

    int collate_ = 0;
    int copies_ = 1;
    int fromPage_ = 0;
    int toPage_ = 0;
    int minPage_ = 0;
    int maxPage_ = 0;
    TPrintDialogOptions options_;
    bool printToFile_ = false;
    TPrintRange printRange_ = TPrintRange::prAllPages;
    int printQuality_ = 0;
    int colorOption_ = 0;
    int outputBin_ = 0;
    int paperSize_ = 0;
    bool duplex_ = false;
    long double paperwidth_ = 0;
    long double paperlength_ = 0;
    std::int16_t orientation_ = 1;
    int duplexCode_ = 0;
    std::uint32_t devModeFields_ = 0;
};

// The text of the warning shown when no printer is installed.
inline constexpr char kNoPrinterWarning[] = "No printers are installed.";

}  // namespace report::output
