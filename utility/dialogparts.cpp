#include "utility/dialogparts.h"

#include "utility/cp1250.h"

#include <QBoxLayout>
#include <QGuiApplication>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QWidget>

namespace utility {

QString MemoText(std::string_view cp1250)
{
    QString text = Cp1250ToQString(cp1250);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

void SetupMemo(QTextEdit& memo, bool scrollBar)
{
    memo.setReadOnly(true);
    memo.setFrameShape(QFrame::NoFrame);
    memo.setAcceptRichText(false);
    memo.setVerticalScrollBarPolicy(scrollBar ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAsNeeded);
    QPalette palette = memo.palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    memo.setPalette(palette);
}

QTextEdit* MakeFillingMemo(QWidget& panel, bool scrollBar)
{
    auto* memo = new QTextEdit(&panel);
    memo->setObjectName(QStringLiteral("Memo1"));
    SetupMemo(*memo, scrollBar);
    MakeStack(panel)->addWidget(memo);
    return memo;
}

void SetMemoText(QTextEdit& memo, const QString& text, bool centred)
{
    memo.setPlainText(text);
    if (!centred)
        return;
    QTextCursor cursor(memo.document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setAlignment(Qt::AlignHCenter);
    cursor.mergeBlockFormat(format);
}

QWidget* MakePanel(QWidget* parent, const char* name, int height)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(QString::fromLatin1(name));
    if (height > 0)
        panel->setFixedHeight(height);
    return panel;
}

QVBoxLayout* MakeStack(QWidget& widget)
{
    auto* layout = new QVBoxLayout(&widget);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    return layout;
}

QHBoxLayout* MakeButtonRow(QWidget& panel)
{
    auto* row = new QHBoxLayout(&panel);
    row->setContentsMargins(4, 2, 4, 2);
    row->addStretch(1);
    row->addStretch(1);
    return row;
}

QPushButton* AddButton(QHBoxLayout& row, const char* name, const QString& text)
{
    auto* button = new QPushButton(text, row.parentWidget());
    button->setObjectName(QString::fromLatin1(name));
    // Keep the closing stretch last so the row stays centred.
    row.insertWidget(row.count() - 1, button);
    return button;
}

QRect ScreenRect()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 800, 600);
}

void CentreOnScreen(QWidget& window)
{
    const QRect screen = ScreenRect();
    const QSize frame = window.frameGeometry().size();
    window.move(screen.x() + (screen.width() - frame.width()) / 2, screen.y() + (screen.height() - frame.height()) / 2);
}

void CentreHorizontally(QWidget& window, int top)
{
    const QRect screen = ScreenRect();
    window.move(screen.x() + (screen.width() - window.frameGeometry().width()) / 2, screen.y() + top);
}

}  // namespace utility
