#include "report/editors/label_editor.h"

#include "report/editors/word_wrap_edit.h"
#include "report/engine/controls/label.h"
#include "report/engine/controls/sysdata.h"
#include "report/engine/model/report_bands.h"
#include "tests/report/editors/editor_fixture.h"
#include "tests/support/memory_table.h"
#include "tests/support/modal_dialog.h"
#include "tests/support/program_bands.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstring>

namespace enginetest {

using namespace testsupport;
namespace {

using namespace report::editors;
namespace engine = report::engine;
namespace expr = report::expr;
using testsupport::OnModalDialog;

// The detail row's label as the print layout stores it: Height, Left, Top, Width.
const std::vector<long double> kRowLabel{42.3333L, 119.0625L, 0, 817.5625L};

bool SameBits(const std::vector<long double>& a, const std::vector<long double>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::memcmp(&a[i], &b[i], 10) != 0)
            return false;
    return true;
}

class LabelEditorTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        RegisterLabelEditors();
        report_ = MakeProgramReport();
        band_ = &engine::CreateBand(*report_, engine::TRpBandType::rbDetail);
    }
    void TearDown() override
    {
        UnregisterLabelEditors();
        EditorTest::TearDown();
    }
    // A control of class T on the detail band with the row label's values, AutoSize off.
    template <class T>
    T& Place()
    {
        T& control = band_->NewPrintable<T>();
        control.SetAutoSize(false);
        control.Size.ReadValues(kRowLabel);
        return control;
    }
    static QLineEdit* Field(const QObject& form, const char* name) { return Need<QLineEdit>(form, name); }

    std::unique_ptr<engine::TRpReport> report_;
    engine::TRpBand* band_ = nullptr;
};

TEST_F(LabelEditorTest, TheEditorsSlots)
{
    engine::TRpLabel& label = Place<engine::TRpLabel>();
    engine::TRpExpr& expr = Place<engine::TRpExpr>();
    label.SetCaption("Kierowca");
    expr.SetExpression("1+1");
    const std::unique_ptr<engine::TRpPrintableEditor> labelEditor = label.GetEditorClass()(label);
    const std::unique_ptr<engine::TRpPrintableEditor> exprEditor = expr.GetEditorClass()(expr);
    ASSERT_NE(dynamic_cast<TRpLabelEditor*>(labelEditor.get()), nullptr);
    ASSERT_NE(dynamic_cast<TRpExprEditor*>(exprEditor.get()), nullptr);
    EXPECT_EQ(engine::TRpMemo().GetEditorClass(), nullptr);
    // A factory handed the wrong control makes nothing.
    EXPECT_EQ(MakeExprEditor(label), nullptr);
    // The engine knows no editor of its own: without the editors' registration there is none.
    UnregisterLabelEditors();
    EXPECT_EQ(label.GetEditorClass(), nullptr);
    EXPECT_EQ(expr.GetEditorClass(), nullptr);
    RegisterLabelEditors();
    EXPECT_EQ(label.GetEditorClass(), &MakeLabelEditor);

    const struct {
        engine::TRpPrintableEditor* editor;
        const std::type_info& controlClass;
        const char* prefix;
        const char* description;
        const char* text;
    } cases[] = {
        {labelEditor.get(), typeid(engine::TRpLabel), "RPLABEL", "Text Control", "Kierowca"},
        {exprEditor.get(), typeid(engine::TRpExpr), "RPEXPR", "Expression Control", "1+1"},
    };
    for (const auto& c : cases) {
        engine::TRpCustomLabel& control = static_cast<engine::TRpCustomLabel&>(c.editor->Control);
        EXPECT_EQ(c.editor->ControlClass(), c.controlClass);
        EXPECT_EQ(c.editor->NamePrefix(), c.prefix);
        EXPECT_EQ(c.editor->Description(), c.description);
        EXPECT_EQ(c.editor->GetText(), c.text);
        c.editor->SetText("3*4");
        EXPECT_EQ(c.editor->GetText(), "3*4");
        c.editor->SetColor(qRgb(1, 2, 3));
        EXPECT_EQ(control.Color, qRgb(1, 2, 3));
        EXPECT_EQ(c.editor->GetColor(), qRgb(1, 2, 3));
        c.editor->SetAlignment(engine::TAlignment::taCenter);
        EXPECT_EQ(control.Alignment(), engine::TAlignment::taCenter);
        EXPECT_EQ(c.editor->GetAlignment(), engine::TAlignment::taCenter);
        report::output::FontSpec font = control.Font();
        font.points = 14;
        c.editor->SetFont(font);
        EXPECT_EQ(c.editor->GetFont()->points, 14);
    }
    EXPECT_EQ(label.Caption(), "3*4");
    EXPECT_EQ(expr.Expression(), "3*4");
}

TEST_F(LabelEditorTest, TheWindows)
{
    const struct {
        bool expression;
        const char* name;
        const char* caption;
        QSize size;
        const char* textCaption;
    } cases[] = {
        {false, "TRpLabelEditorForm", "Text Settings", QSize(329, 181), "Text"},
        {true, "TRpExprEditorForm", "Expression settings", QSize(367, 210), "Expression"},
    };
    for (const auto& c : cases) {
        TRpLabelEditorForm form(c.expression, nullptr);
        form.show();
        EXPECT_EQ(form.objectName(), c.name);
        EXPECT_EQ(form.windowTitle(), c.caption);
        EXPECT_EQ(form.size(), c.size);
        EXPECT_EQ(form.minimumSize(), form.maximumSize());
        EXPECT_EQ(Need<QGroupBox>(form, "GProperties")->title(), "Properties");
        EXPECT_EQ(Need<QLabel>(form, "LValue")->text(), c.textCaption);
        const struct {
            const char* name;
            const char* text;
        } named[] = {{"LWidth", "Width"},    {"LHeight", "Height"},          {"AutoSize", "Autosize"},
                     {"Stretch", "Stretch"}, {"Transparent", "Transparent"}, {"BOK", "OK"},
                     {"BCancel", "Cancel"}};
        for (const auto& n : named) {
            QWidget* widget = Need(form, n.name);
            EXPECT_EQ(widget->property("text").toString(), n.text) << n.name;
            EXPECT_FALSE(widget->accessibleName().isEmpty()) << n.name;
        }
        for (const char* name : {"Value", "Width", "Height"})
            EXPECT_FALSE(Field(form, name)->accessibleName().isEmpty()) << name;
        EXPECT_TRUE(Need<QPushButton>(form, "BOK")->isDefault());
        EXPECT_EQ(form.findChild<QComboBox*>("Mask") != nullptr, c.expression);
        EXPECT_EQ(form.findChild<QPushButton*>("BShowExprBuilder") != nullptr, c.expression);
        if (c.expression) {
            EXPECT_TRUE(Need<QComboBox>(form, "Mask")->isEditable());
            EXPECT_EQ(Need<QPushButton>(form, "BShowExprBuilder")->text(), "...");
        }
    }
}

TEST_F(LabelEditorTest, OkUntouchedChangesNothing)
{
    engine::TRpLabel& label = Place<engine::TRpLabel>();
    label.SetCaption("Kierowca");
    const std::vector<long double> before = label.Size.WriteValues();
    const std::unique_ptr<engine::TRpPrintableEditor> editor = label.GetEditorClass()(label);
    OnModalDialog([](QDialog& form) {
        EXPECT_EQ(Field(form, "Value")->text(), "Kierowca");
        EXPECT_EQ(Field(form, "Width")->text(), "81,75625");
        EXPECT_EQ(Field(form, "Height")->text(), "4,23333");
        EXPECT_FALSE(Need<QCheckBox>(form, "AutoSize")->isChecked());
        EXPECT_FALSE(Need<QCheckBox>(form, "Stretch")->isChecked());
        EXPECT_FALSE(Need<QCheckBox>(form, "Transparent")->isChecked());
        Click(form, "BOK");
    });
    EXPECT_TRUE(editor->Edit());
    EXPECT_TRUE(SameBits(label.Size.WriteValues(), before));
    EXPECT_EQ(label.Caption(), "Kierowca");
    EXPECT_TRUE(Errors().empty());

    // A size placed in pixels has more digits than its text shows; OK keeps every one of them.
    engine::TRpLabel& placed = band_->NewPrintable<engine::TRpLabel>();
    placed.SetAutoSize(false);
    placed.SetBounds(10, 0, 101, 17);
    const std::vector<long double> placedBefore = placed.Size.WriteValues();
    const std::unique_ptr<engine::TRpPrintableEditor> placedEditor = placed.GetEditorClass()(placed);
    OnModalDialog([](QDialog& form) {
        EXPECT_EQ(Field(form, "Width")->text(), "26,7229166666667");
        Click(form, "BOK");
    });
    EXPECT_TRUE(placedEditor->Edit());
    EXPECT_TRUE(SameBits(placed.Size.WriteValues(), placedBefore));
}

TEST_F(LabelEditorTest, OkStoresWhatWasChanged)
{
    engine::TRpLabel& label = Place<engine::TRpLabel>();
    const std::unique_ptr<engine::TRpPrintableEditor> editor = label.GetEditorClass()(label);
    OnModalDialog([](QDialog& form) {
        Field(form, "Value")->setText("Data");
        Field(form, "Width")->setText(" 50,5 ");
        Need<QCheckBox>(form, "Stretch")->setChecked(true);
        Need<QCheckBox>(form, "Transparent")->setChecked(true);
        Click(form, "BOK");
    });
    EXPECT_TRUE(editor->Edit());
    EXPECT_EQ(label.Caption(), "Data");
    EXPECT_DOUBLE_EQ(static_cast<double>(label.Size.Native(engine::TRpPrintableSize::kWidth)), 505.0);
    EXPECT_EQ(label.Size.Native(engine::TRpPrintableSize::kHeight), kRowLabel[0]);
    EXPECT_TRUE(label.AutoStretch());
    EXPECT_TRUE(label.Transparent());
    EXPECT_FALSE(label.AutoSize());
}

TEST_F(LabelEditorTest, ABadSizeIsRefusedAndTheDialogStaysOpen)
{
    const struct {
        const char* field;
        const char* typed;
    } cases[] = {{"Width", "abc"}, {"Width", ""}, {"Height", "1.5"}, {"Height", "-3"}};
    for (const auto& c : cases) {
        messages_.Clear();
        engine::TRpLabel& label = Place<engine::TRpLabel>();
        label.SetCaption("Old");
        const std::vector<long double> before = label.Size.WriteValues();
        const std::unique_ptr<engine::TRpPrintableEditor> editor = label.GetEditorClass()(label);
        OnModalDialog([&c](QDialog& form) {
            Field(form, "Value")->setText("New");
            Field(form, c.field)->setText(QString::fromLatin1(c.typed));
            Click(form, "BOK");
            EXPECT_TRUE(form.isVisible()) << c.typed;
            Click(form, "BCancel");
        });
        EXPECT_FALSE(editor->Edit());
        ASSERT_EQ(Errors().size(), 1u) << c.typed;
        EXPECT_NE(Errors()[0].find(std::string("\"") + c.typed + "\" is not a valid"), std::string::npos)
            << Errors()[0];
        EXPECT_TRUE(SameBits(label.Size.WriteValues(), before)) << c.typed;
        EXPECT_EQ(label.Caption(), "Old");
    }
}

TEST_F(LabelEditorTest, TheExpressionDialog)
{
    engine::TRpExpr& expr = Place<engine::TRpExpr>();
    expr.SetExpression("1+1");
    expr.SetMask("0.00");
    const std::unique_ptr<engine::TRpPrintableEditor> editor = expr.GetEditorClass()(expr);
    OnModalDialog([](QDialog& form) {
        EXPECT_EQ(form.windowTitle(), "Expression settings");
        EXPECT_EQ(Field(form, "Value")->text(), "1+1");
        EXPECT_EQ(Need<QComboBox>(form, "Mask")->currentText(), "0.00");
        // The builder opens on the edit's text and gives its result back on OK.
        OnModalDialog([](QDialog& builder) {
            EXPECT_EQ(builder.objectName(), "TRpExpressionBuilder");
            EXPECT_EQ(Need<QLabel>(builder, "LEnter")->text(), "Enter expression:");
            auto* edit = Need<TWordWrapEdit>(builder, "EExpression");
            EXPECT_EQ(edit->toPlainText(), "1+1");
            edit->setPlainText("AppName");
            Click(builder, "BValidate");
            Click(builder, "BOK");
        });
        Click(form, "BShowExprBuilder");
        EXPECT_EQ(Field(form, "Value")->text(), "AppName");
        // Cancel in the builder leaves the edit as it is.
        OnModalDialog([](QDialog& builder) {
            Need<TWordWrapEdit>(builder, "EExpression")->setPlainText("lost");
            Click(builder, "BCancel");
        });
        Click(form, "BShowExprBuilder");
        EXPECT_EQ(Field(form, "Value")->text(), "AppName");
        Need<QComboBox>(form, "Mask")->setEditText("#,##0");
        Click(form, "BOK");
    });
    EXPECT_TRUE(editor->Edit());
    EXPECT_EQ(expr.Expression(), "AppName");
    EXPECT_EQ(expr.Mask(), "#,##0");
    ASSERT_EQ(Infos().size(), 1u);
    EXPECT_EQ(Infos()[0].rfind("There are no errors. The result is : ", 0), 0u);
}

TEST_F(LabelEditorTest, CancelChangesNothing)
{
    engine::TRpExpr& expr = Place<engine::TRpExpr>();
    expr.SetExpression("1+1");
    const std::vector<long double> before = expr.Size.WriteValues();
    const std::unique_ptr<engine::TRpPrintableEditor> editor = expr.GetEditorClass()(expr);
    OnModalDialog([](QDialog& form) {
        Field(form, "Value")->setText("2+2");
        Field(form, "Width")->setText("10");
        Need<QComboBox>(form, "Mask")->setEditText("0");
        Click(form, "BCancel");
    });
    EXPECT_FALSE(editor->Edit());
    EXPECT_EQ(expr.Expression(), "1+1");
    EXPECT_EQ(expr.Mask(), "");
    EXPECT_TRUE(SameBits(expr.Size.WriteValues(), before));
}

TEST_F(LabelEditorTest, TheBuilderOffersTheReportsDataSets)
{
    MemoryTable table{"Table1", {{"CUSTNO", expr::TRpFieldKind::Integer}}};
    report_->DataSets.Add(table);
    engine::TRpExpr& expr = Place<engine::TRpExpr>();
    const std::unique_ptr<engine::TRpPrintableEditor> editor = expr.GetEditorClass()(expr);
    OnModalDialog([](QDialog& form) {
        OnModalDialog([](QDialog& builder) {
            auto* sets = Need<QListWidget>(builder, "ListDatasets");
            ASSERT_EQ(sets->count(), 1);
            EXPECT_EQ(sets->item(0)->text(), "Table1");
            Click(builder, "BCancel");
        });
        Click(form, "BShowExprBuilder");
        Click(form, "BCancel");
    });
    EXPECT_FALSE(editor->Edit());
}

}  // namespace
}  // namespace enginetest
