#include "report/engine/controller.h"

#include "report/engine/report.h"

namespace report::engine {

void TRpController::AddBands(std::vector<TRpCustomBand*>& list) {
    if (ParentReport == nullptr) return;
    for (TRpCustomBand* band : {Header, Detail, Footer}) ParentReport->AddBandAndChildren(band, list);
}

void TRpController::Notification(TRpCustomBand& band) {
    for (TRpCustomBand** slot : {&Header, &Detail, &Footer}) {
        if (*slot == &band) *slot = nullptr;
    }
}

}  // namespace report::engine
