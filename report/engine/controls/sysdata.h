// System data and expression controls: labels whose text is computed just before they print.
#pragma once

#include "report/engine/controls/expr_print.h"
#include "report/engine/controls/label.h"
#include "report/expr/evaluator.h"

#include <memory>
#include <string>

namespace report::engine {

class TRpReportModel;
class TRpCustomController;

// A fixed prefix followed by a value of the report run: time, date, page number, title,
// record count or number.
class TRpSysData : public TRpCustomLabel {
public:
    // Shows "(Time)" until it prints.
    TRpSysData();

    [[nodiscard]] TRpSysDataType Data() const { return data_; }
    // Outside a run the caption is the prefix and the data's name in parentheses.
    void SetData(TRpSysDataType data);
    // The prefix printed before the value.
    [[nodiscard]] const std::string& Text() const { return text_; }
    void SetText(const std::string& text);

    // The caption becomes the prefix and the value now (the record count and number only on a
    // report with a data loop), then the control prints as a label. The caption keeps the last
    // printed value after the run.
    void Print(int ofsX, int ofsY) override;

private:
    void ShowDisplayCaption();

    TRpSysDataType data_ = rpsTime;
    std::string text_;
};

// The value of an expression, formatted by a mask, optionally aggregated over the detail rows.
class TRpExpr : public TRpCustomLabel {
public:
    // Shows "(none)" until an expression is set.
    TRpExpr();
    ~TRpExpr() override;

    [[nodiscard]] const std::string& Expression() const { return expression_; }
    // Outside a run the caption is the expression, or "(none)" when it is empty.
    void SetExpression(const std::string& expression);
    // How numbers print (see ExpressionPrintText).
    [[nodiscard]] const std::string& Mask() const { return mask_; }
    void SetMask(const std::string& mask);
    // The report whose detail rows feed the aggregates; null: the control's own report, and only
    // when the expression aggregates. Not owned: it must outlive the control's run.
    [[nodiscard]] TRpReportModel* Master() const { return master_; }
    void SetMaster(TRpReportModel* master) { master_ = master; }
    // The aggregates start again after each finished print.
    bool ResetAfterPrint = false;

    [[nodiscard]] expr::TRpEvaluator& Evaluator() { return *evaluator_; }
    // The expression editor, once the editors have registered it.
    [[nodiscard]] TRpEditorFactory GetEditorClass() const override;

    // The label preparation, then the expression is prepared over the report's data sets and
    // environment (Functions), the control is told of the master's detail rows, and reset.
    void Prepare() override;
    // The evaluator is unprepared, the control no longer told of rows, the caption the
    // expression again.
    void Unprepare() override;
    // Operation 0 (a detail row) folds the row into the aggregates; 2 realigns.
    void Notify(const void* sender, int operation) override;
    // Prints the value as a label. Raises ERpError when the mask refuses the value, and as
    // TRpEvaluator::Value does.
    void Print(int ofsX, int ofsY) override;

private:
    void Unregister();

    std::unique_ptr<expr::TRpEvaluator> evaluator_;
    std::string expression_;
    std::string mask_;
    TRpReportModel* master_ = nullptr;
    // The controller telling the control of rows, while it does.
    TRpCustomController* notifier_ = nullptr;
    std::weak_ptr<TRpCustomController* const> notifierAlive_;
};

}  // namespace report::engine
