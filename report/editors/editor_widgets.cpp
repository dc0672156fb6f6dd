#include "report/editors/editor_widgets.h"

#include "utility/cp1250.h"
#include "utility/dialogi.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace report::editors {
namespace {

QString WithoutMarks(QString text) { return text.remove(QLatin1Char('&')); }

}  // namespace

QString Q(std::string_view cp1250) { return utility::Cp1250ToQString(cp1250); }

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    return Place(label, name, geometry, WithoutMarks(text));
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& text, const QRect& geometry,
                        const QString& accessible)
{
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    if (!accessible.isEmpty())
        button->setToolTip(accessible);
    return Place(button, name, geometry, accessible.isEmpty() ? WithoutMarks(text) : accessible);
}

void ReportHandlerError(const std::exception* error) { utility::ErrorBox(error ? error->what() : "Unexpected error"); }

void SetupFixedDialog(QWidget& dialog, const char* name, const QString& caption, int width, int height)
{
    dialog.setObjectName(QString::fromLatin1(name));
    dialog.setWindowTitle(caption);
    dialog.setAccessibleName(caption);
    dialog.setFixedSize(width, height);
}

}  // namespace report::editors
