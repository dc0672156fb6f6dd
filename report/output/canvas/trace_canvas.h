// A canvas that lists its drawing calls, one line each with the settings they draw with.
#pragma once

#include "report/output/canvas/canvas.h"
#include "report/output/canvas/measure.h"

#include <string>
#include <vector>

namespace report::output {

class TraceCanvas final : public Canvas {
public:
    explicit TraceCanvas(int dpi = kMeasureDpi);

    // One line per drawing call, in call order, e.g.
    // "Rectangle 0,0,10,10 pen=dash/1/#000000 brush=solid/#ffffff".
    [[nodiscard]] const std::vector<std::string>& Lines() const { return lines_; }
    [[nodiscard]] std::string Text() const;  // the lines, each ended by "\n"
    void Clear() { lines_.clear(); }

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
    [[nodiscard]] int Dpi() const override { return measure_.Dpi(); }

private:
    MeasureDevice measure_;
    std::vector<std::string> lines_;
};

}  // namespace report::output
