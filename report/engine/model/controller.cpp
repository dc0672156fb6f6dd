#include "report/engine/model/controller.h"

#include "report/engine/model/controller_band.h"
#include "report/engine/model/flag_scope.h"
#include "report/engine/model/group.h"
#include "report/engine/model/printable.h"
#include "report/engine/model/report_model.h"
#include "report/expr/ev_environment.h"
#include "report/expr/rp_dataset.h"

#include <algorithm>
#include <exception>

namespace report::engine {
namespace {

expr::TRpEvEnvironment* FunctionsOf(TRpReportModel* report) { return report != nullptr ? &report->Functions : nullptr; }

// Every controller of `report`: its own, the ones placed with it, the controller bands'.
std::vector<TRpCustomController*> ControllersOf(const TRpReportModel& report)
{
    std::vector<TRpCustomController*> all{&report.Controller()};
    for (TRpCustomBand* band : report.OwnedBands()) {
        if (auto* owner = dynamic_cast<TRpControllerBand*>(band))
            all.push_back(&owner->Controller());
    }
    for (TRpCustomController* controller : report.Controllers())
        all.push_back(controller);
    return all;
}

}  // namespace

TRpCustomController::TRpCustomController(TRpReportModel* report, TRpBasePanel* parent)
    : Parent(parent != nullptr ? parent : report), ParentReport(report)
{}

TRpCustomController::~TRpCustomController()
{
    if (ParentReport != nullptr)
        ParentReport->RemoveController(*this);
}

bool TRpCustomController::CanBeMaster(const TRpBasePanel* panel)
{
    return dynamic_cast<const TRpReportModel*>(panel) != nullptr ||
           dynamic_cast<const TRpControllerBand*>(panel) != nullptr;
}

bool TRpCustomController::Drives(const TRpBasePanel* from, const TRpBasePanel* panel) const
{
    if (ParentReport == nullptr || from == nullptr)
        return false;
    const std::vector<TRpCustomController*> all = ControllersOf(*ParentReport);
    std::vector<const TRpBasePanel*> seen{from};
    for (std::size_t next = 0; next < seen.size(); ++next) {
        for (const TRpCustomController* controller : all) {
            if (controller->Master() != seen[next] || controller->Parent == nullptr)
                continue;
            if (controller->Parent == panel)
                return true;
            if (std::ranges::find(seen, controller->Parent) == seen.end())
                seen.push_back(controller->Parent);
        }
    }
    return false;
}

bool TRpCustomController::SetMaster(TRpBasePanel* master)
{
    if (master != nullptr) {
        if (!CanBeMaster(master) || master == Parent)
            return false;
        if (Drives(Parent, master))
            return false;
    }
    master_ = master;
    return true;
}

void TRpCustomController::Collect()
{
    if (collecting_)
        return;
    const FlagScope collecting(collecting_);
    beforeDetail_.clear();
    afterDetail_.clear();
    groups_.clear();
    if (ParentReport == nullptr)
        return;
    const auto take = [this](TRpCustomController& sub) {
        // A level collecting further up this path would collect this one again, for ever.
        if (&sub == this || sub.collecting_ || Parent == nullptr || sub.Master() != Parent)
            return;
        sub.ParentReport = ParentReport;
        (sub.PrintBefore() ? beforeDetail_ : afterDetail_).push_back(&sub);
        sub.Collect();
    };
    for (TRpCustomBand* band : ParentReport->OwnedBands()) {
        if (band->Destroying())
            continue;
        if (auto* owner = dynamic_cast<TRpControllerBand*>(band)) {
            take(owner->Controller());
        } else if (auto* group = dynamic_cast<TRpGroup*>(band); group != nullptr && group->Master() == Parent) {
            groups_.push_back(group);
        }
    }
    for (TRpCustomController* controller : ParentReport->Controllers())
        take(*controller);
    AfterCollect();
}

void TRpCustomController::PrepareLevel()
{
    std::vector<TRpCustomController*> prepared;
    std::vector<TRpGroup*> preparedGroups;
    try {
        for (const auto* list : {&beforeDetail_, &afterDetail_}) {
            for (TRpCustomController* sub : *list) {
                sub->Prepare();
                prepared.push_back(sub);
            }
        }
        for (TRpGroup* group : groups_) {
            preparedGroups.push_back(group);
            group->Prepare();
        }
    } catch (...) {
        for (TRpGroup* group : preparedGroups)
            group->Unprepare();
        for (TRpCustomController* sub : prepared)
            sub->Unprepare();
        throw;
    }
}

void TRpCustomController::Prepare()
{
    clients_.clear();
    PrepareLevel();
    NameEnv = nullptr;
    if (ParentReport != nullptr && Parent != nullptr) {
        if (const auto* band = dynamic_cast<const TRpCustomBand*>(Parent)) {
            NameEnv = ParentReport->Functions.EntryElement(band->Name);
        }
    }
}

void TRpCustomController::Unprepare()
{
    // Every level is unprepared even when one of them raises; the first error is passed on.
    std::exception_ptr first;
    for (const auto* list : {&beforeDetail_, &afterDetail_}) {
        for (TRpCustomController* sub : *list) {
            try {
                sub->Unprepare();
            } catch (...) {
                if (!first)
                    first = std::current_exception();
            }
        }
    }
    for (TRpGroup* group : groups_)
        group->Unprepare();
    NameEnv = nullptr;
    if (first)
        std::rethrow_exception(first);
}

void TRpCustomController::AddBands(std::vector<TRpCustomBand*>& list)
{
    AddLevelBands(list, nullptr, nullptr, nullptr);
}

void TRpCustomController::AddLevelBands(std::vector<TRpCustomBand*>& list, TRpCustomBand* header, TRpCustomBand* detail,
                                        TRpCustomBand* footer)
{
    if (ParentReport == nullptr || adding_)
        return;
    const FlagScope adding(adding_);
    ParentReport->AddBandAndChildren(header, list);
    for (TRpGroup* group : groups_)
        ParentReport->AddBandAndChildren(group, list);
    for (TRpCustomController* sub : beforeDetail_)
        sub->AddBands(list);
    ParentReport->AddBandAndChildren(detail, list);
    for (TRpCustomController* sub : afterDetail_)
        sub->AddBands(list);
    for (auto group = groups_.rbegin(); group != groups_.rend(); ++group) {
        ParentReport->AddBandAndChildren((*group)->FooterBand(), list);
    }
    ParentReport->AddBandAndChildren(footer, list);
}

void TRpCustomController::Notification(TRpCustomBand& band)
{
    if (master_ == &band)
        master_ = nullptr;
    std::erase(groups_, &band);
    // The level of a controller band goes with the band.
    const auto served = [&band](const TRpCustomController* sub) { return sub->Parent == &band; };
    std::erase_if(beforeDetail_, served);
    std::erase_if(afterDetail_, served);
}

void TRpCustomController::AddClient(TRpPrintable& client)
{
    if (std::ranges::find(clients_, &client) == clients_.end())
        clients_.push_back(&client);
}

void TRpCustomController::RemoveClient(const TRpPrintable& client) { std::erase(clients_, &client); }

void TRpCustomController::NotifyClients(int code)
{
    const std::vector<TRpPrintable*> clients = clients_;
    for (TRpPrintable* client : clients) {
        if (std::ranges::find(clients_, client) != clients_.end())
            client->Notify(this, code);
    }
}

// Forgets the data set when it is destroyed.
class TRpController::DataSetWatch final : public expr::TRpDataSetWatcher {
public:
    explicit DataSetWatch(TRpController& owner) : owner_(owner) {}
    DataSetWatch(const DataSetWatch&) = delete;
    DataSetWatch& operator=(const DataSetWatch&) = delete;
    ~DataSetWatch() = default;
    void DataSetGone(expr::TRpDataSet& dataSet) override
    {
        if (owner_.dataSet_ == &dataSet)
            owner_.dataSet_ = nullptr;
        // Collecting outside a run may have listed it with the report.
        if (owner_.ParentReport != nullptr)
            std::erase(owner_.ParentReport->DataSetList, &dataSet);
    }

private:
    TRpController& owner_;
};

TRpController::TRpController(TRpReportModel* report, TRpBasePanel* parent) : TRpCustomController(report, parent) {}

TRpController::~TRpController() { SetDataSet(nullptr); }

void TRpController::SetDataSet(expr::TRpDataSet* dataSet)
{
    if (dataSet == dataSet_)
        return;
    if (!watch_)
        watch_ = std::make_unique<DataSetWatch>(*this);
    if (dataSet_ != nullptr)
        dataSet_->StopWatching(*watch_);
    dataSet_ = dataSet;
    if (dataSet_ != nullptr)
        dataSet_->Watch(*watch_);
}

expr::TRpDataSet* TRpController::ActiveDataSet() const
{
    return dataSet_ != nullptr && dataSet_->Active() ? dataSet_ : nullptr;
}

void TRpController::AfterCollect()
{
    expr::TRpDataSet* active = ActiveDataSet();
    if (active == nullptr || ParentReport == nullptr)
        return;
    expr::TRpDataSetList& list = ParentReport->DataSetList;
    if (std::ranges::find(list, active) == list.end())
        list.push_back(active);
}

void TRpController::Prepare()
{
    TRpCustomController::Prepare();
    FillParams = false;
    expr::TRpEvEnvironment* functions = FunctionsOf(ParentReport);
    if (dataSet_ == nullptr || functions == nullptr)
        return;
    for (const expr::TRpParam& param : dataSet_->Params()) {
        if (functions->IndexOf(param.Name) >= 0) {
            FillParams = true;
            break;
        }
    }
}

void TRpController::AddBands(std::vector<TRpCustomBand*>& list) { AddLevelBands(list, Header, Detail, Footer); }

void TRpController::Notification(TRpCustomBand& band)
{
    TRpCustomController::Notification(band);
    for (TRpCustomBand** slot : {&Header, &Detail, &Footer}) {
        if (*slot == &band)
            *slot = nullptr;
    }
}

}  // namespace report::engine
