// The data-loop controller of a report level: where its rows come from (a data set's cursor or
// the OnNeedData event), its header, detail and footer bands, its groups and the sub-levels that
// hang on it. The run's paging (printing/) runs its data loop.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace report::expr {
class TRpDataSet;
class TRpEvElement;
}  // namespace report::expr

namespace report::engine {

class TRpReportModel;
class TRpBasePanel;
class TRpCustomBand;
class TRpGroup;
class TRpPrintable;

// What a controller tells its clients: a detail row prints (the aggregates fold it in).
inline constexpr int kNotifyDetailRow = 0;

// `moreData` starts True; setting it False ends the rows.
using TRpOnNeedDataEvent = std::function<void(TRpBasePanel& sender, bool& moreData)>;

class TRpCustomController {
public:
    // `parent` is the report or controller band served (null: `report`); the controller joins
    // neither's list of controllers, see TRpReportModel::AddController.
    explicit TRpCustomController(TRpReportModel* report, TRpBasePanel* parent = nullptr);
    virtual ~TRpCustomController();
    TRpCustomController(const TRpCustomController&) = delete;
    TRpCustomController& operator=(const TRpCustomController&) = delete;

    // The report or controller band this controller serves, the sender of OnNeedData; not owned.
    TRpBasePanel* Parent = nullptr;
    // The report whose pages it fills; not owned.
    TRpReportModel* ParentReport = nullptr;
    // One pass without data when there is none.
    bool PrintIfEmpty = true;
    // The entry of the report's Functions named like the parent; looked up by Prepare.
    expr::TRpEvElement* NameEnv = nullptr;

    // The report or controller band whose rows drive this level; not owned.
    [[nodiscard]] TRpBasePanel* Master() const { return master_; }
    // Refused (false, nothing changes) for anything but a report or a controller band, for
    // this controller's own parent, and for a master whose rows are, through any chain of
    // levels, driven by this level (collecting would never end). Null clears it.
    virtual bool SetMaster(TRpBasePanel* master);
    [[nodiscard]] bool PrintBefore() const { return printBefore_; }
    // Printed before its master's detail rows instead of after them.
    virtual void SetPrintBefore(bool printBefore) { printBefore_ = printBefore; }

    // The sub-levels printed before and after each detail row, and the groups, outer first;
    // rebuilt by Collect. Not owned.
    [[nodiscard]] const std::vector<TRpCustomController*>& BeforeDetail() const { return beforeDetail_; }
    [[nodiscard]] const std::vector<TRpCustomController*>& AfterDetail() const { return afterDetail_; }
    [[nodiscard]] const std::vector<TRpGroup*>& Groups() const { return groups_; }

    // Rebuilds the sub-level and group lists from the report's bands and controllers; each
    // sub-level collects its own. A level already being collected further up is left out.
    virtual void Collect();
    // What collecting adds; the base adds nothing.
    virtual void AfterCollect() {}
    // Before a run: clients emptied, sub-levels and groups prepared, NameEnv looked up.
    // Whatever raises, what was prepared is unprepared again.
    virtual void Prepare();
    // After a run: sub-levels and the groups' evaluators unprepared.
    virtual void Unprepare();
    // Appends this level's bands, each followed by its child bands, to `list`.
    virtual void AddBands(std::vector<TRpCustomBand*>& list);
    // `band` goes: every reference to it is cleared.
    virtual void Notification(TRpCustomBand& band);

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

protected:
    // Whether following the masters of the levels driven by `from` (and theirs) reaches `panel`.
    [[nodiscard]] bool Drives(const TRpBasePanel* from, const TRpBasePanel* panel) const;
    // A report or a controller band.
    [[nodiscard]] static bool CanBeMaster(const TRpBasePanel* panel);
    // Prepares the sub-levels and groups; what was prepared is unprepared when one raises.
    void PrepareLevel();
    // Header; groups; the sub-levels before; detail; the sub-levels after; the group footers,
    // inner first; footer.
    void AddLevelBands(std::vector<TRpCustomBand*>& list, TRpCustomBand* header, TRpCustomBand* detail,
                       TRpCustomBand* footer);

private:
    TRpBasePanel* master_ = nullptr;
    bool printBefore_ = false;
    bool collecting_ = false;
    bool adding_ = false;
    std::vector<TRpCustomController*> beforeDetail_;
    std::vector<TRpCustomController*> afterDetail_;
    std::vector<TRpGroup*> groups_;
    std::vector<TRpPrintable*> clients_;
    std::shared_ptr<TRpCustomController* const> self_ = std::make_shared<TRpCustomController* const>(this);
};

class TRpController : public TRpCustomController {
public:
    explicit TRpController(TRpReportModel* report, TRpBasePanel* parent = nullptr);
    ~TRpController() override;

    // Printed once before the rows, once per row, once after them; not owned.
    TRpCustomBand* Header = nullptr;
    TRpCustomBand* Detail = nullptr;
    TRpCustomBand* Footer = nullptr;
    // The row source when no data set is active.
    TRpOnNeedDataEvent OnNeedData;
    // The rows OnNeedData gives, when its owner knows them beforehand: the progress is then the
    // rows printed of these. 0: not known, the progress steps by 2 a row.
    std::int32_t NeedDataRows = 0;
    // Rows printed so far by the current (or last) data loop of this level.
    [[nodiscard]] std::int32_t DetailNumber() const { return detailNumber_; }
    // Set by Prepare: the data set has a parameter named like an entry of the report's Functions.
    bool FillParams = false;

    // The rows' data set; not owned, forgotten when it is destroyed.
    [[nodiscard]] expr::TRpDataSet* DataSet() const { return dataSet_; }
    void SetDataSet(expr::TRpDataSet* dataSet);
    // The data set when it is active, else null.
    [[nodiscard]] expr::TRpDataSet* ActiveDataSet() const;

    void AfterCollect() override;
    void Prepare() override;
    void AddBands(std::vector<TRpCustomBand*>& list) override;
    void Notification(TRpCustomBand& band) override;

private:
    friend class TRpPrintRun;
    class DataSetWatch;

    std::int32_t detailNumber_ = 0;
    expr::TRpDataSet* dataSet_ = nullptr;
    std::unique_ptr<DataSetWatch> watch_;
};

}  // namespace report::engine
