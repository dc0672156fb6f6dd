#include "report/engine/model/frame.h"

#include "report/engine/model/print_run.h"
#include "report/engine/model/report_model.h"
#include "report/output/canvas/rounding.h"
#include "report/output/export/export_filter.h"

#include <algorithm>
#include <array>

namespace report::engine {
namespace {

// Tenths of a millimetre per point.
constexpr long double kTenthsPerPoint = 254.0L / 72.0L;

int SideWidth(long double factor, int width)
{
    int side = output::RoundHalfEvenInt(factor * kTenthsPerPoint * width);
    if (width == -1 || (width >= 1 && side < 1))
        side = 1;
    return std::min(side, output::kCoordinateLimit);
}

struct Strip {
    output::TRpShapeType shape;
    QRect rect;
};

// The strips of the four sides inside `rect`, in the order top, bottom, left, right.
std::array<Strip, 4> SideStrips(const QRect& rect, FrameSideWidths sides)
{
    const output::Edges r = output::EdgesOf(rect);
    auto box = [](long long left, long long top, long long right, long long bottom) {
        return output::GdiRect(output::ClampCoordinate(left), output::ClampCoordinate(top),
                               output::ClampCoordinate(right), output::ClampCoordinate(bottom));
    };
    const long long wx = sides.x;
    const long long wy = sides.y;
    return {{
        {output::TRpShapeType::rpsHorLine, box(r.left, r.top, r.right, r.top + wy)},
        {output::TRpShapeType::rpsHorLine, box(r.left, r.bottom - wy, r.right, r.bottom)},
        {output::TRpShapeType::rpsVertLine, box(r.left, r.top, r.left + wx, r.bottom)},
        {output::TRpShapeType::rpsVertLine, box(r.right - wx, r.top, r.right, r.bottom)},
    }};
}

}  // namespace

void TRpFrame::Changed() const
{
    if (OnChange)
        OnChange();
}

void TRpFrame::SetColor(QRgb color)
{
    if (color == color_)
        return;
    color_ = color;
    Changed();
}

void TRpFrame::SetDraw(int index, bool draw)
{
    if (index < 0 || index > 3 || draw_[index] == draw)
        return;
    draw_[index] = draw;
    Changed();
}

void TRpFrame::SetStyle(output::PenStyle style)
{
    if (style == style_)
        return;
    style_ = style;
    Changed();
}

void TRpFrame::SetWidth(int width)
{
    if (width == width_)
        return;
    width_ = width;
    Changed();
}

bool TRpFrame::AnyFrame() const
{
    return std::ranges::any_of(draw_, [](bool d) { return d; });
}

void TRpFrame::SetPen(output::Pen& pen) const
{
    pen.width = 1;
    pen.style = style_;
    pen.color = color_;
}

FrameSideWidths TRpFrame::SideWidths(long double xFactor, long double yFactor) const
{
    return {SideWidth(xFactor, width_), SideWidth(yFactor, width_)};
}

void TRpFrame::PaintFrame(output::Canvas& canvas, const QRect& rect, long double xFactor, long double yFactor) const
{
    const FrameSideWidths sides = SideWidths(xFactor, yFactor);
    // A width of 0 or below -1 has no side to draw: no hairline, no strip outside the box.
    if (!AnyFrame() || sides.x <= 0 || sides.y <= 0)
        return;
    output::Pen pen;
    SetPen(pen);
    canvas.SetPen(pen);
    canvas.SetBrush(output::Brush{color_, output::BrushStyle::Solid});
    const std::array<Strip, 4> strips = SideStrips(rect, sides);
    for (std::size_t side = 0; side < strips.size(); ++side) {
        if (draw_[side])
            canvas.FillRect(strips[side].rect);
    }
    const TRpPrintRun* run = ParentReport != nullptr ? ParentReport->PrintRun() : nullptr;
    if (run != nullptr && run->ExportFilter() != nullptr)
        Export(*run->ExportFilter(), rect, sides);
}

void TRpFrame::Export(output::TRpExportFilter& filter, const QRect& rect, FrameSideWidths sides) const
{
    const output::Pen pen{color_, output::PenStyle::Solid, sides.x};
    const output::Brush brush{color_, output::BrushStyle::Clear};
    if (std::ranges::all_of(draw_, [](bool d) { return d; })) {
        filter.ExportControl(output::ExportShape{output::TRpShapeType::rpsRectangle, rect, pen, brush}, rect.x(),
                             rect.y());
        return;
    }
    const std::array<Strip, 4> strips = SideStrips(rect, sides);
    for (std::size_t side = 0; side < strips.size(); ++side) {
        if (!draw_[side])
            continue;
        const QRect& strip = strips[side].rect;
        filter.ExportControl(output::ExportShape{strips[side].shape, strip, pen, brush}, strip.x(), strip.y());
    }
}

}  // namespace report::engine
