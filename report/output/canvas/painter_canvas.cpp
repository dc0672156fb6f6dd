#include "report/output/canvas/painter_canvas.h"

#include "utility/cp1250.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace report::output {
namespace {

// Dash patterns of one-pixel pens, in pixels on and off, as the original platform draws them.
QList<qreal> DashPattern(PenStyle style)
{
    switch (style) {
    case PenStyle::Dash: return {18, 6};
    case PenStyle::Dot: return {3, 3};
    case PenStyle::DashDot: return {9, 6, 3, 6};
    case PenStyle::DashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
    }
}

Qt::BrushStyle QtBrushStyle(BrushStyle style)
{
    switch (style) {
    case BrushStyle::Solid: return Qt::SolidPattern;
    case BrushStyle::Clear: return Qt::NoBrush;
    case BrushStyle::Horizontal: return Qt::HorPattern;
    case BrushStyle::Vertical: return Qt::VerPattern;
    case BrushStyle::FDiagonal: return Qt::FDiagPattern;
    case BrushStyle::BDiagonal: return Qt::BDiagPattern;
    case BrushStyle::Cross: return Qt::CrossPattern;
    case BrushStyle::DiagCross: return Qt::DiagCrossPattern;
    }
    return Qt::SolidPattern;
}

QColor Opaque(QRgb color) { return QColor(qRed(color), qGreen(color), qBlue(color)); }

}  // namespace

PainterCanvas::PainterCanvas(QPainter& painter, int dpi)
    : painter_(painter), dpi_(dpi > 0 ? dpi : kMeasureDpi), measure_(dpi_),
      hadClip_(painter.hasClipping()), baseClip_(hadClip_ ? painter.clipRegion() : QRegion())
{
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.setBrushOrigin(0, 0);
}

PainterCanvas::~PainterCanvas()
{
    painter_.restore();
}

QBrush PainterCanvas::CurrentBrush() const
{
    return QBrush(Opaque(GetBrush().color), QtBrushStyle(GetBrush().style));
}

QPen PainterCanvas::CosmeticPen() const
{
    QPen pen(Opaque(GetPen().color));
    pen.setWidth(0);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    const QList<qreal> dashes = DashPattern(GetPen().style);
    if (!dashes.isEmpty())
        pen.setDashPattern(dashes);
    return pen;
}

void PainterCanvas::FillRect(const QRect& rect)
{
    const Edges e = NormalizedEdges(rect);
    if (GetBrush().style == BrushStyle::Clear || e.left == e.right || e.top == e.bottom)
        return;
    painter_.fillRect(GdiRect(e.left, e.top, e.right, e.bottom), CurrentBrush());
}

void PainterCanvas::Rectangle(const QRect& rect)
{
    DrawShape(Shape::Rectangle, rect, 0, 0);
}

void PainterCanvas::RoundRect(const QRect& rect, int cornerWidth, int cornerHeight)
{
    DrawShape(Shape::RoundRect, rect, cornerWidth, cornerHeight);
}

void PainterCanvas::Ellipse(const QRect& rect)
{
    DrawShape(Shape::Ellipse, rect, 0, 0);
}

void PainterCanvas::DrawShape(Shape shape, const QRect& rect, int cornerWidth, int cornerHeight)
{
    const Edges e = NormalizedEdges(rect);
    const Pen& pen = GetPen();
    const bool noPen = pen.style == PenStyle::Clear;
    // Without a pen the fill leaves out one more column and row.
    const int inset = noPen ? 1 : 0;
    const qreal w = e.right - e.left - inset;
    const qreal h = e.bottom - e.top - inset;
    if (w <= 0 || h <= 0)
        return;
    const qreal rx = std::min<qreal>(std::abs(cornerWidth), w) / 2;
    const qreal ry = std::min<qreal>(std::abs(cornerHeight), h) / 2;
    auto path = [&](QRectF box) {
        QPainterPath p;
        if (shape == Shape::Ellipse)
            p.addEllipse(box);
        else if (shape == Shape::RoundRect && rx > 0 && ry > 0)
            p.addRoundedRect(box, rx, ry);
        else
            p.addRect(box);
        return p;
    };
    painter_.save();
    if (GetBrush().style != BrushStyle::Clear)
        painter_.fillPath(path(QRectF(e.left, e.top, w, h)), CurrentBrush());
    if (!noPen) {
        painter_.setBrush(Qt::NoBrush);
        if (pen.width <= 1) {
            painter_.setPen(CosmeticPen());
            // Through the pixel centres of the outermost pixels.
            painter_.drawPath(path(QRectF(e.left + 0.5, e.top + 0.5, w - 1, h - 1)));
        } else {
            QPen wide(Opaque(pen.color), pen.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
            // The stroke is centred on the pixel centres of the outline; an inside-frame pen
            // keeps all of it within the rectangle.
            const qreal in = pen.style == PenStyle::InsideFrame ? pen.width / 2.0 : 0.5;
            if (w - 2 * in >= 0 && h - 2 * in >= 0) {
                painter_.setPen(wide);
                painter_.drawPath(path(QRectF(e.left + in, e.top + in, w - 2 * in, h - 2 * in)));
            }
        }
    }
    painter_.restore();
}

void PainterCanvas::Line(int x0, int y0, int x1, int y1)
{
    const Pen& pen = GetPen();
    if (pen.style == PenStyle::Clear || (x0 == x1 && y0 == y1))
        return;
    x0 = ClampCoordinate(x0);
    y0 = ClampCoordinate(y0);
    x1 = ClampCoordinate(x1);
    y1 = ClampCoordinate(y1);
    if (pen.width <= 1) {
        ThinLine(x0, y0, x1, y1);
        return;
    }
    painter_.save();
    painter_.setPen(QPen(Opaque(pen.color), pen.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter_.drawLine(QPointF(x0 + 0.5, y0 + 0.5), QPointF(x1 + 0.5, y1 + 0.5));
    painter_.restore();
}

// One-pixel lines are set pixel by pixel: Qt's own line leaves out whichever end lies right
// or below, not always the end point. Only the part over the device is walked.
void PainterCanvas::ThinLine(int x0, int y0, int x1, int y1)
{
    const long long dx = static_cast<long long>(x1) - x0;
    const long long dy = static_cast<long long>(y1) - y0;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long count = std::max(std::llabs(dx), std::llabs(dy));  // end point left out
    const long long major0 = xMajor ? x0 : y0;
    const long long minor0 = xMajor ? y0 : x0;
    const long long majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const long long minorDelta = xMajor ? dy : dx;
    const long long minorSign = minorDelta < 0 ? -1 : 1;
    const long long aMinor = std::llabs(minorDelta);

    const QPaintDevice* device = painter_.device();
    const QRectF visible = painter_.worldTransform().inverted().mapRect(
        QRectF(0, 0, device ? device->width() : 0, device ? device->height() : 0));
    const long long lo = static_cast<long long>(std::floor(xMajor ? visible.left() : visible.top())) - 1;
    const long long hi = static_cast<long long>(std::ceil(xMajor ? visible.right() : visible.bottom())) + 1;
    // Indices i whose major coordinate major0 + step * i lies within lo..hi.
    long long first = majorStep > 0 ? lo - major0 : major0 - hi;
    long long last = majorStep > 0 ? hi - major0 : major0 - lo;
    first = std::max(first, 0LL);
    last = std::min(last, count - 1);
    if (first > last)
        return;

    QList<qreal> pattern = DashPattern(GetPen().style);
    long long period = 0;
    for (const qreal part : pattern)
        period += static_cast<long long>(part);
    auto isOn = [&](long long i) {
        if (period == 0)
            return true;
        long long at = i % period;
        for (qsizetype k = 0; k < pattern.size(); ++k) {
            at -= static_cast<long long>(pattern[k]);
            if (at < 0)
                return k % 2 == 0;
        }
        return false;
    };
    // Minor coordinate of pixel i: i * slope rounded to nearest, ties toward the start.
    auto minorAt = [&](long long i) {
        if (count == 0)
            return minor0;
        return minor0 + minorSign * ((2 * i * aMinor + count - 1) / (2 * count));
    };
    const QColor color = Opaque(GetPen().color);
    long long runStart = -1;
    long long runMinor = 0;
    auto flush = [&](long long endExclusive) {
        if (runStart < 0)
            return;
        const long long a = major0 + majorStep * runStart;
        const long long b = major0 + majorStep * (endExclusive - 1);
        const int from = static_cast<int>(std::min(a, b));
        const int length = static_cast<int>(std::llabs(b - a) + 1);
        const int minor = static_cast<int>(runMinor);
        painter_.fillRect(xMajor ? QRect(from, minor, length, 1) : QRect(minor, from, 1, length), color);
        runStart = -1;
    };
    for (long long i = first; i <= last; ++i) {
        const long long minor = minorAt(i);
        if (!isOn(i)) {
            flush(i);
            continue;
        }
        if (runStart >= 0 && minor != runMinor)
            flush(i);
        if (runStart < 0) {
            runStart = i;
            runMinor = minor;
        }
    }
    flush(last + 1);
}

void PainterCanvas::TextOut(int x, int y, std::string_view text)
{
    const FontSpec& font = GetFont();
    const long double scale = GetFontScale();
    QString s = utility::Cp1250ToQString(text);
    if (GetTextAlign().rightToLeft)
        s = QChar(0x202B) + s + QChar(0x202C);  // right-to-left embedding
    const int width = measure_.TextWidth(font, text, scale);
    const int ascent = measure_.Ascent(font, scale);
    const int height = measure_.TextHeight(font, scale);
    int left = ClampCoordinate(x);
    switch (GetTextAlign().horizontal) {
    case HorizontalAlign::Left: break;
    case HorizontalAlign::Right: left -= width; break;
    case HorizontalAlign::Center: left -= width / 2; break;
    }
    y = ClampCoordinate(y);
    painter_.save();
    if (font.orientation % 3600 != 0) {
        painter_.translate(x, y);
        painter_.rotate(-(font.orientation / 10.0));
        painter_.translate(-x, -y);
    }
    if (GetBackground().opaque)
        painter_.fillRect(QRect(left, y, width, height), Opaque(GetBackground().color));
    const QColor color = Opaque(font.color);
    QFont drawn = measure_.Font(font, scale);
    if (font.underline || font.strikeOut) {
        // Qt may put the underline below the cell; the lines are drawn here, inside it.
        drawn.setUnderline(false);
        drawn.setStrikeOut(false);
        const QFontMetricsF& metrics = measure_.Metrics(font, scale);
        const int thickness = std::max(1, RoundHalfEvenInt(metrics.lineWidth()));
        const int baseline = y + ascent;
        if (font.underline) {
            const int top = std::min(baseline + std::max(1, RoundHalfEvenInt(metrics.underlinePos())),
                                     y + height - thickness);
            painter_.fillRect(QRect(left, top, width, thickness), color);
        }
        if (font.strikeOut)
            painter_.fillRect(QRect(left, baseline - RoundHalfEvenInt(metrics.strikeOutPos()), width, thickness), color);
    }
    // Glyph ink is kept to the cell's rows, as the original platform clips it to the font's
    // ascent and descent; sideways a glyph may overhang.
    painter_.setClipRect(QRect(left - height, y, width + 2 * height, height), Qt::IntersectClip);
    painter_.setFont(drawn);
    painter_.setPen(color);
    painter_.drawText(QPointF(left, y + ascent), s);
    painter_.restore();
}

void PainterCanvas::DrawPicture(const QRect& rect, const QImage& picture)
{
    const Edges e = EdgesOf(rect);
    if (picture.isNull() || e.right <= e.left || e.bottom <= e.top)
        return;
    painter_.drawImage(GdiRect(e.left, e.top, e.right, e.bottom), picture);
}

void PainterCanvas::SetClipRect(const QRect& rect)
{
    const Edges e = NormalizedEdges(rect);
    const QRect clip = GdiRect(e.left, e.top, e.right, e.bottom);
    if (hadClip_) {
        painter_.setClipRegion(baseClip_);
        painter_.setClipRect(clip, Qt::IntersectClip);
    } else {
        painter_.setClipRect(clip);
    }
}

void PainterCanvas::RemoveClip()
{
    if (hadClip_)
        painter_.setClipRegion(baseClip_);
    else
        painter_.setClipping(false);
}

int PainterCanvas::TextWidth(std::string_view text)
{
    return measure_.TextWidth(GetFont(), text, GetFontScale());
}

int PainterCanvas::TextHeight(std::string_view)
{
    return measure_.TextHeight(GetFont(), GetFontScale());
}

}  // namespace report::output
