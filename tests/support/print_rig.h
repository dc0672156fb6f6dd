// The printing rig as the tests see it: the private cupsd's cups-pdf queue (CUPS_SERVER points at
// it), the PDF files it writes, and poppler's tools to read them back.
#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>

#include <optional>

namespace testsupport {

struct PdfInfo {
    int pages = 0;
    QSizeF pageSize;  // points, of the first page
};

class PrintRig {
public:
    // The rig of KARTOVAN_PRINT_RIG_DIR; Ready() is false when it is not up.
    PrintRig();
    [[nodiscard]] bool Ready() const { return !queue_.isEmpty(); }
    [[nodiscard]] const QString& Queue() const { return queue_; }
    // Waits (at most a minute) until the queue has no job left and a PDF file whose name holds
    // `titleWord` is there; its path, or nullopt.
    [[nodiscard]] std::optional<QString> WaitForPdf(const QString& titleWord) const;

private:
    QString dir_;
    QString queue_;
};

// pdfinfo of a file; nullopt when it cannot be read.
[[nodiscard]] std::optional<PdfInfo> ReadPdfInfo(const QString& path);
// Page `page` (from 1) rendered by pdftoppm at `dpi`; a null image on failure.
[[nodiscard]] QImage RenderPdfPage(const QString& path, int page, int dpi);

}  // namespace testsupport
