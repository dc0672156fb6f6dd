#include "report/engine/controller.h"

#include "report/engine/printable.h"
#include "report/engine/report.h"

#include <algorithm>

namespace report::engine {

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
