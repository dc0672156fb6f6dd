#include "report/engine/model/print_run.h"

#include "report/engine/model/band.h"
#include "report/engine/model/controller.h"
#include "report/engine/model/report_model.h"

namespace report::engine {

TRpPrintRun::TRpPrintRun(TRpReportModel& report) : report_(report), previous_(report.printRun_)
{
    report.printRun_ = this;
}

TRpPrintRun::~TRpPrintRun()
{
    if (report_.printRun_ == this) {
        report_.printRun_ = previous_;
        return;
    }
    // Ended before a run attached after it: that one gives way to the run before this one.
    for (TRpPrintRun* run = report_.printRun_; run != nullptr; run = run->previous_) {
        if (run->previous_ == this) {
            run->previous_ = previous_;
            return;
        }
    }
}

void TRpPrintRun::SetExpanded(TRpCustomBand& band, long double expanded) { band.expanded_ = expanded; }

void TRpPrintRun::SetDetailController(TRpCustomBand& band, TRpCustomController* controller)
{
    band.detailController_ = controller;
}

void TRpPrintRun::SetDetailNumber(TRpController& controller, std::int32_t number) { controller.detailNumber_ = number; }

}  // namespace report::engine
