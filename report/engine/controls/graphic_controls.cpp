#include "report/engine/controls/graphic_controls.h"

#include "report/engine/controls/image.h"
#include "report/engine/controls/shape.h"
#include "report/engine/model/print_run.h"
#include "report/engine/model/report_model.h"
#include "report/output/printer/rp_printer.h"

namespace report::engine {
namespace {

using enum TRpPrintableSize::Index;

}  // namespace

// ---- TRpPenBrushControl ----

TRpPenBrushControl::TRpPenBrushControl() { SetBounds(0, 0, 100, 10); }

void TRpPenBrushControl::Changed()
{
    if (ParentReport() != nullptr)
        ParentReport()->Repaint();
}

void TRpPenBrushControl::SetPen(const output::Pen& pen)
{
    pen_ = pen;
    Changed();
}

void TRpPenBrushControl::SetBrush(const output::Brush& brush)
{
    brush_ = brush;
    Changed();
}

void TRpPenBrushControl::ExportToPdf(int ofsX, int ofsY)
{
    output::TRpExportFilter* filter = PrintRun()->ExportFilter();
    if (filter == nullptr || !filter->IsPDFDocumentFilter())
        return;
    const output::ExportShape value = ShapeValue(ofsX, ofsY);
    filter->ExportControl(value, value.rect.left(), value.rect.top());
}

// ---- TRpHRule ----

output::ExportShape TRpHRule::ShapeValue(int ofsX, int ofsY) const
{
    return output::ExportShape{TRpShapeType::rpsHorLine, DeviceRect(ofsX, ofsY), pen_, brush_,
                               output::ShapeClass::Rule};
}

void TRpHRule::Print(int ofsX, int ofsY)
{
    const TRpPrintRun* run = PrintRun();
    output::TRpPrinter* printer = RpPrinter();
    if (run == nullptr || printer == nullptr)
        return;
    ExportToPdf(ofsX, ofsY);
    if (!run->PrintToDevice() || !IsEnabled())
        return;
    output::Canvas* canvas = printer->GetCanvas();
    if (canvas == nullptr)
        return;
    const long double left = ofsX + Size.Native(kLeft);
    const int y = printer->DeviceY(ofsY + Size.Native(kTop) + Size.Native(kHeight) / 2);
    canvas->SetBrush(brush_);
    canvas->SetPen(pen_);
    canvas->Line(printer->DeviceX(left), y, printer->DeviceX(left + Size.Native(kWidth)), y);
}

void TRpHRule::Paint(output::Canvas& canvas)
{
    TRpPrintable::Paint(canvas);
    const int width = Bounds().width();
    const int middle = Bounds().height() / 2;
    canvas.SetPen(pen_);
    canvas.Line(0, middle, width, middle);
}

// ---- TRpPDFShape ----

void TRpPDFShape::SetShapeType(TRpShapeType type)
{
    if (type == shapeType_)
        return;
    shapeType_ = type;
    Changed();
}

output::ExportShape TRpPDFShape::ShapeValue(int ofsX, int ofsY) const
{
    return output::ExportShape{shapeType_, DeviceRect(ofsX, ofsY), pen_, brush_, output::ShapeClass::PdfShape};
}

void TRpPDFShape::Print(int ofsX, int ofsY)
{
    const TRpPrintRun* run = PrintRun();
    output::TRpPrinter* printer = RpPrinter();
    if (run == nullptr || printer == nullptr || !IsEnabled())
        return;
    ExportToPdf(ofsX, ofsY);
    if (!run->PrintToDevice())
        return;
    output::Canvas* canvas = printer->GetCanvas();
    // Only the PDF document draws these.
    if (canvas == nullptr || shapeType_ == TRpShapeType::rpsRoundRect || shapeType_ == TRpShapeType::rpsLeftDiagonal ||
        shapeType_ == TRpShapeType::rpsRightDiagonal) {
        return;
    }
    const QPoint middle(printer->DeviceX(ofsX + Size.Native(kLeft) + Size.Native(kWidth) / 2),
                        printer->DeviceY(ofsY + Size.Native(kTop) + Size.Native(kHeight) / 2));
    DrawShape(*canvas, ShapeValue(ofsX, ofsY), middle, 0);
}

void TRpPDFShape::Paint(output::Canvas& canvas)
{
    TRpPrintable::Paint(canvas);
    const int w = Bounds().width();
    const int h = Bounds().height();
    canvas.SetPen(pen_);
    canvas.SetBrush(brush_);
    switch (shapeType_) {
    case TRpShapeType::rpsRectangle:
        canvas.Rectangle(output::GdiRect(pen_.width, pen_.width, w, h));
        break;
    case TRpShapeType::rpsCircle:
        canvas.Ellipse(QRect(0, 0, w, h));
        break;
    case TRpShapeType::rpsVertLine:
        canvas.Line(w / 2, 0, w / 2, h);
        break;
    case TRpShapeType::rpsHorLine:
        canvas.Line(0, h / 2, w, h / 2);
        break;
    case TRpShapeType::rpsTopAndBottom:
        canvas.Line(0, 0, w, 0);
        canvas.Line(0, h - 1, w, h - 1);
        break;
    case TRpShapeType::rpsRightAndLeft:
        canvas.Line(0, 0, 0, h);
        canvas.Line(w - 1, 0, w - 1, h);
        break;
    case TRpShapeType::rpsRoundRect:
    case TRpShapeType::rpsLeftDiagonal:
    case TRpShapeType::rpsRightDiagonal:
        break;
    }
}

}  // namespace report::engine
