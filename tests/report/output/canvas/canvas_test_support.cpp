#include "tests/report/output/canvas/canvas_test_support.h"

#include "report/output/canvas/painter_canvas.h"
#include "utility/cp1250.h"

#include <QPainter>

namespace report::output::test {

QImage WhiteImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::white);
    return image;
}

QImage Draw(int width, int height, const std::function<void(Canvas&)>& draw)
{
    QImage image = WhiteImage(width, height);
    {
        QPainter painter(&image);
        PainterCanvas canvas(painter, 96);
        draw(canvas);
    }
    return image;
}

PixelSet InkOf(const QImage& image)
{
    PixelSet ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu)
                ink.emplace(x, y);
    return ink;
}

PixelSet Block(int x0, int y0, int x1, int y1)
{
    PixelSet s;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            s.emplace(x, y);
    return s;
}

PixelSet Frame(int x0, int y0, int x1, int y1)
{
    PixelSet s = Block(x0, y0, x1, y1);
    for (const auto& p : Block(x0 + 1, y0 + 1, x1 - 1, y1 - 1))
        s.erase(p);
    return s;
}

std::string Describe(const PixelSet& pixels)
{
    std::string out;
    for (const auto& [x, y] : pixels)
        out += '(' + std::to_string(x) + ',' + std::to_string(y) + ')';
    return out;
}

void DrawEveryCall(Canvas& canvas)
{
    const PenStyle pens[] = {PenStyle::Solid,      PenStyle::Dash,  PenStyle::Dot,        PenStyle::DashDot,
                             PenStyle::DashDotDot, PenStyle::Clear, PenStyle::InsideFrame};
    const BrushStyle brushes[] = {BrushStyle::Solid,    BrushStyle::Clear,     BrushStyle::Horizontal,
                                  BrushStyle::Vertical, BrushStyle::FDiagonal, BrushStyle::BDiagonal,
                                  BrushStyle::Cross,    BrushStyle::DiagCross};
    int i = 0;
    for (const PenStyle pen : pens) {
        canvas.SetPen({qRgb(20 * i, 0, 200), pen, i % 3});
        canvas.Line(5, 5 + 3 * i, 90, 8 + 3 * i);
        canvas.Rectangle(GdiRect(100 + 12 * i, 5, 110 + 12 * i, 20));
        ++i;
    }
    canvas.SetPen({qRgb(0, 0, 0), PenStyle::Solid, 3});
    for (const BrushStyle brush : brushes) {
        canvas.SetBrush({qRgb(0, 20 * i, 0), brush});
        canvas.FillRect(GdiRect(5 + 11 * (i - 7), 40, 15 + 11 * (i - 7), 50));
        canvas.Ellipse(GdiRect(5 + 11 * (i - 7), 55, 15 + 11 * (i - 7), 70));
        ++i;
    }
    canvas.SetPen({qRgb(200, 0, 0), PenStyle::Solid, 1});
    canvas.SetBrush({qRgb(0, 0, 250), BrushStyle::Cross});
    canvas.RoundRect(GdiRect(100, 40, 140, 70), 12, 8);
    canvas.RoundRect(GdiRect(145, 40, 180, 70), 0, 0);

    std::string every;
    for (int b = 0; b < 256; ++b)
        every += static_cast<char>(b);
    FontSpec font;
    font.face = "Arial";
    font.points = 7;
    canvas.SetFont(font);
    canvas.SetBackground({false, qRgb(255, 255, 255)});
    canvas.TextOut(2, 80, every);
    canvas.TextOut(2, 95, "");
    font.bold = true;
    font.italic = true;
    font.underline = true;
    font.strikeOut = true;
    font.charset = 238;
    font.color = qRgb(0, 128, 0);
    font.points = 10;
    canvas.SetFont(font);
    canvas.SetTextAlign({HorizontalAlign::Right, false});
    canvas.SetBackground({true, qRgb(255, 255, 0)});
    canvas.TextOut(190, 100, utility::Pl("Zażółć gęślą jaźń"));
    canvas.SetTextAlign({HorizontalAlign::Center, true});
    font.orientation = 900;
    font.face = "Times New Roman";
    canvas.SetFont(font);
    canvas.TextOut(30, 180, "Obr\xf3t");

    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.setPixel(0, 0, qRgba(255, 0, 0, 255));
    picture.setPixel(1, 0, qRgba(0, 255, 0, 128));
    picture.setPixel(2, 0, qRgba(0, 0, 255, 0));
    picture.setPixel(0, 1, qRgba(10, 20, 30, 255));
    picture.setPixel(1, 1, qRgba(200, 100, 50, 64));
    picture.setPixel(2, 1, qRgba(255, 255, 255, 255));
    canvas.SetClipRect(GdiRect(60, 120, 90, 140));
    canvas.DrawPicture(QRect(50, 115, 29, 16), picture);
    canvas.SetBrush({qRgb(90, 90, 90), BrushStyle::Solid});
    canvas.FillRect(GdiRect(40, 130, 120, 150));
    canvas.RemoveClip();
    canvas.DrawPicture(QRect(100, 120, 6, 4), picture);
    canvas.SetPen({qRgb(0, 0, 0), PenStyle::Dot, 0});
    canvas.Line(100, 190, 100, 150);
}

}  // namespace report::output::test
