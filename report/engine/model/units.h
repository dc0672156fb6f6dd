// Report units and the value holder that keeps report lengths in tenths of a millimetre and
// shows them in the unit the report is designed in.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace report::engine {

class TRpReportModel;

// Native means tenths of a millimetre.
enum class TRpUnit : std::uint8_t { MM = 0, Inches = 1, Pixels = 2, Characters = 3, Native = 4 };

// True when the system measures in US units: new pages then get Letter paper, half-inch margins
// and inches. Read once from the system locale.
[[nodiscard]] bool UsesUSMeasure();

// A set of lengths held in tenths of a millimetre (long double) and read and written in `Units`.
// Subclasses say how many values they hold and in which order the value list carries them.
class TRpUnitBase {
public:
    // Pixels are always those of the fixed 96-dpi design device, never the live screen, so a
    // length given in pixels means the same on every machine.
    static constexpr std::int32_t ScreenDPI = 96;

    // `usMeasure`: start in inches instead of millimetres.
    explicit TRpUnitBase(bool usMeasure = UsesUSMeasure());
    virtual ~TRpUnitBase() = default;
    TRpUnitBase(const TRpUnitBase&) = delete;
    TRpUnitBase& operator=(const TRpUnitBase&) = delete;

    TRpUnit Units = TRpUnit::MM;
    TRpUnit SavedUnits = TRpUnit::MM;
    // Whose font size defines Characters; set by the owner. Without one, size 10 is taken.
    TRpReportModel* ParentReport = nullptr;
    // Set while the holder resizes its control, so the resize does not come back into it.
    bool Updating = false;
    // Percentage used by Pixels; the report keeps it within 1..300.
    std::int32_t Zoom = 100;

    // `value` in tenths of a millimetre to `unit`; `horizontal` matters for Characters only.
    [[nodiscard]] long double ToUnits(TRpUnit unit, bool horizontal, long double value) const;
    // `value` in `unit` back to tenths of a millimetre.
    [[nodiscard]] long double FromUnits(TRpUnit unit, bool horizontal, long double value) const;

    [[nodiscard]] TRpUnit GetUnits() const { return Units; }
    virtual void SetUnits(TRpUnit unit) { Units = unit; }

    // Applies the values to the control the holder sizes.
    void Update() { ApplyToControl(); }
    virtual void ApplyToControl() {}

    // Pixels until EndPixels, which brings the previous unit back.
    void BeginPixels();
    void EndPixels();

    // The value list in the holder's own order (tenths of a millimetre). ReadValues takes at
    // most ValueCount() numbers; a shorter list leaves the remaining values as they are. Then
    // the values are applied to the control.
    void ReadValues(std::span<const long double> values);
    [[nodiscard]] std::vector<long double> WriteValues() const;
    // One of them: WriteValues()[index], 0 past the end (the layout asks for single page
    // values many times a row).
    [[nodiscard]] long double WriteValue(std::size_t index) const
    {
        return index < ValueCount() ? StoredValue(index) : 0;
    }

protected:
    [[nodiscard]] virtual std::size_t ValueCount() const { return 0; }
    [[nodiscard]] virtual long double StoredValue(std::size_t) const { return 0; }
    virtual void StoreValue(std::size_t, long double) {}

private:
    [[nodiscard]] long double CharacterFactor(bool horizontal) const;
};

// `prefix` followed by the smallest number from 1 up that names none of `names` (compared
// without regard to ASCII case, as component names are).
[[nodiscard]] std::string MakeUniqueName(std::span<const std::string> names, std::string_view prefix);

}  // namespace report::engine
