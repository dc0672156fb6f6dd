#include "report/output/printer/print_dialog.h"

#include "report/output/printer/printer_service.h"
#include "report/output/printer/qt_printer_service.h"
#include "utility/dialogi.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QPrintDialog>
#include <QPrinterInfo>
#include <QScreen>

#include <exception>

namespace report::output {
namespace {

// Qt's dialog offers printing to a file as the last entry of its printer list, after the
// printers. It selects a printer whatever it was given, so the entry is chosen once the list is
// complete.
void SelectFileEntry(QDialog& dialog)
{
    auto* printers = dialog.findChild<QComboBox*>("printers");
    if (!printers || printers->count() == 0)
        return;
    const int last = printers->count() - 1;
    if (QPrinterInfo::availablePrinterNames().contains(printers->itemText(last)))
        return;
    printers->setCurrentIndex(last);
}

// Places the dialog when it first shows, centred across and a third of the free height down,
// and tells the component. A failing handler closes the dialog; its exception is kept for the
// caller, so that none crosses the event loop.
class DialogHook : public QObject {
public:
    DialogHook(QDialog& dialog, bool toFile, std::function<void()> shown)
        : dialog_(dialog), toFile_(toFile), shown_(std::move(shown))
    {
        dialog_.installEventFilter(this);
    }

    [[nodiscard]] bool Shown() const { return wasShown_; }
    [[nodiscard]] std::exception_ptr Failure() const { return failure_; }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == &dialog_ && event->type() == QEvent::Show && !wasShown_) {
            wasShown_ = true;
            if (toFile_)
                SelectFileEntry(dialog_);
            Place();
            try {
                shown_();
            } catch (...) {
                failure_ = std::current_exception();
                dialog_.reject();
            }
        }
        return false;
    }

private:
    void Place()
    {
        const QScreen* screen = dialog_.screen();
        if (!screen)
            return;
        const QRect area = screen->geometry();
        const QSize size = dialog_.frameGeometry().size();
        dialog_.move(area.x() + (area.width() - size.width()) / 2, area.y() + (area.height() - size.height()) / 3);
    }

    QDialog& dialog_;
    bool toFile_;
    std::function<void()> shown_;
    bool wasShown_ = false;
    std::exception_ptr failure_;
};

QWidget* OwnerWindow()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

}  // namespace

void TRpCommonDialog::DoShow()
{
    if (onShow_)
        onShow_(*this);
}

void TRpCommonDialog::DoClose()
{
    if (onClose_)
        onClose_(*this);
}

TRpBasePrintDialog::TRpBasePrintDialog() : printer_(SharedPrinter()) {}

void TRpPrintDialog::SetCopies(int value)
{
    copies_ = value;
    SystemPrinter& printer = Printer();
    if (std::optional<DevMode> devMode = printer.GetDevMode()) {
        devMode->copies = value;
        printer.SetDevMode(*devMode);
    }
}

PrintDialogRequest TRpPrintDialog::Request() const
{
    PrintDialogRequest request;
    request.options = options_;
    request.printRange = printRange_;
    request.collate = collate_;
    request.printToFile = printToFile_;
    request.fromPage = fromPage_;
    request.toPage = toPage_;
    request.minPage = minPage_;
    request.maxPage = maxPage_;
    return request;
}

bool TRpPrintDialog::Execute()
{
    SystemPrinter& printer = Printer();
    printer.Refresh();
    if (printer.Printers().isEmpty()) {
        if (options_.Contains(TPrintDialogOption::poWarning))
            utility::WarningBox(kNoPrinterWarning);
        return false;
    }
    const PrintDialogSetup setup = SetupFor(Request());
    // The dialog works on a printer of its own: a cancel leaves the shared one as it was.
    QPrinter chosen(QPrinterInfo::printerInfo(printer.Name()), QPrinter::HighResolution);
    // The dialog shows the file printed to last; on the printer it is left out.
    if (setup.printToFile)
        chosen.setOutputFileName(printer.OutputFileName());
    if (const std::optional<DevMode> devMode = printer.GetDevMode())
        QtPrinterService::Configure(chosen, *devMode);
    if (setup.checkCollate)
        chosen.setCollateCopies(true);

    QPrintDialog dialog(&chosen, OwnerWindow());
    dialog.setOptions(setup.options);
    if (setup.minMax)
        dialog.setMinMax(setup.minMax->first, setup.minMax->second);
    dialog.setPrintRange(setup.printRange);
    if (setup.fromTo)
        dialog.setFromTo(setup.fromTo->first, setup.fromTo->second);
    DialogHook hook(dialog, setup.printToFile, [this] { DoShow(); });
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    if (hook.Shown())
        DoClose();
    if (hook.Failure())
        std::rethrow_exception(hook.Failure());
    if (!confirmed)
        return false;
    TakeAnswer(AnswerOf(ChoiceOf(chosen)), chosen);
    return true;
}

void TRpPrintDialog::TakeAnswer(const PrintDialogAnswer& answer, QPrinter& chosen)
{
    SystemPrinter& printer = Printer();
    const DevMode devMode = QtPrinterService::ReadDevMode(chosen);
    if (!answer.printToFile) {
        // Selected by name: the list may have changed while the dialog was open.
        printer.Refresh();
        const qsizetype index = printer.Printers().indexOf(answer.printerName);
        if (index >= 0)
            printer.SetIndex(static_cast<int>(index));
    }
    printer.SetDevMode(devMode);
    printer.SetOutputFileName(answer.outputFileName);

    printToFile_ = answer.printToFile;
    printRange_ = answer.printRange;
    fromPage_ = answer.fromPage;
    toPage_ = answer.toPage;
    SetCopies(answer.copies);
    collate_ = answer.collate;
    devModeFields_ = answer.devModeFields;
    paperSize_ = answer.paperSize;
    paperwidth_ = answer.paperWidth;
    paperlength_ = answer.paperLength;
    orientation_ = static_cast<std::int16_t>(answer.orientation);
    printQuality_ = answer.printQuality;
    colorOption_ = answer.colorOption;
    duplexCode_ = answer.duplexCode;
    duplex_ = answer.duplex;
}

}  // namespace report::output
