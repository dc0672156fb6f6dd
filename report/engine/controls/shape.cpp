#include "report/engine/controls/shape.h"

#include "report/engine/model/print_run.h"
#include "report/engine/model/report_model.h"
#include "report/output/printer/rp_printer.h"

#include <cmath>

namespace report::engine {

TRpShape::TRpShape() { SetBounds(0, 0, 65, 65); }

void TRpShape::SetShape(TRpShapeType shape)
{
    if (shape == shape_)
        return;
    shape_ = shape;
    if (ParentReport() != nullptr)
        ParentReport()->Repaint();
}

void TRpShape::SetPen(const output::Pen& pen)
{
    pen_ = pen;
    if (ParentReport() != nullptr)
        ParentReport()->Repaint();
}

void TRpShape::SetBrush(const output::Brush& brush)
{
    brush_ = brush;
    if (ParentReport() != nullptr)
        ParentReport()->Repaint();
}

void TRpShape::SetRoundFactor(float factor)
{
    if (factor == roundFactor_)
        return;
    roundFactor_ = factor;
    if (ParentReport() != nullptr)
        ParentReport()->Repaint();
}

output::ExportShape TRpShape::ShapeValue(int ofsX, int ofsY) const
{
    return output::ExportShape{shape_, DeviceRect(ofsX, ofsY), pen_, brush_};
}

QPoint TRpShape::DeviceMiddle(int ofsX, int ofsY) const
{
    const output::TRpPrinter& printer = *RpPrinter();
    return {printer.DeviceX(ofsX + Size.Native(TRpPrintableSize::kLeft) + Size.Native(TRpPrintableSize::kWidth) / 2),
            printer.DeviceY(ofsY + Size.Native(TRpPrintableSize::kTop) + Size.Native(TRpPrintableSize::kHeight) / 2)};
}

void DrawShape(output::Canvas& canvas, const output::ExportShape& shape, QPoint middle, int corner)
{
    const output::Edges e = output::EdgesOf(shape.rect);
    const int mx = middle.x();
    const int my = middle.y();
    canvas.SetBrush(shape.brush);
    canvas.SetPen(shape.pen);
    switch (shape.shape) {
    case TRpShapeType::rpsRectangle:
        canvas.Rectangle(shape.rect);
        break;
    case TRpShapeType::rpsCircle:
        canvas.Ellipse(shape.rect);
        break;
    case TRpShapeType::rpsVertLine:
        canvas.Line(mx, e.top, mx, e.bottom);
        break;
    case TRpShapeType::rpsHorLine:
        canvas.Line(e.left, my, e.right, my);
        break;
    case TRpShapeType::rpsTopAndBottom:
        canvas.Line(e.left, e.top, e.right, e.top);
        canvas.Line(e.left, e.bottom, e.right, e.bottom);
        break;
    case TRpShapeType::rpsRightAndLeft:
        canvas.Line(e.left, e.top, e.left, e.bottom);
        canvas.Line(e.right, e.top, e.right, e.bottom);
        break;
    case TRpShapeType::rpsRoundRect:
        canvas.RoundRect(shape.rect, corner, corner);
        break;
    case TRpShapeType::rpsLeftDiagonal:
        canvas.Line(e.right, e.top, e.left, e.bottom);
        break;
    case TRpShapeType::rpsRightDiagonal:
        canvas.Line(e.left, e.top, e.right, e.bottom);
        break;
    }
}

void TRpShape::Print(int ofsX, int ofsY)
{
    const TRpPrintRun* run = PrintRun();
    output::TRpPrinter* printer = RpPrinter();
    if (run == nullptr || printer == nullptr || !IsEnabled())
        return;
    const output::ExportShape value = ShapeValue(ofsX, ofsY);
    if (run->ExportFilter() != nullptr) {
        run->ExportFilter()->ExportControl(value, value.rect.left(), value.rect.top());
    }
    if (!run->PrintToDevice())
        return;
    output::Canvas* canvas = printer->GetCanvas();
    if (canvas == nullptr)
        return;
    // The corner scales with the device like the rest of the shape.
    const long double corner =
        printer->DeviceWidth(Size.Native(TRpPrintableSize::kWidth)) * static_cast<long double>(roundFactor_);
    DrawShape(*canvas, value, DeviceMiddle(ofsX, ofsY), static_cast<int>(std::trunc(corner)));
}

void TRpShape::Paint(output::Canvas& canvas)
{
    TRpPrintable::Paint(canvas);
    const QRect area(0, 0, Bounds().width(), Bounds().height());
    // On the design view the outer lines sit on the last row and column.
    output::ExportShape view{shape_, area, pen_, brush_};
    const int corner = static_cast<int>(std::trunc(area.width() * roundFactor_));
    if (shape_ == TRpShapeType::rpsTopAndBottom || shape_ == TRpShapeType::rpsRightAndLeft) {
        view.rect = output::GdiRect(0, 0, area.width() - 1, area.height() - 1);
    }
    DrawShape(canvas, view, QPoint(area.width() / 2, area.height() / 2), corner);
}

}  // namespace report::engine
