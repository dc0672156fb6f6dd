// Borderless waiting note shown without modality while long work runs.
#pragma once

#include <QColor>
#include <QWidget>

#include <string>

class QTextEdit;

namespace utility {

// Client 278 x 131; refuses every close until CloseNoModal allows it.
class Tf_noModal : public QWidget {
public:
    Tf_noModal();
    void SetNote(const std::string& text, const QColor& backColour, const QColor& textColour);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QTextEdit* memo1_;
};

// Creates and shows the note, centred and then moved up by its own height. An open note
// is replaced.
void ShowNoModal(const std::string& text, const QColor& backColour = QColor(202, 77, 70),
                 const QColor& textColour = QColor(Qt::white));
// Allows closing, hides and frees the note; nothing when none is open.
void CloseNoModal();

}  // namespace utility
