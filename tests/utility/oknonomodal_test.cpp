#include "utility/oknonomodal.h"

#include "tests/support/modal_dialog.h"
#include "utility/cp1250.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTextBlock>
#include <QTextEdit>

#include <gtest/gtest.h>

using namespace utility;
using testsupport::FindTopLevel;

namespace {

QWidget* Note() { return FindTopLevel(QStringLiteral("Tf_noModal")); }

int NotesAlive()
{
    int count = 0;
    for (QWidget* widget : QApplication::topLevelWidgets())
        count += widget->objectName() == QStringLiteral("Tf_noModal");
    return count;
}

}  // namespace

TEST(WaitingNote, RefusesToCloseUntilCloseNoModal)
{
    ShowNoModal(Pl("Proszę czekać,\r\ntrwa odczyt karty"));
    QWidget* note = Note();
    ASSERT_NE(note, nullptr);
    EXPECT_FALSE(note->close());
    EXPECT_TRUE(note->isVisible());
    QCloseEvent event;
    QApplication::sendEvent(note, &event);
    EXPECT_FALSE(event.isAccepted());
    EXPECT_EQ(Note(), note);

    CloseNoModal();
    EXPECT_EQ(Note(), nullptr);
    EXPECT_EQ(NotesAlive(), 0);
    CloseNoModal();
    EXPECT_EQ(NotesAlive(), 0);
}

TEST(WaitingNote, LooksAndSitsAsMeant)
{
    struct Case {
        bool defaults;
        QColor back;
        QColor text;
    };
    const Case cases[] = {
        {true, QColor(202, 77, 70), QColor(Qt::white)},
        {false, QColor(10, 20, 30), QColor(250, 240, 0)},
    };
    for (const Case& c : cases) {
        const std::string text = Pl("Proszę czekać,\r\ntrwa odczyt karty");
        if (c.defaults)
            ShowNoModal(text);
        else
            ShowNoModal(text, c.back, c.text);
        QWidget* note = Note();
        ASSERT_NE(note, nullptr);
        EXPECT_EQ(note->size(), QSize(278, 131));
        EXPECT_TRUE(note->windowFlags().testFlag(Qt::FramelessWindowHint));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        EXPECT_LE(std::abs(note->x() - (screen.x() + (screen.width() - 278) / 2)), 1);
        EXPECT_LE(std::abs(note->y() - (screen.y() + (screen.height() - 131) / 2 - 131)), 1);
        auto* memo = note->findChild<QTextEdit*>(QStringLiteral("Memo1"));
        ASSERT_NE(memo, nullptr);
        EXPECT_EQ(memo->toPlainText(), QString::fromUtf8("Proszę czekać,\ntrwa odczyt karty"));
        EXPECT_TRUE(memo->isReadOnly());
        EXPECT_TRUE(memo->font().bold());
        EXPECT_EQ(memo->viewport()->cursor().shape(), Qt::ForbiddenCursor);
        EXPECT_EQ(memo->palette().color(QPalette::Base), c.back);
        EXPECT_EQ(memo->palette().color(QPalette::Text), c.text);
        EXPECT_EQ(memo->document()->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
                  Qt::AlignHCenter);
        CloseNoModal();
    }
    EXPECT_EQ(NotesAlive(), 0);
}

TEST(WaitingNote, ShowingAgainReplacesTheNote)
{
    ShowNoModal("pierwsza");
    ShowNoModal("druga");
    EXPECT_EQ(NotesAlive(), 1);
    QWidget* note = Note();
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->findChild<QTextEdit*>(QStringLiteral("Memo1"))->toPlainText(), QStringLiteral("druga"));
    // The replacement refuses to close as well.
    EXPECT_FALSE(note->close());
    CloseNoModal();
    EXPECT_EQ(NotesAlive(), 0);
}
