#include "utility/dialogparts.h"

#include "utility/cp1250.h"

#include <QGuiApplication>
#include <QPalette>
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

QRect ScreenRect()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 800, 600);
}

void CentreOnScreen(QWidget& window)
{
    const QRect screen = ScreenRect();
    const QSize frame = window.frameGeometry().size();
    window.move(screen.x() + (screen.width() - frame.width()) / 2,
                screen.y() + (screen.height() - frame.height()) / 2);
}

void CentreHorizontally(QWidget& window, int top)
{
    const QRect screen = ScreenRect();
    window.move(screen.x() + (screen.width() - window.frameGeometry().width()) / 2, screen.y() + top);
}

} // namespace utility
