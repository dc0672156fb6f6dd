#include "report/editors/expression_builder.h"

#include "report/editors/editor_texts.h"
#include "report/editors/editor_widgets.h"
#include "report/editors/word_wrap_edit.h"
#include "report/expr/ev_environment.h"
#include "report/expr/ev_library.h"
#include "report/expr/expr_unit.h"
#include "tests/report/editors/editor_fixture.h"
#include "tests/support/memory_table.h"
#include "tests/support/modal_dialog.h"
#include "utility/cp1250.h"

#include <QCoreApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTextCursor>

#include <gtest/gtest.h>

#include <stdexcept>

namespace enginetest {

using namespace testsupport;
namespace {

using namespace report::editors;
namespace expr = report::expr;
using namespace report::expr;
using testsupport::OnModalDialog;

class BuilderTest : public EditorTest {
protected:
    // Runs the modal builder on `expression` with `drive` acting on it; the builder's result.
    bool Run(std::string& expression, const std::function<void(QDialog&)>& drive, const std::string& heading = {})
    {
        OnModalDialog(drive);
        return RunExpressionBuilder(heading, expression, &sets_, environment_, nullptr);
    }
    static TWordWrapEdit* Edit(const QObject& builder) { return Need<TWordWrapEdit>(builder, "EExpression"); }
    static QString Page(const QObject& builder)
    {
        return Need<QStackedWidget>(builder, "Pages")->currentWidget()->objectName();
    }
    // Acts on `builder` once `page` is in front.
    static void OnPage(QDialog& builder, const char* page, std::function<void()> action)
    {
        When([&builder, page] { return Page(builder) == QLatin1String(page); }, std::move(action));
    }
    static void PutCursorAtEnd(TWordWrapEdit& edit)
    {
        QTextCursor cursor = edit.textCursor();
        cursor.movePosition(QTextCursor::End);
        edit.setTextCursor(cursor);
    }

    MemoryTable table_{"Table1", {{"CUSTNO", TRpFieldKind::Integer}, {"COMPANY", TRpFieldKind::String}}};
    MemoryTable orders_{"Orders", {{"ORDERNO", TRpFieldKind::Integer}}};
    expr::TRpDataSetList sets_{&table_, &orders_};
    expr::TRpEvEnvironment* environment_ = nullptr;
};

TEST_F(EditorTest, AHandlerThatRaisesShowsAnErrorInstead)
{
    const struct {
        std::function<void()> handler;
        const char* box;
    } cases[] = {
        {[] { throw std::runtime_error("Floating point overflow"); }, "Floating point overflow"},
        {[] { throw 42; }, "Unexpected error"},
    };
    for (const auto& c : cases) {
        messages_.Clear();
        Guarded(c.handler)();
        EXPECT_EQ(Errors(), std::vector<std::string>{c.box});
    }
    bool ran = false;
    Guarded([&ran] { ran = true; })();
    EXPECT_TRUE(ran);
}

TEST_F(BuilderTest, TheWindowAndItsPages)
{
    std::string expression = "1+1";
    EXPECT_FALSE(Run(expression, [](QDialog& b) {
        EXPECT_EQ(b.windowTitle(), "Expression Builder");
        EXPECT_EQ(b.size(), QSize(378, 317));
        EXPECT_EQ(b.minimumSize(), b.maximumSize());
        EXPECT_EQ(Need<QLabel>(b, "LTitle")->text(), "Expression Builder");
        EXPECT_EQ(Need<QLabel>(b, "LEnter")->text(), "Enter expression:");
        EXPECT_EQ(Edit(b)->geometry(), QRect(20, 36, 341, 91));
        EXPECT_EQ(Edit(b)->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        EXPECT_EQ(Edit(b)->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
        EXPECT_EQ(Edit(b)->toPlainText(), "1+1");
        EXPECT_EQ(Edit(b)->textCursor().selectedText(), "1+1");
        EXPECT_EQ(Page(b), "PageMain");
        const struct {
            const char* name;
            const char* text;
        } named[] = {
            {"BField", "&Database field"},
            {"BFunction", "&Function"},
            {"BVariable", "&Variable"},
            {"BValidate", "Valida&te"},
            {"BClear", "&Clear"},
            {"BOK", "OK"},
            {"BCancel", "Cancel"},
            {"BNot", "Not"},
            {"BLessEqual", "<="},
            {"BContinue", "Continue"},
            {"BModifyVariables", "&Modify variables"},
            {"LFieldTitle", "Insert database field in expression"},
            {"LDatasets", "Select dataset"},
            {"LFields", "Available fields"},
            {"LFunctionTitle", "Select function"},
            {"LCategory", "Category"},
            {"LFunctions", "Available functions"},
            {"LParamsTitle", "Enter parameters for function"},
            {"LVariableTitle", "Select variable"},
            {"LValueCaption", "Value :"},
        };
        for (const auto& n : named) {
            QWidget* widget = Need(b, n.name);
            const QVariant text = widget->property("text");
            EXPECT_EQ(text.toString(), n.text) << n.name;
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << n.name;
        }
        QStringList categories;
        for (int i = 0; i < Need<QListWidget>(b, "ListCategory")->count(); ++i)
            categories << Need<QListWidget>(b, "ListCategory")->item(i)->text();
        EXPECT_EQ(categories, QStringList({"All", "Date & time", "Math & trig", "Statistical", "Database", "Logical",
                                           "Information", "Other"}));
        Click(b, "BCancel");
    }));
    EXPECT_EQ(expression, "1+1");
}

TEST_F(BuilderTest, AHeadingReplacesTheEnterText)
{
    std::string expression;
    EXPECT_FALSE(Run(
        expression,
        [](QDialog& b) {
            EXPECT_EQ(Need<QLabel>(b, "LEnter")->text(), "Enter 1. parameter for IF");
            Click(b, "BCancel");
        },
        "Enter 1. parameter for IF"));
}

TEST_F(BuilderTest, ValidateShowsTheValueOrTheError)
{
    const struct {
        const char* typed;
        const char* box;
    } cases[] = {
        {"1+1", "There are no errors. The result is : 2"},
        {"1/0", "ERROR: Cannot divide by 0"},
        {"''", "There are no errors. The result is : "},
        {"TRUE\nand FALSE", "There are no errors. The result is : False"},
    };
    for (const auto& c : cases) {
        messages_.Clear();
        std::string expression;
        Run(expression, [&](QDialog& b) {
            Edit(b)->setPlainText(QString::fromLatin1(c.typed));
            Click(b, "BValidate");
            Click(b, "BCancel");
        });
        EXPECT_EQ(Infos(), std::vector<std::string>{c.box}) << c.typed;
    }
}

TEST_F(BuilderTest, ValidateWithoutAnEnvironmentReadsTheGlobalOne)
{
    std::string expression = "AppName";
    Run(expression, [](QDialog& b) {
        Click(b, "BValidate");
        Click(b, "BCancel");
    });
    EXPECT_EQ(Infos(), std::vector<std::string>{"There are no errors. The result is : " +
                                                QCoreApplication::applicationName().toStdString()});
}

TEST_F(BuilderTest, OkJoinsTheLinesAndCancelKeepsTheExpression)
{
    std::string expression = "old";
    EXPECT_TRUE(Run(expression, [](QDialog& b) {
        Edit(b)->setPlainText("1+\n2");
        Click(b, "BOK");
    }));
    EXPECT_EQ(expression, "1+ 2");
    expr::TRpEvaluator evaluator;
    EXPECT_EQ(Describe(evaluator.Calculate(expression)), "I:3");

    EXPECT_FALSE(Run(expression, [](QDialog& b) {
        Click(b, "BClear");
        EXPECT_EQ(Edit(b)->toPlainText(), "");
        Click(b, "BCancel");
    }));
    EXPECT_EQ(expression, "1+ 2");
}

TEST_F(BuilderTest, OperatorsReplaceTheSelection)
{
    const struct {
        const char* button;
        const char* result;
    } cases[] = {
        {"BLessEqual", "a <= c"}, {"BPlus", "a + c"}, {"BUnequal", "a <> c"}, {"BNot", "a Not c"},
        {"BAnd", "a And c"},      {"BOr", "a Or c"},  {"BDiv", "a / c"},
    };
    for (const auto& c : cases) {
        std::string expression = "abc";
        EXPECT_TRUE(Run(expression, [&](QDialog& b) {
            TWordWrapEdit* edit = Edit(b);
            QTextCursor cursor = edit->textCursor();
            cursor.setPosition(1);
            cursor.setPosition(2, QTextCursor::KeepAnchor);
            edit->setTextCursor(cursor);
            Click(b, c.button);
            const int after = static_cast<int>(std::string(c.result).size()) - 1;
            EXPECT_EQ(edit->textCursor().position(), after) << c.button;
            EXPECT_FALSE(edit->textCursor().hasSelection());
            Click(b, "BOK");
        }));
        EXPECT_EQ(expression, c.result);
    }
}

TEST_F(BuilderTest, ADataFieldIsInsertedWithItsDataSet)
{
    std::string expression = "1+";
    EXPECT_TRUE(Run(expression, [](QDialog& b) {
        auto* sets = Need<QListWidget>(b, "ListDatasets");
        auto* fields = Need<QListWidget>(b, "ListFields");
        ASSERT_EQ(sets->count(), 2);
        EXPECT_EQ(sets->item(0)->text(), "Table1");
        EXPECT_EQ(sets->item(1)->text(), "Orders");
        EXPECT_EQ(sets->currentRow(), 0);
        ASSERT_EQ(fields->count(), 2);
        EXPECT_EQ(fields->item(1)->text(), "COMPANY");
        PutCursorAtEnd(*Edit(b));
        OnPage(b, "PageField", [&b, fields] {
            fields->setCurrentRow(0);
            Click(b, "BFieldOK");
        });
        Click(b, "BField");
        EXPECT_EQ(Page(b), "PageMain");
        // Another data set lists its own fields; Cancel inserts nothing.
        sets->setCurrentRow(1);
        EXPECT_EQ(fields->count(), 1);
        EXPECT_EQ(fields->item(0)->text(), "ORDERNO");
        OnPage(b, "PageField", [&b] { Click(b, "BFieldCancel"); });
        Click(b, "BField");
        Click(b, "BOK");
    }));
    EXPECT_EQ(expression, "1+Table1.CUSTNO");
}

TEST_F(BuilderTest, NoDataSetsNoField)
{
    sets_.clear();
    std::string expression = "x";
    EXPECT_TRUE(Run(expression, [](QDialog& b) {
        EXPECT_EQ(Need<QListWidget>(b, "ListDatasets")->count(), 0);
        OnPage(b, "PageField", [&b] { Click(b, "BFieldOK"); });
        Click(b, "BField");
        Click(b, "BOK");
    }));
    EXPECT_EQ(expression, "x");
}

TEST_F(BuilderTest, CategoriesFilterTheFunctions)
{
    const struct {
        int category;
        std::vector<std::string> names;
    } cases[] = {
        {3, {"SUM", "COUNT", "MAX", "MIN", "AVERAGE"}},
        {4, {}},
        {2, {"INT", "FRAC", "SQRT", "DIV"}},
    };
    std::string expression;
    Run(expression, [&](QDialog& b) {
        auto* categories = Need<QListWidget>(b, "ListCategory");
        auto* functions = Need<QListWidget>(b, "ListFunctions");
        auto listed = [functions] {
            std::vector<std::string> names;
            for (int i = 0; i < functions->count(); ++i)
                names.push_back(functions->item(i)->text().toStdString());
            return names;
        };
        const expr::TRpLibrary& library = *expr::FunctionLibrary();
        ASSERT_EQ(functions->count(), library.Count());
        for (int i = 0; i < library.Count(); ++i)
            EXPECT_EQ(listed()[static_cast<std::size_t>(i)], library.GetEntry(i)->Name);
        for (const auto& c : cases) {
            categories->setCurrentRow(c.category);
            EXPECT_EQ(listed(), c.names) << c.category;
        }
        categories->setCurrentRow(0);
        EXPECT_EQ(listed().size(), 21u);
        // The selected entry's syntax and description, split as stored.
        functions->setCurrentRow(library.IndexOf("DIV"));
        EXPECT_EQ(Need<QLabel>(b, "LFunctionName")->text(), "DIV(<X>, <Y>) ");
        EXPECT_EQ(Need<QLabel>(b, "LFunctionDescription")->text(), " Integer division of <X> by <Y>");
        Click(b, "BCancel");
    });
}

TEST_F(BuilderTest, AFunctionAsksForItsParameters)
{
    std::string expression = "1+";
    EXPECT_TRUE(Run(expression, [](QDialog& b) {
        PutCursorAtEnd(*Edit(b));
        OnPage(b, "PageFunction", [&b] {
            Need<QListWidget>(b, "ListFunctions")->setCurrentRow(expr::FunctionLibrary()->IndexOf("IF"));
            Click(b, "BContinue");
        });
        OnPage(b, "PageParams", [&b] {
            EXPECT_EQ(Need<QLabel>(b, "LParamsName")->text(), "IF(<Exp>, <X>, <Y>)");
            auto* box = Need<QScrollArea>(b, "ParamsBox");
            const int width = box->width();
            const char* labels[] = {"Argument 1 - logical value", "Argument 2 - value", "Argument 3 - value"};
            const char* texts[] = {"a", "b", "c"};
            for (int i = 0; i < 3; ++i) {
                const std::string n = std::to_string(i + 1);
                auto* label = Need<QLabel>(b, ("LArgument" + n).c_str());
                auto* edit = Need<QLineEdit>(b, ("EArgument" + n).c_str());
                auto* more = Need<QWidget>(b, ("BArgument" + n).c_str());
                EXPECT_EQ(label->text(), labels[i]);
                EXPECT_EQ(label->pos(), QPoint(10, 40 * i));
                EXPECT_EQ(edit->geometry(), QRect(10, 40 * i + 15, width - 60, edit->height()));
                EXPECT_EQ(more->geometry(), QRect(width - 40, 40 * i + 15, 20, 20));
                EXPECT_EQ(more->property("text").toString(), "...");
                edit->setText(QString::fromLatin1(texts[i]));
            }
            EXPECT_EQ(Need<QWidget>(b, "ParamsRows")->height(), 120);
            EXPECT_EQ(box->verticalScrollBar()->singleStep(), 40);
            Click(b, "BParamsOK");
        });
        Click(b, "BFunction");
        EXPECT_EQ(Page(b), "PageMain");
        // The rows are freed with the page.
        EXPECT_EQ(b.findChild<QWidget*>("ParamsRows"), nullptr);
        Click(b, "BOK");
    }));
    EXPECT_EQ(expression, "1+IF(a,b,c)");
}

TEST_F(BuilderTest, AFunctionWithoutArgumentsGoesInByName)
{
    const struct {
        const char* function;
        bool viaDoubleClick;
    } cases[] = {{"TIME", false}, {"COUNT", true}};
    for (const auto& c : cases) {
        std::string expression;
        EXPECT_TRUE(Run(expression, [&](QDialog& b) {
            Edit(b)->clear();
            OnPage(b, "PageFunction", [&b, &c] {
                auto* list = Need<QListWidget>(b, "ListFunctions");
                list->setCurrentRow(expr::FunctionLibrary()->IndexOf(c.function));
                if (c.viaDoubleClick)
                    emit list->itemDoubleClicked(list->currentItem());
                else
                    Click(b, "BContinue");
            });
            Click(b, "BFunction");
            EXPECT_EQ(Page(b), "PageMain");
            Click(b, "BOK");
        }));
        EXPECT_EQ(expression, c.function);
    }
}

TEST_F(BuilderTest, CancellingTheParametersInsertsNothing)
{
    std::string expression = "x";
    EXPECT_TRUE(Run(expression, [](QDialog& b) {
        PutCursorAtEnd(*Edit(b));
        OnPage(b, "PageFunction", [&b] {
            Need<QListWidget>(b, "ListFunctions")->setCurrentRow(expr::FunctionLibrary()->IndexOf("SQRT"));
            Click(b, "BContinue");
        });
        OnPage(b, "PageParams", [&b] {
            Need<QLineEdit>(b, "EArgument1")->setText("4");
            Click(b, "BParamsCancel");
        });
        Click(b, "BFunction");
        Click(b, "BOK");
    }));
    EXPECT_EQ(expression, "x");
}

TEST_F(BuilderTest, AParameterBuiltInANestedBuilder)
{
    const struct {
        bool ok;
        const char* argument;
    } cases[] = {{false, "a"}, {true, "1+1"}};
    for (const auto& c : cases) {
        std::string expression;
        Run(expression, [&](QDialog& b) {
            Edit(b)->clear();
            OnPage(b, "PageFunction", [&b] {
                Need<QListWidget>(b, "ListFunctions")->setCurrentRow(expr::FunctionLibrary()->IndexOf("IF"));
                Click(b, "BContinue");
            });
            OnPage(b, "PageParams", [&b, &c] {
                Need<QLineEdit>(b, "EArgument1")->setText("a");
                When([] { return Builders().size() == 2; },
                     [&b, &c] {
                         QWidget* nested = Builders().back();
                         EXPECT_EQ(nested->parentWidget(), &b);
                         EXPECT_EQ(nested->pos(), QPoint(0, 0));
                         EXPECT_FALSE(nested->isWindow());
                         EXPECT_EQ(Need<QLabel>(*nested, "LEnter")->text(), "Enter 1. parameter for IF");
                         EXPECT_EQ(Edit(*nested)->toPlainText(), "a");
                         Edit(*nested)->setPlainText("1+1");
                         Click(*nested, c.ok ? "BOK" : "BCancel");
                     });
                Click(b, "BArgument1");
                EXPECT_EQ(Builders().size(), 1u);
                EXPECT_EQ(Need<QLineEdit>(b, "EArgument1")->text(), c.argument);
                Click(b, "BParamsOK");
            });
            Click(b, "BFunction");
            Click(b, "BOK");
        });
        EXPECT_EQ(expression, "IF(" + std::string(c.argument) + ",,)");
    }
}

TEST_F(BuilderTest, VariablesOfTheLocalThenTheGlobalEnvironment)
{
    expr::TRpEvEnvironment local;
    local.AddFunction("Rate", "23");
    environment_ = &local;
    std::string expression;
    EXPECT_TRUE(Run(expression, [](QDialog& b) {
        auto* list = Need<QListWidget>(b, "ListVariables");
        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        EXPECT_EQ(names, QStringList({"RATE", "APPSTARTTIME", "APPSTARTDATE", "APPNAME"}));
        EXPECT_EQ(list->currentRow(), 0);
        EXPECT_EQ(Need<QLabel>(b, "LVariableValue")->text(), "23");
        list->setCurrentRow(2);
        EXPECT_EQ(Need<QLabel>(b, "LVariableValue")->text(), Q(expr::GlobalEnvironment()->Entry(1)->Expression()));
        Edit(b)->clear();
        OnPage(b, "PageVariable", [&b] { Click(b, "BVariableOK"); });
        Click(b, "BVariable");
        Click(b, "BOK");
    }));
    EXPECT_EQ(expression, "APPSTARTDATE");
}

TEST_F(BuilderTest, ModifyingVariablesWithoutAnEnvironment)
{
    std::string expression;
    Run(expression, [](QDialog& b) {
        EXPECT_EQ(Need<QListWidget>(b, "ListVariables")->count(), 3);
        OnPage(b, "PageVariable", [&b] {
            OnModalDialog([](QDialog& editor) {
                EXPECT_EQ(editor.objectName(), "TRpEnvironmentEditor");
                EXPECT_FALSE(Need<QRadioButton>(editor, "RLocal")->isEnabled());
                EXPECT_TRUE(Need<QRadioButton>(editor, "RGlobal")->isEnabled());
                EXPECT_TRUE(Need<QRadioButton>(editor, "RGlobal")->isChecked());
                expr::GlobalEnvironment()->AddFunction("Extra", "1");
                Click(editor, "BClose");
            });
            Click(b, "BModifyVariables");
            // The list follows what the editor changed.
            EXPECT_EQ(Need<QListWidget>(b, "ListVariables")->count(), 4);
            Click(b, "BVariableCancel");
        });
        Click(b, "BVariable");
        Click(b, "BCancel");
    });
}

TEST_F(BuilderTest, ClosingOrTheDoneKeyCancelsAWaitingPage)
{
    const struct {
        const char* how;
        bool cancelled;
    } cases[] = {{"close", true}, {"escape", true}, {"space", true}};
    for (const auto& c : cases) {
        std::string expression = "kept";
        bool returned = false;
        EXPECT_FALSE(Run(expression, [&](QDialog& b) {
            OnPage(b, "PageFunction", [&b, &c] {
                if (std::string(c.how) == "close") {
                    b.close();
                } else {
                    QKeyEvent key(QEvent::KeyPress, std::string(c.how) == "escape" ? Qt::Key_Escape : Qt::Key_Space,
                                  Qt::NoModifier);
                    QCoreApplication::sendEvent(&b, &key);
                }
            });
            Click(b, "BFunction");
            returned = true;
            EXPECT_EQ(Page(b), "PageMain");
        })) << c.how;
        EXPECT_TRUE(returned);
        EXPECT_EQ(expression, "kept") << c.how;
    }
}

TEST_F(BuilderTest, AnEmbeddedBuilderGrowsASmallHostAndGivesItBack)
{
    QWidget host;
    host.setFixedSize(376, 269);
    host.show();
    std::string expression = "2*3";
    When([] { return Builders().size() == 1; },
         [&host] {
             QWidget* builder = Builders().front();
             EXPECT_EQ(builder->parentWidget(), &host);
             EXPECT_GE(host.width(), 378);
             EXPECT_GE(host.height(), 317);
             EXPECT_EQ(Need<QListWidget>(*builder, "ListDatasets")->count(), 2);
             Edit(*builder)->setPlainText("2*\r\n4");
             Click(*builder, "BOK");
         });
    EXPECT_TRUE(RunExpressionBuilder("", expression, &sets_, nullptr, &host));
    EXPECT_EQ(expression, "2* 4");
    EXPECT_EQ(host.size(), QSize(376, 269));
    EXPECT_TRUE(Builders().empty());
}

TEST_F(BuilderTest, AHostGoingAwayEndsTheEmbeddedBuilder)
{
    auto* host = new QWidget;
    host->show();
    std::string expression = "kept";
    When([] { return Builders().size() == 1; }, [host] { host->deleteLater(); });
    EXPECT_FALSE(RunExpressionBuilder("", expression, nullptr, nullptr, host));
    EXPECT_EQ(expression, "kept");
}

}  // namespace
}  // namespace enginetest
