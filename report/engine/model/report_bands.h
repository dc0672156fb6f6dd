// The report's band switches: whether it has a Title, page header, column header, Detail, page
// footer and Summary band, and the band of each.
#pragma once

#include "report/engine/model/band.h"

namespace report::engine {

class TRpReportModel;

class TRpReportBands {
public:
    explicit TRpReportBands(TRpReportModel& report) : report_(report) {}
    TRpReportBands(const TRpReportBands&) = delete;
    TRpReportBands& operator=(const TRpReportBands&) = delete;

    // The first band of the report's band list of the index's type: 1 Title, 2 page header,
    // 3 column header, 4 Detail, 6 page footer, any other index but 5 Summary; 5 is always null.
    // Enabled or not makes no difference.
    [[nodiscard]] TRpCustomBand* Band(int index) const;
    [[nodiscard]] bool Has(int index) const { return Band(index) != nullptr; }
    // True makes a band of the index's type when there is none; False frees the one Band finds.
    // Index 5 changes nothing.
    void SetHas(int index, bool has);

    [[nodiscard]] bool HasTitle() const { return Has(1); }
    [[nodiscard]] bool HasPageHeader() const { return Has(2); }
    [[nodiscard]] bool HasColumnHeader() const { return Has(3); }
    [[nodiscard]] bool HasDetail() const { return Has(4); }
    [[nodiscard]] bool HasPageFooter() const { return Has(6); }
    [[nodiscard]] bool HasSummary() const { return Has(7); }
    void SetHasTitle(bool has) { SetHas(1, has); }
    void SetHasPageHeader(bool has) { SetHas(2, has); }
    void SetHasColumnHeader(bool has) { SetHas(3, has); }
    void SetHasDetail(bool has) { SetHas(4, has); }
    void SetHasPageFooter(bool has) { SetHas(6, has); }
    void SetHasSummary(bool has) { SetHas(7, has); }

private:
    TRpReportModel& report_;
};

// A new band of `type` on `report`, named with the type's name prefix and the smallest number
// no band or control of the report carries.
TRpBand& CreateBand(TRpReportModel& report, TRpBandType type);

}  // namespace report::engine
