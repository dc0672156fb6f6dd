#include "app/link_button.h"

namespace app {

LinkButton::LinkButton(const QString& text, const QColor& colour, bool underline, QWidget* parent)
    : QPushButton(text, parent)
{
    setCursor(Qt::PointingHandCursor);
    setFlat(true);
    setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; padding: 0; "
                                 "text-align: left; color: %1; text-decoration: %2; }")
                      .arg(colour.name(), underline ? QStringLiteral("underline") : QStringLiteral("none")));
}

LinkButton::LinkButton(const QPixmap& picture, QWidget* parent) : QPushButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFlat(true);
    setIcon(QIcon(picture));
    setIconSize(picture.size());
    setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; padding: 0; }"));
}

}  // namespace app
