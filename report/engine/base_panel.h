// What bands and the report share: a frame, a background colour, a zoom, and the design view
// (background, ruler grid) drawn on a report canvas in the panel's own pixel coordinates.
#pragma once

#include "report/engine/frame.h"
#include "report/engine/units.h"
#include "report/output/canvas.h"

#include <QRect>
#include <QRgb>

#include <cstdint>

namespace report::engine {

class TCustomRpReport;

class TRpBasePanel {
public:
    TRpBasePanel();
    virtual ~TRpBasePanel() = default;
    TRpBasePanel(const TRpBasePanel&) = delete;
    TRpBasePanel& operator=(const TRpBasePanel&) = delete;

    // Drawn around the panel when it prints; its changes mark the panel for drawing again.
    TRpFrame Frame;
    QRgb Color = qRgb(255, 255, 255);
    // Sizes the cells of the Characters grid; set to the report's font size before the ruler
    // is drawn.
    std::int32_t RulerFontSize = 12;

    [[nodiscard]] std::int32_t Zoom() const { return zoom_; }
    // Percent; 0 and below are ignored.
    virtual void SetZoom(std::int32_t zoom);

    [[nodiscard]] bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    // The panel's area in its own pixels: (0, 0, width, height).
    [[nodiscard]] virtual QRect ClientRect() const = 0;
    // The report whose page and design colours the panel is drawn with; null when it has none.
    [[nodiscard]] virtual const TCustomRpReport* PanelReport() const = 0;
    // Marks the design view for drawing again.
    virtual void Repaint() {}

    // Design view only. The grid of `units` over the client area, when the page shows a ruler:
    // quarter inches (every fourth heavy), 5 mm (every second heavy) or character cells of a
    // font of RulerFontSize; light lines only above zoom 49 (inches) or 59 (millimetres).
    virtual void DrawRuler(output::Canvas& canvas, TRpUnit units);
    // Fills the client area with Color, or silver when the panel is disabled.
    virtual void Paint(output::Canvas& canvas);

protected:
    // The grid of DrawRuler in the current pen and font; `numbered` writes the inch or the
    // centimetre at each heavy line.
    void DrawGrid(output::Canvas& canvas, TRpUnit units, bool numbered) const;

    std::int32_t zoom_ = 100;
    bool enabled_ = true;
};

}  // namespace report::engine
