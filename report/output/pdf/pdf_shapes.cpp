#include "report/output/pdf/pdf_shapes.h"

#include "report/output/pdf/pdf_fonts.h"
#include "report/output/pdf/pdf_numbers.h"

#include <array>

namespace report::output {
namespace {

// Bézier handles of a quarter ellipse, as a fraction of its radius.
constexpr long double kQuarterHandle = 0.55229L;

struct Point {
    long double x;
    long double y;
};

// One quarter of the ellipse from `from` to `to`: the two control points by the quadrant the
// curve runs through, the six numbers " %6.1f " each, the blanks at both ends trimmed, then " c".
std::string CurveLine(Point from, Point to, long double rx, long double ry)
{
    const long double kx = rx * kQuarterHandle;
    const long double ky = ry * kQuarterHandle;
    Point first;
    Point second;
    if (from.x < to.x && from.y < to.y) {
        first = {from.x, from.y + ky};
        second = {to.x - kx, to.y};
    } else if (from.x < to.x) {
        first = {from.x + kx, from.y};
        second = {to.x, to.y + ky};
    } else if (from.y < to.y) {
        first = {from.x - kx, from.y};
        second = {to.x, to.y - ky};
    } else {
        first = {from.x, from.y - ky};
        second = {to.x + kx, to.y};
    }
    std::string line;
    for (const long double value : {first.x, first.y, second.x, second.y, to.x, to.y}) {
        line += ' ';
        line += PdfFixed(value, 1, 6);
        line += ' ';
    }
    const std::size_t start = line.find_first_not_of(' ');
    const std::size_t end = line.find_last_not_of(' ');
    return line.substr(start, end - start + 1) + " c";
}

void AppendLineTo(std::string& text, Point from, Point to)
{
    AppendPdfTrunc(text, {from.x, from.y});
    text += " m ";
    AppendPdfTrunc(text, {to.x, to.y});
    text += " l s";
}

template <class Sink>
void EmitEllipse(const TPDFItemRec& item, Sink& line)
{
    const long double x = item.X;
    const long double y = item.Y;
    const long double rx = item.Width / 2;
    const long double ry = item.Height / 2;
    line(PdfFixed(x + rx, 1, 6) + " " + PdfFixed(y, 1, 6) + " m");
    const std::array<Point, 5> round = {Point{x + rx, y}, Point{x + item.Width, y - ry}, Point{x + rx, y - item.Height},
                                        Point{x, y - ry}, Point{x + rx, y}};
    for (std::size_t i = 0; i + 1 < round.size(); ++i) {
        std::string curve = CurveLine(round[i], round[i + 1], rx, ry);
        if (i + 2 == round.size())
            curve += item.Filled ? " f" : " s";
        line(curve);
    }
}

// The one or two lines of codes 2 to 8, each from its first point to its second.
std::vector<std::pair<Point, Point>> Strokes(const TPDFItemRec& item)
{
    const long double x = item.X;
    const long double y = item.Y;
    const long double w = item.Width;
    const long double h = item.Height;
    switch (item.ShapeCode) {
    case 2:
        return {{{x, y - h / 2}, {x + w, y - h / 2}}};
    case 3:
        return {{{x + w / 2, y - h}, {x + w / 2, y}}};
    case 5:
        return {{{x, y}, {x + w, y}}, {{x, y - h}, {x + w, y - h}}};
    case 6:
        return {{{x, y - h}, {x, y}}, {{x + w, y - h}, {x + w, y}}};
    case 7:
        return {{{x, y}, {x + w, y - h}}};
    case 8:
        return {{{x, y - h}, {x + w, y}}};
    default:
        return {};
    }
}

}  // namespace

std::uint8_t ShapeCodeOf(const ExportShape& shape)
{
    if (shape.kind == ShapeClass::Rule)
        return 2;
    switch (shape.shape) {
    case TRpShapeType::rpsRectangle:
    case TRpShapeType::rpsRoundRect:
        return 0;
    case TRpShapeType::rpsCircle:
        return 1;
    case TRpShapeType::rpsHorLine:
        return 2;
    case TRpShapeType::rpsVertLine:
        return 3;
    case TRpShapeType::rpsTopAndBottom:
        return 5;
    case TRpShapeType::rpsRightAndLeft:
        return 6;
    case TRpShapeType::rpsRightDiagonal:
        return 7;
    case TRpShapeType::rpsLeftDiagonal:
        return 8;
    }
    return 0;
}

std::vector<TPDFItemRec> ShapeItems(const ExportShape& shape, long double x, long double y, long double scaleX,
                                    long double scaleY)
{
    TPDFItemRec item;
    item.Kind = TPDFItemKind::Shape;
    item.ShapeCode = ShapeCodeOf(shape);
    item.X = x * scaleX;
    item.Y = y * scaleY;
    item.PenWidth = shape.pen.width * scaleX;
    item.PenColor = shape.pen.color;
    item.FillColor = shape.brush.color;
    item.Width = shape.rect.width() * scaleX;
    item.Height = shape.rect.height() * scaleX;

    // A clear brush fills nothing and a clear pen draws nothing, and a line is one stroke
    // whatever the brush: each visible part is written once.
    std::vector<TPDFItemRec> items;
    const bool area = item.ShapeCode == 0 || item.ShapeCode == 1;
    if (area && shape.brush.style != BrushStyle::Clear) {
        item.Filled = true;
        items.push_back(item);
    }
    if (shape.pen.style != PenStyle::Clear) {
        item.Filled = false;
        items.push_back(item);
    }
    return items;
}

namespace {

// Hands each graphics line of a shape item to `line`.
template <class Sink>
void EmitShapeLines(const TPDFItemRec& item, Sink&& line)
{
    std::string text;
    const auto width = [&](int decimals, int digits) {
        text.clear();
        AppendPdfFixed(text, item.PenWidth, decimals, digits);
        text += " w";
        line(text);
    };
    const auto colour = [&](bool filled) {
        text = PdfColorText(filled ? item.FillColor : item.PenColor);
        text += filled ? " rg" : " RG";
        line(text);
    };
    switch (item.ShapeCode) {
    case 0:
        width(2, 0);
        colour(item.Filled);
        text.clear();
        AppendPdfTrunc(text, {item.X, item.Y - item.Height, item.Width, item.Height});
        text += item.Filled ? " re f" : " re s";
        line(text);
        break;
    case 1:
        width(0, 2);
        colour(item.Filled);
        EmitEllipse(item, line);
        break;
    default: {
        const auto strokes = Strokes(item);
        if (strokes.empty())
            break;
        width(0, 2);
        colour(false);
        for (const auto& [from, to] : strokes) {
            text.clear();
            AppendLineTo(text, from, to);
            line(text);
        }
        break;
    }
    }
}

}  // namespace

std::vector<std::string> ShapeLines(const TPDFItemRec& item)
{
    std::vector<std::string> lines;
    EmitShapeLines(item, [&](std::string_view text) { lines.emplace_back(text); });
    return lines;
}

void AppendShapeLines(const TPDFItemRec& item, std::string& out)
{
    EmitShapeLines(item, [&](std::string_view text) {
        out += text;
        out += "\r\n";
    });
}

}  // namespace report::output
