// The data-loop controller of a report level, as far as the band list needs it: which bands it
// prints, and that a band going away is no longer one of them.
#pragma once

#include <memory>
#include <vector>

namespace report::engine {

class TCustomRpReport;
class TRpCustomBand;
class TRpPrintable;

class TRpCustomController {
public:
    explicit TRpCustomController(TCustomRpReport* report) : ParentReport(report) {}
    virtual ~TRpCustomController() = default;
    TRpCustomController(const TRpCustomController&) = delete;
    TRpCustomController& operator=(const TRpCustomController&) = delete;

    // The report whose pages it fills; not owned.
    TCustomRpReport* ParentReport = nullptr;

    // Appends this level's bands, each followed by its child bands, to `list` (through the
    // report's AddBandAndChildren).
    virtual void AddBands(std::vector<TRpCustomBand*>& list) { (void)list; }
    // Finds this level's groups and sub-levels.
    virtual void Collect() {}
    // `band` goes: every reference to it is cleared.
    virtual void Notification(TRpCustomBand& band) { (void)band; }

    // Printables told of every detail row (the aggregates of expression controls); not owned.
    [[nodiscard]] const std::vector<TRpPrintable*>& Clients() const { return clients_; }
    // Appends `client`; one already there is not added twice.
    void AddClient(TRpPrintable& client);
    void RemoveClient(const TRpPrintable& client);
    // Every client's Notify(this controller, code), in the order they were added; a client that
    // one of them takes off is not told.
    void NotifyClients(int code);
    // Expires with the controller: a client keeping it knows whether it may still take itself off.
    [[nodiscard]] std::weak_ptr<TRpCustomController* const> Handle() const { return self_; }

private:
    std::vector<TRpPrintable*> clients_;
    std::shared_ptr<TRpCustomController* const> self_ = std::make_shared<TRpCustomController* const>(this);
};

class TRpController : public TRpCustomController {
public:
    using TRpCustomController::TRpCustomController;

    // Printed once before the rows, once per row, once after them; not owned.
    TRpCustomBand* Header = nullptr;
    TRpCustomBand* Detail = nullptr;
    TRpCustomBand* Footer = nullptr;

    void AddBands(std::vector<TRpCustomBand*>& list) override;
    void Notification(TRpCustomBand& band) override;
};

}  // namespace report::engine
