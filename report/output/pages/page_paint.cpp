#include "report/output/pages/page_paint.h"

#include "report/output/canvas/painter_canvas.h"

namespace report::output {

void PaintPage(const Page* page, QPainter& painter, const QRect& rect, bool drawEmpty, MeasureDevice* fonts)
{
    if (!page && !drawEmpty)
        return;
    const Edges e = EdgesOf(rect);
    const int w = rect.width();
    const int h = rect.height();
    PainterCanvas canvas(painter, kMeasureDpi, fonts);
    const QRgb white = qRgb(255, 255, 255);
    const QRgb black = qRgb(0, 0, 0);

    canvas.SetPen(Pen{white, PenStyle::Solid, 1});
    canvas.SetBrush(Brush{white, BrushStyle::Solid});
    canvas.Rectangle(GdiRect(e.left + 1, e.top + 1, e.left + w - 3, e.top + h - 3));
    if (page)
        ReplayPage(*page, canvas, rect);

    canvas.SetPen(Pen{black, PenStyle::Solid, 1});
    const int right = e.left + w - 3;
    const int bottom = e.top + h - 3;
    canvas.Line(e.left, e.top, e.left, bottom);
    canvas.Line(e.left, bottom, right, bottom);
    canvas.Line(right, bottom, right, e.top);
    canvas.Line(right, e.top, e.left, e.top);
    canvas.SetBrush(Brush{black, BrushStyle::Solid});
    canvas.Rectangle(GdiRect(e.left + w - 2, e.top + 2, e.right, e.bottom));
    canvas.Rectangle(GdiRect(e.left + 2, e.top + h - 2, e.right, e.bottom));
}

}  // namespace report::output
