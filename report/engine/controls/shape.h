// A rectangle, ellipse, rounded rectangle or lines drawn with the control's own pen and brush.
#pragma once

#include "report/engine/model/printable.h"
#include "report/output/export/export_filter.h"

namespace report::engine {

using output::TRpShapeType;

class TRpShape : public TRpPrintable {
public:
    // 65 by 65 pixels, a rectangle, solid white brush, solid black pen of width 1.
    TRpShape();

    [[nodiscard]] TRpShapeType Shape() const { return shape_; }
    void SetShape(TRpShapeType shape);
    [[nodiscard]] const output::Pen& Pen() const { return pen_; }
    // Copies the pen; its width is in device pixels.
    void SetPen(const output::Pen& pen);
    [[nodiscard]] const output::Brush& Brush() const { return brush_; }
    void SetBrush(const output::Brush& brush);
    // The corner of a rounded rectangle, as a share of the shape's width.
    [[nodiscard]] float RoundFactor() const { return roundFactor_; }
    void SetRoundFactor(float factor);
    // Stored only; no drawing reads it.
    std::int32_t VertAdjust = 0;

    // Hands the shape to the export filter of an exporting report and draws it on the page
    // when the report prints to its device; a disabled shape does neither.
    void Print(int ofsX, int ofsY) override;
    // What the shape draws at the band offsets: kind, device box, pen and brush.
    [[nodiscard]] output::ExportShape ShapeValue(int ofsX, int ofsY) const;
    // The device point the vertical and horizontal lines go through at the band offsets.
    [[nodiscard]] QPoint DeviceMiddle(int ofsX, int ofsY) const;

    void Paint(output::Canvas& canvas) override;

private:
    TRpShapeType shape_ = TRpShapeType::rpsRectangle;
    output::Pen pen_;
    output::Brush brush_;
    float roundFactor_ = 0;
};

// Draws `shape` on `canvas` inside its box: the vertical and horizontal lines through `middle`,
// the rounded rectangle with corners `corner` wide and high.
void DrawShape(output::Canvas& canvas, const output::ExportShape& shape, QPoint middle, int corner);

}  // namespace report::engine
