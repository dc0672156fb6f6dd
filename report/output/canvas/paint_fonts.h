// The fonts one paint draws with, bounded in number: each font made costs a font engine that Qt
// keeps and walks whenever it makes another, so a page of texts in thousands of sizes would
// take seconds to show.
#pragma once

#include "report/output/canvas/canvas.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>

namespace report::output {

// The first kMaxFontsPerPaint distinct fonts of a paint (face, pixel size and styles) are drawn
// as asked; a text in a further font is drawn with the font of the paint nearest in size, of
// its own face and styles where the paint has one, scaled to the size asked. Ordinary pages,
// which use a handful of fonts, never come near the bound and look as they always did.
class PaintFonts {
public:
    // A page and its thumbnail together stay well inside the fonts a measuring device keeps
    // (MeasureDevice::kMaxFonts), so painting them again makes no font.
    static constexpr std::size_t kMaxFontsPerPaint = 64;

    struct Choice {
        FontSpec font;           // the font to measure and draw with (face, size and styles)
        long double scale = 1;   // its font scale
        long double factor = 1;  // the text is drawn this many times the chosen font's size
    };

    explicit PaintFonts(int dpi, std::size_t maxFonts = kMaxFontsPerPaint);

    // The font to draw `font` at `scale` with in this paint.
    [[nodiscard]] Choice Choose(const FontSpec& font, long double scale);
    // Distinct fonts drawn as asked so far.
    [[nodiscard]] std::size_t Made() const { return made_; }

private:
    struct Drawn {
        FontSpec font;
        long double scale;
    };
    // The fonts made, by face and styles, then by pixel size.
    using Sizes = std::map<int, Drawn>;
    [[nodiscard]] Choice ChooseAnew(const FontSpec& font, long double scale);
    [[nodiscard]] static std::string Family(const FontSpec& font);
    [[nodiscard]] static const Sizes::value_type* Nearest(const Sizes& sizes, int pixels);

    int dpi_;
    std::size_t max_;
    std::size_t made_ = 0;
    std::map<std::string, Sizes> families_;
    FontSpec lastFont_;
    long double lastScale_ = 0;
    std::optional<Choice> last_;
};

}  // namespace report::output
