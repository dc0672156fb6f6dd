#include "report/engine/model/units.h"

#include "report/engine/model/report_model.h"

#include <QLocale>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace report::engine {
namespace {

// The report's default font size, taken when there is no report or its size is 0.
constexpr long double kDefaultCharacterSize = 10;

bool SameNameIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

}  // namespace

bool UsesUSMeasure()
{
    static const bool us = QLocale::system().measurementSystem() == QLocale::ImperialUSSystem;
    return us;
}

TRpUnitBase::TRpUnitBase(bool usMeasure) : Units(usMeasure ? TRpUnit::Inches : TRpUnit::MM), SavedUnits(Units) {}

long double TRpUnitBase::CharacterFactor(bool horizontal) const
{
    long double size = ParentReport ? std::abs(static_cast<long double>(ParentReport->Font.points)) : 0;
    if (size == 0)
        size = kDefaultCharacterSize;
    return (horizontal ? 80.0L : 145.3L) / size / 2.54L;
}

long double TRpUnitBase::ToUnits(TRpUnit unit, bool horizontal, long double value) const
{
    switch (unit) {
    case TRpUnit::MM:
        return value / 10;
    case TRpUnit::Inches:
        return value / 254;
    case TRpUnit::Pixels:
        return value / (254.0L / ScreenDPI) * Zoom / 100;
    case TRpUnit::Characters:
        return value / CharacterFactor(horizontal) / 10;
    case TRpUnit::Native:
        return value;
    }
    return value;
}

long double TRpUnitBase::FromUnits(TRpUnit unit, bool horizontal, long double value) const
{
    switch (unit) {
    case TRpUnit::MM:
        return value * 10;
    case TRpUnit::Inches:
        return value * 254;
    case TRpUnit::Pixels:
        return 254.0L / ScreenDPI * value / Zoom * 100;
    case TRpUnit::Characters:
        return CharacterFactor(horizontal) * value * 10;
    case TRpUnit::Native:
        return value;
    }
    return value;
}

void TRpUnitBase::BeginPixels()
{
    SavedUnits = Units;
    Units = TRpUnit::Pixels;
}

void TRpUnitBase::EndPixels() { Units = SavedUnits; }

void TRpUnitBase::ReadValues(std::span<const long double> values)
{
    const std::size_t count = std::min(values.size(), ValueCount());
    for (std::size_t i = 0; i < count; ++i)
        StoreValue(i, values[i]);
    Update();
}

std::vector<long double> TRpUnitBase::WriteValues() const
{
    std::vector<long double> values;
    values.reserve(ValueCount());
    for (std::size_t i = 0; i < ValueCount(); ++i)
        values.push_back(StoredValue(i));
    return values;
}

std::string MakeUniqueName(std::span<const std::string> names, std::string_view prefix)
{
    for (std::size_t number = 1;; ++number) {
        std::string candidate = std::string(prefix) + std::to_string(number);
        const bool taken =
            std::ranges::any_of(names, [&](const std::string& n) { return SameNameIgnoringCase(n, candidate); });
        if (!taken)
            return candidate;
    }
}

}  // namespace report::engine
