// The design-time editors of the text and expression controls with their settings dialogs.
#pragma once

#include "report/engine/model/printable.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace report::engine {
class TRpReportModel;
class TRpCustomLabel;
class TRpExpr;
class TRpLabel;
}  // namespace report::engine

namespace report::editors {

// The text dialog: the text, the size in the report's units, and the label's switches. With an
// expression control it also has the builder button and the format mask.
class TRpLabelEditorForm : public QDialog {
public:
    // `report`: the report whose data sets the builder offers (expression form only; may be null).
    TRpLabelEditorForm(bool expression, engine::TRpReportModel* report);

    void Fill(const std::string& text, engine::TRpCustomLabel& control, const std::string* mask);
    // Writes what was changed into the control: `setText` for the text, the size values, the
    // switches and `setMask`. A text the user did not touch writes nothing.
    void Store(engine::TRpCustomLabel& control, const std::function<void(const std::string&)>& setText,
               const std::function<void(const std::string&)>& setMask);

    // Checked by OK: a size field that changed must hold a number in the Polish format.
    [[nodiscard]] bool CheckSizes();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowExprBuilder();

    engine::TRpReportModel* report_;
    QLineEdit* value_ = nullptr;
    QLineEdit* width_ = nullptr;
    QLineEdit* height_ = nullptr;
    QCheckBox* autoSize_ = nullptr;
    QCheckBox* stretch_ = nullptr;
    QCheckBox* transparent_ = nullptr;
    QComboBox* mask_ = nullptr;
    // What the fields showed when the dialog opened.
    std::string shownText_;
    std::string shownWidth_;
    std::string shownHeight_;
    std::string shownMask_;
};

class TRpLabelEditor : public engine::TRpPrintableEditor {
public:
    explicit TRpLabelEditor(engine::TRpLabel& label);

    [[nodiscard]] QRgb GetColor() const override;
    [[nodiscard]] const output::FontSpec* GetFont() const override;
    [[nodiscard]] const std::type_info& ControlClass() const override;
    [[nodiscard]] std::string GetText() const override;
    [[nodiscard]] std::string NamePrefix() const override { return "RPLABEL"; }
    [[nodiscard]] std::string Description() const override { return "Text Control"; }
    [[nodiscard]] engine::TAlignment GetAlignment() const override;
    void SetAlignment(engine::TAlignment alignment) override;
    void SetColor(QRgb color) override;
    void SetFont(const output::FontSpec& font) override;
    void SetText(const std::string& text) override;
    // The text dialog; true when closed with OK.
    bool Edit() override;

protected:
    explicit TRpLabelEditor(engine::TRpCustomLabel& control);
    engine::TRpCustomLabel& label_;
};

class TRpExprEditor : public TRpLabelEditor {
public:
    explicit TRpExprEditor(engine::TRpExpr& expr);

    [[nodiscard]] const std::type_info& ControlClass() const override;
    [[nodiscard]] std::string GetText() const override;
    [[nodiscard]] std::string NamePrefix() const override { return "RPEXPR"; }
    [[nodiscard]] std::string Description() const override { return "Expression Control"; }
    void SetText(const std::string& text) override;
    // The expression dialog; true when closed with OK.
    bool Edit() override;

private:
    engine::TRpExpr& expr_;
};

// The editors the controls' GetEditorClass give once registered.
std::unique_ptr<engine::TRpPrintableEditor> MakeLabelEditor(engine::TRpPrintable& control);
std::unique_ptr<engine::TRpPrintableEditor> MakeExprEditor(engine::TRpPrintable& control);
// Hands the label and expression controls their editors; the unregistering takes them back.
void RegisterLabelEditors();
void UnregisterLabelEditors();

}  // namespace report::editors
