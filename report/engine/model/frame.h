// The lines drawn around a band, a printable control or the page.
#pragma once

#include "report/output/canvas/canvas.h"

#include <QRect>
#include <QRgb>

#include <functional>

namespace report::output {
class TRpExportFilter;
}  // namespace report::output

namespace report::engine {

class TRpReportModel;

// Side widths of a frame in device pixels, at most the canvas coordinate limit; a frame with a
// side of 0 or less draws nothing.
struct FrameSideWidths {
    int x = 0;  // left and right sides
    int y = 0;  // top and bottom sides
};

class TRpFrame {
public:
    [[nodiscard]] QRgb Color() const { return color_; }
    void SetColor(QRgb color);
    // Index 0 top, 1 bottom, 2 left, 3 right; other indices change nothing.
    void SetDraw(int index, bool draw);
    [[nodiscard]] bool DrawTop() const { return draw_[0]; }
    [[nodiscard]] bool DrawBottom() const { return draw_[1]; }
    [[nodiscard]] bool DrawLeft() const { return draw_[2]; }
    [[nodiscard]] bool DrawRight() const { return draw_[3]; }
    void SetDrawTop(bool draw) { SetDraw(0, draw); }
    void SetDrawBottom(bool draw) { SetDraw(1, draw); }
    void SetDrawLeft(bool draw) { SetDraw(2, draw); }
    void SetDrawRight(bool draw) { SetDraw(3, draw); }
    [[nodiscard]] output::PenStyle Style() const { return style_; }
    void SetStyle(output::PenStyle style);
    // Line width in points; -1 is always one pixel.
    [[nodiscard]] int Width() const { return width_; }
    void SetWidth(int width);

    // True when at least one side is drawn.
    [[nodiscard]] bool AnyFrame() const;
    // Gives `pen` width 1 and the frame's style and colour.
    void SetPen(output::Pen& pen) const;

    // Side widths for `xFactor` and `yFactor` device pixels per tenth of a millimetre.
    [[nodiscard]] FrameSideWidths SideWidths(long double xFactor, long double yFactor) const;
    // Fills each drawn side as a strip inside `rect` (device pixels) in the frame's colour; while
    // ParentReport's run exports, the frame also goes to its export filter as line or rectangle
    // shapes.
    // A frame whose sides come out 0 pixels wide or less draws and exports nothing.
    void PaintFrame(output::Canvas& canvas, const QRect& rect, long double xFactor, long double yFactor) const;

    // Called after every change, so the frame's owner can draw itself again.
    std::function<void()> OnChange;
    // The report of the control the frame belongs to; set by that control.
    TRpReportModel* ParentReport = nullptr;

private:
    void Changed() const;
    void Export(output::TRpExportFilter& filter, const QRect& rect, FrameSideWidths sides) const;

    QRgb color_ = qRgb(0, 0, 0);
    bool draw_[4] = {false, false, false, false};
    output::PenStyle style_ = output::PenStyle::Solid;
    int width_ = 1;
};

}  // namespace report::engine
