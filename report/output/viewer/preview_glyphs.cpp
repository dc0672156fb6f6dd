#include "report/output/viewer/preview_glyphs.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygon>

namespace report::output {
namespace {

constexpr int kSide = 16;

void Sheet(QPainter& p, const QRect& r)
{
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawRect(r);
}

// A triangle pointing left (`left`) or right, its flat side at x.
void Arrow(QPainter& p, int x, bool left)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 128));
    const int tip = left ? x - 6 : x + 6;
    p.drawPolygon(QPolygon({QPoint(x, 3), QPoint(tip, 8), QPoint(x, 13)}));
}

void Bar(QPainter& p, int x) { p.fillRect(QRect(x, 3, 2, 11), QColor(0, 0, 128)); }

void Printer(QPainter& p)
{
    Sheet(p, QRect(4, 1, 7, 5));
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(QRect(1, 6, 13, 6));
    Sheet(p, QRect(4, 10, 7, 4));
}

void Lens(QPainter& p)
{
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(192, 224, 255));
    p.drawEllipse(QRect(2, 2, 8, 8));
    p.drawLine(10, 10, 14, 14);
}

void Draw(QPainter& p, int index)
{
    switch (index) {
    case 0:  // whole page
        Sheet(p, QRect(4, 1, 8, 13));
        break;
    case 1:  // one to one
        Sheet(p, QRect(1, 1, 13, 13));
        p.drawText(QRect(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("1"));
        break;
    case 2:  // page width
        Sheet(p, QRect(1, 3, 13, 12));
        p.drawLine(3, 1, 12, 1);
        break;
    case 3:
        Bar(p, 3);
        Arrow(p, 12, true);
        break;
    case 4:
        Arrow(p, 11, true);
        break;
    case 5:
        Arrow(p, 5, false);
        break;
    case 6:
        Arrow(p, 4, false);
        Bar(p, 11);
        break;
    case 7:
        Printer(p);
        p.setPen(QPen(QColor(128, 0, 0), 2));
        p.drawLine(11, 15, 15, 11);
        break;
    case 8:
        Printer(p);
        break;
    case 9:  // an open folder
        p.setPen(Qt::black);
        p.setBrush(QColor(255, 224, 128));
        p.drawPolygon(
            QPolygon({QPoint(1, 4), QPoint(6, 4), QPoint(7, 6), QPoint(14, 6), QPoint(14, 13), QPoint(1, 13)}));
        break;
    case 10:  // a disk
        p.setPen(Qt::black);
        p.setBrush(QColor(64, 64, 160));
        p.drawRect(QRect(1, 1, 13, 13));
        p.fillRect(QRect(4, 2, 7, 5), Qt::white);
        break;
    case 11:
        Lens(p);
        break;
    case 12:  // a page with a number
        Sheet(p, QRect(3, 1, 10, 13));
        p.drawText(QRect(3, 1, 11, 14), Qt::AlignCenter, QStringLiteral("#"));
        break;
    case 13:  // stop
        p.setPen(QPen(QColor(192, 0, 0), 3));
        p.drawLine(3, 3, 12, 12);
        p.drawLine(12, 3, 3, 12);
        break;
    case 14:  // two sheets
        Sheet(p, QRect(1, 1, 8, 10));
        Sheet(p, QRect(6, 5, 8, 10));
        break;
    default:
        break;
    }
}

}  // namespace

QIcon PreviewGlyph(int index)
{
    if (index < 0 || index >= kPreviewGlyphCount)
        return {};
    QImage image(kSide, kSide, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        QFont font = painter.font();
        font.setPixelSize(10);
        font.setBold(true);
        painter.setFont(font);
        Draw(painter, index);
    }
    return QIcon(QPixmap::fromImage(image));
}

}  // namespace report::output
