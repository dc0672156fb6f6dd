// A horizontal rule, a shape the PDF document draws itself, and a picture from a blob field fitted
// into the control's box.
#pragma once

#include "report/engine/controls/image.h"
#include "report/engine/model/printable.h"
#include "report/expr/rp_dataset.h"
#include "report/output/export/export_filter.h"

#include <QImage>
#include <QRect>

#include <string>

namespace report::output {
class TRpPrinter;
}

namespace report::engine {

using output::TFitMode;
using output::TRpShapeType;

// What the rule and the PDF shape share: 100 by 10 pixels, a pen and a brush.
class TRpPenBrushControl : public TRpPrintable {
public:
    [[nodiscard]] const output::Pen& Pen() const { return pen_; }
    // Copies the pen; its width is in device pixels.
    void SetPen(const output::Pen& pen);
    [[nodiscard]] const output::Brush& Brush() const { return brush_; }
    void SetBrush(const output::Brush& brush);
    // Stored only; no drawing reads it.
    std::int32_t VertAdjust = 0;

    // What the PDF document receives at the band offsets.
    [[nodiscard]] virtual output::ExportShape ShapeValue(int ofsX, int ofsY) const = 0;

protected:
    TRpPenBrushControl();
    void Changed();
    // Hands the control to the report's filter when it is the PDF document's.
    void ExportToPdf(int ofsX, int ofsY);

    output::Pen pen_;
    output::Brush brush_;
};

// A line across the middle of the control, drawn with its pen.
class TRpHRule : public TRpPenBrushControl {
public:
    TRpHRule() = default;

    // Hands the rule to the PDF document filter of an exporting report (enabled or not), and
    // draws it when the report prints to its device and the rule is enabled.
    void Print(int ofsX, int ofsY) override;
    [[nodiscard]] output::ExportShape ShapeValue(int ofsX, int ofsY) const override;

    void Paint(output::Canvas& canvas) override;
};

// A shape with pen and brush: the PDF document draws it from its value, the page canvas draws
// all but the rounded rectangle and the diagonals.
class TRpPDFShape : public TRpPenBrushControl {
public:
    TRpPDFShape() = default;

    [[nodiscard]] TRpShapeType ShapeType() const { return shapeType_; }
    void SetShapeType(TRpShapeType type);

    // Like the rule's, but a disabled shape is not exported either.
    void Print(int ofsX, int ofsY) override;
    [[nodiscard]] output::ExportShape ShapeValue(int ofsX, int ofsY) const override;

    void Paint(output::Canvas& canvas) override;

private:
    TRpShapeType shapeType_ = TRpShapeType::rpsRectangle;
};

// Where a picture goes in a control's device box: `clip` limits the drawing, `draw` is the
// rectangle the picture is stretched into.
struct FittedPicture {
    QRect clip;
    QRect draw;
};

// Fits a `picture` (not empty) into the device box `box` of a control `width` x `height` tenths of
// a millimetre, in the device pixels of `printer`.
[[nodiscard]] FittedPicture FitPicture(const output::TRpPrinter& printer, QSize picture, const QRect& box,
                                       long double width, long double height, TFitMode mode, bool center,
                                       bool clipImage);

// A picture from a blob field, fitted into the control by FitMode (or stretched over it).
class TRpGrDBImage : public TRpBlobPictureControl {
public:
    TRpGrDBImage() = default;

    // The picture at its size on a 96-dpi screen, inside the fitted box.
    bool ClipImage = false;
    TFitMode FitMode = TFitMode::fmProportional;

    // Draws the blob's picture (in every run, enabled or not), then the frame, then hands the
    // control to an exporting report's filter.
    void Print(int ofsX, int ofsY) override;
    // What an export filter receives at the band offsets; null pixels without a picture.
    [[nodiscard]] output::ExportPicture PictureValue(int ofsX, int ofsY) const;
};

}  // namespace report::engine
