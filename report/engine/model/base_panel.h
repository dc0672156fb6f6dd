// What bands and the report share: a frame, a background colour, a zoom, and the design view
// (background, ruler grid) drawn on a report canvas in the panel's own pixel coordinates.
#pragma once

#include "report/engine/model/frame.h"
#include "report/engine/model/printable.h"
#include "report/engine/model/units.h"
#include "report/output/canvas/canvas.h"

#include <QRect>
#include <QRgb>

#include <concepts>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace report::engine {

class TRpReportModel;

class TRpBasePanel {
public:
    TRpBasePanel();
    virtual ~TRpBasePanel();
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
    [[nodiscard]] virtual const TRpReportModel* PanelReport() const = 0;
    // Marks the design view for drawing again.
    virtual void Repaint() {}

    // Design view only. The grid of `units` over the client area, when the page shows a ruler:
    // quarter inches (every fourth heavy), 5 mm (every second heavy) or character cells of a
    // font of RulerFontSize; light lines only above zoom 49 (inches) or 59 (millimetres).
    virtual void DrawRuler(output::Canvas& canvas, TRpUnit units);
    // Fills the client area with Color, or silver when the panel is disabled.
    virtual void Paint(output::Canvas& canvas);

    // The printable controls on the panel in child order; the panel owns them.
    [[nodiscard]] const std::vector<std::unique_ptr<TRpPrintable>>& Printables() const { return printables_; }
    // Places `printable` on the panel, which owns it from now on; gives back the control.
    TRpPrintable& InsertPrintable(std::unique_ptr<TRpPrintable> printable);
    // A new control of class T (arguments to its constructor) placed on the panel.
    template <std::derived_from<TRpPrintable> T, class... Args>
    T& NewPrintable(Args&&... args)
    {
        return static_cast<T&>(InsertPrintable(std::make_unique<T>(std::forward<Args>(args)...)));
    }
    // Takes `printable` off the panel and hands it to the caller; null when not the panel's.
    std::unique_ptr<TRpPrintable> TakePrintable(TRpPrintable& printable);
    void FreePrintable(TRpPrintable& printable) { (void)TakePrintable(printable); }

protected:
    // The controls take the panel again as their parent (its report may have changed).
    void RelinkPrintables();

    // The grid of DrawRuler in the current pen and font; `numbered` writes the inch or the
    // centimetre at each heavy line.
    void DrawGrid(output::Canvas& canvas, TRpUnit units, bool numbered) const;

    std::int32_t zoom_ = 100;
    bool enabled_ = true;

private:
    std::vector<std::unique_ptr<TRpPrintable>> printables_;
};

}  // namespace report::engine
