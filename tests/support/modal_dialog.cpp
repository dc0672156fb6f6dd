#include "tests/support/modal_dialog.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace testsupport {

void OnModalDialog(std::function<void(QDialog&)> action)
{
    QTimer::singleShot(0, qApp, [action = std::move(action)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            ADD_FAILURE() << "no modal dialog is shown";
            return;
        }
        action(*dialog);
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the dialog was left open";
            dialog->reject();
        }
    });
}

std::string NumberedItems(const char* prefix, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text.append(i ? ";" : "").append(prefix).append(std::to_string(i));
    return text;
}

QWidget* FindTopLevel(const QString& objectName)
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == objectName && widget->isVisible())
            return widget;
    return nullptr;
}

}  // namespace testsupport
