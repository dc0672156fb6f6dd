// The preview window's toolbar pictures.
#pragma once

#include <QIcon>

namespace report::output {

inline constexpr int kPreviewGlyphCount = 15;

// Glyph `index` (0..14): 0 zoom to fit, 1 100 %, 2 zoom to width, 3 first page, 4 previous page,
// 5 next page, 6 last page, 7 printer set-up, 8 print, 9 load, 10 save, 11 search, 12 go to page,
// 13 cancel, 14 copy. An empty icon outside.
[[nodiscard]] QIcon PreviewGlyph(int index);

}  // namespace report::output
