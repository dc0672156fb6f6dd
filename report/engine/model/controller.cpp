#include "report/engine/model/controller.h"

#include "report/engine/model/controller_band.h"
#include "report/expr/ev_environment.h"
#include "report/engine/model/flag_scope.h"
#include "report/engine/model/group.h"
#include "report/engine/model/printable.h"
#include "report/engine/model/report.h"

#include <algorithm>
#include <exception>

namespace report::engine {
namespace {

// Every controller of `report`: its own, the ones placed with it, the controller bands'.
std::vector<TRpCustomController*> ControllersOf(const TCustomRpReport& report) {
    std::vector<TRpCustomController*> all{&report.Controller()};
    for (TRpCustomBand* band : report.OwnedBands()) {
        if (auto* owner = dynamic_cast<TRpControllerBand*>(band)) all.push_back(&owner->Controller());
    }
    for (TRpCustomController* controller : report.Controllers()) all.push_back(controller);
    return all;
}

}  // namespace

TRpCustomController::TRpCustomController(TCustomRpReport* report, TRpBasePanel* parent)
    : Parent(parent != nullptr ? parent : report), ParentReport(report) {}

TRpCustomController::~TRpCustomController() {
    if (ParentReport != nullptr) ParentReport->RemoveController(*this);
}

bool TRpCustomController::CanBeMaster(const TRpBasePanel* panel) {
    return dynamic_cast<const TCustomRpReport*>(panel) != nullptr ||
           dynamic_cast<const TRpControllerBand*>(panel) != nullptr;
}

bool TRpCustomController::Drives(const TRpBasePanel* from, const TRpBasePanel* panel) const {
    if (ParentReport == nullptr || from == nullptr) return false;
    const std::vector<TRpCustomController*> all = ControllersOf(*ParentReport);
    std::vector<const TRpBasePanel*> seen{from};
    for (std::size_t next = 0; next < seen.size(); ++next) {
        for (const TRpCustomController* controller : all) {
            if (controller->Master() != seen[next] || controller->Parent == nullptr) continue;
            if (controller->Parent == panel) return true;
            if (std::ranges::find(seen, controller->Parent) == seen.end()) seen.push_back(controller->Parent);
        }
    }
    return false;
}

bool TRpCustomController::SetMaster(TRpBasePanel* master) {
    if (master != nullptr) {
        if (!CanBeMaster(master) || master == Parent) return false;
        if (Drives(Parent, master)) return false;
    }
    master_ = master;
    return true;
}

void TRpCustomController::Collect() {
    if (collecting_) return;
    const FlagScope collecting(collecting_);
    beforeDetail_.clear();
    afterDetail_.clear();
    groups_.clear();
    if (ParentReport == nullptr) return;
    const auto take = [this](TRpCustomController& sub) {
        // A level collecting further up this path would collect this one again, for ever.
        if (&sub == this || sub.collecting_ || Parent == nullptr || sub.Master() != Parent) return;
        sub.ParentReport = ParentReport;
        (sub.PrintBefore() ? beforeDetail_ : afterDetail_).push_back(&sub);
        sub.Collect();
    };
    for (TRpCustomBand* band : ParentReport->OwnedBands()) {
        if (band->Destroying()) continue;
        if (auto* owner = dynamic_cast<TRpControllerBand*>(band)) {
            take(owner->Controller());
        } else if (auto* group = dynamic_cast<TRpGroup*>(band); group != nullptr && group->Master() == Parent) {
            groups_.push_back(group);
        }
    }
    for (TRpCustomController* controller : ParentReport->Controllers()) take(*controller);
    AfterCollect();
}

void TRpCustomController::PrepareLevel() {
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
        for (TRpGroup* group : preparedGroups) group->Unprepare();
        for (TRpCustomController* sub : prepared) sub->Unprepare();
        throw;
    }
}

void TRpCustomController::Prepare() {
    clients_.clear();
    PrepareLevel();
    NameEnv = nullptr;
    if (ParentReport != nullptr && Parent != nullptr) {
        if (const auto* band = dynamic_cast<const TRpCustomBand*>(Parent)) {
            NameEnv = ParentReport->Functions.EntryElement(band->Name);
        }
    }
}

void TRpCustomController::Unprepare() {
    // Every level is unprepared even when one of them raises; the first error is passed on.
    std::exception_ptr first;
    for (const auto* list : {&beforeDetail_, &afterDetail_}) {
        for (TRpCustomController* sub : *list) {
            try {
                sub->Unprepare();
            } catch (...) {
                if (!first) first = std::current_exception();
            }
        }
    }
    for (TRpGroup* group : groups_) group->Unprepare();
    NameEnv = nullptr;
    if (first) std::rethrow_exception(first);
}

void TRpCustomController::RunDataLoop() {
    if (ParentReport != nullptr && PrintIfEmpty) PrintEmptyPass();
}

void TRpCustomController::PrintEmptyPass() {
    PrintBeforeDetail();
    PrintAfterDetail();
}

void TRpCustomController::PrintBeforeDetail() {
    const std::vector<TRpCustomController*> subs = beforeDetail_;
    for (TRpCustomController* sub : subs) sub->RunDataLoop();
}

void TRpCustomController::PrintAfterDetail() {
    const std::vector<TRpCustomController*> subs = afterDetail_;
    for (TRpCustomController* sub : subs) sub->RunDataLoop();
}

void TRpCustomController::AddBands(std::vector<TRpCustomBand*>& list) {
    AddLevelBands(list, nullptr, nullptr, nullptr);
}

void TRpCustomController::AddLevelBands(std::vector<TRpCustomBand*>& list, TRpCustomBand* header,
                                        TRpCustomBand* detail, TRpCustomBand* footer) {
    if (ParentReport == nullptr || adding_) return;
    const FlagScope adding(adding_);
    ParentReport->AddBandAndChildren(header, list);
    for (TRpGroup* group : groups_) ParentReport->AddBandAndChildren(group, list);
    for (TRpCustomController* sub : beforeDetail_) sub->AddBands(list);
    ParentReport->AddBandAndChildren(detail, list);
    for (TRpCustomController* sub : afterDetail_) sub->AddBands(list);
    for (auto group = groups_.rbegin(); group != groups_.rend(); ++group) {
        ParentReport->AddBandAndChildren((*group)->FooterBand(), list);
    }
    ParentReport->AddBandAndChildren(footer, list);
}

void TRpCustomController::Notification(TRpCustomBand& band) {
    if (master_ == &band) master_ = nullptr;
    std::erase(groups_, &band);
    // The level of a controller band goes with the band.
    const auto served = [&band](const TRpCustomController* sub) { return sub->Parent == &band; };
    std::erase_if(beforeDetail_, served);
    std::erase_if(afterDetail_, served);
}

bool TRpCustomController::CheckGroups() {
    std::size_t changedAt = groups_.size();
    for (std::size_t i = 0; i < groups_.size(); ++i) {
        groups_[i]->Evaluate();
        if (groups_[i]->Changed) {
            changedAt = i;
            break;
        }
    }
    if (changedAt == groups_.size()) return false;
    for (std::size_t i = changedAt + 1; i < groups_.size(); ++i) groups_[i]->Restart();
    return true;
}

void TRpCustomController::PrintGroupHeaders() {
    for (TRpGroup* group : groups_) {
        if (!group->Changed) continue;
        ParentReport->OutputBand(group);
        group->Open = true;
        group->HeaderPage = ParentReport->PageNumber;
    }
}

void TRpCustomController::PrintGroupFooters() {
    for (auto it = groups_.rbegin(); it != groups_.rend(); ++it) {
        TRpGroup* group = *it;
        if (!group->Changed) continue;
        ParentReport->OutputBand(group->FooterBand());
        group->Open = false;
    }
}

void TRpCustomController::ReprintGroupHeaders() {
    if (ParentReport == nullptr) return;
    if (std::ranges::any_of(groups_, [](const TRpGroup* group) { return group->Changed; })) return;
    for (TRpCustomController* sub : beforeDetail_) sub->ReprintGroupHeaders();
    const std::int32_t page = ParentReport->PageNumber;
    std::size_t reprinted = groups_.size();
    for (std::size_t i = 0; i < groups_.size(); ++i) {
        TRpGroup& group = *groups_[i];
        if (group.ReprintOnNewPage && group.Open && group.HeaderPage != page) {
            group.Changed = true;
            group.HeaderPage = page;
            reprinted = i;
            break;
        }
        group.Changed = false;
    }
    if (reprinted < groups_.size()) {
        for (std::size_t i = reprinted + 1; i < groups_.size(); ++i) groups_[i]->Restart();
        PrintGroupHeaders();
    }
    for (TRpCustomController* sub : afterDetail_) sub->ReprintGroupHeaders();
}

void TRpCustomController::AddClient(TRpPrintable& client) {
    if (std::ranges::find(clients_, &client) == clients_.end()) clients_.push_back(&client);
}

void TRpCustomController::RemoveClient(const TRpPrintable& client) {
    std::erase(clients_, &client);
}

void TRpCustomController::NotifyClients(int code) {
    const std::vector<TRpPrintable*> clients = clients_;
    for (TRpPrintable* client : clients) {
        if (std::ranges::find(clients_, client) != clients_.end()) client->Notify(this, code);
    }
}

}  // namespace report::engine
