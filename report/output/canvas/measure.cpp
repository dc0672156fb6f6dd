#include "report/output/canvas/measure.h"

#include "report/output/canvas/font_resolver.h"
#include "report/output/canvas/rounding.h"
#include "utility/cp1250.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace report::output {

int FontPixelHeight(int points, int dpi) { return MulDiv(points, dpi, 72); }

int FontPixelSize(const FontSpec& font, int dpi, long double scale)
{
    const long double natural = std::abs(static_cast<long double>(font.points) * dpi / 72.0L);
    // MulDiv's rounding for the plain size, so the canvas and the layout agree exactly.
    const int plain = std::abs(FontPixelHeight(std::clamp(font.points, -kCoordinateLimit, kCoordinateLimit), dpi));
    const long double size = scale == 1 ? plain : natural * scale;
    if (!(size >= 1))
        return 1;
    if (size >= kMaxFontPixels)
        return kMaxFontPixels;
    return RoundHalfEvenInt(size);
}

MeasureDevice::MeasureDevice(int dpi, std::size_t maxFonts)
    : dpi_(dpi > 0 ? dpi : kMeasureDpi), maxFonts_(std::max<std::size_t>(1, maxFonts)),
      device_(1, 1, QImage::Format_ARGB32)
{
    const int dotsPerMeter = RoundHalfEvenInt(dpi_ / 0.0254L);
    device_.setDotsPerMeterX(dotsPerMeter);
    device_.setDotsPerMeterY(dotsPerMeter);
}

MeasureDevice::~MeasureDevice() = default;

std::string MeasureDevice::Key(const FontSpec& font, long double scale) const
{
    std::string key = font.face;
    key += '\t';
    key += std::to_string(FontPixelSize(font, dpi_, scale));
    key += font.bold ? 'B' : '-';
    key += font.italic ? 'I' : '-';
    key += font.underline ? 'U' : '-';
    key += font.strikeOut ? 'S' : '-';
    return key;
}

MeasureDevice::Entry& MeasureDevice::Lookup(const FontSpec& font, long double scale)
{
    if (last_ && scale == lastScale_ && font == lastSpec_)
        return *last_;
    std::string key = Key(font, scale);
    auto it = cache_.find(key);
    if (it != cache_.end()) {
        used_.splice(used_.begin(), used_, it->second);
    } else {
        if (cache_.size() >= maxFonts_) {
            cache_.erase(used_.back().key);
            used_.pop_back();
        }
        Entry& entry = used_.emplace_front();
        entry.key = key;
        entry.font = MakeQFont(font, FontPixelSize(font, dpi_, scale));
        entry.metrics = std::make_unique<QFontMetricsF>(entry.font, &device_);
        entry.height = RoundHalfEvenInt(static_cast<long double>(entry.metrics->ascent()) + entry.metrics->descent());
        ++fontsMade_;
        it = cache_.emplace(std::move(key), used_.begin()).first;
    }
    last_ = &*it->second;
    lastSpec_ = font;
    lastScale_ = scale;
    return *last_;
}

int MeasureDevice::TextWidth(const FontSpec& font, std::string_view text, long double scale)
{
    return RoundHalfEvenInt(AdvanceSum(font, text, 0, scale));
}

long double MeasureDevice::AdvanceSum(const FontSpec& font, std::string_view text, long double start, long double scale)
{
    Entry& entry = Lookup(font, scale);
    long double sum = start;
    for (const char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        if (!entry.known[b]) {
            entry.advances[b] =
                entry.metrics->horizontalAdvance(QChar(static_cast<char16_t>(utility::Cp1250ToUnicode(b))));
            entry.known[b] = true;
        }
        sum += entry.advances[b];
    }
    return sum;
}

int MeasureDevice::TextHeight(const FontSpec& font, long double scale) { return Lookup(font, scale).height; }

int MeasureDevice::Ascent(const FontSpec& font, long double scale)
{
    return RoundHalfEvenInt(Lookup(font, scale).metrics->ascent());
}

const QFont& MeasureDevice::Font(const FontSpec& font, long double scale) { return Lookup(font, scale).font; }

const QFontMetricsF& MeasureDevice::Metrics(const FontSpec& font, long double scale)
{
    return *Lookup(font, scale).metrics;
}

}  // namespace report::output
