// Bands that run a data level of their own: the controller band, and the sub-detail, a
// sub-report printed before or after each detail row of its master with its own header and
// footer.
#pragma once

#include "report/engine/model/band.h"
#include "report/engine/model/controller.h"

#include <memory>

namespace report::expr {
class TRpDataSet;
}  // namespace report::expr

namespace report::engine {

class TRpControllerBand : public TRpCustomBand {
public:
    ~TRpControllerBand() override;

    // The band's own level: its parent is the band, its Detail the band itself.
    [[nodiscard]] TRpController& Controller() const { return *controller_; }
    // The report or controller band whose rows drive this band's level; not owned.
    [[nodiscard]] TRpBasePanel* Master() const { return Controller().Master(); }
    // Refused (false, nothing changes) as TRpCustomController::SetMaster refuses, which covers
    // a chain of masters leading back to this band.
    virtual bool SetMaster(TRpBasePanel* master);

    void SetParentReport(TRpReportModel* report) override;
    void Notification(TRpCustomBand& removed) override;

protected:
    explicit TRpControllerBand(TRpBandType type);

private:
    std::unique_ptr<TRpController> controller_;
};

class TRpSubDetail;

// The switches for a sub-detail's own header and footer band.
class TRpSubDetailGroupBands {
public:
    explicit TRpSubDetailGroupBands(TRpSubDetail& owner) : owner_(owner) {}
    TRpSubDetailGroupBands(const TRpSubDetailGroupBands&) = delete;
    TRpSubDetailGroupBands& operator=(const TRpSubDetailGroupBands&) = delete;

    [[nodiscard]] bool HasHeader() const;
    [[nodiscard]] bool HasFooter() const;
    // True makes a group header (footer) band on the sub-detail's report; False frees it.
    // Nothing without a report.
    void SetHasHeader(bool has);
    void SetHasFooter(bool has);

private:
    TRpSubDetail& owner_;
};

class TRpSubDetail : public TRpControllerBand {
public:
    TRpSubDetail();

    TRpSubDetailGroupBands Bands{*this};

    // All of them live in the band's controller.
    [[nodiscard]] TRpCustomBand* HeaderBand() const { return Controller().Header; }
    [[nodiscard]] TRpCustomBand* FooterBand() const { return Controller().Footer; }
    void SetHeaderBand(TRpCustomBand* band);
    void SetFooterBand(TRpCustomBand* band);
    [[nodiscard]] expr::TRpDataSet* DataSet() const { return Controller().DataSet(); }
    void SetDataSet(expr::TRpDataSet* dataSet) { Controller().SetDataSet(dataSet); }
    [[nodiscard]] TRpOnNeedDataEvent& OnNeedData() { return Controller().OnNeedData; }
    [[nodiscard]] bool PrintBefore() const { return Controller().PrintBefore(); }
    void SetPrintBefore(bool printBefore);
    [[nodiscard]] bool PrintIfEmpty() const { return Controller().PrintIfEmpty; }
    void SetPrintIfEmpty(bool printIfEmpty) { Controller().PrintIfEmpty = printIfEmpty; }
    // `client` is told of every row of the sub-detail.
    void AddClient(TRpPrintable& client) { Controller().AddClient(client); }

private:
    // The band list follows a change of the sub-detail's bands.
    void Relist();
};

}  // namespace report::engine
