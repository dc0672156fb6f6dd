#include "report/output/printer/print_dialog_mapping.h"

#include "report/output/canvas/rounding.h"
#include "report/output/printer/paper_sizes.h"
#include "report/output/printer/qt_printer_service.h"

#include <algorithm>

namespace report::output {
namespace {

QAbstractPrintDialog::PrintRange QtRangeOf(const PrintDialogRequest& request)
{
    switch (request.printRange) {
    case TPrintRange::prSelection:
        if (request.options.Contains(TPrintDialogOption::poSelection))
            return QAbstractPrintDialog::Selection;
        break;
    case TPrintRange::prPageNums:
        if (request.options.Contains(TPrintDialogOption::poPageNums))
            return QAbstractPrintDialog::PageRange;
        break;
    case TPrintRange::prAllPages:
        break;
    }
    return QAbstractPrintDialog::AllPages;
}

TPrintRange RangeOf(QPrinter::PrintRange range)
{
    switch (range) {
    case QPrinter::Selection:
        return TPrintRange::prSelection;
    case QPrinter::PageRange:
        return TPrintRange::prPageNums;
    case QPrinter::AllPages:
    case QPrinter::CurrentPage:
        break;
    }
    return TPrintRange::prAllPages;
}

// Our paper code of a page size; sizes without one of our codes are Custom.
int PaperCodeOf(const QPageSize& size)
{
    const std::optional<TRpPaperSize> known = PaperSizeFromCode(size.windowsId());
    if (!known || *known == TRpPaperSize::Default)
        return kCustomPaperCode;
    return PaperCode(*known);
}

long double TenthsOf(qreal millimetres)
{
    return static_cast<long double>(RoundHalfEven(static_cast<long double>(millimetres) * 10.0L));
}

}  // namespace

PrintDialogSetup SetupFor(const PrintDialogRequest& request)
{
    PrintDialogSetup setup;
    setup.options = QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize;
    const bool fileOffered = request.options.Contains(TPrintDialogOption::poPrintToFile) &&
                             !request.options.Contains(TPrintDialogOption::poDisablePrintToFile);
    if (fileOffered)
        setup.options |= QAbstractPrintDialog::PrintToFile;
    if (request.options.Contains(TPrintDialogOption::poPageNums))
        setup.options |= QAbstractPrintDialog::PrintPageRange;
    if (request.options.Contains(TPrintDialogOption::poSelection))
        setup.options |= QAbstractPrintDialog::PrintSelection;
    setup.printRange = QtRangeOf(request);
    setup.checkCollate = request.collate != 0;
    setup.printToFile = fileOffered && request.printToFile;
    const int minPage = std::max(request.minPage, 1);
    if (request.maxPage >= minPage)
        setup.minMax = std::pair(minPage, request.maxPage);
    if (request.fromPage >= 1 && request.fromPage <= request.toPage)
        setup.fromTo = std::pair(request.fromPage, request.toPage);
    return setup;
}

PrintDialogAnswer AnswerOf(const PrinterChoice& choice)
{
    PrintDialogAnswer answer;
    answer.printToFile = !choice.outputFileName.isEmpty();
    answer.outputFileName = choice.outputFileName;
    answer.printerName = answer.printToFile ? QString() : choice.printerName;
    answer.printRange = RangeOf(choice.printRange);
    answer.fromPage = choice.fromPage;
    answer.toPage = choice.toPage;
    answer.copies = choice.copies;
    answer.collate = choice.collate ? 1 : 0;
    answer.orientation = choice.orientation == QPageLayout::Landscape ? 2 : 1;
    answer.paperSize = PaperCodeOf(choice.pageSize);
    const QSizeF millimetres = choice.pageSize.size(QPageSize::Millimeter);
    answer.paperWidth = TenthsOf(millimetres.width());
    answer.paperLength = TenthsOf(millimetres.height());
    answer.duplexCode = QtPrinterService::DuplexCode(choice.duplex);
    answer.duplex = answer.duplexCode != 1;
    answer.colorOption = choice.colorMode == QPrinter::GrayScale ? 1 : 2;
    answer.printQuality = choice.resolution;
    answer.devModeFields = choice.declaredFields;
    return answer;
}

PrinterChoice ChoiceOf(QPrinter& printer)
{
    PrinterChoice choice;
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    choice.printerName = toFile ? QString() : printer.printerName();
    choice.outputFileName = toFile ? printer.outputFileName() : QString();
    choice.printRange = printer.printRange();
    choice.fromPage = printer.fromPage();
    choice.toPage = printer.toPage();
    choice.copies = printer.copyCount();
    choice.collate = printer.collateCopies();
    const QPageLayout layout = printer.pageLayout();
    choice.orientation = layout.orientation();
    choice.pageSize = layout.pageSize();
    choice.duplex = printer.duplex();
    choice.colorMode = printer.colorMode();
    choice.resolution = printer.resolution();
    choice.declaredFields = QtPrinterService::ReadDevMode(printer).fields;
    return choice;
}

}  // namespace report::output
