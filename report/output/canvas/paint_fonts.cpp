#include "report/output/canvas/paint_fonts.h"

#include "report/output/canvas/measure.h"

#include <algorithm>
#include <cstdlib>

namespace report::output {

PaintFonts::PaintFonts(int dpi, std::size_t maxFonts) : dpi_(dpi), max_(std::max<std::size_t>(1, maxFonts)) {}

std::string PaintFonts::Family(const FontSpec& font)
{
    std::string family = font.face;
    family += '\t';
    family += font.bold ? 'B' : '-';
    family += font.italic ? 'I' : '-';
    family += font.underline ? 'U' : '-';
    family += font.strikeOut ? 'S' : '-';
    return family;
}

const PaintFonts::Sizes::value_type* PaintFonts::Nearest(const Sizes& sizes, int pixels)
{
    if (sizes.empty())
        return nullptr;
    const auto above = sizes.lower_bound(pixels);
    if (above == sizes.begin())
        return &*above;
    const auto below = std::prev(above);
    if (above == sizes.end() || pixels - below->first <= above->first - pixels)
        return &*below;
    return &*above;
}

PaintFonts::Choice PaintFonts::Choose(const FontSpec& font, long double scale)
{
    // A page draws many texts in a row in one font.
    if (last_ && scale == lastScale_ && font == lastFont_)
        return *last_;
    Choice choice = ChooseAnew(font, scale);
    lastFont_ = font;
    lastScale_ = scale;
    last_ = choice;
    return choice;
}

PaintFonts::Choice PaintFonts::ChooseAnew(const FontSpec& font, long double scale)
{
    const int pixels = FontPixelSize(font, dpi_, scale);
    Sizes& sizes = families_[Family(font)];
    if (sizes.contains(pixels))
        return {font, scale, 1};
    if (made_ < max_) {
        sizes.emplace(pixels, Drawn{font, scale});
        ++made_;
        return {font, scale, 1};
    }
    // Past the bound: the nearest size of the face and styles, else of any font of the paint.
    const Sizes::value_type* nearest = Nearest(sizes, pixels);
    if (!nearest) {
        families_.erase(Family(font));
        for (const auto& [family, others] : families_) {
            const Sizes::value_type* candidate = Nearest(others, pixels);
            if (!nearest || std::abs(candidate->first - pixels) < std::abs(nearest->first - pixels))
                nearest = candidate;
        }
    }
    return {nearest->second.font, nearest->second.scale,
            static_cast<long double>(pixels) / static_cast<long double>(nearest->first)};
}

}  // namespace report::output
