// The one table that turns a report's font face into a font of this system. Canvases, text
// measuring and the PDF writer all take their fonts from here, so that they agree.
#pragma once

#include "report/output/canvas/canvas.h"

#include <QFont>
#include <QRawFont>
#include <QString>

#include <string_view>

namespace report::output {

// Family for a face name (code page 1250): "Arial" is Liberation Sans, "Times New Roman"
// Liberation Serif, "Courier New" Liberation Mono, "MS Sans Serif" and "Small Fonts" DejaVu
// Sans (letter case and surrounding blanks do not matter); any other name goes to fontconfig
// as it is.
[[nodiscard]] QString ResolveFontFamily(std::string_view face);
// The font to draw and measure `font` with at `pixelSize` device pixels: styles from the spec,
// kerning off, no hinting, so advances scale with the size.
[[nodiscard]] QFont MakeQFont(const FontSpec& font, int pixelSize);
// The same face as a raw font (outline tables, advances) at `pixelSize`.
[[nodiscard]] QRawFont MakeRawFont(const FontSpec& font, qreal pixelSize);

}  // namespace report::output
