#include "report/engine/controls/sysdata.h"

#include "report/engine/model/controller.h"
#include "report/engine/model/report_model.h"
#include "report/expr/rp_clock.h"

#include <optional>

namespace report::engine {
namespace {

// What the time and date read of a report that keeps no run values: nothing.
class NoRunValues final : public TRpReportValues {
public:
    [[nodiscard]] int PageNumber() const override { return 0; }
    [[nodiscard]] std::string ReportTitle() const override { return {}; }
    [[nodiscard]] std::optional<int> RecordCount() const override { return std::nullopt; }
    [[nodiscard]] std::optional<int> RecordNumber() const override { return std::nullopt; }
    [[nodiscard]] expr::TRpDataSetList* DataSetList() override { return nullptr; }
    [[nodiscard]] expr::TRpEvEnvironment* Functions() override { return nullptr; }
};

// The run values of the report a control is on; null when it has none or keeps none.
TRpReportValues* RunValues(TRpReportModel* report) { return report != nullptr ? report->RunValues() : nullptr; }

}  // namespace

// ---- TRpSysData ----

TRpSysData::TRpSysData() { ShowDisplayCaption(); }

void TRpSysData::ShowDisplayCaption() { SetCaption(SysDataDisplayCaption(text_, data_)); }

void TRpSysData::SetData(TRpSysDataType data)
{
    data_ = data;
    ShowDisplayCaption();
}

void TRpSysData::SetText(const std::string& text)
{
    text_ = text;
    ShowDisplayCaption();
}

void TRpSysData::Print(int ofsX, int ofsY)
{
    const TRpReportValues* values = RunValues(ParentReport());
    std::optional<std::string> caption;
    if (values != nullptr) {
        caption = SysDataPrintCaption(text_, data_, *values, expr::RpNow());
    } else if (data_ == rpsTime || data_ == rpsDate || data_ == rpsDateTime) {
        caption = SysDataPrintCaption(text_, data_, NoRunValues(), expr::RpNow());
    }
    if (caption)
        SetCaption(*caption);
    TRpCustomLabel::Print(ofsX, ofsY);
}

// ---- TRpExpr ----

TRpExpr::TRpExpr() : evaluator_(std::make_unique<expr::TRpEvaluator>()) { SetExpression({}); }

TRpExpr::~TRpExpr() { Unregister(); }

void TRpExpr::SetExpression(const std::string& expression)
{
    expression_ = expression;
    SetCaption(ExpressionDisplayCaption(expression_));
}

void TRpExpr::SetMask(const std::string& mask)
{
    mask_ = mask;
    SetExpression(std::string(expression_));
}

void TRpExpr::Unregister()
{
    // The controller may have gone first (controls on the report outlive its controller).
    if (notifier_ != nullptr && !notifierAlive_.expired())
        notifier_->RemoveClient(*this);
    notifier_ = nullptr;
    notifierAlive_.reset();
}

void TRpExpr::Prepare()
{
    TRpCustomLabel::Prepare();
    TRpReportValues* values = RunValues(ParentReport());
    evaluator_->SetDatasets(values != nullptr ? values->DataSetList() : nullptr);
    evaluator_->SetEnvironment(values != nullptr ? values->Functions() : nullptr);
    evaluator_->Prepare(expression_);
    // Told of rows once, by one controller, however often it is prepared.
    Unregister();
    TRpReportModel* source = master_;
    if (source == nullptr && evaluator_->HasAggregates())
        source = ParentReport();
    if (source != nullptr) {
        source->AddSubController(*this);
        notifier_ = &source->Controller();
        notifierAlive_ = notifier_->Handle();
    }
    evaluator_->Reset();
}

void TRpExpr::Unprepare()
{
    evaluator_->SetDatasets(nullptr);
    evaluator_->Unprepare();
    Unregister();
    TRpCustomLabel::Unprepare();
    SetExpression(std::string(expression_));
}

void TRpExpr::Notify(const void* sender, int operation)
{
    TRpCustomLabel::Notify(sender, operation);
    if (operation == kNotifyDetailRow && evaluator_->Prepared())
        (void)evaluator_->UpdateAggregates();
}

void TRpExpr::Print(int ofsX, int ofsY)
{
    if (!IsEnabled())
        return;
    // The value needs a prepared evaluator: a control asked to print outside a run prepares first.
    if (RpPrinter() == nullptr)
        Prepare();
    SetTextToPrint(ExpressionPrintText(evaluator_->Value(), mask_));
    TRpCustomLabel::Print(ofsX, ofsY);
    // Only once everything is printed: a continuation in the next column must print the rest
    // of the same value.
    if (ResetAfterPrint && PrintFinished)
        evaluator_->Reset();
}

TRpEditorFactory TRpExpr::GetEditorClass() const { return RegisteredEditorClass(typeid(TRpExpr)); }

}  // namespace report::engine
