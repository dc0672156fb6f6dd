#include "report/engine/model/band_size.h"

#include "report/output/canvas/rounding.h"

namespace report::engine {

long double TRpBandSize::GetValue(int index) const
{
    if (index == 0)
        return ToUnits(Units, false, Height);
    if (index == 1)
        return ToUnits(Units, true, Width);
    return 0;
}

void TRpBandSize::SetValue(int index, long double value)
{
    if (index != 0 && index != 1)
        return;
    StoreValue(static_cast<std::size_t>(index), FromUnits(Units, index == 1, value));
    ApplyToControl();
}

void TRpBandSize::ApplyToControl()
{
    if (Band == nullptr || Updating)
        return;
    Updating = true;
    *Band = QRect(Band->left(), Band->top(), output::RoundHalfEvenInt(ToUnits(TRpUnit::Pixels, true, Width)),
                  output::RoundHalfEvenInt(ToUnits(TRpUnit::Pixels, false, Height)));
    Updating = false;
}

}  // namespace report::engine
