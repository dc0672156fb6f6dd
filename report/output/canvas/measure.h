// Text measuring on a fixed device, independent of the live screen.
#pragma once

#include "report/output/canvas/canvas.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace report::output {

// Every layout measures and records at this resolution, whatever the screen's.
inline constexpr int kMeasureDpi = 96;
// Device pixels per 0.1 mm of that resolution: the factor of recorded pages.
inline constexpr long double kRecordFactor = static_cast<long double>(kMeasureDpi) / 254.0L;
// Fonts are never made larger than this many pixels (a damaged page cannot ask for more).
inline constexpr int kMaxFontPixels = 16384;

// Pixel height of a font of `points` at `dpi`: MulDiv(points, dpi, 72).
[[nodiscard]] int FontPixelHeight(int points, int dpi);
// The pixel size a canvas at `dpi` draws `font` with: |FontPixelHeight| x scale, rounded half
// to even, kept within 1..kMaxFontPixels.
[[nodiscard]] int FontPixelSize(const FontSpec& font, int dpi, long double scale = 1);

// Measures text on a QImage of a fixed resolution, with one QFontMetricsF kept per font. Making
// a font costs about a millisecond (the font system is asked each time), so a document keeps one
// device for all its paints. The fonts kept are bounded, the least recently used one going
// first: each kept font holds Qt's font engines, and Qt walks all of them whenever it makes
// another, so thousands kept would make every new font slower. A canvas can leave a text out
// before asking for its font (see PainterCanvas).
class MeasureDevice {
public:
    static constexpr std::size_t kMaxFonts = 256;

    // Keeps up to `maxFonts` fonts (at least one).
    explicit MeasureDevice(int dpi = kMeasureDpi, std::size_t maxFonts = kMaxFonts);
    MeasureDevice(const MeasureDevice&) = delete;
    MeasureDevice& operator=(const MeasureDevice&) = delete;
    ~MeasureDevice();

    [[nodiscard]] int Dpi() const { return dpi_; }
    // Advance width of `text` (code page 1250), in whole pixels: the sum of the characters'
    // advances, rounded once.
    [[nodiscard]] int TextWidth(const FontSpec& font, std::string_view text, long double scale = 1);
    // The advances of `text` added one by one to `start`, unrounded: TextWidth is the rounding
    // of this from 0, so a line can be measured as it grows word by word.
    [[nodiscard]] long double AdvanceSum(const FontSpec& font, std::string_view text, long double start,
                                         long double scale = 1);
    // Ascent plus descent, in whole pixels.
    [[nodiscard]] int TextHeight(const FontSpec& font, long double scale = 1);
    // Distance from the cell's top to the baseline, in whole pixels.
    [[nodiscard]] int Ascent(const FontSpec& font, long double scale = 1);
    // The QFont the measurements are taken with (and a canvas at this dpi draws with).
    [[nodiscard]] const QFont& Font(const FontSpec& font, long double scale = 1);
    [[nodiscard]] const QFontMetricsF& Metrics(const FontSpec& font, long double scale = 1);
    // Fonts made so far, and kept now.
    [[nodiscard]] long long FontsMade() const { return fontsMade_; }
    [[nodiscard]] std::size_t FontsKept() const { return cache_.size(); }

private:
    struct Entry {
        std::string key;
        QFont font;
        std::unique_ptr<QFontMetricsF> metrics;
        // Advance of each code page 1250 byte, taken when first needed: a width is their
        // sum, as the original platform measures (no kerning, no ligatures), with no shaping.
        std::array<qreal, 256> advances{};
        std::bitset<256> known;
        // Ascent plus descent, rounded: asked for every line the layout prints.
        int height = 0;
    };
    Entry& Lookup(const FontSpec& font, long double scale);
    [[nodiscard]] std::string Key(const FontSpec& font, long double scale) const;

    int dpi_;
    std::size_t maxFonts_;
    QImage device_;
    std::list<Entry> used_;  // most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> cache_;
    long long fontsMade_ = 0;
    // The last font asked for: layout measures many texts in one font in a row.
    FontSpec lastSpec_;
    long double lastScale_ = 0;
    Entry* last_ = nullptr;
};

}  // namespace report::output
