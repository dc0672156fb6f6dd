// Message boxes over QMessageBox and the override cursor.
#include "utility/dialogi.h"

#include "utility/cp1250.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>

namespace utility {
namespace {

MessageBoxes* g_boxes = nullptr;
bool g_hourglass = false;

QtMessageBoxes& DefaultBoxes()
{
    static QtMessageBoxes boxes;
    return boxes;
}

struct KindLook {
    QMessageBox::Icon icon;
    const char* caption;  // UTF-8
};

KindLook LookOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Error:
        return {QMessageBox::Critical, "Błąd"};
    case MessageKind::Information:
        return {QMessageBox::Information, "Informacja"};
    case MessageKind::Warning:
        return {QMessageBox::Warning, "Ostrzeżenie"};
    case MessageKind::Confirmation:
        return {QMessageBox::Question, "Potwierdzenie"};
    case MessageKind::Notice:
        break;
    }
    return {QMessageBox::NoIcon, nullptr};
}

}  // namespace

bool QtMessageBoxes::Show(MessageKind kind, const std::string& text)
{
    const KindLook look = LookOf(kind);
    QString body = Cp1250ToQString(text);
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    QMessageBox box(QApplication::activeWindow());
    box.setIcon(look.icon);
    box.setWindowTitle(look.caption != nullptr ? QString::fromUtf8(look.caption)
                                               : QApplication::applicationDisplayName());
    // Texts carry file names and card data: never let them be read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setText(body);
    box.setWindowModality(Qt::ApplicationModal);
    if (kind == MessageKind::Confirmation) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes;
    }
    box.setStandardButtons(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

MessageBoxes* SetMessageBoxes(MessageBoxes* boxes)
{
    MessageBoxes* previous = g_boxes;
    g_boxes = boxes;
    return previous;
}

MessageBoxes& CurrentMessageBoxes() { return g_boxes != nullptr ? *g_boxes : DefaultBoxes(); }

void ErrorBox(std::string_view text) { (void)CurrentMessageBoxes().Show(MessageKind::Error, std::string(text)); }

bool InfoBox(std::string_view text) { return CurrentMessageBoxes().Show(MessageKind::Information, std::string(text)); }

void WarningBox(std::string_view text) { (void)CurrentMessageBoxes().Show(MessageKind::Warning, std::string(text)); }

bool ConfirmYesNo(std::string_view text)
{
    if (text.empty())
        return true;
    return CurrentMessageBoxes().Show(MessageKind::Confirmation, std::string(text));
}

void NoticeBox(std::string_view text) { (void)CurrentMessageBoxes().Show(MessageKind::Notice, std::string(text)); }

void ShowHourglass()
{
    if (g_hourglass)
        return;
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    g_hourglass = true;
}

void ShowDefaultCursor()
{
    if (!g_hourglass)
        return;
    QApplication::restoreOverrideCursor();
    g_hourglass = false;
}

}  // namespace utility
