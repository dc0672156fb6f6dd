#include "report/output/pdf/pdf_glyph_names.h"

#include "utility/cp1250.h"

#include <algorithm>
#include <iterator>

namespace report::output {
namespace {

struct GlyphEntry {
    char32_t unicode;
    std::string_view name;
};

constexpr GlyphEntry kGlyphs[] = {
#include "report/output/pdf/pdf_glyph_names_table.inc"
};

static_assert(std::is_sorted(std::begin(kGlyphs), std::end(kGlyphs),
                             [](const GlyphEntry& a, const GlyphEntry& b) { return a.unicode < b.unicode; }));

}  // namespace

std::string_view GlyphNameOf(char32_t unicode)
{
    const auto found = std::lower_bound(std::begin(kGlyphs), std::end(kGlyphs), unicode,
                                        [](const GlyphEntry& entry, char32_t value) { return entry.unicode < value; });
    return found != std::end(kGlyphs) && found->unicode == unicode ? found->name : std::string_view();
}

std::string_view Cp1250GlyphName(unsigned char code)
{
    const std::string_view name = GlyphNameOf(utility::Cp1250ToUnicode(code));
    return name.empty() ? std::string_view("space") : name;
}

}  // namespace report::output
