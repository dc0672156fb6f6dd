#include "report/engine/model/group.h"

#include "report/engine/model/report_model.h"
#include "report/expr/evaluator.h"

namespace report::engine {
namespace {

bool SameValue(const expr::TRpEvResult& a, const expr::TRpEvResult& b)
{
    if (a.Kind != b.Kind)
        return false;
    switch (a.Kind) {
    case expr::rkInteger:
        return a.IntegerValue == b.IntegerValue;
    // Exact on purpose: 0.1 + 0.2 starts a new group after 0.3.
    case expr::rkFloat:
        return a.FloatValue == b.FloatValue;  // NOLINT(clang-diagnostic-float-equal)
    case expr::rkString:
        return a.StringValue == b.StringValue;
    case expr::rkBoolean:
        return a.BooleanValue == b.BooleanValue;
    case expr::rkError:
        return true;
    }
    return true;
}

}  // namespace

TRpGroup::TRpGroup() : TRpCustomBand(TRpBandType::rbGroupHeader), evaluator_(std::make_unique<expr::TRpEvaluator>()) {}

TRpGroup::~TRpGroup() = default;

void TRpGroup::SetFooterBand(TRpCustomBand* band)
{
    footer_ = band;
    if (auto* plain = dynamic_cast<TRpBand*>(band);
        plain != nullptr && plain->BandType() != TRpBandType::rbGroupFooter) {
        plain->SetBandType(TRpBandType::rbGroupFooter);
    }
    if (TRpReportModel* report = ParentReport(); report != nullptr && !report->IsLoading()) {
        report->RebuildBandList();
        report->LayoutBands();
    }
}

void TRpGroup::Prepare()
{
    TRpReportModel* report = ParentReport();
    evaluator_->SetDatasets(report != nullptr ? &report->DataSetList : nullptr);
    evaluator_->SetEnvironment(report != nullptr ? &report->Functions : nullptr);
    evaluator_->Prepare(Expression);
    HasValue = false;
    Changed = false;
    Open = false;
    HeaderPage = 1;
}

void TRpGroup::Unprepare() { evaluator_->Unprepare(); }

void TRpGroup::Evaluate()
{
    Changed = false;
    if (!HasValue) {
        Restart();
        return;
    }
    expr::TRpEvResult value = evaluator_->Value();
    if (SameValue(value, LastValue))
        return;
    LastValue = std::move(value);
    Changed = true;
}

void TRpGroup::Restart()
{
    LastValue = evaluator_->Value();
    Changed = true;
    HasValue = true;
}

void TRpGroup::SetParentReport(TRpReportModel* report)
{
    TRpCustomBand::SetParentReport(report);
    if (report != nullptr && master_ == nullptr)
        master_ = report;
}

void TRpGroup::Notification(TRpCustomBand& removed)
{
    TRpCustomBand::Notification(removed);
    if (footer_ == &removed)
        footer_ = nullptr;
    if (master_ == &removed)
        master_ = nullptr;
}

}  // namespace report::engine
