// The report's design view: the page with its margins and columns, drawn on a report canvas.
#include "report/engine/model/report_model.h"
#include "report/output/canvas/rounding.h"

#include <cstdlib>

namespace report::engine {

void TRpReportModel::DrawRuler(output::Canvas& canvas, TRpUnit units)
{
    RulerFontSize = std::abs(Font.points);
    if (!Page.Ruler())
        return;
    canvas.SetFont(DesignScheme.rulerFont);
    DrawGrid(canvas, units, true);
}

void TRpReportModel::Paint(output::Canvas& canvas)
{
    TRpBasePanel::Paint(canvas);
    const QRect area = ClientRect();
    if (!PageImage.isNull())
        canvas.DrawPicture(area, PageImage);
    DrawRuler(canvas, GetUnits());

    const std::vector<long double> page = Page.WriteValues();
    const auto across = [this](long double tenths) { return Page.ToUnits(TRpUnit::Pixels, true, tenths); };
    const auto down = [this](long double tenths) { return Page.ToUnits(TRpUnit::Pixels, false, tenths); };
    const int left = output::RoundHalfEvenInt(across(page[4]));
    const int right = area.width() - output::RoundHalfEvenInt(across(page[5]));
    const int top = output::RoundHalfEvenInt(down(page[2]));
    const int bottom = area.height() - output::RoundHalfEvenInt(down(page[0]));
    canvas.SetPen(output::Pen{DesignScheme.marginColor, DesignScheme.marginStyle, 1});
    canvas.SetBrush(output::Brush{DesignScheme.marginColor, output::BrushStyle::Clear});
    canvas.Rectangle(output::GdiRect(left, top, right, bottom));

    // Two lines at each boundary: one column's right edge and the next column's left edge.
    const int columns = Page.Columns();
    const long double space = across(page[6]);
    const long double column = (right - left - space * (columns - 1)) / columns;
    for (int boundary = 1; boundary < columns; ++boundary) {
        const int columnRight = output::RoundHalfEvenInt(left + column * boundary + space * (boundary - 1));
        const int nextLeft = output::RoundHalfEvenInt(left + (column + space) * boundary);
        canvas.Line(columnRight, top, columnRight, bottom);
        canvas.Line(nextLeft, top, nextLeft, bottom);
    }

    if (Frame.DrawTop())
        canvas.Line(left, top, right, top);
    if (Frame.DrawBottom())
        canvas.Line(left, bottom, right, bottom);
    if (Frame.DrawLeft())
        canvas.Line(left, top, left, bottom);
    if (Frame.DrawRight())
        canvas.Line(right, top, right, bottom);
}

}  // namespace report::engine
