#include "report/editors/label_editor.h"

#include "report/editors/editor_texts.h"
#include "report/editors/editor_widgets.h"
#include "report/editors/expression_builder.h"
#include "report/engine/controls/expr_print.h"
#include "report/engine/controls/label.h"
#include "report/engine/controls/sysdata.h"
#include "report/engine/model/report_model.h"
#include "utility/cp1250.h"
#include "utility/dialogi.h"
#include "utility/dialogparts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace report::editors {
namespace {

std::string TextOf(const QLineEdit* edit) { return utility::QStringToCp1250(edit->text()); }

// The data sets a report offers the builder; none while it keeps none.
const expr::TRpDataSetList* ReportDataSets(engine::TRpReportModel* report)
{
    // The sets placed with the report: the run's list is empty while the report is designed.
    return report != nullptr ? &report->DataSets.List() : nullptr;
}

}  // namespace

TRpLabelEditorForm::TRpLabelEditorForm(bool expression, engine::TRpReportModel* report) : report_(report)
{
    const int width = expression ? 367 : 329;
    const int height = expression ? 210 : 181;
    if (expression)
        SetupFixedDialog(*this, "TRpExprEditorForm", QStringLiteral("Expression settings"), width, height);
    else
        SetupFixedDialog(*this, "TRpLabelEditorForm", QStringLiteral("Text Settings"), width, height);
    const int groupWidth = width - 16;
    auto* group = Place(new QGroupBox(QStringLiteral("Properties"), this), "GProperties",
                        QRect(8, 8, groupWidth, height - 51), QStringLiteral("Properties"));
    const int editLeft = 90;
    const int valueWidth = groupWidth - editLeft - (expression ? 38 : 12);
    QLabel* valueLabel = MakeLabel(group, "LValue", expression ? QStringLiteral("Expression") : QStringLiteral("Text"),
                                   QRect(12, 26, 76, 17));
    value_ = Place(new QLineEdit(group), "Value", QRect(editLeft, 24, valueWidth, 21), valueLabel->accessibleName());
    valueLabel->setBuddy(value_);
    if (expression)
        connect(MakeButton(group, "BShowExprBuilder", QStringLiteral("..."),
                           QRect(editLeft + valueWidth + 4, 24, 22, 21), QStringLiteral("Build the expression")),
                &QPushButton::clicked, this, Guarded([this] { ShowExprBuilder(); }));
    QLabel* widthLabel = MakeLabel(group, "LWidth", QStringLiteral("Width"), QRect(12, 56, 76, 17));
    width_ = Place(new QLineEdit(group), "Width", QRect(editLeft, 54, 81, 21), QStringLiteral("Width"));
    widthLabel->setBuddy(width_);
    QLabel* heightLabel = MakeLabel(group, "LHeight", QStringLiteral("Height"), QRect(180, 56, 50, 17));
    height_ = Place(new QLineEdit(group), "Height", QRect(232, 54, 81, 21), QStringLiteral("Height"));
    heightLabel->setBuddy(height_);
    autoSize_ = Place(new QCheckBox(QStringLiteral("Autosize"), group), "AutoSize", QRect(12, 86, 95, 20),
                      QStringLiteral("Autosize"));
    stretch_ = Place(new QCheckBox(QStringLiteral("Stretch"), group), "Stretch", QRect(110, 86, 95, 20),
                     QStringLiteral("Stretch"));
    transparent_ = Place(new QCheckBox(QStringLiteral("Transparent"), group), "Transparent", QRect(208, 86, 105, 20),
                         QStringLiteral("Transparent"));
    if (expression) {
        QLabel* maskLabel = MakeLabel(group, "LMask", QStringLiteral("Format mask"), QRect(12, 118, 76, 17));
        mask_ = Place(new QComboBox(group), "Mask", QRect(editLeft, 116, groupWidth - editLeft - 12, 21),
                      QStringLiteral("Format mask"));
        mask_->setEditable(true);
        maskLabel->setBuddy(mask_);
    }
    QPushButton* ok = MakeButton(this, "BOK", QStringLiteral("OK"), QRect(width - 171, height - 35, 75, 25));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, Guarded([this] {
                if (CheckSizes())
                    accept();
            }));
    connect(MakeButton(this, "BCancel", QStringLiteral("Cancel"), QRect(width - 83, height - 35, 75, 25)),
            &QPushButton::clicked, this, Guarded([this] { reject(); }));
}

void TRpLabelEditorForm::Fill(const std::string& text, engine::TRpCustomLabel& control, const std::string* mask)
{
    shownText_ = text;
    shownWidth_ = SizeToText(control.Size.Width());
    shownHeight_ = SizeToText(control.Size.Height());
    value_->setText(Q(shownText_));
    width_->setText(Q(shownWidth_));
    height_->setText(Q(shownHeight_));
    autoSize_->setChecked(control.AutoSize());
    stretch_->setChecked(control.AutoStretch());
    transparent_->setChecked(control.Transparent());
    if (mask_ && mask) {
        shownMask_ = *mask;
        mask_->setEditText(Q(shownMask_));
    }
}

bool TRpLabelEditorForm::CheckSizes()
{
    for (auto [edit, shown, what] :
         {std::tuple{width_, &shownWidth_, "width"}, std::tuple{height_, &shownHeight_, "height"}}) {
        const std::string text = TextOf(edit);
        if (text == *shown || ParseSizeText(text))
            continue;
        utility::ErrorBox("\"" + text + "\" is not a valid " + what +
                          ": type a number with a decimal comma, such as 81,75");
        edit->setFocus();
        edit->selectAll();
        return false;
    }
    return true;
}

void TRpLabelEditorForm::Store(engine::TRpCustomLabel& control, const std::function<void(const std::string&)>& setText,
                               const std::function<void(const std::string&)>& setMask)
{
    // A control's own text is one line; the edit cannot hold a break, so it is taken as typed.
    if (const std::string text = TextOf(value_); text != shownText_)
        setText(text);
    if (const std::string text = TextOf(width_); text != shownWidth_)
        control.Size.SetWidth(ParseSizeText(text).value_or(control.Size.Width()));
    if (const std::string text = TextOf(height_); text != shownHeight_)
        control.Size.SetHeight(ParseSizeText(text).value_or(control.Size.Height()));
    if (autoSize_->isChecked() != control.AutoSize())
        control.SetAutoSize(autoSize_->isChecked());
    if (stretch_->isChecked() != control.AutoStretch())
        control.SetAutoStretch(stretch_->isChecked());
    if (transparent_->isChecked() != control.Transparent())
        control.SetTransparent(transparent_->isChecked());
    if (mask_)
        if (const std::string mask = utility::QStringToCp1250(mask_->currentText()); mask != shownMask_)
            setMask(mask);
}

void TRpLabelEditorForm::ShowExprBuilder()
{
    std::string expression = TextOf(value_);
    if (RunExpressionBuilder(std::string(), expression, ReportDataSets(report_), nullptr, nullptr))
        value_->setText(Q(expression));
}

void TRpLabelEditorForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    utility::CentreOnScreen(*this);
}

TRpLabelEditor::TRpLabelEditor(engine::TRpLabel& label) : engine::TRpPrintableEditor(label), label_(label) {}

TRpLabelEditor::TRpLabelEditor(engine::TRpCustomLabel& control) : engine::TRpPrintableEditor(control), label_(control)
{}

QRgb TRpLabelEditor::GetColor() const { return label_.Color; }

const output::FontSpec* TRpLabelEditor::GetFont() const { return &label_.Font(); }

const std::type_info& TRpLabelEditor::ControlClass() const { return typeid(engine::TRpLabel); }

std::string TRpLabelEditor::GetText() const { return label_.Caption(); }

engine::TAlignment TRpLabelEditor::GetAlignment() const { return label_.Alignment(); }

void TRpLabelEditor::SetAlignment(engine::TAlignment alignment) { label_.SetAlignment(alignment); }

void TRpLabelEditor::SetColor(QRgb color) { label_.Color = color; }

void TRpLabelEditor::SetFont(const output::FontSpec& font) { label_.SetFont(font); }

void TRpLabelEditor::SetText(const std::string& text) { static_cast<engine::TRpLabel&>(label_).SetCaption(text); }

bool TRpLabelEditor::Edit()
{
    TRpLabelEditorForm form(false, nullptr);
    form.Fill(GetText(), label_, nullptr);
    if (form.exec() != QDialog::Accepted)
        return false;
    form.Store(
        label_, [this](const std::string& text) { SetText(text); }, [](const std::string&) {});
    return true;
}

TRpExprEditor::TRpExprEditor(engine::TRpExpr& expr)
    : TRpLabelEditor(static_cast<engine::TRpCustomLabel&>(expr)), expr_(expr)
{}

const std::type_info& TRpExprEditor::ControlClass() const { return typeid(engine::TRpExpr); }

std::string TRpExprEditor::GetText() const { return expr_.Expression(); }

void TRpExprEditor::SetText(const std::string& text) { expr_.SetExpression(text); }

bool TRpExprEditor::Edit()
{
    TRpLabelEditorForm form(true, expr_.ParentReport());
    const std::string mask = expr_.Mask();
    form.Fill(GetText(), expr_, &mask);
    if (form.exec() != QDialog::Accepted)
        return false;
    form.Store(
        expr_, [this](const std::string& text) { SetText(text); }, [this](const std::string& m) { expr_.SetMask(m); });
    return true;
}

std::unique_ptr<engine::TRpPrintableEditor> MakeLabelEditor(engine::TRpPrintable& control)
{
    auto* label = dynamic_cast<engine::TRpLabel*>(&control);
    return label ? std::make_unique<TRpLabelEditor>(*label) : nullptr;
}

std::unique_ptr<engine::TRpPrintableEditor> MakeExprEditor(engine::TRpPrintable& control)
{
    auto* expr = dynamic_cast<engine::TRpExpr*>(&control);
    return expr ? std::make_unique<TRpExprEditor>(*expr) : nullptr;
}

void RegisterLabelEditors()
{
    engine::RegisterEditorClass(typeid(engine::TRpLabel), &MakeLabelEditor);
    engine::RegisterEditorClass(typeid(engine::TRpExpr), &MakeExprEditor);
}

void UnregisterLabelEditors()
{
    engine::RegisterEditorClass(typeid(engine::TRpLabel), nullptr);
    engine::RegisterEditorClass(typeid(engine::TRpExpr), nullptr);
}

}  // namespace report::editors
