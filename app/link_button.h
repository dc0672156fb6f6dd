// A link drawn as plain text or a picture: a flat button, so keyboards and screen readers can
// press it like any other button.
#pragma once

#include <QPixmap>
#include <QPushButton>

namespace app {

class LinkButton : public QPushButton {
    Q_OBJECT
public:
    // A text link in `colour`, underlined when asked.
    LinkButton(const QString& text, const QColor& colour, bool underline, QWidget* parent);
    // A picture link; the picture is scaled into the button.
    LinkButton(const QPixmap& picture, QWidget* parent);
};

}  // namespace app
