// The height and width of a band.
#pragma once

#include "report/engine/model/units.h"

#include <QRect>

namespace report::engine {

// Index 0 is Height, 1 Width; the value list is (Height, Width).
class TRpBandSize : public TRpUnitBase {
public:
    explicit TRpBandSize(bool usMeasure = UsesUSMeasure()) : TRpUnitBase(usMeasure) {}

    // Tenths of a millimetre.
    long double Height = 20;
    long double Width = 40;
    // The pixel rectangle of the band this size belongs to; bands are not widgets, so the band
    // keeps its bounds as a value and the size writes into it. Null until a band takes it.
    QRect* Band = nullptr;

    // The value of `index` in `Units`; an index other than 0 and 1 reads 0.
    [[nodiscard]] long double GetValue(int index) const;
    // Stores `value` given in `Units` and applies it to the band; other indices change nothing.
    void SetValue(int index, long double value);

    // The band keeps its left and top and takes the width and height in 96-dpi pixels.
    void ApplyToControl() override;

protected:
    [[nodiscard]] std::size_t ValueCount() const override { return 2; }
    [[nodiscard]] long double StoredValue(std::size_t i) const override { return i == 0 ? Height : Width; }
    void StoreValue(std::size_t i, long double value) override { (i == 0 ? Height : Width) = value; }
};

}  // namespace report::engine
