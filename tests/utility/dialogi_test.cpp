#include "utility/dialogi.h"

#include "tests/support/message_recorder.h"
#include "utility/cp1250.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

using namespace utility;
using testsupport::MessageRecorder;

TEST(MessageBoxesTest, RoutinesReachTheInstalledBoxes)
{
    MessageRecorder rec;
    rec.QueueAnswers({true, false});
    ErrorBox(Pl("Błąd zapisu"));
    EXPECT_TRUE(InfoBox("info"));
    WarningBox("warn\r\nline");
    EXPECT_TRUE(ConfirmYesNo("q1"));
    EXPECT_FALSE(ConfirmYesNo("q2"));
    NoticeBox("notice");

    const std::vector<testsupport::RecordedMessage> expected = {
        {MessageKind::Error, Pl("Błąd zapisu")}, {MessageKind::Information, "info"},
        {MessageKind::Warning, "warn\r\nline"},  {MessageKind::Confirmation, "q1"},
        {MessageKind::Confirmation, "q2"},       {MessageKind::Notice, "notice"},
    };
    ASSERT_EQ(rec.Messages().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(rec.Messages()[i].kind, expected[i].kind) << i;
        EXPECT_EQ(rec.Messages()[i].text, expected[i].text) << i;
    }
    EXPECT_EQ(rec.TextsOf(MessageKind::Confirmation), (std::vector<std::string>{"q1", "q2"}));
    EXPECT_EQ(rec.PendingAnswers(), 0u);
}

TEST(MessageBoxesTest, EmptyQuestionIsYesWithoutBox)
{
    MessageRecorder rec;
    EXPECT_TRUE(ConfirmYesNo(""));
    EXPECT_TRUE(rec.Messages().empty());
}

TEST(MessageBoxesTest, DefaultAnswer)
{
    MessageRecorder rec;
    rec.SetDefaultAnswer(false);
    rec.QueueAnswers({true});
    EXPECT_TRUE(ConfirmYesNo("a"));
    EXPECT_FALSE(ConfirmYesNo("b"));
    EXPECT_FALSE(ConfirmYesNo("c"));
}

TEST(MessageBoxesTest, RecordersNestAndRestore)
{
    MessageBoxes* const before = &CurrentMessageBoxes();
    {
        MessageRecorder outer;
        EXPECT_EQ(&CurrentMessageBoxes(), &outer);
        {
            MessageRecorder inner;
            ErrorBox("inner");
            EXPECT_EQ(inner.Messages().size(), 1u);
        }
        ErrorBox("outer");
        ASSERT_EQ(outer.Messages().size(), 1u);
        EXPECT_EQ(outer.Messages()[0].text, "outer");
    }
    EXPECT_EQ(&CurrentMessageBoxes(), before);
    EXPECT_NE(dynamic_cast<QtMessageBoxes*>(before), nullptr);
}

namespace {

struct SeenBox {
    bool seen = false;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::StandardButtons buttons;
};

// Answers the next modal message box with `button`, noting what it showed.
void AnswerNextBox(SeenBox& seen, QMessageBox::StandardButton button)
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, &seen, button] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        seen = {true, box->icon(), box->windowTitle(), box->text(), box->textFormat(), box->standardButtons()};
        box->button(button)->click();
        timer->deleteLater();
        timer->stop();
    });
    timer->start(0);
}

}  // namespace

TEST(MessageBoxesTest, QtBoxesShowKindTextAndButtons)
{
    struct Case {
        MessageKind kind;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        QMessageBox::StandardButton press;
        bool result;
    };
    const QMessageBox::StandardButtons ok = QMessageBox::Ok;
    const QMessageBox::StandardButtons yesNo = QMessageBox::Yes | QMessageBox::No;
    const Case cases[] = {
        {MessageKind::Error, QMessageBox::Critical, ok, QMessageBox::Ok, true},
        {MessageKind::Information, QMessageBox::Information, ok, QMessageBox::Ok, true},
        {MessageKind::Warning, QMessageBox::Warning, ok, QMessageBox::Ok, true},
        {MessageKind::Notice, QMessageBox::NoIcon, ok, QMessageBox::Ok, true},
        {MessageKind::Confirmation, QMessageBox::Question, yesNo, QMessageBox::Yes, true},
        {MessageKind::Confirmation, QMessageBox::Question, yesNo, QMessageBox::No, false},
    };
    QtMessageBoxes boxes;
    const std::string text = Pl("Plik <b>łąka</b>\r\nnie istnieje");
    for (const auto& c : cases) {
        SeenBox seen;
        AnswerNextBox(seen, c.press);
        EXPECT_EQ(boxes.Show(c.kind, text), c.result) << int(c.kind);
        ASSERT_TRUE(seen.seen);
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.buttons, c.buttons);
        EXPECT_EQ(seen.text, QString::fromUtf8("Plik <b>łąka</b>\nnie istnieje"));
        EXPECT_EQ(seen.format, Qt::PlainText);
        EXPECT_FALSE(seen.title.isEmpty());
    }
}

TEST(Hourglass, OneSwitchForTheApplication)
{
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    ShowHourglass();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ShowHourglass();
    ShowDefaultCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    // Restoring without an hourglass leaves a cursor that someone else set alone.
    QApplication::setOverrideCursor(QCursor(Qt::CrossCursor));
    ShowDefaultCursor();
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
    QApplication::restoreOverrideCursor();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
