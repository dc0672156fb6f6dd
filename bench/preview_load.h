// What the benchmarks that load report files in the preview window share: the window opened on a
// printer object with one page, and the load dialog answered with a file.
#pragma once

#include "report/output/preview/rp_standard_preview.h"
#include "report/output/printer/rp_printer.h"

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

namespace bench {

// A preview window, shown and painted, on `printer` after it has recorded one page of text.
inline report::output::TRpStandardPreview* OpenPreview(report::output::TRpPrinter& printer)
{
    printer.Settings().SetPaperSize(report::output::TRpPaperSize::A4);
    printer.BeginDoc();
    printer.NewPage();
    printer.GetCanvas()->TextOut(10, 10, "Strona 1");
    printer.EndDoc();
    auto* window = new report::output::TRpStandardPreview(printer);
    window->ShowPreview();
    QCoreApplication::processEvents();
    static_cast<void>(window->grab());
    return window;
}

// The next load dialog takes `file`, as a user choosing it would.
inline void ChooseInNextDialog(const QString& file)
{
    QTimer::singleShot(0, [file] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            dialog->selectFile(file);
            static_cast<QDialog*>(dialog)->accept();  // the file dialog's own, which reads the name
        }
    });
}

}  // namespace bench
