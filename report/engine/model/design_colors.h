// The colours and line styles of the design view: ruler grid, ruler font, margins and columns,
// band outlines. Two schemes: one for displays with more than 256 colours, one for palettes.
#pragma once

#include "report/output/canvas/canvas.h"

#include <QRgb>

namespace report::engine {

struct TRpDesignScheme {
    output::PenStyle lightGridStyle = output::PenStyle::Solid;
    output::PenStyle heavyGridStyle = output::PenStyle::Solid;
    QRgb lightGridColor = qRgb(249, 249, 249);
    QRgb heavyGridColor = qRgb(240, 240, 240);
    output::FontSpec rulerFont{.face = "Small Fonts", .points = 6, .color = qRgb(112, 112, 112)};
    output::PenStyle marginStyle = output::PenStyle::Dot;
    QRgb marginColor = qRgb(128, 128, 255);
    output::PenStyle outlineStyle = output::PenStyle::Dot;
    QRgb outlineColor = qRgb(96, 96, 96);
};

[[nodiscard]] inline TRpDesignScheme HighColorDesignScheme() { return {}; }

[[nodiscard]] inline TRpDesignScheme PaletteDesignScheme()
{
    TRpDesignScheme s;
    s.lightGridStyle = output::PenStyle::Dot;
    s.lightGridColor = qRgb(192, 192, 192);
    s.heavyGridColor = qRgb(192, 192, 192);
    s.rulerFont.color = qRgb(192, 192, 192);
    s.marginStyle = output::PenStyle::Dash;
    s.marginColor = qRgb(128, 128, 128);
    s.outlineStyle = output::PenStyle::Solid;
    s.outlineColor = qRgb(128, 128, 128);
    return s;
}

}  // namespace report::engine
