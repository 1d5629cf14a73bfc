#include "tree/ItemIconDrawings.h"

#include <QPainterPath>

#include <cmath>
#include <numbers>

namespace {

const QColor kInk(0x30, 0x30, 0x30);

QPen pen(const QColor &color, qreal width = 0.8)
{
    QPen p(color, width);
    p.setJoinStyle(Qt::RoundJoin);
    p.setCapStyle(Qt::RoundCap);
    return p;
}

void box(QPainter &p, const QRectF &r, const QColor &fill, const QColor &line = kInk,
         qreal radius = 0.8)
{
    p.setPen(pen(line));
    p.setBrush(fill);
    p.drawRoundedRect(r, radius, radius);
}

void lines(QPainter &p, qreal x, qreal y, qreal w, int count, qreal step,
           const QColor &color = QColor(0x50, 0x60, 0x80))
{
    p.setPen(pen(color, 0.7));
    for (int i = 0; i < count; ++i) {
        const qreal len = (i % 3 == 2) ? w * 0.6 : w;
        p.drawLine(QPointF(x, y + i * step), QPointF(x + len, y + i * step));
    }
}

void polygon(QPainter &p, std::initializer_list<QPointF> points, const QColor &fill,
             const QColor &line = kInk)
{
    p.setPen(pen(line));
    p.setBrush(fill);
    p.drawPolygon(QPolygonF(QList<QPointF>(points)));
}

void closedBook(QPainter &p, const QColor &cover, const QColor &spine)
{
    box(p, QRectF(3.5, 1.5, 10, 13), Qt::white, kInk, 0.5);  // page edges
    box(p, QRectF(2.5, 1.5, 10, 12.5), cover, kInk, 0.6);
    p.setPen(Qt::NoPen);
    p.setBrush(spine);
    p.drawRect(QRectF(2.9, 1.9, 1.8, 11.7));
    p.setPen(pen(QColor(255, 255, 255, 170), 0.6));
    p.drawLine(QPointF(6.5, 4.5), QPointF(10.5, 4.5));
    p.drawLine(QPointF(6.5, 6), QPointF(9.5, 6));
}

void openBook(QPainter &p, const QColor &cover, bool textOnRight)
{
    polygon(p, {{0.5, 3.5}, {8, 4.5}, {15.5, 3.5}, {15.5, 13.5}, {8, 14.5}, {0.5, 13.5}}, cover);
    polygon(p, {{1.5, 2.5}, {8, 3.5}, {8, 13.5}, {1.5, 12.5}}, Qt::white);
    polygon(p, {{14.5, 2.5}, {8, 3.5}, {8, 13.5}, {14.5, 12.5}}, Qt::white);
    lines(p, 2.8, 5, 4, 4, 1.8);
    if (textOnRight)
        lines(p, 9.2, 5, 4, 4, 1.8);
}

void cabinet(QPainter &p, bool open)
{
    const QColor body(0xB8, 0xA0, 0x70);
    box(p, QRectF(3, 1, 10, 14), body, kInk, 0.5);
    for (int i = 0; i < 3; ++i) {
        const QRectF drawer(4, 2 + i * 4.3, 8, 3.6);
        if (open && i == 1) {
            box(p, QRectF(2, 5.6, 11, 4.4), Qt::white, kInk, 0.3);   // papers inside
            lines(p, 3.5, 6.8, 7, 2, 1.4, QColor(0x60, 0x60, 0x60));
            box(p, QRectF(1, 8.3, 12, 3), body.lighter(115), kInk, 0.3);
            box(p, QRectF(5.5, 9.2, 3, 1), QColor(0x70, 0x70, 0x70), kInk, 0.2);
            continue;
        }
        box(p, drawer, body.lighter(115), kInk, 0.3);
        box(p, QRectF(6.5, drawer.top() + 1.3, 3, 1), QColor(0x70, 0x70, 0x70), kInk, 0.2);
    }
}

void safe(QPainter &p, bool open)
{
    const QColor steel(0x6A, 0x72, 0x7C);
    box(p, QRectF(1.5, 2, 13, 12), steel, kInk, 1);
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRect(QRectF(3, 14, 2, 1.2));
    p.drawRect(QRectF(11, 14, 2, 1.2));
    if (!open) {
        box(p, QRectF(3, 3.5, 10, 9), steel.lighter(125), kInk, 0.6);
        p.setPen(pen(kInk));
        p.setBrush(QColor(0xD8, 0xD8, 0xD8));
        p.drawEllipse(QPointF(8, 8), 2.6, 2.6);
        p.drawLine(QPointF(8, 8), QPointF(8, 5.8));
        return;
    }
    box(p, QRectF(3, 3.5, 10, 9), QColor(0x25, 0x25, 0x28), kInk, 0.4);
    box(p, QRectF(4, 8, 5, 2.5), QColor(0x6C, 0xB0, 0x5A), kInk, 0.2);   // money inside
    box(p, QRectF(9.5, 8.5, 2.5, 2), QColor(0xE8, 0xC0, 0x30), kInk, 0.2);
    polygon(p, {{13, 3.5}, {15.8, 1.5}, {15.8, 15}, {13, 12.5}}, steel.lighter(125));
}

void banknote(QPainter &p, const QRectF &r, const QColor &paper)
{
    box(p, r, paper, paper.darker(170), 0.4);
    p.setPen(pen(paper.darker(170), 0.6));
    p.setBrush(paper.lighter(125));
    p.drawEllipse(r.center(), r.height() * 0.28, r.height() * 0.28);
    p.drawRect(QRectF(r.left() + 1, r.top() + 1, r.width() - 2, r.height() - 2));
}

void coin(QPainter &p, const QPointF &c, qreal radius, const QColor &metal)
{
    p.setPen(pen(metal.darker(170), 0.7));
    p.setBrush(metal);
    p.drawEllipse(c, radius, radius);
    p.setBrush(Qt::NoBrush);
    p.setPen(pen(metal.darker(140), 0.5));
    p.drawEllipse(c, radius * 0.65, radius * 0.65);
}

void coinStack(QPainter &p, qreal x, int count, const QColor &metal)
{
    for (int i = 0; i < count; ++i) {
        const qreal y = 13 - i * 1.6;
        p.setPen(pen(metal.darker(170), 0.6));
        p.setBrush(metal);
        p.drawEllipse(QRectF(x, y - 1.2, 6, 2.6));
    }
}

void card(QPainter &p, const QColor &color, const QColor &stripe)
{
    box(p, QRectF(1, 3, 14, 10), color, color.darker(170), 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(stripe);
    p.drawRect(QRectF(1.4, 5, 13.2, 1.8));
    box(p, QRectF(3, 8.3, 3, 2.2), QColor(0xE0, 0xC0, 0x50), QColor(0x90, 0x70, 0x20), 0.4);
    p.setPen(pen(Qt::white, 0.6));
    p.drawLine(QPointF(8, 11.2), QPointF(13, 11.2));
}

void person(QPainter &p, const QPointF &at, qreal s, const QColor &head, const QColor &body)
{
    p.setPen(pen(body.darker(150), 0.6));
    p.setBrush(body);
    QPainterPath torso;
    torso.moveTo(at.x() - 3.2 * s, at.y() + 6 * s);
    torso.cubicTo(at.x() - 3.2 * s, at.y() + 2 * s, at.x() + 3.2 * s, at.y() + 2 * s,
                  at.x() + 3.2 * s, at.y() + 6 * s);
    torso.closeSubpath();
    p.drawPath(torso);
    p.setBrush(head);
    p.setPen(pen(head.darker(150), 0.6));
    p.drawEllipse(QPointF(at.x(), at.y()), 2 * s, 2 * s);
}

void face(QPainter &p, bool woman)
{
    const QColor skin(0xF2, 0xC8, 0x9C);
    const QColor hair = woman ? QColor(0xC0, 0x7A, 0x30) : QColor(0x4A, 0x32, 0x20);
    if (woman) {
        p.setPen(Qt::NoPen);
        p.setBrush(hair);
        p.drawRoundedRect(QRectF(2.5, 2, 11, 13.5), 4, 4);
    }
    p.setPen(pen(skin.darker(150), 0.6));
    p.setBrush(skin);
    p.drawEllipse(QRectF(4, 2.5, 8, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(hair);
    QPainterPath top;
    top.moveTo(4, 7);
    top.cubicTo(3.5, 1, 12.5, 1, 12, 7);
    top.cubicTo(10, 4.5, 6, 4.5, 4, 7);
    p.drawPath(top);
    p.setBrush(kInk);
    p.drawEllipse(QPointF(6.5, 8), 0.6, 0.6);
    p.drawEllipse(QPointF(9.5, 8), 0.6, 0.6);
    p.setPen(pen(QColor(0xB0, 0x40, 0x40), 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6.3, 9, 3.4, 2.6), 200 * 16, 140 * 16);
}

void sign(QPainter &p, const QColor &color, const QString &glyph, bool triangle)
{
    p.setPen(pen(color.darker(150)));
    p.setBrush(color);
    if (triangle)
        p.drawPolygon(QPolygonF({{8, 1}, {15.3, 14.5}, {0.7, 14.5}}));
    else
        p.drawEllipse(QRectF(1, 1, 14, 14));
    QFont font;
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(triangle ? kInk : QColor(Qt::white));
    p.drawText(QRectF(0, triangle ? 3 : 1, 16, 14), Qt::AlignCenter, glyph);
}

void pot(QPainter &p, const QColor &metal, bool longHandle)
{
    QPainterPath body;
    body.moveTo(2.5, 6);
    body.lineTo(13.5, 6);
    body.lineTo(12.8, 13);
    body.quadTo(8, 14.5, 3.2, 13);
    body.closeSubpath();
    p.setPen(pen(metal.darker(170)));
    p.setBrush(metal);
    p.drawPath(body);
    box(p, QRectF(2, 5, 12, 1.4), metal.lighter(120), metal.darker(170), 0.5);
    p.setPen(pen(metal.darker(170), 1.1));
    if (longHandle) {
        p.drawLine(QPointF(13.8, 6.8), QPointF(15.8, 5.2));
    } else {
        p.drawLine(QPointF(0.6, 7), QPointF(2.5, 7));
        p.drawLine(QPointF(13.5, 7), QPointF(15.4, 7));
        box(p, QRectF(6.8, 3.6, 2.4, 1.4), metal.darker(130), metal.darker(170), 0.5);
    }
}

void bottle(QPainter &p, qreal x, const QColor &glass, const QColor &label)
{
    QPainterPath path;
    path.moveTo(x + 1.6, 1.2);
    path.lineTo(x + 3.4, 1.2);
    path.lineTo(x + 3.4, 5);
    path.quadTo(x + 5, 6, x + 5, 8);
    path.lineTo(x + 5, 15);
    path.lineTo(x, 15);
    path.lineTo(x, 8);
    path.quadTo(x, 6, x + 1.6, 5);
    path.closeSubpath();
    p.setPen(pen(glass.darker(170), 0.6));
    p.setBrush(glass);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(label);
    p.drawRect(QRectF(x + 0.4, 9, 4.2, 3));
}

void wheel(QPainter &p, const QPointF &c, qreal r)
{
    p.setPen(pen(kInk, 0.6));
    p.setBrush(QColor(0x30, 0x30, 0x30));
    p.drawEllipse(c, r, r);
    p.setBrush(QColor(0xC0, 0xC0, 0xC0));
    p.drawEllipse(c, r * 0.4, r * 0.4);
}

}  // namespace

// Pictures, by image number. Every subject has a drawing, also those the
// theme usually supplies, so a desktop without that theme still shows it.
itemicons::Draw itemicons::drawing(int image)
{
    switch (image) {
    case 0: return [](QPainter &p) { closedBook(p, QColor(0xC8, 0x28, 0x28), QColor(0x80, 0x10, 0x10)); };
    case 1: return [](QPainter &p) { openBook(p, QColor(0xC8, 0x28, 0x28), true); };
    case 2: return [](QPainter &p) { closedBook(p, QColor(0x90, 0x94, 0x9A), QColor(0x5C, 0x60, 0x66)); };
    case 3: return [](QPainter &p) { openBook(p, QColor(0x90, 0x94, 0x9A), false); };
    case 4: return [](QPainter &p) { lines(p, 2.5, 3.5, 11, 5, 2.3, QColor(0x20, 0x40, 0x80)); };
    case 5: return [](QPainter &p) { cabinet(p, false); };
    case 6: return [](QPainter &p) { cabinet(p, true); };
    case 7:
        return [](QPainter &p) {
            polygon(p, {{1, 3}, {6, 3}, {7.5, 4.5}, {15, 4.5}, {15, 13.5}, {1, 13.5}}, QColor(0xE8, 0xB8, 0x40));
        };
    case 8:
        return [](QPainter &p) {
            polygon(p, {{1, 3}, {6, 3}, {7.5, 4.5}, {14, 4.5}, {14, 13.5}, {1, 13.5}}, QColor(0xC8, 0x98, 0x30));
            box(p, QRectF(3, 5.5, 9, 6), Qt::white, kInk, 0.2);
            polygon(p, {{3, 8}, {15.5, 8}, {14, 13.5}, {1, 13.5}}, QColor(0xF0, 0xC8, 0x58));
        };
    case 9:
        return [](QPainter &p) {
            polygon(p, {{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}}, Qt::white);
            lines(p, 4.5, 5, 7, 5, 2);
        };
    case 10: return [](QPainter &p) { safe(p, false); };
    case 11: return [](QPainter &p) { safe(p, true); };
    case 12: return [](QPainter &p) { banknote(p, QRectF(0.5, 4, 15, 8), QColor(0x7C, 0xB8, 0x6A)); };
    case 13:
        return [](QPainter &p) {
            banknote(p, QRectF(0.5, 2, 13, 7), QColor(0x7C, 0xB8, 0x6A));
            banknote(p, QRectF(2.5, 5, 13, 7), QColor(0x7C, 0xB8, 0x6A));
            banknote(p, QRectF(1.5, 8, 13, 7), QColor(0x7C, 0xB8, 0x6A));
        };
    case 14:
        return [](QPainter &p) {
            banknote(p, QRectF(0.5, 2, 13, 7), QColor(0x6A, 0x9A, 0xD0));
            banknote(p, QRectF(2.5, 7, 13, 7), QColor(0xD8, 0x9A, 0x60));
        };
    case 15: return [](QPainter &p) { coin(p, QPointF(8, 8), 6.5, QColor(0xE8, 0xC0, 0x30)); };
    case 16:
        return [](QPainter &p) {
            coinStack(p, 1, 5, QColor(0xE8, 0xC0, 0x30));
            coinStack(p, 8.5, 3, QColor(0xE8, 0xC0, 0x30));
        };
    case 17:
        return [](QPainter &p) {
            coin(p, QPointF(5, 5.5), 4.2, QColor(0xC8, 0xC8, 0xD0));
            coin(p, QPointF(11, 7), 4.2, QColor(0xE8, 0xC0, 0x30));
            coin(p, QPointF(6.5, 11.2), 4.2, QColor(0xC8, 0x80, 0x48));
        };
    case 18: return [](QPainter &p) { card(p, QColor(0x30, 0x60, 0xC0), kInk); };
    case 19: return [](QPainter &p) { card(p, QColor(0xC0, 0x90, 0x20), QColor(0x60, 0x30, 0x10)); };
    case 20:
        return [](QPainter &p) {
            person(p, QPointF(5.5, 4.5), 1.0, kInk, kInk);
            person(p, QPointF(11, 6.5), 1.0, kInk, kInk);
        };
    case 21:
        return [](QPainter &p) {
            person(p, QPointF(5.5, 4.5), 1.0, QColor(0xF2, 0xC8, 0x9C), QColor(0x40, 0x70, 0xC0));
            person(p, QPointF(11, 6.5), 1.0, QColor(0xF2, 0xC8, 0x9C), QColor(0xC0, 0x40, 0x40));
        };
    case 22: return [](QPainter &p) { face(p, false); };
    case 23: return [](QPainter &p) { face(p, true); };
    case 24: return [](QPainter &p) { person(p, QPointF(8, 5), 1.6, QColor(0xF2, 0xC8, 0x9C), QColor(0x50, 0x80, 0x50)); };
    case 25:
        return [](QPainter &p) {
            box(p, QRectF(1.5, 1.5, 13, 9.5), QColor(0xD0, 0xD0, 0xD0), kInk, 0.6);
            box(p, QRectF(2.8, 2.8, 10.4, 6.9), QColor(0x40, 0x70, 0xB0), kInk, 0.2);
            polygon(p, {{6, 11}, {10, 11}, {10.8, 13}, {5.2, 13}}, QColor(0xB0, 0xB0, 0xB0));
            box(p, QRectF(3, 13, 10, 1.8), QColor(0xD0, 0xD0, 0xD0), kInk, 0.4);
        };
    case 26:
        return [](QPainter &p) {
            p.setPen(pen(kInk, 0.9));
            p.drawLine(QPointF(8, 5), QPointF(8, 9));
            p.drawLine(QPointF(3, 9), QPointF(13, 9));
            p.drawLine(QPointF(3, 9), QPointF(3, 11));
            p.drawLine(QPointF(13, 9), QPointF(13, 11));
            box(p, QRectF(5, 1, 6, 4), QColor(0x40, 0x70, 0xB0), kInk, 0.4);
            box(p, QRectF(0.5, 11, 5, 4), QColor(0x40, 0x70, 0xB0), kInk, 0.4);
            box(p, QRectF(10.5, 11, 5, 4), QColor(0x40, 0x70, 0xB0), kInk, 0.4);
        };
    case 27:
        return [](QPainter &p) {
            polygon(p, {{1.5, 1.5}, {13, 1.5}, {14.5, 3}, {14.5, 14.5}, {1.5, 14.5}}, QColor(0x30, 0x40, 0x60));
            box(p, QRectF(4, 1.5, 7.5, 5), QColor(0xC8, 0xC8, 0xCC), kInk, 0.2);
            p.setBrush(QColor(0x30, 0x40, 0x60));
            p.drawRect(QRectF(8.7, 2.4, 1.6, 3.2));
            box(p, QRectF(3.5, 8.5, 9, 6), Qt::white, kInk, 0.2);
        };
    case 28:
        return [](QPainter &p) {
            QRadialGradient g(QPointF(8, 8), 7);
            g.setColorAt(0, QColor(0xE0, 0xE0, 0xF0));
            g.setColorAt(0.6, QColor(0xB8, 0xD8, 0xF0));
            g.setColorAt(1, QColor(0xF0, 0xC8, 0xE8));
            p.setPen(pen(QColor(0x70, 0x70, 0x80)));
            p.setBrush(g);
            p.drawEllipse(QPointF(8, 8), 7, 7);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(8, 8), 1.6, 1.6);
        };
    case 29:
        return [](QPainter &p) {
            p.setPen(pen(kInk, 0.7));
            for (qreal y : {6.5, 9.0, 11.5}) {
                p.drawLine(QPointF(3.5, y), QPointF(1, y + 1.2));
                p.drawLine(QPointF(12.5, y), QPointF(15, y + 1.2));
            }
            p.drawLine(QPointF(7, 3), QPointF(5.5, 0.8));
            p.drawLine(QPointF(9, 3), QPointF(10.5, 0.8));
            p.setBrush(QColor(0xD0, 0x20, 0x20));
            p.drawEllipse(QRectF(3.5, 4, 9, 11));
            p.setBrush(kInk);
            p.drawEllipse(QRectF(5.5, 2, 5, 3.6));
            p.drawLine(QPointF(8, 5.5), QPointF(8, 15));
            p.drawEllipse(QPointF(6, 8.5), 0.9, 0.9);
            p.drawEllipse(QPointF(10, 8.5), 0.9, 0.9);
            p.drawEllipse(QPointF(6.2, 12), 0.9, 0.9);
            p.drawEllipse(QPointF(9.8, 12), 0.9, 0.9);
        };
    case 30: return [](QPainter &p) { sign(p, QColor(0x30, 0x70, 0xD0), QStringLiteral("i"), false); };
    case 31: return [](QPainter &p) { sign(p, QColor(0x40, 0x90, 0x40), QStringLiteral("?"), false); };
    case 32: return [](QPainter &p) { sign(p, QColor(0xF0, 0xC0, 0x20), QStringLiteral("!"), true); };
    case 33:  // hammer
        return [](QPainter &p) {
            p.setPen(pen(QColor(0x70, 0x48, 0x20), 2));
            p.drawLine(QPointF(4, 14), QPointF(10, 5));
            p.save();
            p.translate(10.5, 4.5);
            p.rotate(34);
            box(p, QRectF(-4.5, -1.8, 9, 3.6), QColor(0x80, 0x88, 0x90), kInk, 0.4);
            p.restore();
        };
    case 34:  // wrench
        return [](QPainter &p) {
            p.save();
            p.translate(8, 8);
            p.rotate(-45);
            QPainterPath w;
            w.addRoundedRect(QRectF(-1.3, -2, 2.6, 9), 1, 1);
            w.addEllipse(QPointF(0, -4), 3.4, 3.4);
            QPainterPath jaw;
            jaw.addRect(QRectF(-1.2, -8, 2.4, 4.5));
            p.setPen(pen(kInk, 0.6));
            p.setBrush(QColor(0x90, 0x98, 0xA0));
            p.drawPath(w.simplified().subtracted(jaw));
            p.restore();
        };
    case 35:
        return [](QPainter &p) {
            const QColor gold(0xE0, 0xB8, 0x30);
            p.setPen(pen(gold.darker(170), 0.7));
            p.setBrush(gold);
            QPainterPath key;
            key.addEllipse(QPointF(4.5, 8), 3.6, 3.6);
            key.addRect(QRectF(7, 7, 8, 2));
            key.addRect(QRectF(12, 9, 1.4, 2.5));
            key.addRect(QRectF(14, 9, 1, 2));
            QPainterPath hole;
            hole.addEllipse(QPointF(3.6, 8), 1.2, 1.2);
            p.drawPath(key.simplified().subtracted(hole));
        };
    case 36:  // a spider's web
        return [](QPainter &p) {
            p.setPen(pen(QColor(0x50, 0x50, 0x60), 0.5));
            p.setBrush(Qt::NoBrush);
            const QPointF c(8, 8);
            for (int k = 0; k < 8; ++k) {
                const double a = k * std::numbers::pi / 4;
                p.drawLine(c, c + QPointF(7.5 * std::cos(a), 7.5 * std::sin(a)));
            }
            for (qreal r : {2.0, 4.2, 6.4}) {
                QPolygonF ring;
                for (int k = 0; k <= 8; ++k) {
                    const double a = k * std::numbers::pi / 4;
                    ring << c + QPointF(r * std::cos(a), r * std::sin(a));
                }
                p.drawPolyline(ring);
            }
        };
    case 37:
        return [](QPainter &p) {
            QFont font;
            font.setPixelSize(15);
            font.setBold(true);
            p.setFont(font);
            p.setPen(QColor(0x20, 0x50, 0xB0));
            p.drawText(QRectF(0, -1, 16, 16), Qt::AlignCenter, QStringLiteral("@"));
        };
    case 38:  // desk telephone
        return [](QPainter &p) {
            const QColor body(0xC0, 0x30, 0x30);
            polygon(p, {{4, 7}, {12, 7}, {14.5, 14.5}, {1.5, 14.5}}, body);
            box(p, QRectF(6, 9, 4, 3.5), Qt::white, kInk, 1);
            QPainterPath handset;
            handset.moveTo(1, 6);
            handset.quadTo(8, 0.5, 15, 6);
            handset.lineTo(15, 7.5);
            handset.lineTo(11.5, 7.5);
            handset.lineTo(11, 5.2);
            handset.quadTo(8, 4.2, 5, 5.2);
            handset.lineTo(4.5, 7.5);
            handset.lineTo(1, 7.5);
            handset.closeSubpath();
            p.setPen(pen(kInk, 0.6));
            p.setBrush(body.darker(120));
            p.drawPath(handset);
        };
    case 39:
        return [](QPainter &p) {
            polygon(p, {{1, 6}, {8, 6}, {8, 2}, {15, 8}, {8, 14}, {8, 10}, {1, 10}},
                    QColor(0x30, 0x90, 0x40));
        };
    case 40:  // a drawn curve
        return [](QPainter &p) {
            p.setPen(pen(kInk, 0.6));
            p.drawLine(QPointF(1.5, 1), QPointF(1.5, 14.5));
            p.drawLine(QPointF(1.5, 14.5), QPointF(15, 14.5));
            QPainterPath curve;
            curve.moveTo(2, 12);
            curve.cubicTo(5, 0, 9, 16, 15, 3);
            p.setPen(pen(QColor(0xC0, 0x20, 0x60), 1.3));
            p.setBrush(Qt::NoBrush);
            p.drawPath(curve);
        };
    case 41:
        return [](QPainter &p) {
            p.setPen(pen(QColor(0x60, 0x40, 0x20), 1.1));
            p.drawLine(QPointF(3, 1), QPointF(3, 15.5));
            QPainterPath flag;
            flag.moveTo(3.5, 1.5);
            flag.cubicTo(7, 0, 10, 3.5, 15, 2);
            flag.lineTo(15, 8.5);
            flag.cubicTo(10, 10, 7, 6.5, 3.5, 8);
            flag.closeSubpath();
            p.setPen(pen(QColor(0x90, 0x10, 0x10), 0.6));
            p.setBrush(QColor(0xD8, 0x28, 0x28));
            p.drawPath(flag);
        };
    case 42:  // first-aid kit
        return [](QPainter &p) {
            box(p, QRectF(5.5, 1.5, 5, 3), Qt::transparent, kInk, 0.8);
            box(p, QRectF(1, 4, 14, 10.5), Qt::white, kInk, 1.2);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0xD0, 0x20, 0x20));
            p.drawRect(QRectF(6.6, 5.6, 2.8, 7.3));
            p.drawRect(QRectF(4.35, 7.85, 7.3, 2.8));
        };
    case 43:  // shopping cart
        return [](QPainter &p) {
            p.setPen(pen(kInk, 0.9));
            p.drawLine(QPointF(0.5, 2), QPointF(3, 2));
            polygon(p, {{3, 3.5}, {15, 3.5}, {13.5, 10}, {4.5, 10}}, QColor(0x50, 0x90, 0xD0));
            p.setPen(pen(kInk, 0.9));
            p.drawLine(QPointF(3, 2), QPointF(5, 12));
            p.drawLine(QPointF(5, 12), QPointF(14, 12));
            wheel(p, QPointF(6, 14), 1.3);
            wheel(p, QPointF(12.5, 14), 1.3);
        };
    case 44:
        return [](QPainter &p) {
            p.setPen(pen(QColor(0x20, 0x50, 0x90), 0.7));
            p.setBrush(QColor(0x50, 0x98, 0xE0));
            p.drawEllipse(QPointF(8, 8), 7, 7);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x50, 0xA8, 0x50));
            QPainterPath land;
            land.moveTo(4, 3.5);
            land.cubicTo(8, 2.5, 8, 6, 6, 7.5);
            land.cubicTo(4, 9, 6, 12, 4.5, 13);
            land.cubicTo(2, 11, 1.5, 6, 4, 3.5);
            land.moveTo(10, 6);
            land.cubicTo(13, 5, 15, 8, 13.5, 11);
            land.cubicTo(12, 13, 10, 11, 10, 6);
            p.drawPath(land);
            p.setPen(pen(QColor(0x20, 0x50, 0x90), 0.4));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(QPointF(8, 8), 3, 7);
            p.drawLine(QPointF(1, 8), QPointF(15, 8));
        };
    case 45: return [](QPainter &p) { pot(p, QColor(0xA0, 0xA8, 0xB0), false); };
    case 46: return [](QPainter &p) { pot(p, QColor(0xC8, 0x40, 0x30), true); };
    case 47:  // a steaming dish
        return [](QPainter &p) {
            p.setPen(pen(QColor(0x90, 0x90, 0x90), 0.7));
            p.setBrush(Qt::NoBrush);
            for (qreal x : {5.0, 8.0, 11.0}) {
                QPainterPath steam;
                steam.moveTo(x, 8);
                steam.cubicTo(x - 1.5, 6.5, x + 1.5, 4.5, x, 2);
                p.drawPath(steam);
            }
            p.setPen(pen(kInk, 0.6));
            p.setBrush(Qt::white);
            p.drawEllipse(QRectF(0.5, 11, 15, 4));
            QPainterPath bowl;
            bowl.moveTo(2.5, 9);
            bowl.lineTo(13.5, 9);
            bowl.quadTo(13, 13.5, 8, 13.5);
            bowl.quadTo(3, 13.5, 2.5, 9);
            p.setBrush(QColor(0xE0, 0x80, 0x30));
            p.drawPath(bowl);
        };
    case 48:
        return [](QPainter &p) {
            bottle(p, 2, QColor(0x30, 0x80, 0x40), QColor(0xF0, 0xE8, 0xC0));
            bottle(p, 9, QColor(0x30, 0x80, 0x40), QColor(0xF0, 0xE8, 0xC0));
        };
    case 49:
        return [](QPainter &p) {
            bottle(p, 2, QColor(0x70, 0x20, 0x30), QColor(0xF0, 0xF0, 0xF0));
            bottle(p, 9, QColor(0x80, 0xB8, 0xE0), QColor(0x30, 0x60, 0xB0));
        };
    case 50:  // a brush in a pot
        return [](QPainter &p) {
            p.setPen(pen(QColor(0x70, 0x48, 0x20), 1.2));
            p.drawLine(QPointF(9, 8), QPointF(12.5, 1.5));
            polygon(p, {{12, 0.6}, {14.5, 1.8}, {13.4, 3.4}, {11.2, 2.2}}, QColor(0x30, 0x60, 0xD0));
            QPainterPath jar;
            jar.moveTo(3, 7);
            jar.lineTo(12, 7);
            jar.lineTo(11.2, 15);
            jar.lineTo(3.8, 15);
            jar.closeSubpath();
            p.setPen(pen(kInk, 0.6));
            p.setBrush(QColor(0xB0, 0x78, 0x50));
            p.drawPath(jar);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x30, 0x60, 0xD0));
            p.drawRect(QRectF(3.4, 8.8, 8.2, 1.5));
        };
    case 51:  // truck
        return [](QPainter &p) {
            box(p, QRectF(0.5, 3, 10, 8), QColor(0xE0, 0x70, 0x20), kInk, 0.4);
            polygon(p, {{10.5, 5.5}, {13.5, 5.5}, {15.5, 8.5}, {15.5, 11}, {10.5, 11}}, QColor(0x40, 0x70, 0xC0));
            box(p, QRectF(11.5, 6.3, 2, 2), QColor(0xC8, 0xE0, 0xF8), kInk, 0.2);
            wheel(p, QPointF(3.5, 12.5), 1.8);
            wheel(p, QPointF(12.5, 12.5), 1.8);
        };
    case 52:  // sailboat
        return [](QPainter &p) {
            p.setPen(pen(kInk, 0.6));
            p.drawLine(QPointF(7.5, 1), QPointF(7.5, 11));
            polygon(p, {{8, 1.5}, {14, 10.5}, {8, 10.5}}, Qt::white);
            polygon(p, {{7, 3.5}, {7, 10.5}, {2.5, 10.5}}, QColor(0xE0, 0x50, 0x40));
            polygon(p, {{1, 11.5}, {15, 11.5}, {12.5, 14.5}, {3.5, 14.5}}, QColor(0x80, 0x50, 0x30));
        };
    case 53:  // aeroplane, nose up-right
        return [](QPainter &p) {
            p.save();
            p.translate(8, 8);
            p.rotate(-45);
            QPainterPath plane;
            plane.addRoundedRect(QRectF(-7, -1.2, 14, 2.4), 1.2, 1.2);
            QPolygonF wings({{1, 0}, {-3, -7}, {-4.5, -7}, {-2, 0}, {-4.5, 7}, {-3, 7}});
            plane.addPolygon(wings);
            plane.addPolygon(QPolygonF({{-5, 0}, {-6.5, -3}, {-7.3, -3}, {-6.5, 0}, {-7.3, 3}, {-6.5, 3}}));
            p.setPen(pen(QColor(0x30, 0x40, 0x60), 0.5));
            p.setBrush(QColor(0xB8, 0xC8, 0xE0));
            p.drawPath(plane.simplified());
            p.restore();
        };
    case 54:  // car
        return [](QPainter &p) {
            QPainterPath body;
            body.moveTo(0.8, 11.5);
            body.lineTo(0.8, 8.5);
            body.lineTo(3.5, 7.5);
            body.lineTo(5.5, 4.5);
            body.lineTo(11, 4.5);
            body.lineTo(13, 7.5);
            body.lineTo(15.2, 8.3);
            body.lineTo(15.2, 11.5);
            body.closeSubpath();
            p.setPen(pen(kInk, 0.6));
            p.setBrush(QColor(0x30, 0x70, 0xD0));
            p.drawPath(body);
            polygon(p, {{6, 5.3}, {8, 5.3}, {8, 7.5}, {4.5, 7.5}}, QColor(0xC8, 0xE0, 0xF8));
            polygon(p, {{8.8, 5.3}, {10.6, 5.3}, {12, 7.5}, {8.8, 7.5}}, QColor(0xC8, 0xE0, 0xF8));
            wheel(p, QPointF(4, 11.8), 1.9);
            wheel(p, QPointF(12, 11.8), 1.9);
        };
    case 55:  // beach ball
        return [](QPainter &p) {
            const QRectF r(1, 1, 14, 14);
            const QColor colors[] = {QColor(0xE0, 0x30, 0x30), Qt::white, QColor(0x30, 0x70, 0xE0),
                                     QColor(0xF0, 0xD0, 0x30), Qt::white, QColor(0x30, 0xA0, 0x50)};
            p.setPen(Qt::NoPen);
            for (int k = 0; k < 6; ++k) {
                p.setBrush(colors[k]);
                p.drawPie(r, k * 60 * 16, 60 * 16);
            }
            p.setPen(pen(kInk, 0.6));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(r);
        };
    case 56:  // treble clef
        return [](QPainter &p) {
            QPainterPath clef;
            clef.moveTo(8.6, 15);
            clef.cubicTo(10.5, 14.5, 10, 12, 8.5, 12.5);
            clef.moveTo(8.6, 15);
            clef.lineTo(7.6, 0.8);
            clef.cubicTo(10.5, 1.8, 10.5, 5, 7.2, 7.4);
            clef.cubicTo(4, 9.6, 4.2, 13, 7.8, 13);
            clef.cubicTo(11.5, 13, 11.5, 8.5, 8.2, 8.6);
            clef.cubicTo(6.2, 8.7, 6.2, 11, 7.6, 11.2);
            p.setPen(pen(kInk, 1.1));
            p.setBrush(Qt::NoBrush);
            p.drawPath(clef);
        };
    case 57:
        return [](QPainter &p) {
            QPainterPath heart;
            heart.moveTo(8, 14.5);
            heart.cubicTo(2, 10, 0.5, 7, 1.2, 4.6);
            heart.cubicTo(2, 1.5, 6.5, 1.2, 8, 4.5);
            heart.cubicTo(9.5, 1.2, 14, 1.5, 14.8, 4.6);
            heart.cubicTo(15.5, 7, 14, 10, 8, 14.5);
            p.setPen(pen(QColor(0x90, 0x10, 0x20), 0.6));
            p.setBrush(QColor(0xE0, 0x20, 0x40));
            p.drawPath(heart);
        };
    case 58:
        return [](QPainter &p) {
            box(p, QRectF(3, 7, 10, 7.5), QColor(0xF0, 0xE0, 0xB0), kInk, 0.2);
            polygon(p, {{1, 7.5}, {8, 1.5}, {15, 7.5}}, QColor(0xC0, 0x40, 0x30));
            box(p, QRectF(7, 10, 2.6, 4.5), QColor(0x80, 0x50, 0x30), kInk, 0.2);
            box(p, QRectF(4.2, 9, 2, 2), QColor(0xC8, 0xE0, 0xF8), kInk, 0.1);
            box(p, QRectF(10.5, 9, 2, 2), QColor(0xC8, 0xE0, 0xF8), kInk, 0.1);
        };
    case 59: return [](QPainter &p) { box(p, QRectF(1.5, 1.5, 13, 13), Qt::white, QColor(0xB0, 0xB0, 0xB0), 0.3); };
    default: return {};
    }
}
