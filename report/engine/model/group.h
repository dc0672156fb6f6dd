// A group: a header band printed whenever the value of its expression changes between two rows
// of its level, and the footer band printed when the group ends.
#pragma once

#include "report/engine/model/band.h"
#include "report/expr/ev_result.h"

#include <cstdint>
#include <memory>
#include <string>

namespace report::expr {
class TRpEvaluator;
}  // namespace report::expr

namespace report::engine {

class TRpGroup : public TRpCustomBand {
public:
    TRpGroup();
    ~TRpGroup() override;

    // The value that groups the rows.
    std::string Expression;
    // The header prints again at the top of each new column or page while the group is open.
    bool ReprintOnNewPage = false;

    // The footer band; it becomes a group footer. Not owned.
    [[nodiscard]] TRpCustomBand* FooterBand() const { return footer_; }
    void SetFooterBand(TRpCustomBand* band);
    // The report or controller band whose level the group belongs to; not owned. Placed on a
    // report without one, the group takes the report.
    [[nodiscard]] TRpBasePanel* Master() const { return master_; }
    void SetMaster(TRpBasePanel* master) { master_ = master; }

    // ---- Run state ----
    // The value changed at the last evaluation.
    bool Changed = false;
    // A first value exists.
    bool HasValue = false;
    // The header printed, the footer not yet.
    bool Open = false;
    expr::TRpEvResult LastValue;
    // The page on which the header printed last.
    std::int32_t HeaderPage = 1;

    // Prepares the expression over the run's data sets and the report's Functions.
    void Prepare();
    void Unprepare();
    // Changed := whether the value differs from LastValue (kind, or the value of the same kind
    // exactly; two errors are equal), which a change replaces. The first value always counts as
    // changed.
    void Evaluate();
    // Evaluates anew, stores the value and marks the group changed.
    void Restart();

    [[nodiscard]] bool GroupOpen() const override { return Open; }
    void SetParentReport(TRpReportModel* report) override;
    void Notification(TRpCustomBand& removed) override;

private:
    std::unique_ptr<expr::TRpEvaluator> evaluator_;
    TRpCustomBand* footer_ = nullptr;
    TRpBasePanel* master_ = nullptr;
};

}  // namespace report::engine
