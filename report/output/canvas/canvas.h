// The drawing surface of a report page: pen, brush, font and text settings, and the drawing
// calls the layout uses, all in integer device pixels. The back ends keep the rules the layout
// was made for: a filled shape leaves out its right and bottom edge, a line leaves out its end
// point, text is placed by the top of its cell, a pen of width 0 or 1 draws one pixel.
#pragma once

#include <QImage>
#include <QRect>
#include <QRgb>

#include <cstdint>
#include <string>
#include <string_view>

namespace report::output {

// Coordinates, sizes and pen widths are kept within this many pixels either side of 0.
inline constexpr int kCoordinateLimit = 1 << 24;

enum class PenStyle : std::uint8_t { Solid, Dash, Dot, DashDot, DashDotDot, Clear, InsideFrame };
inline constexpr int kPenStyleCount = 7;

enum class BrushStyle : std::uint8_t { Solid, Clear, Horizontal, Vertical, FDiagonal, BDiagonal, Cross, DiagCross };
inline constexpr int kBrushStyleCount = 8;

// Colours are plain red, green and blue (alpha is ignored); system colours are resolved before
// they reach a canvas (ColorFromTColor).
struct Pen {
    QRgb color = qRgb(0, 0, 0);
    PenStyle style = PenStyle::Solid;
    int width = 1;  // device pixels; 0 and 1 both draw one pixel, dashes only at these widths
    bool operator==(const Pen&) const = default;
};

struct Brush {
    QRgb color = qRgb(255, 255, 255);
    BrushStyle style = BrushStyle::Solid;  // hatches are drawn in `color` over what lies below
    bool operator==(const Brush&) const = default;
};

struct FontSpec {
    std::string face = "MS Sans Serif";  // code page 1250
    int points = 8;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = 1;  // the Windows character set number, kept for the PDF writer
    QRgb color = qRgb(0, 0, 0);
    int orientation = 0;  // tenths of a degree, counter-clockwise
    bool operator==(const FontSpec&) const = default;
};

enum class HorizontalAlign : std::uint8_t { Left, Right, Center };

// Text is always placed by the top of its cell; x is the cell's left edge, right edge or centre.
struct TextAlign {
    HorizontalAlign horizontal = HorizontalAlign::Left;
    bool rightToLeft = false;  // right-to-left reading order
    bool operator==(const TextAlign&) const = default;
};

// Behind text: transparent (nothing painted) or opaque (the text cell filled with `color`).
struct Background {
    bool opaque = true;
    QRgb color = qRgb(255, 255, 255);
    bool operator==(const Background&) const = default;
};

// A colour value as the report's form descriptions hold it: 0x00BBGGRR, or a system colour
// (0x80000000 or 0xFF000000 plus the colour's index), resolved through one fixed table.
[[nodiscard]] QRgb ColorFromTColor(std::uint32_t color);
// One colour of the fixed system colour table (the classic desktop's defaults); black for an
// index beyond the table.
[[nodiscard]] QRgb SystemColor(int index);

// A rectangle given by its edges as the layout computes them: covers x left..right-1 and
// y top..bottom-1.
[[nodiscard]] inline QRect GdiRect(int left, int top, int right, int bottom)
{
    return QRect(left, top, right - left, bottom - top);
}

// The edges of a rectangle: right = x + width, bottom = y + height (each may lie before its
// opposite edge when the rectangle is inverted).
struct Edges {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Edges&) const = default;
};
[[nodiscard]] Edges EdgesOf(const QRect& rect);
// The same edges with left <= right and top <= bottom, each clamped to kCoordinateLimit.
[[nodiscard]] Edges NormalizedEdges(const QRect& rect);
[[nodiscard]] int ClampCoordinate(long long value);

// The settings every canvas keeps; drawing calls use them as they are at the call.
struct CanvasState {
    Pen pen;
    Brush brush;
    FontSpec font;
    TextAlign textAlign;
    Background background;
    long double fontScale = 1;  // text drawn at scale x its natural pixel height (page replay)
};

class Canvas {
public:
    Canvas() = default;
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
    virtual ~Canvas() = default;

    void SetPen(const Pen& pen) { state_.pen = pen; }
    void SetBrush(const Brush& brush) { state_.brush = brush; }
    void SetFont(const FontSpec& font) { state_.font = font; }
    void SetTextAlign(const TextAlign& align) { state_.textAlign = align; }
    void SetBackground(const Background& background) { state_.background = background; }
    // Used by page replay to stretch text with the page; values <= 0 count as 1.
    void SetFontScale(long double scale) { state_.fontScale = scale > 0 ? scale : 1; }
    void SetState(const CanvasState& state) { state_ = state; }

    [[nodiscard]] const Pen& GetPen() const { return state_.pen; }
    [[nodiscard]] const Brush& GetBrush() const { return state_.brush; }
    [[nodiscard]] const FontSpec& GetFont() const { return state_.font; }
    [[nodiscard]] const TextAlign& GetTextAlign() const { return state_.textAlign; }
    [[nodiscard]] const Background& GetBackground() const { return state_.background; }
    [[nodiscard]] long double GetFontScale() const { return state_.fontScale; }
    [[nodiscard]] const CanvasState& State() const { return state_; }

    // Fills the rectangle with the brush (no outline).
    virtual void FillRect(const QRect& rect) = 0;
    // Outline with the pen, inside with the brush, all within the rectangle. With a clear pen
    // the fill leaves out one more column and row, as the original platform does.
    virtual void Rectangle(const QRect& rect) = 0;
    // `cornerWidth` x `cornerHeight` is the size of the ellipse that rounds each corner.
    virtual void RoundRect(const QRect& rect, int cornerWidth, int cornerHeight) = 0;
    virtual void Ellipse(const QRect& rect) = 0;
    // From (x0, y0) up to, not including, (x1, y1).
    virtual void Line(int x0, int y0, int x1, int y1) = 0;
    // `text` in code page 1250; (x, y) is the top of the text cell, its left edge, right edge
    // or centre by the text alignment.
    virtual void TextOut(int x, int y, std::string_view text) = 0;
    // Stretched nearest-neighbour into `rect`, alpha blended; an empty rectangle draws nothing.
    virtual void DrawPicture(const QRect& rect, const QImage& picture) = 0;
    // Drawing is cut to the rectangle until RemoveClip; a new clip replaces the old one.
    virtual void SetClipRect(const QRect& rect) = 0;
    virtual void RemoveClip() = 0;
    // Measures with the current font: width of `text` and height of one line (ascent plus
    // descent), in whole device pixels.
    [[nodiscard]] virtual int TextWidth(std::string_view text) = 0;
    [[nodiscard]] virtual int TextHeight(std::string_view text) = 0;
    // Pixels per inch of the device the canvas draws for.
    [[nodiscard]] virtual int Dpi() const = 0;

private:
    CanvasState state_;
};

}  // namespace report::output
