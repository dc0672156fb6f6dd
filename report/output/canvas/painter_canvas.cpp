#include "report/output/canvas/painter_canvas.h"

#include "report/output/canvas/rounding.h"
#include "utility/cp1250.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace report::output {
namespace {

// Dash patterns of one-pixel pens, in pixels on and off, as the original platform draws them.
QList<qreal> DashPattern(PenStyle style)
{
    switch (style) {
    case PenStyle::Dash:
        return {18, 6};
    case PenStyle::Dot:
        return {3, 3};
    case PenStyle::DashDot:
        return {9, 6, 3, 6};
    case PenStyle::DashDotDot:
        return {9, 3, 3, 3, 3, 3};
    default:
        return {};
    }
}

Qt::BrushStyle QtBrushStyle(BrushStyle style)
{
    switch (style) {
    case BrushStyle::Solid:
        return Qt::SolidPattern;
    case BrushStyle::Clear:
        return Qt::NoBrush;
    case BrushStyle::Horizontal:
        return Qt::HorPattern;
    case BrushStyle::Vertical:
        return Qt::VerPattern;
    case BrushStyle::FDiagonal:
        return Qt::FDiagPattern;
    case BrushStyle::BDiagonal:
        return Qt::BDiagPattern;
    case BrushStyle::Cross:
        return Qt::CrossPattern;
    case BrushStyle::DiagCross:
        return Qt::DiagCrossPattern;
    }
    return Qt::SolidPattern;
}

QColor Opaque(QRgb color) { return QColor(qRed(color), qGreen(color), qBlue(color)); }

// Ink (antialiased edges, rounding) may reach this many device pixels beyond a shape's box.
constexpr qreal kInkMargin = 2;
// Before its font is made a text is bounded by its size: no face draws a character taller or
// wider than this many ems (the widest of this system's faces is about one and a half).
constexpr qreal kBoundEms = 4;

// A rectangle of the given position and size, its edges kept within kCoordinateLimit.
QRect ClampedRect(long long left, long long top, long long width, long long height)
{
    return GdiRect(ClampCoordinate(left), ClampCoordinate(top), ClampCoordinate(left + width),
                   ClampCoordinate(top + height));
}

}  // namespace

PainterCanvas::PainterCanvas(QPainter& painter, int dpi, MeasureDevice* fonts)
    : painter_(painter), dpi_(dpi > 0 ? dpi : kMeasureDpi),
      measure_(fonts && fonts->Dpi() == dpi_ ? fonts : &ownFonts_.emplace(dpi_)), paintFonts_(dpi_),
      hadClip_(painter.hasClipping()), baseClip_(hadClip_ ? painter.clipRegion() : QRegion())
{
    const QPaintDevice* device = painter.device();
    if (device && device->width() > 0 && device->height() > 0) {
        QRectF area(0, 0, device->width(), device->height());
        if (hadClip_)
            area &= painter.combinedTransform().mapRect(painter.clipBoundingRect());
        deviceArea_ = area;
    }
    UpdateVisible();
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter_.setBrushOrigin(0, 0);
}

void PainterCanvas::UpdateVisible()
{
    visible_ = deviceArea_;
    if (visible_ && clip_)
        *visible_ &= painter_.combinedTransform().mapRect(*clip_);
}

bool PainterCanvas::Shows(const QRectF& box, const QTransform& transform)
{
    if (!visible_)
        return true;
    const QTransform toDevice = transform * painter_.combinedTransform();
    const QRectF onDevice = toDevice.mapRect(box).adjusted(-kInkMargin, -kInkMargin, kInkMargin, kInkMargin);
    bool meets = onDevice.intersects(*visible_);
    if (meets && !toDevice.isAffine()) {
        // A perspective: the box's bounds are all that is known.
    } else if (meets && (toDevice.m12() != 0 || toDevice.m21() != 0)) {
        // Turned: the box's bounds may meet the area where its edges do not. Its two edge
        // directions are tried as separating axes too.
        const QPolygonF corners = toDevice.map(QPolygonF(box));
        const QPolygonF area = QPolygonF(*visible_);
        for (int edge = 0; edge < 2 && meets; ++edge) {
            const QPointF along = corners[edge + 1] - corners[edge];
            const QPointF normal(-along.y(), along.x());
            const qreal length = std::hypot(normal.x(), normal.y());
            if (length == 0)
                continue;
            const auto span = [&](const QPolygonF& polygon) {
                qreal low = std::numeric_limits<qreal>::max();
                qreal high = std::numeric_limits<qreal>::lowest();
                for (int i = 0; i < 4; ++i) {
                    const qreal at = QPointF::dotProduct(polygon[i], normal) / length;
                    low = std::min(low, at);
                    high = std::max(high, at);
                }
                return std::pair{low, high};
            };
            const auto [boxLow, boxHigh] = span(corners);
            const auto [areaLow, areaHigh] = span(area);
            meets = boxLow - kInkMargin < areaHigh && areaLow < boxHigh + kInkMargin;
        }
    }
    if (meets)
        return true;
    ++counts_.skipped;
    return false;
}

bool PainterCanvas::ShapeShows(const QRectF& rect)
{
    const qreal reach = GetPen().style == PenStyle::Clear ? 0 : GetPen().width / 2.0 + 1;
    return Shows(rect.adjusted(-reach, -reach, reach, reach));
}

PainterCanvas::~PainterCanvas() { painter_.restore(); }

QBrush PainterCanvas::CurrentBrush() const { return QBrush(Opaque(GetBrush().color), QtBrushStyle(GetBrush().style)); }

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
    const QRect box = GdiRect(e.left, e.top, e.right, e.bottom);
    if (!Shows(box))
        return;
    ++counts_.calls;
    painter_.fillRect(box, CurrentBrush());
}

void PainterCanvas::Rectangle(const QRect& rect) { DrawShape(Shape::Rectangle, rect, 0, 0); }

void PainterCanvas::RoundRect(const QRect& rect, int cornerWidth, int cornerHeight)
{
    DrawShape(Shape::RoundRect, rect, cornerWidth, cornerHeight);
}

void PainterCanvas::Ellipse(const QRect& rect) { DrawShape(Shape::Ellipse, rect, 0, 0); }

void PainterCanvas::DrawShape(Shape shape, const QRect& rect, int cornerWidth, int cornerHeight)
{
    const Edges e = NormalizedEdges(rect);
    const Pen& pen = GetPen();
    const bool noPen = pen.style == PenStyle::Clear;
    // Without a pen the fill leaves out one more column and row.
    const int inset = noPen ? 1 : 0;
    const qreal w = e.right - e.left - inset;
    const qreal h = e.bottom - e.top - inset;
    if (w <= 0 || h <= 0 || !ShapeShows(QRectF(e.left, e.top, w + inset, h + inset)))
        return;
    ++counts_.calls;
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
    if (!ShapeShows(
            QRectF(QPointF(std::min(x0, x1), std::min(y0, y1)), QPointF(std::max(x0, x1) + 1, std::max(y0, y1) + 1))))
        return;
    ++counts_.calls;
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
    const bool turned = font.orientation % 3600 != 0;
    y = ClampCoordinate(y);
    // The turn the painter makes below, for the boxes that decide what is drawn.
    QTransform turn;
    if (turned) {
        turn.translate(x, y);
        turn.rotate(-(font.orientation / 10.0));
        turn.translate(-x, -y);
    }
    const long long anchor = ClampCoordinate(x);
    {
        // Before the font is made or looked up: from its size alone, a text far away is left
        // out at no cost. A face of bitmaps only may draw a small size larger than asked: below
        // 64 pixels the bound takes 64.
        const qreal h = kBoundEms * std::max(FontPixelSize(font, dpi_, scale), 64) + kInkMargin;
        const qreal w = static_cast<qreal>(text.size()) * h;
        if (!Shows(QRectF(anchor - w - h, y - h, 2 * (w + h), 3 * h), turn))
            return;
    }
    // The font it is drawn with: past the paint's bound of fonts, one already made, scaled.
    const PaintFonts::Choice made = paintFonts_.Choose(font, scale);
    const bool scaled = made.factor != 1;
    if (scaled) {
        turn = QTransform();
        turn.translate(x, y);
        if (turned)
            turn.rotate(-(font.orientation / 10.0));
        turn.scale(static_cast<qreal>(made.factor), static_cast<qreal>(made.factor));
        turn.translate(-x, -y);
    }
    const int width = measure_->TextWidth(made.font, text, made.scale);
    const int ascent = measure_->Ascent(made.font, made.scale);
    const int height = measure_->TextHeight(made.font, made.scale);
    long long left = anchor;
    switch (GetTextAlign().horizontal) {
    case HorizontalAlign::Left:
        break;
    case HorizontalAlign::Right:
        left -= width;
        break;
    case HorizontalAlign::Center:
        left -= width / 2;
        break;
    }
    const QRect cell = ClampedRect(left, y, width, height);
    // Glyph ink is kept to the cell's rows, as the original platform clips it to the font's
    // ascent and descent; sideways a glyph may overhang.
    const QRect glyphClip = ClampedRect(left - height, y, static_cast<long long>(width) + 2LL * height, height);
    const QColor color = Opaque(font.color);
    QFont drawn = measure_->Font(made.font, made.scale);
    QRect underline;
    QRect strikeOut;
    if (font.underline || font.strikeOut) {
        // Qt may put the underline below the cell; the lines are drawn here, inside it.
        drawn.setUnderline(false);
        drawn.setStrikeOut(false);
        const QFontMetricsF& metrics = measure_->Metrics(made.font, made.scale);
        const int thickness = std::max(1, RoundHalfEvenInt(metrics.lineWidth()));
        const long long baseline = static_cast<long long>(y) + ascent;
        if (font.underline) {
            const long long top = std::min(baseline + std::max(1, RoundHalfEvenInt(metrics.underlinePos())),
                                           static_cast<long long>(y) + height - thickness);
            underline = ClampedRect(left, top, width, thickness);
        }
        if (font.strikeOut)
            strikeOut = ClampedRect(left, baseline - RoundHalfEvenInt(metrics.strikeOutPos()), width, thickness);
    }
    const bool opaque = GetBackground().opaque;
    const QRect ink = glyphClip.united(opaque ? cell : QRect()).united(underline).united(strikeOut);
    if (!Shows(ink, turn))
        return;
    // A turned text far larger than what can be seen: Qt rasterises its glyphs over the whole
    // turned clip. The clip is then cut, on the device, to the visible area and a margin: the
    // same clip where anything can show. Texts of ordinary size keep their clip as it is.
    const QTransform toDevice = turn * painter_.combinedTransform();
    bool cutClip = false;
    if (turned && visible_ && !painter_.viewTransformEnabled()) {
        const qreal margin = std::max(visible_->width(), visible_->height());
        cutClip = !visible_->adjusted(-margin, -margin, margin, margin).contains(toDevice.mapRect(QRectF(ink)));
    }

    QString s = utility::Cp1250ToQString(text);
    if (GetTextAlign().rightToLeft)
        s = QChar(0x202B) + s + QChar(0x202C);  // right-to-left embedding
    ++counts_.calls;
    painter_.save();
    if (turned || scaled) {
        painter_.translate(x, y);
        if (turned)
            painter_.rotate(-(font.orientation / 10.0));
        if (scaled)
            painter_.scale(static_cast<qreal>(made.factor), static_cast<qreal>(made.factor));
        painter_.translate(-x, -y);
    }
    if (opaque)
        painter_.fillRect(cell, Opaque(GetBackground().color));
    if (!underline.isNull())
        painter_.fillRect(underline, color);
    if (!strikeOut.isNull())
        painter_.fillRect(strikeOut, color);
    QRectF clipped;  // the clip's box on the device
    if (cutClip) {
        const QTransform world = painter_.worldTransform();
        QPainterPath cellPath;
        cellPath.addRect(QRectF(glyphClip));
        QPainterPath area;
        area.addRect(visible_->adjusted(-2 * kInkMargin, -2 * kInkMargin, 2 * kInkMargin, 2 * kInkMargin));
        const QPainterPath clip = world.map(cellPath).intersected(area);
        painter_.setWorldTransform(QTransform());
        painter_.setClipPath(clip, Qt::IntersectClip);
        painter_.setWorldTransform(world);
        clipped = clip.boundingRect();
    } else {
        painter_.setClipRect(glyphClip, Qt::IntersectClip);
        clipped = toDevice.mapRect(QRectF(glyphClip));
        if (!turned && deviceArea_)
            clipped &= *deviceArea_;
    }
    if (!clipped.isEmpty()) {
        counts_.largestGlyphClip = std::max<long double>(counts_.largestGlyphClip,
                                                         static_cast<long double>(clipped.width()) * clipped.height());
        counts_.glyphs += static_cast<long long>(text.size());
        painter_.setFont(drawn);
        painter_.setPen(color);
        painter_.drawText(QPointF(static_cast<qreal>(left), static_cast<qreal>(y) + ascent), s);
    }
    painter_.restore();
}

void PainterCanvas::DrawPicture(const QRect& rect, const QImage& picture)
{
    const Edges e = EdgesOf(rect);
    if (picture.isNull() || e.right <= e.left || e.bottom <= e.top)
        return;
    const QRect box = GdiRect(e.left, e.top, e.right, e.bottom);
    if (!Shows(box))
        return;
    ++counts_.calls;
    painter_.drawImage(box, picture);
}

void PainterCanvas::SetClipRect(const QRect& rect)
{
    const Edges e = NormalizedEdges(rect);
    const QRect clip = GdiRect(e.left, e.top, e.right, e.bottom);
    clip_ = QRectF(clip);
    UpdateVisible();
    if (hadClip_) {
        painter_.setClipRegion(baseClip_);
        painter_.setClipRect(clip, Qt::IntersectClip);
    } else {
        painter_.setClipRect(clip);
    }
}

void PainterCanvas::RemoveClip()
{
    clip_.reset();
    UpdateVisible();
    if (hadClip_)
        painter_.setClipRegion(baseClip_);
    else
        painter_.setClipping(false);
}

int PainterCanvas::TextWidth(std::string_view text) { return measure_->TextWidth(GetFont(), text, GetFontScale()); }

int PainterCanvas::TextHeight(std::string_view) { return measure_->TextHeight(GetFont(), GetFontScale()); }

}  // namespace report::output
