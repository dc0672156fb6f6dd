// The data loop of a controller with bands: rows from a data set's cursor or from OnNeedData.
#include "report/engine/model/controller.h"

#include "report/expr/ev_environment.h"
#include "report/engine/model/group.h"
#include "report/engine/printing/query_params.h"
#include "report/engine/model/report.h"
#include "report/expr/rp_dataset.h"
#include "report/output/printer/rp_printer.h"

#include <QCoreApplication>

#include <algorithm>

namespace report::engine {
namespace {

// Window messages are handled in the middle of a run: the progress window's Cancel, the
// preview's paint and close.
void ProcessMessages() {
    if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

expr::TRpEvEnvironment* FunctionsOf(TCustomRpReport* report) { return report != nullptr ? &report->Functions : nullptr; }

}  // namespace

// Forgets the data set when it is destroyed.
class TRpController::DataSetWatch final : public expr::TRpDataSetWatcher {
public:
    explicit DataSetWatch(TRpController& owner) : owner_(owner) {}
    DataSetWatch(const DataSetWatch&) = delete;
    DataSetWatch& operator=(const DataSetWatch&) = delete;
    ~DataSetWatch() = default;
    void DataSetGone(expr::TRpDataSet& dataSet) override {
        if (owner_.dataSet_ == &dataSet) owner_.dataSet_ = nullptr;
        // Collecting outside a run may have listed it with the report.
        if (owner_.ParentReport != nullptr) std::erase(owner_.ParentReport->DataSetList, &dataSet);
    }

private:
    TRpController& owner_;
};

TRpController::TRpController(TCustomRpReport* report, TRpBasePanel* parent) : TRpCustomController(report, parent) {}

TRpController::~TRpController() { SetDataSet(nullptr); }

void TRpController::SetDataSet(expr::TRpDataSet* dataSet) {
    if (dataSet == dataSet_) return;
    if (!watch_) watch_ = std::make_unique<DataSetWatch>(*this);
    if (dataSet_ != nullptr) dataSet_->StopWatching(*watch_);
    dataSet_ = dataSet;
    if (dataSet_ != nullptr) dataSet_->Watch(*watch_);
}

expr::TRpDataSet* TRpController::ActiveDataSet() const {
    return dataSet_ != nullptr && dataSet_->Active() ? dataSet_ : nullptr;
}

void TRpController::AfterCollect() {
    expr::TRpDataSet* active = ActiveDataSet();
    if (active == nullptr || ParentReport == nullptr) return;
    expr::TRpDataSetList& list = ParentReport->DataSetList;
    if (std::ranges::find(list, active) == list.end()) list.push_back(active);
}

void TRpController::Prepare() {
    TRpCustomController::Prepare();
    FillParams = false;
    expr::TRpEvEnvironment* functions = FunctionsOf(ParentReport);
    if (dataSet_ == nullptr || functions == nullptr) return;
    for (const expr::TRpParam& param : dataSet_->Params()) {
        if (functions->IndexOf(param.Name) >= 0) {
            FillParams = true;
            break;
        }
    }
}

void TRpController::AddBands(std::vector<TRpCustomBand*>& list) { AddLevelBands(list, Header, Detail, Footer); }

void TRpController::Notification(TRpCustomBand& band) {
    TRpCustomController::Notification(band);
    for (TRpCustomBand** slot : {&Header, &Detail, &Footer}) {
        if (*slot == &band) *slot = nullptr;
    }
}

void TRpController::PrintEmptyPass() {
    if (ParentReport == nullptr) return;
    ParentReport->OutputBand(Header);
    PrintBeforeDetail();
    ParentReport->OutputBand(Detail);
    PrintAfterDetail();
    ParentReport->OutputBand(Footer);
}

bool TRpController::FetchFirst(bool& moreData) {
    if (expr::TRpDataSet* data = ActiveDataSet()) {
        if (FillParams) {
            if (expr::TRpEvEnvironment* functions = FunctionsOf(ParentReport)) FillQueryParams(*data, *functions);
        }
        data->First();
        moreData = !data->Eof();
        if (!moreData && PrintIfEmpty) {
            PrintEmptyPass();
            return false;
        }
        return true;
    }
    if (OnNeedData) OnNeedData(Parent != nullptr ? *Parent : *ParentReport, moreData);
    return true;
}

void TRpController::PrintStart() {
    TCustomRpReport& report = *ParentReport;
    const bool own = this == &report.Controller();
    if (Header != nullptr) {
        report.OutputBand(Header);
        if (own) report.SkipForceNewPage = true;
    }
    if (own && (report.PageNumber <= 1 || report.PartOfJob)) {
        TRpCustomBand* columnHeader = report.Bands.Band(3);
        if (columnHeader != nullptr && columnHeader->Enabled()) {
            report.OutputBand(columnHeader);
            report.SkipForceNewPage = true;
        }
    }
}

void TRpController::FetchNext(bool& moreData) {
    if (expr::TRpDataSet* data = ActiveDataSet()) {
        data->Next();
        moreData = !data->Eof();
        return;
    }
    moreData = false;
    if (OnNeedData) OnNeedData(Parent != nullptr ? *Parent : *ParentReport, moreData);
}

void TRpController::FinishGroupsOfRow(bool changed) {
    if (!changed) return;
    // The footers see the last row of the group they close.
    if (expr::TRpDataSet* data = ActiveDataSet()) {
        data->Prior();
        PrintGroupFooters();
        data->Next();
    } else {
        PrintGroupFooters();
    }
}

// The data loop reads the report's record count here: the run calls into the loop, never back.
std::int32_t TRpReport::RecordCount() const {
    const expr::TRpDataSet* data = Controller().ActiveDataSet();
    return data != nullptr ? data->RecordCount() : 1;
}

int TRpController::NextProgress(int progress, std::int32_t recordCount) const {
    const auto* report = dynamic_cast<const TRpReport*>(ParentReport);
    expr::TRpDataSet* data = ActiveDataSet();
    if (report != nullptr && data != nullptr && data == report->Controller().DataSet() && recordCount != 0 &&
        report->RpPrinter != nullptr) {
        return static_cast<int>(static_cast<std::int64_t>(DetailNumber) * 100 / recordCount);
    }
    // Rows known beforehand: rows printed of rows, as for a data set. Stepping by 2 and starting
    // over above 100 would run the bar through its whole length again and again on a long run.
    if (data == nullptr && NeedDataRows > 0 && OnNeedData) {
        return static_cast<int>(std::min<std::int64_t>(static_cast<std::int64_t>(DetailNumber) * 100 / NeedDataRows, 100));
    }
    progress += 2;
    return progress > 100 ? 5 : progress;
}

void TRpController::PrintLevelFooter() {
    if (Footer == nullptr) return;
    TCustomRpReport& report = *ParentReport;
    if (report.PageNumber == 0) report.StartNewPage();
    if (Footer->Size.Height > report.AvailableSpace()) report.StartNewColumn();
    report.OutputBand(Footer);
}

void TRpController::RunDataLoop() {
    // Without a report nothing can print, not even the empty pass.
    if (ParentReport == nullptr) return;
    TCustomRpReport& report = *ParentReport;
    bool moreData = true;
    std::int32_t recordCount = 1;
    for (TRpGroup* group : Groups()) group->HasValue = false;
    if (ActiveDataSet() == nullptr && !OnNeedData) {
        if (PrintIfEmpty) PrintEmptyPass();
        return;
    }
    if (ActiveDataSet() != nullptr) {
        if (const auto* own = dynamic_cast<const TRpReport*>(&report)) recordCount = own->RecordCount();
    }
    if (!FetchFirst(moreData)) return;
    DetailNumber = 0;
    if (Detail != nullptr) Detail->Controller = this;
    if (!moreData) return;
    ProcessMessages();
    if (report.Cancelled) return;
    PrintStart();
    (void)CheckGroups();
    // A sub-level starting must not swallow a stop asked for during its master's row.
    if (this == &report.Controller()) report.StopRequested = false;
    int progress = 0;
    // A row that leaves the figure as it was posts nothing.
    int posted = -1;
    while (moreData) {
        ProcessMessages();
        if (report.Cancelled || (report.RpPrinter != nullptr && report.RpPrinter->Cancelled())) return;
        ++DetailNumber;
        PrintGroupHeaders();
        PrintBeforeDetail();
        report.OutputBand(Detail);
        PrintAfterDetail();
        FetchNext(moreData);
        FinishGroupsOfRow(CheckGroups());
        progress = NextProgress(progress, recordCount);
        if (report.RpPrinter != nullptr && (progress != posted || report.RpPrinter->Progress() != progress)) {
            report.RpPrinter->SetProgress(progress);
            posted = progress;
        }
        moreData = moreData && !report.StopRequested;
        if (report.PagesInPreview > 0 && report.RpPrinter != nullptr) {
            moreData = moreData && report.RpPrinter->PageCount() <= report.PagesInPreview;
        }
    }
    if (report.RpPrinter != nullptr) report.RpPrinter->SetProgress(100);
    // Groups whose footer the last row printed are done; every other one closes now.
    for (TRpGroup* group : Groups()) group->Changed = !group->Changed;
    PrintGroupFooters();
    PrintLevelFooter();
}

}  // namespace report::engine
