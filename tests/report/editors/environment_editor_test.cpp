#include "report/editors/environment_editor.h"

#include "report/editors/word_wrap_edit.h"
#include "report/expr/ev_environment.h"
#include "report/expr/expr_unit.h"
#include "tests/report/editors/editor_fixture.h"
#include "tests/support/modal_dialog.h"

#include <QCoreApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableWidget>

#include <gtest/gtest.h>

namespace enginetest {
namespace {

using namespace report::editors;
namespace expr = report::expr;
using namespace report::expr;

class EnvironmentEditorTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        local_.AddFunction("Rate", "23");
        local_.AddFunction("Net", "100");
    }
    static QTableWidget* Grid(const QObject& editor) { return Need<QTableWidget>(editor, "UDFGrid"); }
    static QString Cell(const QObject& editor, int row, int column)
    {
        const QTableWidgetItem* item = Grid(editor)->item(row, column);
        return item ? item->text() : QString();
    }
    static void EditCell(const QObject& editor, int row, int column, const QString& text)
    {
        Grid(editor)->item(row, column)->setText(text);
    }
    static QString Front(const QObject& editor)
    {
        return Need<QStackedWidget>(editor, "Groups")->currentWidget()->objectName();
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (int i = 0; i < local_.Count(); ++i)
            names.push_back(local_.Name(i));
        return names;
    }

    expr::TRpEvEnvironment local_;
};

TEST_F(EnvironmentEditorTest, TheWindow)
{
    TRpEnvironmentEditor editor(&local_, false);
    editor.show();
    EXPECT_EQ(editor.windowTitle(), "User Defined Functions Edtor");
    EXPECT_EQ(editor.size(), QSize(376, 269));
    EXPECT_EQ(editor.minimumSize(), editor.maximumSize());
    EXPECT_EQ(Need<QGroupBox>(editor, "GNewEntry")->title(), "New entry");
    EXPECT_EQ(Need<QGroupBox>(editor, "GFunctions")->title(), "Available User Defined Functions");
    EXPECT_EQ(Front(editor), "GFunctions");
    const struct {
        const char* name;
        const char* text;
    } named[] = {
        {"LName", "Name :"},
        {"LExpression", "Expression :"},
        {"BExpression", "..."},
        {"BNewOK", "&OK"},
        {"BNewCancel", "&Cancel"},
        {"RLocal", "&Local defines"},
        {"RGlobal", "&Global defines"},
        {"BClose", "Close"},
        {"BDelete", "&Delete"},
        {"BEdit", "&Edit"},
        {"BAdd", "&Add"},
    };
    for (const auto& n : named) {
        QWidget* widget = Need(editor, n.name);
        EXPECT_EQ(widget->property("text").toString(), n.text) << n.name;
        EXPECT_FALSE(widget->accessibleName().isEmpty()) << n.name;
    }
    EXPECT_TRUE(Need<QPushButton>(editor, "BClose")->isDefault());
    Need<QLineEdit>(editor, "Name");
    Need<QLineEdit>(editor, "Expression");
    QTableWidget* grid = Grid(editor);
    EXPECT_EQ(grid->columnCount(), 2);
    EXPECT_EQ(grid->columnWidth(0), 123);
    EXPECT_EQ(grid->columnWidth(1), 165);
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), "Name");
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), "Expression");
    ASSERT_EQ(grid->rowCount(), 2);
    EXPECT_EQ(Cell(editor, 0, 0), "RATE");
    EXPECT_EQ(Cell(editor, 0, 1), "23");
    EXPECT_EQ(Cell(editor, 1, 0), "NET");
}

TEST_F(EnvironmentEditorTest, WhichEnvironmentsAreOffered)
{
    const struct {
        bool local;
        bool allowGlobal;
        bool localEnabled;
        bool globalEnabled;
        bool localChecked;
        int rows;
    } cases[] = {
        {true, false, true, false, true, 2},
        {true, true, true, true, true, 2},
        {false, true, false, true, false, 3},
        {false, false, false, false, false, 3},
    };
    for (const auto& c : cases) {
        TRpEnvironmentEditor editor(c.local ? &local_ : nullptr, c.allowGlobal);
        auto* local = Need<QRadioButton>(editor, "RLocal");
        auto* global = Need<QRadioButton>(editor, "RGlobal");
        EXPECT_EQ(local->isEnabled(), c.localEnabled);
        EXPECT_EQ(global->isEnabled(), c.globalEnabled);
        EXPECT_EQ(local->isChecked(), c.localChecked);
        EXPECT_EQ(global->isChecked(), !c.localChecked);
        EXPECT_EQ(Grid(editor)->rowCount(), c.rows);
        EXPECT_EQ(editor.Current(), c.localChecked ? &local_ : expr::GlobalEnvironment());
    }
    // Clicking the other radio button refills the grid.
    TRpEnvironmentEditor editor(&local_, true);
    Need<QRadioButton>(editor, "RGlobal")->click();
    ASSERT_EQ(Grid(editor)->rowCount(), 3);
    EXPECT_EQ(Cell(editor, 2, 0), "APPNAME");
    Need<QRadioButton>(editor, "RLocal")->click();
    EXPECT_EQ(Grid(editor)->rowCount(), 2);
}

TEST_F(EnvironmentEditorTest, RenamingACell)
{
    const struct {
        const char* typed;
        const char* shown;
        const char* error;
    } cases[] = {
        {"net", "RATE", "A function named NET already exists"},
        {"", "RATE", "The name of a function cannot be empty"},
        {"vat", "VAT", nullptr},
    };
    TRpEnvironmentEditor editor(&local_, true);
    for (const auto& c : cases) {
        messages_.Clear();
        EditCell(editor, 0, 0, QString::fromLatin1(c.typed));
        EXPECT_EQ(Cell(editor, 0, 0), c.shown) << c.typed;
        EXPECT_EQ(local_.Name(0), c.shown) << c.typed;
        EXPECT_EQ(Errors(), c.error ? std::vector<std::string>{c.error} : std::vector<std::string>{}) << c.typed;
    }
    EXPECT_EQ(Names(), (std::vector<std::string>{"VAT", "NET"}));
}

TEST_F(EnvironmentEditorTest, AnExpressionCellWhilePreparedAndNot)
{
    TRpEnvironmentEditor editor(&local_, true);
    local_.Prepare();
    EditCell(editor, 0, 1, "99");
    EXPECT_EQ(Cell(editor, 0, 1), "23");
    EXPECT_EQ(local_.Entry(0)->Expression(), "23");
    EXPECT_EQ(Errors(),
              std::vector<std::string>{"The functions are in use: the expression of RATE cannot be changed now"});
    local_.Unprepare();
    messages_.Clear();
    EditCell(editor, 0, 1, "99");
    EXPECT_EQ(local_.Entry(0)->Expression(), "99");
    EXPECT_TRUE(Errors().empty());
}

TEST_F(EnvironmentEditorTest, DeletingAnEntry)
{
    TRpEnvironmentEditor editor(&local_, true);
    Grid(editor)->setCurrentCell(1, 0);
    local_.Prepare();
    Click(editor, "BDelete");
    EXPECT_EQ(Names(), (std::vector<std::string>{"RATE", "NET"}));
    EXPECT_EQ(Errors(), std::vector<std::string>{"The functions are in use: NET cannot be changed now"});
    local_.Unprepare();
    Click(editor, "BDelete");
    EXPECT_EQ(Names(), std::vector<std::string>{"RATE"});
    EXPECT_EQ(Grid(editor)->rowCount(), 1);
}

TEST_F(EnvironmentEditorTest, AddingAnEntry)
{
    TRpEnvironmentEditor editor(&local_, true);
    editor.show();
    const char* buttons[] = {"BClose", "BDelete", "BEdit", "BAdd"};
    bool checked = false;
    // A taken name and an empty one are refused; the group stays open with what was typed.
    When([&editor] { return Front(editor) == "GNewEntry"; },
         [&] {
             for (const char* name : buttons)
                 EXPECT_FALSE(Need(editor, name)->isVisible()) << name;
             Need<QLineEdit>(editor, "Name")->setText("rate");
             Need<QLineEdit>(editor, "Expression")->setText("5");
             Click(editor, "BNewOK");
             When([this] { return Errors().size() == 1; },
                  [&] {
                      EXPECT_EQ(Front(editor), "GNewEntry");
                      EXPECT_EQ(Need<QLineEdit>(editor, "Expression")->text(), "5");
                      Need<QLineEdit>(editor, "Name")->setText("  ");
                      Click(editor, "BNewOK");
                      When([this] { return Errors().size() == 2; },
                           [&] {
                               EXPECT_EQ(Front(editor), "GNewEntry");
                               EXPECT_EQ(Errors(), (std::vector<std::string>{"A function named RATE already exists",
                                                                             "Type a name for the new function"}));
                               EXPECT_EQ(local_.Count(), 2);
                               Need<QLineEdit>(editor, "Name")->setText("Vat");
                               Click(editor, "BNewOK");
                               checked = true;
                           });
                  });
         });
    Click(editor, "BAdd");
    EXPECT_TRUE(checked);
    EXPECT_EQ(Front(editor), "GFunctions");
    for (const char* name : buttons)
        EXPECT_TRUE(Need(editor, name)->isVisible()) << name;
    EXPECT_EQ(Names(), (std::vector<std::string>{"RATE", "NET", "VAT"}));
    EXPECT_EQ(local_.Entry(2)->Expression(), "5");
    EXPECT_EQ(Cell(editor, 2, 0), "VAT");
    EXPECT_EQ(local_.Entry(0)->Expression(), "23");

    // Cancel adds nothing.
    When([&editor] { return Front(editor) == "GNewEntry"; },
         [&editor] {
             EXPECT_EQ(Need<QLineEdit>(editor, "Name")->text(), "");
             Need<QLineEdit>(editor, "Name")->setText("Other");
             Click(editor, "BNewCancel");
         });
    Click(editor, "BAdd");
    EXPECT_EQ(local_.Count(), 3);
}

TEST_F(EnvironmentEditorTest, ClosingTheWindowEndsAnAdd)
{
    const char* ways[] = {"close", "escape"};
    for (const char* way : ways) {
        TRpEnvironmentEditor editor(&local_, true);
        testsupport::OnModalDialog([way](QDialog& shown) {
            When([&shown] { return Front(shown) == "GNewEntry"; },
                 [&shown, way] {
                     Need<QLineEdit>(shown, "Name")->setText("Lost");
                     if (std::string(way) == "close") {
                         shown.close();
                     } else {
                         QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                         QCoreApplication::sendEvent(Need(shown, "Name"), &key);
                     }
                 });
            Click(shown, "BAdd");
            EXPECT_FALSE(shown.isVisible()) << way;
        });
        EXPECT_EQ(editor.exec(), QDialog::Rejected) << way;
        EXPECT_EQ(local_.Count(), 2) << way;
    }
}

TEST_F(EnvironmentEditorTest, EditRunsTheBuilderEmbedded)
{
    const struct {
        const char* button;
        bool ok;
        const char* expression;
    } cases[] = {{"BOK", true, "23*2"}, {"BCancel", false, "23"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(local_.ReplaceExpression(0, "23"));
        TRpEnvironmentEditor editor(&local_, true);
        editor.show();
        Grid(editor)->setCurrentCell(0, 1);
        bool seen = false;
        When([] { return Builders().size() == 1; },
             [&] {
                 QWidget* builder = Builders().front();
                 EXPECT_EQ(builder->parentWidget(), &editor);
                 EXPECT_EQ(Need<QLabel>(*builder, "LEnter")->text(), "RATE");
                 auto* edit = Need<TWordWrapEdit>(*builder, "EExpression");
                 EXPECT_EQ(edit->toPlainText(), "23");
                 // The variables are the local environment's, then the global one's.
                 edit->setPlainText("23*2");
                 Click(*builder, c.button);
                 seen = true;
             });
        Click(editor, "BEdit");
        EXPECT_TRUE(seen);
        EXPECT_EQ(local_.Entry(0)->Expression(), c.expression);
        EXPECT_EQ(Cell(editor, 0, 1), c.expression);
        EXPECT_EQ(editor.size(), QSize(376, 269));
    }
}

TEST_F(EnvironmentEditorTest, ClosingTheWindowCancelsItsEmbeddedBuilder)
{
    TRpEnvironmentEditor editor(&local_, true);
    bool returned = false;
    testsupport::OnModalDialog([&returned](QDialog& shown) {
        Grid(shown)->setCurrentCell(0, 0);
        When([] { return Builders().size() == 1; },
             [&shown] {
                 Need<TWordWrapEdit>(*Builders().front(), "EExpression")->setPlainText("lost");
                 shown.close();
             });
        Click(shown, "BEdit");
        returned = true;
        EXPECT_TRUE(Builders().empty());
    });
    EXPECT_EQ(editor.exec(), QDialog::Rejected);
    EXPECT_TRUE(returned);
    EXPECT_EQ(local_.Entry(0)->Expression(), "23");
}

TEST_F(EnvironmentEditorTest, TheNewEntrysBuilderFillsTheExpression)
{
    TRpEnvironmentEditor editor(&local_, true);
    editor.show();
    When([&editor] { return Front(editor) == "GNewEntry"; },
         [&editor] {
             Need<QLineEdit>(editor, "Name")->setText("Gross");
             Need<QLineEdit>(editor, "Expression")->setText("Net");
             When([] { return Builders().size() == 1; },
                  [] {
                      QWidget* builder = Builders().front();
                      EXPECT_EQ(Need<QLabel>(*builder, "LEnter")->text(), "Gross");
                      Need<TWordWrapEdit>(*builder, "EExpression")->setPlainText("Net*\n1.23");
                      Click(*builder, "BValidate");
                      Click(*builder, "BOK");
                  });
             Click(editor, "BExpression");
             EXPECT_EQ(Need<QLineEdit>(editor, "Expression")->text(), "Net* 1.23");
             Click(editor, "BNewOK");
         });
    Click(editor, "BAdd");
    ASSERT_EQ(local_.Count(), 3);
    EXPECT_EQ(local_.Entry(2)->Expression(), "Net* 1.23");
    // Validating in the builder used the local entries and left them unprepared.
    EXPECT_EQ(Infos(), std::vector<std::string>{"There are no errors. The result is : 123"});
    EXPECT_FALSE(local_.Prepared());
}

}  // namespace
}  // namespace enginetest
