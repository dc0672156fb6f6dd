#include "tests/support/print_rig.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

namespace testsupport {

namespace {

// Runs a tool under `timeout`; its standard output, or nullopt when it failed.
std::optional<QByteArray> Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start("timeout", QStringList{"60", program} + arguments);
    if (!process.waitForFinished(70000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        return std::nullopt;
    }
    return process.readAllStandardOutput();
}

}  // namespace

PrintRig::PrintRig() : dir_(qEnvironmentVariable("KARTOVAN_PRINT_RIG_DIR"))
{
    QFile queue(dir_ + "/queue");
    if (!dir_.isEmpty() && queue.open(QIODevice::ReadOnly))
        queue_ = QString::fromUtf8(queue.readAll()).trimmed();
}

std::optional<QString> PrintRig::WaitForPdf(const QString& titleWord) const
{
    const QDir out(dir_ + "/out");
    for (int tries = 0; tries < 600; ++tries) {
        const std::optional<QByteArray> pending = Run("lpstat", {"-o", queue_});
        if (pending && pending->trimmed().isEmpty()) {
            const QStringList files = out.entryList({"*" + titleWord + "*.pdf"}, QDir::Files);
            if (!files.isEmpty())
                return out.filePath(files.front());
        }
        QThread::msleep(100);
    }
    return std::nullopt;
}

std::optional<PdfInfo> ReadPdfInfo(const QString& path)
{
    const std::optional<QByteArray> text = Run("pdfinfo", {path});
    if (!text)
        return std::nullopt;
    PdfInfo info;
    const QString all = QString::fromUtf8(*text);
    const QRegularExpressionMatch pages = QRegularExpression(R"(Pages:\s+(\d+))").match(all);
    const QRegularExpressionMatch size = QRegularExpression(R"(Page size:\s+([\d.]+) x ([\d.]+) pts)").match(all);
    if (!pages.hasMatch() || !size.hasMatch())
        return std::nullopt;
    info.pages = pages.captured(1).toInt();
    info.pageSize = QSizeF(size.captured(1).toDouble(), size.captured(2).toDouble());
    return info;
}

QImage RenderPdfPage(const QString& path, int page, int dpi)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return {};
    const QString base = dir.filePath("page");
    const QString number = QString::number(page);
    if (!Run("pdftoppm", {"-r", QString::number(dpi), "-f", number, "-l", number, "-png", "-singlefile", path, base})) {
        return {};
    }
    return QImage(base + ".png");
}

}  // namespace testsupport
