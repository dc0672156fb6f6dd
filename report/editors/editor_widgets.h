// Building the editors' windows in code: every widget named after its component and given an
// accessible name, placed at fixed pixel positions as the forms give them.
#pragma once

#include <QRect>
#include <QString>

#include <exception>
#include <string_view>
#include <utility>

class QLabel;
class QPushButton;
class QWidget;

namespace report::editors {

// Text in code page 1250 for a widget.
[[nodiscard]] QString Q(std::string_view cp1250);

// Names `widget` (object and accessible name) and places it at `geometry`; returns it.
template <class W>
W* Place(W* widget, const char* name, const QRect& geometry, const QString& accessible = {})
{
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(accessible.isEmpty() ? QString::fromLatin1(name) : accessible);
    widget->setGeometry(geometry);
    return widget;
}

// A label; its accessible name is its text without the "&" marks.
QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry);
// A push button; `accessible` names one whose text says little ("...").
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QRect& geometry,
                        const QString& accessible = {});
// Shows what a handler raised in an error box: nothing raised may cross the event loop.
void ReportHandlerError(const std::exception* error);

// `handler` as a slot that reports whatever it raises instead of passing it on.
template <class F>
auto Guarded(F handler)
{
    return [handler = std::move(handler)]() {
        try {
            handler();
        } catch (const std::exception& e) {
            ReportHandlerError(&e);
        } catch (...) {
            ReportHandlerError(nullptr);
        }
    };
}

// A fixed-size dialog of that client size and caption.
void SetupFixedDialog(QWidget& dialog, const char* name, const QString& caption, int width, int height);

}  // namespace report::editors
