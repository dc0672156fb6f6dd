// The canvas on any QPainter: the preview widget, a printer, a QImage.
#pragma once

#include "report/output/canvas/canvas.h"
#include "report/output/canvas/measure.h"

#include <QPainter>
#include <QRegion>

namespace report::output {

// Draws with the rules of canvas.h. The painter's state is saved on construction and restored
// on destruction; a clip the painter already had stays in force under every SetClipRect.
// `dpi` is the device's resolution for font sizes (a QImage does not know one: pass it).
class PainterCanvas final : public Canvas {
public:
    PainterCanvas(QPainter& painter, int dpi);
    ~PainterCanvas() override;

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

    QPainter& painter_;
    int dpi_;
    MeasureDevice measure_;
    bool hadClip_;
    QRegion baseClip_;
};

}  // namespace report::output
