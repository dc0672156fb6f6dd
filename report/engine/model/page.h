// The report's page set-up: paper, orientation, paper width and length, margins and columns.
#pragma once

#include "report/engine/model/units.h"
#include "report/output/printer/paper_sizes.h"

#include <array>
#include <cstdint>

namespace report::engine {

enum class TPrinterOrientation : std::uint8_t { poPortrait, poLandscape };

// The seven lengths, held in tenths of a millimetre and read and written in `Units` by index:
// 0 BottomMargin, 1 Length, 2 TopMargin (vertical), 3 Width, 4 LeftMargin, 5 RightMargin,
// 6 ColumnSpace (horizontal). The value list carries them in that order.
class TRpPage : public TRpUnitBase {
public:
    // The indices of the seven values.
    enum Index : int { kBottomMargin, kLength, kTopMargin, kWidth, kLeftMargin, kRightMargin, kColumnSpace };

    // A new page of `report` (may be null): metric systems get A4 with 10 mm margins in
    // millimetres, US systems Letter with half-inch margins in inches; one column.
    explicit TRpPage(TRpReportModel* report, bool usMeasure = UsesUSMeasure());

    // The value of `index` in `Units`; any index other than 0 to 5 reads ColumnSpace.
    [[nodiscard]] long double GetValue(int index) const;
    // Stores `value` given in `Units`. Width and Length are taken for Custom paper only; an
    // index outside 0 to 6 changes nothing. The report is resized, its bands laid out again.
    void SetValue(int index, long double value);

    [[nodiscard]] long double BottomMargin() const { return GetValue(kBottomMargin); }
    [[nodiscard]] long double Length() const { return GetValue(kLength); }
    [[nodiscard]] long double TopMargin() const { return GetValue(kTopMargin); }
    [[nodiscard]] long double Width() const { return GetValue(kWidth); }
    [[nodiscard]] long double LeftMargin() const { return GetValue(kLeftMargin); }
    [[nodiscard]] long double RightMargin() const { return GetValue(kRightMargin); }
    [[nodiscard]] long double ColumnSpace() const { return GetValue(kColumnSpace); }
    void SetBottomMargin(long double v) { SetValue(kBottomMargin, v); }
    void SetLength(long double v) { SetValue(kLength, v); }
    void SetTopMargin(long double v) { SetValue(kTopMargin, v); }
    void SetWidth(long double v) { SetValue(kWidth, v); }
    void SetLeftMargin(long double v) { SetValue(kLeftMargin, v); }
    void SetRightMargin(long double v) { SetValue(kRightMargin, v); }
    void SetColumnSpace(long double v) { SetValue(kColumnSpace, v); }

    [[nodiscard]] std::int32_t Columns() const { return columns_; }
    // Values below 1 are ignored.
    void SetColumns(std::int32_t columns);

    [[nodiscard]] TPrinterOrientation Orientation() const { return orientation_; }
    // Custom paper turns its width and length round; a standard paper takes its table size
    // for the new orientation. The report's printer settings take the orientation too.
    void SetOrientation(TPrinterOrientation orientation);

    [[nodiscard]] output::TRpPaperSize PaperSize() const { return paperSize_; }
    // A standard paper sets Width and Length from the paper table (turned for landscape);
    // Default and Custom keep the lengths.
    void SetPaperSize(output::TRpPaperSize paperSize);

    [[nodiscard]] bool Ruler() const { return ruler_; }
    // Taken only when the page has a report.
    void SetRuler(bool ruler);

    // Continuous paper: a page that exists is never broken by a fit test.
    bool Continuous = false;

    // The report this page sizes; also ParentReport for Characters.
    TRpReportModel* Report = nullptr;

    void SetUnits(TRpUnit unit) override;
    // The report's pixel size becomes the paper's at the page's zoom.
    void ApplyToControl() override;

protected:
    [[nodiscard]] std::size_t ValueCount() const override { return values_.size(); }
    [[nodiscard]] long double StoredValue(std::size_t i) const override { return values_[i]; }
    void StoreValue(std::size_t i, long double value) override { values_[i] = value; }

private:
    void LayoutBands();
    void Repaint();

    std::array<long double, 7> values_{};
    std::int32_t columns_ = 1;
    TPrinterOrientation orientation_ = TPrinterOrientation::poPortrait;
    output::TRpPaperSize paperSize_ = output::TRpPaperSize::Default;
    bool ruler_ = true;
};

}  // namespace report::engine
