#include "utility/dialwyb.h"

#include "tests/support/modal_dialog.h"
#include "utility/cp1250.h"

#include <QDialog>
#include <QGuiApplication>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>

#include <gtest/gtest.h>

using namespace utility;
using testsupport::NumberedItems;
using testsupport::OnModalDialog;

namespace {

void Press(QDialog& dialog, const char* button)
{
    auto* b = dialog.findChild<QPushButton*>(QString::fromLatin1(button));
    ASSERT_NE(b, nullptr) << button;
    b->click();
}

}  // namespace

TEST(ChooseFromList, HeightFollowsLinesAndItems)
{
    struct Case {
        int lines;
        int items;
        int memoHeight;
        int clientHeight;
    };
    const Case cases[] = {
        {1, 20, 17, 400},                                                       // 21 * 20 + 17 + 112 = 549, capped
        {2, 3, 34, 209},   {0, 1, 0, 133}, {1, 12, 17, 381}, {1, 13, 17, 400},  // 402, capped
        {20, 1, 300, 400},                                                      // memo capped at 300
        {1, 0, 17, 129},
    };
    for (const Case& c : cases) {
        int seenMemo = -1, seenClient = -1, seenWidth = -1;
        bool memoVisible = false;
        OnModalDialog([&](QDialog& dialog) {
            auto* memo = dialog.findChild<QTextEdit*>(QStringLiteral("Memo1"));
            ASSERT_NE(memo, nullptr);
            seenMemo = memo->height();
            memoVisible = memo->isVisible();
            seenClient = dialog.height();
            seenWidth = dialog.width();
            dialog.reject();
        });
        EXPECT_EQ(ChooseFromList("Wybor", NumberedItems("linia ", c.lines), NumberedItems("dysk ", c.items), 0), -1);
        EXPECT_EQ(memoVisible, c.lines > 0) << c.lines << " lines";
        if (c.lines > 0) {
            EXPECT_EQ(seenMemo, c.memoHeight) << c.lines << " lines";
        }
        EXPECT_EQ(seenClient, c.clientHeight) << c.lines << " lines, " << c.items << " items";
        EXPECT_EQ(seenWidth, 438);
    }
}

TEST(ChooseFromList, ResultByWayOfClosing)
{
    enum class Close { Ok, Cancel, Reject, DoubleClickLast };
    struct Case {
        const char* items;
        int preselected;
        Close close;
        int expected;
    };
    const Case cases[] = {
        {"A:;B:;C:", 1, Close::Ok, 1},
        {"A:;B:;C:", 0, Close::Ok, 0},
        {"A:;B:;C:", 1, Close::Cancel, -1},
        {"A:;B:;C:", 1, Close::Reject, -1},
        {"A:;B:;C:", 0, Close::DoubleClickLast, 2},
        {"A:;B:;C:", 7, Close::Ok, -1},  // nothing preselected
        {"", 0, Close::Ok, -1},
        {"", 0, Close::DoubleClickLast, -1},
    };
    for (const Case& c : cases) {
        OnModalDialog([&](QDialog& dialog) {
            auto* list = dialog.findChild<QListWidget*>(QStringLiteral("RadioGroup1"));
            ASSERT_NE(list, nullptr);
            switch (c.close) {
            case Close::Ok:
                Press(dialog, "BitBtn2");
                break;
            case Close::Cancel:
                Press(dialog, "BitBtn1");
                break;
            case Close::Reject:
                dialog.reject();
                break;
            case Close::DoubleClickLast:
                if (list->count() == 0) {
                    Press(dialog, "BitBtn2");
                    break;
                }
                list->setCurrentRow(list->count() - 1);
                emit list->itemDoubleClicked(list->item(list->count() - 1));
                break;
            }
        });
        EXPECT_EQ(ChooseFromList("Dyski", "Wybierz dysk", c.items, c.preselected), c.expected)
            << c.items << " preselected " << c.preselected;
    }
}

TEST(ChooseFromList, TextsAndWindow)
{
    QStringList items;
    QString title, memoText, okText, cancelText;
    bool onTop = false, modal = false;
    QPoint centreOffset;
    OnModalDialog([&](QDialog& dialog) {
        title = dialog.windowTitle();
        onTop = dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        modal = dialog.isModal();
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        centreOffset = dialog.frameGeometry().center() - screen.center();
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("RadioGroup1"));
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        memoText = dialog.findChild<QTextEdit*>(QStringLiteral("Memo1"))->toPlainText();
        okText = dialog.findChild<QPushButton*>(QStringLiteral("BitBtn2"))->text();
        cancelText = dialog.findChild<QPushButton*>(QStringLiteral("BitBtn1"))->text();
        dialog.reject();
    });
    ChooseFromList(Pl("Wybór urządzenia"), Pl("Pierwsza linia;Druga łódź"), Pl("&Dysk D:;Pen&drive && karta"), 0);
    EXPECT_EQ(title, QString::fromUtf8("Wybór urządzenia"));
    EXPECT_EQ(items, (QStringList{QStringLiteral("Dysk D:"), QStringLiteral("Pendrive  karta")}));
    EXPECT_EQ(memoText, QString::fromUtf8("Pierwsza linia\nDruga łódź"));
    EXPECT_EQ(okText, QStringLiteral("O&K"));
    EXPECT_EQ(cancelText, QStringLiteral("&Rezygnuj"));
    EXPECT_TRUE(onTop);
    EXPECT_TRUE(modal);
    EXPECT_LE(std::abs(centreOffset.x()), 1);
    EXPECT_LE(std::abs(centreOffset.y()), 1);
}
