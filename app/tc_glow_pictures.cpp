#include "app/tc_glow_pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace app {
namespace {

QPixmap Blank(int width, int height)
{
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void DrawRingOfDots(QPainter& p, QPointF centre, qreal radius, qreal dot)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 214, 0));
    for (int i = 0; i < 12; ++i) {
        const qreal a = i * std::numbers::pi / 6.0;
        p.drawEllipse(QPointF(centre.x() + radius * std::cos(a), centre.y() + radius * std::sin(a)), dot, dot);
    }
}

void DrawPhoto(QPainter& p, const QRectF& frame)
{
    p.setPen(QPen(QColor(150, 150, 160), 1));
    p.setBrush(QColor(236, 238, 244));
    p.drawRect(frame);
    // Head and shoulders of a neutral silhouette.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(178, 182, 194));
    const qreal cx = frame.center().x();
    p.drawEllipse(QPointF(cx, frame.top() + frame.height() * 0.38), frame.width() * 0.17, frame.height() * 0.2);
    QPainterPath shoulders;
    shoulders.moveTo(frame.left() + frame.width() * 0.12, frame.bottom());
    shoulders.cubicTo(frame.left() + frame.width() * 0.15, frame.top() + frame.height() * 0.62,
                      frame.right() - frame.width() * 0.15, frame.top() + frame.height() * 0.62,
                      frame.right() - frame.width() * 0.12, frame.bottom());
    shoulders.closeSubpath();
    p.drawPath(shoulders);
}

}  // namespace

QPixmap DrawCardPicture()
{
    QPixmap pixmap = Blank(553, 321);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF card(3.5, 3.5, 545, 313);
    QLinearGradient face(card.topLeft(), card.bottomRight());
    face.setColorAt(0.0, QColor(250, 232, 236));
    face.setColorAt(0.55, QColor(244, 240, 248));
    face.setColorAt(1.0, QColor(226, 236, 250));
    p.setPen(QPen(QColor(110, 110, 120), 1.5));
    p.setBrush(face);
    p.drawRoundedRect(card, 18, 18);

    // Fine guilloche waves across the face.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(232, 196, 206), 0.8));
    for (int line = 0; line < 9; ++line) {
        QPainterPath wave;
        const qreal base = 236 + line * 8;
        wave.moveTo(card.left() + 8, base);
        for (qreal x = card.left() + 8; x <= card.right() - 8; x += 4)
            wave.lineTo(x, base + 6 * std::sin((x + line * 11) / 23.0));
        p.drawPath(wave);
    }

    // The issuing country's patch with its ring of dots; the country sign label sits on it.
    const QRectF patch(55, 28, 73, 47);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 51, 153));
    p.drawRoundedRect(patch, 5, 5);
    DrawRingOfDots(p, patch.center(), 19, 1.8);

    DrawPhoto(p, QRectF(22, 78, 100, 100));

    // The lower country sign sits in an oval.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(110, 82, 49), 2));
    p.drawEllipse(QRectF(52, 262, 75, 43));

    // Chip contacts.
    const QRectF chip(448, 110, 62, 48);
    QLinearGradient gold(chip.topLeft(), chip.bottomRight());
    gold.setColorAt(0, QColor(240, 212, 128));
    gold.setColorAt(1, QColor(196, 154, 58));
    p.setPen(QPen(QColor(150, 112, 40), 1));
    p.setBrush(gold);
    p.drawRoundedRect(chip, 7, 7);
    p.drawLine(QPointF(chip.left(), chip.center().y()), QPointF(chip.right(), chip.center().y()));
    p.drawLine(QPointF(chip.center().x(), chip.top()), QPointF(chip.center().x(), chip.bottom()));
    return pixmap;
}

QPixmap DrawReaderPicture(int width, int height)
{
    QPixmap pixmap = Blank(width, height);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = width, h = height;
    // The card, half inserted from above.
    const QRectF card(w * 0.24, h * 0.08, w * 0.52, h * 0.5);
    p.setPen(QPen(QColor(90, 90, 100), 1));
    p.setBrush(QColor(246, 222, 228));
    p.drawRoundedRect(card, 6, 6);
    p.setBrush(QColor(0, 51, 153));
    p.drawRoundedRect(QRectF(card.left() + 6, card.top() + 6, card.width() * 0.3, card.height() * 0.25), 2, 2);
    // The reader body.
    const QRectF body(w * 0.1, h * 0.42, w * 0.8, h * 0.46);
    QLinearGradient shell(body.topLeft(), body.bottomLeft());
    shell.setColorAt(0, QColor(70, 72, 78));
    shell.setColorAt(1, QColor(30, 31, 35));
    p.setPen(QPen(QColor(20, 20, 22), 1));
    p.setBrush(shell);
    p.drawRoundedRect(body, 10, 10);
    p.setBrush(QColor(12, 12, 14));
    p.drawRoundedRect(QRectF(card.left() - 4, body.top() + 6, card.width() + 8, 5), 2, 2);
    // Its lamp.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 220, 80));
    p.drawEllipse(QPointF(body.right() - 14, body.bottom() - 12), 4, 4);
    return pixmap;
}

QPixmap DrawShopPicture(int width, int height)
{
    QPixmap pixmap = Blank(width, height);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = width, h = height;
    const QRectF bag(w * 0.18, h * 0.35, w * 0.64, h * 0.5);
    // Handles, then the bag over them.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255), 3));
    p.drawArc(QRectF(bag.left() + bag.width() * 0.22, bag.top() - h * 0.14, bag.width() * 0.56, h * 0.28), 0, 180 * 16);
    p.setPen(QPen(QColor(150, 70, 0), 1));
    p.setBrush(QColor(255, 128, 0));
    p.drawRoundedRect(bag, 6, 6);
    // A driver card on the bag.
    p.setPen(QPen(QColor(90, 90, 100), 1));
    p.setBrush(QColor(246, 222, 228));
    p.drawRoundedRect(
        QRectF(bag.left() + bag.width() * 0.2, bag.top() + bag.height() * 0.3, bag.width() * 0.6, bag.height() * 0.4),
        4, 4);
    return pixmap;
}

QPixmap DrawPrinterGlyph()
{
    QPixmap pixmap = Blank(24, 24);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6.5, 2.5, 11, 7));  // paper going in
    p.setBrush(QColor(120, 124, 130));
    p.drawRoundedRect(QRectF(2.5, 8.5, 19, 9), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6.5, 14.5, 11, 7));  // printed sheet
    p.setPen(QPen(QColor(40, 90, 200), 1));
    p.drawLine(QPointF(8, 17), QPointF(16, 17));
    p.drawLine(QPointF(8, 19), QPointF(14, 19));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 220, 80));
    p.drawEllipse(QPointF(18.5, 11), 1, 1);
    return pixmap;
}

}  // namespace app
