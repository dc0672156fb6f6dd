// Replay of a recorded page onto any canvas, stretched into a target rectangle.
#include "report/output/canvas/rounding.h"
#include "report/output/pages/page_format.h"

#include <algorithm>
#include <type_traits>

namespace report::output {
namespace {

class Replayer {
public:
    Replayer(const Page& page, Canvas& canvas, const QRect& target)
        : canvas_(canvas), target_(NormalizedEdges(target)),
          sx_(static_cast<long double>(target_.right - target_.left) / page.header.pixelWidth),
          sy_(static_cast<long double>(target_.bottom - target_.top) / page.header.pixelHeight)
    {}

    void operator()(const page_record::SetPen& r)
    {
        Pen pen = r.pen;
        // A pen of some width grows with the page, so a line printed from a 96-dpi page keeps
        // its thickness on paper; width 0 stays one pixel, and so do dashed pens, which only
        // one-pixel pens can draw.
        const bool dashed =
            pen.style != PenStyle::Solid && pen.style != PenStyle::InsideFrame && pen.style != PenStyle::Clear;
        if (pen.width >= 1 && !dashed)
            pen.width = std::max(1, RoundHalfEvenInt(pen.width * (sx_ + sy_) / 2));
        canvas_.SetPen(pen);
    }
    void operator()(const page_record::SetBrush& r) { canvas_.SetBrush(r.brush); }
    void operator()(const page_record::SetFont& r) { canvas_.SetFont(r.font); }
    void operator()(const page_record::Text& r)
    {
        canvas_.SetTextAlign(r.align);
        canvas_.SetBackground(r.background);
        canvas_.TextOut(X(r.x), Y(r.y), r.bytes);
    }
    void operator()(const page_record::Fill& r) { canvas_.FillRect(Map(r.rect)); }
    void operator()(const page_record::Rectangle& r) { canvas_.Rectangle(Map(r.rect)); }
    void operator()(const page_record::RoundRect& r)
    {
        canvas_.RoundRect(Map(r.rect), ClampCoordinate(RoundHalfEven(r.cornerWidth * sx_)),
                          ClampCoordinate(RoundHalfEven(r.cornerHeight * sy_)));
    }
    void operator()(const page_record::Ellipse& r) { canvas_.Ellipse(Map(r.rect)); }
    void operator()(const page_record::Line& r) { canvas_.Line(X(r.x0), Y(r.y0), X(r.x1), Y(r.y1)); }
    void operator()(const page_record::Picture& r) { canvas_.DrawPicture(Map(r.rect), r.picture.Image()); }
    void operator()(const page_record::Clip& r)
    {
        const Edges e = NormalizedEdges(Map(r.rect));
        canvas_.SetClipRect(GdiRect(std::max(e.left, target_.left), std::max(e.top, target_.top),
                                    std::clamp(e.right, target_.left, target_.right),
                                    std::clamp(e.bottom, target_.top, target_.bottom)));
    }
    void operator()(const page_record::NoClip&) { ClipToTarget(); }

    void ClipToTarget() { canvas_.SetClipRect(GdiRect(target_.left, target_.top, target_.right, target_.bottom)); }
    [[nodiscard]] long double FontScale(const Page& page) const
    {
        return sy_ * page.header.dpiY / std::max(1, canvas_.Dpi());
    }

private:
    int X(int x) const { return ClampCoordinate(target_.left + RoundHalfEven(x * sx_)); }
    int Y(int y) const { return ClampCoordinate(target_.top + RoundHalfEven(y * sy_)); }
    QRect Map(const QRect& rect) const
    {
        const Edges e = EdgesOf(rect);
        return GdiRect(X(e.left), Y(e.top), X(e.right), Y(e.bottom));
    }

    Canvas& canvas_;
    Edges target_;
    long double sx_;
    long double sy_;
};

}  // namespace

void ReplayPage(const Page& page, Canvas& canvas, const QRect& target)
{
    if (page.header.pixelWidth <= 0 || page.header.pixelHeight <= 0)
        return;
    const CanvasState saved = canvas.State();
    Replayer replayer(page, canvas, target);
    // A page starts with the settings of a new canvas.
    canvas.SetState(CanvasState{});
    canvas.SetFontScale(replayer.FontScale(page));
    replayer.ClipToTarget();
    for (const PageRecord& record : page.records)
        std::visit(replayer, record);
    canvas.RemoveClip();
    canvas.SetState(saved);
}

}  // namespace report::output
