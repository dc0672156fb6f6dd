// How the printer dialog's properties become the settings of Qt's print dialog, and how the
// printer the dialog leaves behind reads back into those properties. Plain values in, plain
// values out.
#pragma once

#include <QAbstractPrintDialog>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QString>

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <utility>

namespace report::output {

enum class TPrintRange : std::uint8_t { prAllPages, prSelection, prPageNums };

enum class TPrintDialogOption : std::uint8_t {
    poPrintToFile,
    poPageNums,
    poSelection,
    poWarning,
    poHelp,
    poDisablePrintToFile
};

// A set of TPrintDialogOption.
class TPrintDialogOptions {
public:
    constexpr TPrintDialogOptions() = default;
    constexpr TPrintDialogOptions(std::initializer_list<TPrintDialogOption> options)
    {
        for (const TPrintDialogOption option : options)
            Include(option);
    }
    [[nodiscard]] constexpr bool Contains(TPrintDialogOption option) const { return (bits_ & Bit(option)) != 0; }
    constexpr void Include(TPrintDialogOption option) { bits_ = static_cast<std::uint8_t>(bits_ | Bit(option)); }
    constexpr void Exclude(TPrintDialogOption option) { bits_ = static_cast<std::uint8_t>(bits_ & ~Bit(option)); }
    [[nodiscard]] constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool operator==(const TPrintDialogOptions&) const = default;

private:
    static constexpr std::uint8_t Bit(TPrintDialogOption option)
    {
        return static_cast<std::uint8_t>(1U << static_cast<unsigned>(option));
    }
    std::uint8_t bits_ = 0;
};

// The dialog's properties that decide how Qt's dialog opens.
struct PrintDialogRequest {
    TPrintDialogOptions options;
    TPrintRange printRange = TPrintRange::prAllPages;
    int collate = 0;
    bool printToFile = false;
    int fromPage = 0;
    int toPage = 0;
    int minPage = 0;
    int maxPage = 0;
};

// What Qt's dialog is set up with.
struct PrintDialogSetup {
    QAbstractPrintDialog::PrintDialogOptions options;
    QAbstractPrintDialog::PrintRange printRange = QAbstractPrintDialog::AllPages;
    bool checkCollate = false;                  // false: as the printer has it
    bool printToFile = false;                   // open on printing to a file
    std::optional<std::pair<int, int>> minMax;  // the pages there are; nullopt: Qt's own limits
    std::optional<std::pair<int, int>> fromTo;  // the range shown; nullopt: none
};

// Options: the print-to-file choice only with poPrintToFile (and never with
// poDisablePrintToFile: Qt can leave it out, not show it disabled), the page range with
// poPageNums, the selection with poSelection; never the current page. A range whose choice is not
// offered opens as all pages. Pages start at 1: a minimum below 1 counts as 1, and limits or a
// range that are empty or reversed are left to Qt.
[[nodiscard]] PrintDialogSetup SetupFor(const PrintDialogRequest& request);

// The printer as Qt's dialog left it when the user confirmed.
struct PrinterChoice {
    QString printerName;     // empty when printing to a file
    QString outputFileName;  // empty when printing on the printer
    QPrinter::PrintRange printRange = QPrinter::AllPages;
    int fromPage = 0;
    int toPage = 0;
    int copies = 1;
    bool collate = false;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QPageSize pageSize;
    QPrinter::DuplexMode duplex = QPrinter::DuplexNone;
    QPrinter::ColorMode colorMode = QPrinter::Color;
    int resolution = 0;
    std::uint32_t declaredFields = 0;  // DevMode field bits the printer declares
};

// The dialog's properties after the user confirmed.
struct PrintDialogAnswer {
    QString printerName;
    bool printToFile = false;
    QString outputFileName;
    TPrintRange printRange = TPrintRange::prAllPages;
    int fromPage = 0;
    int toPage = 0;
    int copies = 1;
    int collate = 0;
    int orientation = 1;         // 1 portrait, 2 landscape
    int paperSize = 0;           // paper code; 256 (Custom) for a size without one of ours
    long double paperWidth = 0;  // 0.1 mm, portrait
    long double paperLength = 0;
    int duplexCode = 1;    // 1 one-sided, 2 long edge, 3 short edge
    bool duplex = false;   // duplexCode != 1
    int colorOption = 2;   // 1 grey scale, 2 colour
    int printQuality = 0;  // dots per inch
    std::uint32_t devModeFields = 0;
};

// A current-page answer reads as all pages.
[[nodiscard]] PrintDialogAnswer AnswerOf(const PrinterChoice& choice);

// What `printer` stands for now.
[[nodiscard]] PrinterChoice ChoiceOf(QPrinter& printer);

}  // namespace report::output
