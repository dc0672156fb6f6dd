// How the report measures text for line breaking: on a fixed 96-dpi device, never on the
// printer, so a layout breaks its lines the same way whatever it is printed on.
#pragma once

#include "report/output/canvas/canvas.h"
#include "report/output/canvas/measure.h"
#include "report/output/canvas/rounding.h"

#include <cstddef>
#include <string_view>

namespace report::engine {

class TRpTextMeasurer {
public:
    TRpTextMeasurer() = default;
    TRpTextMeasurer(const TRpTextMeasurer&) = delete;
    TRpTextMeasurer& operator=(const TRpTextMeasurer&) = delete;
    virtual ~TRpTextMeasurer() = default;

    // Advance width of `text` (code page 1250) in `font`, in whole pixels; negative when it
    // cannot be measured.
    [[nodiscard]] virtual int TextWidth(const output::FontSpec& font, std::string_view text) = 0;
    // Height of one line of `font` in whole pixels; negative when it cannot be measured.
    [[nodiscard]] virtual int TextHeight(const output::FontSpec& font) = 0;

    // A line measured as it grows: what was summed of its first `length` bytes.
    struct LineSum {
        long double sum = 0;
        std::size_t length = 0;
    };
    // TextWidth of `text` when `sum` holds the measure of its start in the same font; `sum`
    // then holds all of `text`. A measurer that adds advances goes on from there; others
    // measure the whole text.
    [[nodiscard]] virtual int GrownTextWidth(const output::FontSpec& font, std::string_view text, LineSum& sum)
    {
        (void)sum;
        return TextWidth(font, text);
    }
};

// Measures on the 96-dpi measuring device.
class TRpDeviceMeasurer final : public TRpTextMeasurer {
public:
    [[nodiscard]] int TextWidth(const output::FontSpec& font, std::string_view text) override
    {
        return device_.TextWidth(font, text);
    }
    [[nodiscard]] int TextHeight(const output::FontSpec& font) override { return device_.TextHeight(font); }
    [[nodiscard]] int GrownTextWidth(const output::FontSpec& font, std::string_view text, LineSum& sum) override
    {
        if (sum.length > text.size())
            sum = {};
        sum.sum = device_.AdvanceSum(font, text.substr(sum.length), sum.sum);
        sum.length = text.size();
        return output::RoundHalfEvenInt(sum.sum);
    }

private:
    output::MeasureDevice device_;
};

}  // namespace report::engine
