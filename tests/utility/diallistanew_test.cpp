#include "utility/diallistanew.h"

#include "tests/support/modal_dialog.h"
#include "utility/cp1250.h"

#include <QCheckBox>
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

template <typename T>
T* Child(QDialog& dialog, const char* name)
{
    T* child = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

struct Outcome {
    ModalResult result = ModalResult::Ok;
    bool checked = true;
    std::string text;
    int index = 99;
};

// Shows the dialog with buttons and a check box; `act` closes it.
Outcome RunDialog(const std::string& items, std::string text, int index, std::function<void(QDialog&)> act)
{
    Outcome out;
    out.text = std::move(text);
    out.index = index;
    OnModalDialog(std::move(act));
    ShowListDialog("Import", Pl("Wybierz urządzenie"), Pl("Pamiętaj"), items, true, out.result, out.checked, out.text,
                   out.index, true);
    return out;
}

}  // namespace

TEST(ShowListDialog, PreselectionAndWhatComesBack)
{
    struct Case {
        std::string items;
        const char* text;
        int index;
        int selected;
        const char* outText;
    };
    const Case cases[] = {
        {"a;b;c;d", "", 2, 2, "c"},
        {"a;b;c;d", "", -1, 0, "a"},
        {"a;b;c;d", "", 4, 0, "a"},
        {"a;b;c;d", "b", 3, 1, "b"},
        {"a;b;c;d", "x", 3, 3, "d"},  // an unknown text falls back to the index
        {"a;b;c;d", "x", 9, 0, "a"},
        {"", "b", 1, -1, ""},
        {NumberedItems("e", 300), "", 280, 280, "e280"},
        {NumberedItems("e", 300), "e256", 0, 256, "e256"},
    };
    for (const Case& c : cases) {
        int seen = -2;
        const Outcome out = RunDialog(c.items, c.text, c.index, [&](QDialog& dialog) {
            auto* list = Child<QListWidget>(dialog, "ListBox1");
            seen = list->currentRow();
            Child<QPushButton>(dialog, "BitBtn2")->click();
        });
        EXPECT_EQ(seen, c.selected) << c.text << " / " << c.index;
        EXPECT_EQ(out.result, ModalResult::Ok);
        EXPECT_FALSE(out.checked);
        EXPECT_EQ(out.index, c.selected) << c.text << " / " << c.index;
        EXPECT_EQ(out.text, c.outText) << c.text << " / " << c.index;
    }
}

TEST(ShowListDialog, UserChoices)
{
    enum class Act { PickAndTickOk, PickAndCancel, DoubleClick, Reject };
    struct Case {
        Act act;
        ModalResult result;
        bool checked;
        int index;
        std::string text;
    };
    const Case cases[] = {
        {Act::PickAndTickOk, ModalResult::Ok, true, 3, "d"},
        {Act::PickAndCancel, ModalResult::Cancel, false, 3, "d"},
        {Act::DoubleClick, ModalResult::Ok, false, 1, Pl("bę")},
        {Act::Reject, ModalResult::Cancel, false, 0, "a"},
    };
    for (const Case& c : cases) {
        const std::string items = "a;" + Pl("bę") + ";c;d";
        const Outcome out = RunDialog(items, "", 0, [&](QDialog& dialog) {
            auto* list = Child<QListWidget>(dialog, "ListBox1");
            switch (c.act) {
            case Act::PickAndTickOk:
                list->setCurrentRow(3);
                Child<QCheckBox>(dialog, "CheckBox1")->setChecked(true);
                Child<QPushButton>(dialog, "BitBtn2")->click();
                break;
            case Act::PickAndCancel:
                list->setCurrentRow(3);
                Child<QPushButton>(dialog, "BitBtn1")->click();
                break;
            case Act::DoubleClick:
                list->setCurrentRow(1);
                emit list->itemDoubleClicked(list->item(1));
                break;
            case Act::Reject:
                dialog.reject();
                break;
            }
        });
        EXPECT_EQ(out.result, c.result);
        EXPECT_EQ(out.checked, c.checked);
        EXPECT_EQ(out.index, c.index);
        EXPECT_EQ(out.text, c.text);
    }
}

TEST(ShowListDialog, WhatIsShown)
{
    struct Case {
        const char* caption;
        const char* message;
        const char* checkCaption;
        const char* items;
        bool cancel;
        bool buttons;
        const char* title;
        bool memo;
        bool checkPanel;
        const char* checkText;
        bool list;
        bool cancelButton;
        bool buttonPanel;
    };
    const char* defaultCheck = "Nie pokazuj więcej tej informacji";
    const Case cases[] = {
        {"", "Uwaga", "", "a;b", true, true, "Wybierz z listy...", true, false, defaultCheck, true, true, true},
        {"Import", "", "Zapamiętaj", "a", false, true, "Import", false, true, "Zapamiętaj", true, false, true},
        {"Import", "Tylko tekst", "", "", true, false, "Import", true, false, defaultCheck, false, true, false},
    };
    for (const Case& c : cases) {
        QString title, checkText, memoText;
        bool memo = false, checkPanel = false, list = false, cancelButton = false, buttonPanel = false;
        int panel3Height = 0;
        QSize size;
        OnModalDialog([&](QDialog& dialog) {
            title = dialog.windowTitle();
            size = dialog.size();
            memo = Child<QTextEdit>(dialog, "Memo1")->isVisible();
            memoText = Child<QTextEdit>(dialog, "Memo1")->toPlainText();
            checkPanel = Child<QWidget>(dialog, "Panel2")->isVisible();
            checkText = Child<QCheckBox>(dialog, "CheckBox1")->text();
            list = Child<QListWidget>(dialog, "ListBox1")->isVisible();
            cancelButton = !Child<QPushButton>(dialog, "BitBtn1")->isHidden();
            buttonPanel = Child<QWidget>(dialog, "Panel1")->isVisible();
            panel3Height = Child<QWidget>(dialog, "Panel3")->height();
            EXPECT_TRUE(dialog.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            EXPECT_TRUE(dialog.isModal());
            const QPoint offset =
                dialog.frameGeometry().center() - QGuiApplication::primaryScreen()->geometry().center();
            EXPECT_LE(std::abs(offset.x()), 1);
            EXPECT_LE(std::abs(offset.y()), 1);
            dialog.reject();
        });
        ModalResult result = ModalResult::Ok;
        bool checked = true;
        std::string text = "a";
        int index = 0;
        ShowListDialog(Pl(c.caption), Pl(c.message), Pl(c.checkCaption), c.items, c.cancel, result, checked, text,
                       index, c.buttons);
        EXPECT_EQ(title, QString::fromUtf8(c.title)) << c.caption;
        EXPECT_EQ(size, QSize(483, 250));
        EXPECT_EQ(memo, c.memo) << c.caption;
        if (c.memo) {
            EXPECT_EQ(memoText, QString::fromUtf8(c.message));
        }
        EXPECT_EQ(checkPanel, c.checkPanel) << c.caption;
        EXPECT_EQ(checkText, QString::fromUtf8(c.checkText)) << c.caption;
        EXPECT_EQ(list, c.list) << c.caption;
        EXPECT_EQ(cancelButton, c.cancel) << c.caption;
        EXPECT_EQ(buttonPanel, c.buttons) << c.caption;
        // Without a list the message panel fills the room.
        if (c.list) {
            EXPECT_EQ(panel3Height, 105);
        } else {
            EXPECT_GT(panel3Height, 105);
        }
        EXPECT_EQ(result, ModalResult::Cancel);
        if (!c.list) {
            EXPECT_EQ(text, "");
            EXPECT_EQ(index, -1);
        }
    }
}
