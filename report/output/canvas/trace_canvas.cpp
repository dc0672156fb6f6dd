#include "report/output/canvas/trace_canvas.h"

#include <QCryptographicHash>

#include <array>
#include <cstdio>

namespace report::output {
namespace {

std::string Hex(QRgb color)
{
    std::array<char, 8> buf{};
    std::snprintf(buf.data(), buf.size(), "#%06x", color & 0xFFFFFFu);
    return buf.data();
}

std::string Edge(const QRect& rect)
{
    const Edges e = EdgesOf(rect);
    return std::to_string(e.left) + ',' + std::to_string(e.top) + ',' + std::to_string(e.right) + ',' +
           std::to_string(e.bottom);
}

constexpr std::array<const char*, kPenStyleCount> kPenStyles{"solid",      "dash",  "dot",        "dashdot",
                                                             "dashdotdot", "clear", "insideframe"};
constexpr std::array<const char*, kBrushStyleCount> kBrushStyles{"solid",     "clear",     "horizontal", "vertical",
                                                                 "fdiagonal", "bdiagonal", "cross",      "diagcross"};

std::string PenText(const Pen& pen)
{
    return std::string(" pen=") + kPenStyles[static_cast<std::size_t>(pen.style)] + '/' + std::to_string(pen.width) +
           '/' + Hex(pen.color);
}

std::string BrushText(const Brush& brush)
{
    return std::string(" brush=") + kBrushStyles[static_cast<std::size_t>(brush.style)] + '/' + Hex(brush.color);
}

// Printable ASCII as it is, every other byte as \xNN, so a line stays one line.
std::string Quoted(std::string_view bytes)
{
    std::string out = "\"";
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x20 && b < 0x7F && b != '\\' && b != '"') {
            out += ch;
        } else {
            std::array<char, 5> buf{};
            std::snprintf(buf.data(), buf.size(), "\\x%02x", b);
            out += buf.data();
        }
    }
    return out + '"';
}

}  // namespace

TraceCanvas::TraceCanvas(int dpi) : measure_(dpi) {}

std::string TraceCanvas::Text() const
{
    std::string out;
    for (const std::string& line : lines_)
        out += line + '\n';
    return out;
}

void TraceCanvas::FillRect(const QRect& rect) { lines_.push_back("FillRect " + Edge(rect) + BrushText(GetBrush())); }

void TraceCanvas::Rectangle(const QRect& rect)
{
    lines_.push_back("Rectangle " + Edge(rect) + PenText(GetPen()) + BrushText(GetBrush()));
}

void TraceCanvas::RoundRect(const QRect& rect, int cornerWidth, int cornerHeight)
{
    lines_.push_back("RoundRect " + Edge(rect) + " corner=" + std::to_string(cornerWidth) + 'x' +
                     std::to_string(cornerHeight) + PenText(GetPen()) + BrushText(GetBrush()));
}

void TraceCanvas::Ellipse(const QRect& rect)
{
    lines_.push_back("Ellipse " + Edge(rect) + PenText(GetPen()) + BrushText(GetBrush()));
}

void TraceCanvas::Line(int x0, int y0, int x1, int y1)
{
    lines_.push_back("Line " + std::to_string(x0) + ',' + std::to_string(y0) + ',' + std::to_string(x1) + ',' +
                     std::to_string(y1) + PenText(GetPen()));
}

void TraceCanvas::TextOut(int x, int y, std::string_view text)
{
    const FontSpec& f = GetFont();
    static constexpr std::array<const char*, 3> kAlign{"left", "right", "center"};
    std::string line = "TextOut " + std::to_string(x) + ',' + std::to_string(y) + ' ' + Quoted(text) +
                       " font=" + Quoted(f.face) + '/' + std::to_string(f.points) + "pt/";
    line += f.bold ? 'B' : '-';
    line += f.italic ? 'I' : '-';
    line += f.underline ? 'U' : '-';
    line += f.strikeOut ? 'S' : '-';
    line += '/' + Hex(f.color) + "/charset " + std::to_string(f.charset) + "/angle " + std::to_string(f.orientation);
    if (GetFontScale() != 1)
        line += "/scale " + std::to_string(static_cast<double>(GetFontScale()));
    line += std::string(" align=") + kAlign[static_cast<std::size_t>(GetTextAlign().horizontal)];
    if (GetTextAlign().rightToLeft)
        line += "/rtl";
    line += GetBackground().opaque ? " bg=opaque/" + Hex(GetBackground().color) : " bg=transparent";
    lines_.push_back(std::move(line));
}

void TraceCanvas::DrawPicture(const QRect& rect, const QImage& picture)
{
    std::string line =
        "DrawPicture " + Edge(rect) + ' ' + std::to_string(picture.width()) + 'x' + std::to_string(picture.height());
    if (!picture.isNull()) {
        // The pixels by a digest, so a changed pixel shows in the line.
        const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
        QCryptographicHash hash(QCryptographicHash::Sha1);
        for (int y = 0; y < argb.height(); ++y)
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(argb.constScanLine(y)), argb.width() * 4));
        line += " sha1=" + hash.result().toHex().left(16).toStdString();
    }
    lines_.push_back(std::move(line));
}

void TraceCanvas::SetClipRect(const QRect& rect) { lines_.push_back("SetClipRect " + Edge(rect)); }

void TraceCanvas::RemoveClip() { lines_.push_back("RemoveClip"); }

int TraceCanvas::TextWidth(std::string_view text) { return measure_.TextWidth(GetFont(), text, GetFontScale()); }

int TraceCanvas::TextHeight(std::string_view) { return measure_.TextHeight(GetFont(), GetFontScale()); }

}  // namespace report::output
