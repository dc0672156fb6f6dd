#include "report/output/preview/preview_links.h"

#include "report/output/printer/rp_printer.h"

#include <QDesktopServices>
#include <QUrl>

#include <vector>

namespace report::output {
namespace {

struct TRpHyperlinkSourceRecord {
    QString prefix;
    TRpHyperlinkHandler handler;
};

std::vector<TRpHyperlinkSourceRecord>& Handlers()
{
    static std::vector<TRpHyperlinkSourceRecord> handlers;
    return handlers;
}

void DesktopOpen(const QString& target, QWidget* parent)
{
    static_cast<void>(parent);
    QDesktopServices::openUrl(QUrl::fromUserInput(target));
}

ShellOpener& Shell()
{
    static ShellOpener shell = DesktopOpen;
    return shell;
}

void OpenWithShell(TRpPrinter* printer, const QString& target)
{
    Shell()(target, printer ? printer->PreviewForm() : nullptr);
}

}  // namespace

void AddHyperlinkHandler(const QString& prefix, TRpHyperlinkHandler handler)
{
    Handlers().push_back({prefix, std::move(handler)});
}

void ReleaseHyperlinkHandlers()
{
    Handlers().clear();
    Handlers().shrink_to_fit();
}

bool OfferHyperlink(TRpPrinter* printer, const QString& link)
{
    for (const TRpHyperlinkSourceRecord& record : Handlers()) {
        if (link.startsWith(record.prefix, Qt::CaseSensitive)) {
            if (record.handler)
                record.handler(printer, link.mid(record.prefix.size()));
            return true;
        }
    }
    return false;
}

ShellOpener SetShellOpener(ShellOpener opener)
{
    ShellOpener previous = std::move(Shell());
    Shell() = opener ? std::move(opener) : ShellOpener(DesktopOpen);
    return previous;
}

void OpenHyperlink(TRpPrinter* printer, const QString& link)
{
    const QString kind = link.left(4).toUpper();
    if (kind == QLatin1String("EXT:")) {
        OpenWithShell(printer, link.mid(4));
    } else if (kind == QLatin1String("INT:")) {
        static_cast<void>(OfferHyperlink(printer, link.mid(4)));
    } else if (!OfferHyperlink(printer, link)) {
        OpenWithShell(printer, link);
    }
}

}  // namespace report::output
