#include "utility/oknonomodal.h"

#include "utility/dialogparts.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QTextEdit>

#include <memory>

namespace utility {

namespace {

// A note still open when the program ends is left to the system: deleting a widget
// after the application object is gone is not allowed.
struct NoteDeleter {
    void operator()(Tf_noModal* note) const
    {
        if (QApplication::instance())
            delete note;
    }
};

struct NoteState {
    std::unique_ptr<Tf_noModal, NoteDeleter> window;
    bool closingAllowed = false;
};

NoteState& Note()
{
    static NoteState state;
    return state;
}

}  // namespace

Tf_noModal::Tf_noModal() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("Tf_noModal"));
    setFixedSize(278, 131);
    memo1_ = MakeFillingMemo(*this, false);
    QFont bold = memo1_->font();
    bold.setBold(true);
    memo1_->setFont(bold);
    memo1_->setCursor(Qt::ForbiddenCursor);
    memo1_->viewport()->setCursor(Qt::ForbiddenCursor);
}

void Tf_noModal::SetNote(const std::string& text, const QColor& backColour, const QColor& textColour)
{
    QPalette palette = memo1_->palette();
    palette.setColor(QPalette::Base, backColour);
    palette.setColor(QPalette::Text, textColour);
    memo1_->setPalette(palette);
    SetMemoText(*memo1_, MemoText(text), true);
}

void Tf_noModal::closeEvent(QCloseEvent* event)
{
    if (Note().closingAllowed)
        event->accept();
    else
        event->ignore();
}

void ShowNoModal(const std::string& text, const QColor& backColour, const QColor& textColour)
{
    NoteState& note = Note();
    note.closingAllowed = false;
    note.window = std::unique_ptr<Tf_noModal, NoteDeleter>(new Tf_noModal);
    note.window->SetNote(text, backColour, textColour);
    CentreOnScreen(*note.window);
    note.window->show();
    note.window->move(note.window->x(), note.window->y() - note.window->height());
    note.window->repaint();
}

void CloseNoModal()
{
    NoteState& note = Note();
    note.closingAllowed = true;
    if (note.window)
        note.window->hide();
    note.window.reset();
}

}  // namespace utility
