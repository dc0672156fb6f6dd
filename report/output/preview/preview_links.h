// Links of a previewed page: clickable areas with a link text, the handlers that program parts
// register for link prefixes, and opening a link.
#pragma once

#include <QRect>
#include <QString>

#include <cstdint>
#include <functional>

class QWidget;

namespace report::output {

class TRpPrinter;

enum class TRpHyperlinkEventType : std::uint8_t { heCursorMoveOver, heCursorMoveAway, heGoto, heGotoNewWindow };

// Told about links under the mouse and clicked; setting `handled` keeps a clicked link from
// being opened.
using TRpPreviewHyperlinkEvent =
    std::function<void(TRpPrinter* sender, TRpHyperlinkEventType eventType, const QString& link, bool& handled)>;

// A clickable area of a page, in pixels at zoom 100, edges included.
struct TRpLinkRecord {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    QString link;
};

// Takes the part of a link after its prefix.
using TRpHyperlinkHandler = std::function<void(TRpPrinter* printer, const QString& rest)>;

// Registers a handler for links that begin with `prefix` (compared with case).
void AddHyperlinkHandler(const QString& prefix, TRpHyperlinkHandler handler);
// Forgets every handler (at the program's end).
void ReleaseHyperlinkHandlers();
// Hands `link` to the first handler whose prefix begins it; false when none takes it.
bool OfferHyperlink(TRpPrinter* printer, const QString& link);

// Opens a link target with the desktop's shell; `parent` is the window it is opened from.
using ShellOpener = std::function<void(const QString& target, QWidget* parent)>;
// Replaces the shell (nullptr: the desktop's); returns the one replaced.
ShellOpener SetShellOpener(ShellOpener opener);

// "EXT:target" opens the target with the shell; "INT:rest" is offered to the handlers; any
// other link is offered whole and, when no handler takes it, opened with the shell.
void OpenHyperlink(TRpPrinter* printer, const QString& link);

}  // namespace report::output
