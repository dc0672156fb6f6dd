// The canvas on any QPainter: the preview widget, a printer, a QImage.
#pragma once

#include "report/output/canvas/canvas.h"
#include "report/output/canvas/measure.h"
#include "report/output/canvas/paint_fonts.h"

#include <QPainter>
#include <QRectF>
#include <QRegion>
#include <QTransform>

#include <optional>

namespace report::output {

// What a painter canvas has handed to its painter: drawing calls, the characters of the texts
// it drew, the calls it left out because nothing of them could be seen, and the largest area
// (device pixels) a text's glyphs were cut to.
struct PaintCounts {
    long long calls = 0;
    long long glyphs = 0;
    long long skipped = 0;
    long double largestGlyphClip = 0;
};

// Draws with the rules of canvas.h. The painter's state is saved on construction and restored
// on destruction; a clip the painter already had stays in force under every SetClipRect.
// `dpi` is the device's resolution for font sizes (a QImage does not know one: pass it).
// `fonts`, when given at the same resolution, is used instead of a device of the canvas's own,
// so a document's fonts are made once for all its paints; it must outlive the canvas.
// Text, shapes and pictures that lie wholly outside the device and the clips are not drawn, and
// a turned text far larger than what can be seen is cut to its visible surroundings first. The
// fonts a canvas draws with are bounded (PaintFonts): one canvas is one paint.
class PainterCanvas final : public Canvas {
public:
    PainterCanvas(QPainter& painter, int dpi, MeasureDevice* fonts = nullptr);
    ~PainterCanvas() override;

    [[nodiscard]] const PaintCounts& Counts() const { return counts_; }
    [[nodiscard]] MeasureDevice& Fonts() { return *measure_; }

    void FillRect(const QRect& rect) override;
    void Rectangle(const QRect& rect) override;
    void RoundRect(const QRect& rect, int cornerWidth, int cornerHeight) override;
    void Ellipse(const QRect& rect) override;
    void Line(int x0, int y0, int x1, int y1) override;
    void TextOut(int x, int y, std::string_view text) override;
    void DrawPicture(const QRect& rect, const QImage& picture) override;
    void SetClipRect(const QRect& rect) override;
    void RemoveClip() override;
    [[nodiscard]] int TextWidth(std::string_view text) override;
    [[nodiscard]] int TextHeight(std::string_view text) override;
    [[nodiscard]] int Dpi() const override { return dpi_; }

private:
    enum class Shape { Rectangle, RoundRect, Ellipse };
    void DrawShape(Shape shape, const QRect& rect, int cornerWidth, int cornerHeight);
    void ThinLine(int x0, int y0, int x1, int y1);
    [[nodiscard]] QBrush CurrentBrush() const;
    [[nodiscard]] QPen CosmeticPen() const;
    // False when nothing inside `box` (logical coordinates, mapped by `transform` and the
    // painter's own) can show; the call is then counted as skipped.
    [[nodiscard]] bool Shows(const QRectF& box, const QTransform& transform = QTransform());
    // The same for a shape drawn with the current pen around `rect`.
    [[nodiscard]] bool ShapeShows(const QRectF& rect);
    void UpdateVisible();

    QPainter& painter_;
    int dpi_;
    std::optional<MeasureDevice> ownFonts_;
    MeasureDevice* measure_;
    PaintFonts paintFonts_;
    bool hadClip_;
    QRegion baseClip_;
    // Device pixels where drawing can show: the device cut by the painter's clip and the
    // canvas's clip; unset when the device has no size (nothing is then left out).
    std::optional<QRectF> deviceArea_;
    std::optional<QRectF> visible_;
    std::optional<QRectF> clip_;  // logical, as SetClipRect was given it
    PaintCounts counts_;
};

}  // namespace report::output
