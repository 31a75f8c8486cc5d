#include "menuicons.h"

#include <QColor>
#include <QLinearGradient>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTransform>

#include <array>

namespace MenuIcons {

namespace {

constexpr int grid = 256;

const QColor outlineColour(0x06, 0x14, 0x30);
const QColor amberLight(0xff, 0xd8, 0x50);
const QColor amberDeep(0xf0, 0x8a, 0x10);

QPainterPath roundedRect(const QRectF &r, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    return path;
}

QPainterPath ellipse(const QPointF &centre, qreal rx, qreal ry)
{
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    return path;
}

QLinearGradient vertical(qreal top, qreal bottom, const QColor &from, const QColor &to)
{
    QLinearGradient gradient(0, top, 0, bottom);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    return gradient;
}

QPen outline(const QColor &colour, qreal width)
{
    return QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// The bulb of the window's own icon, whose outline was laid out on 32 pixels, moved to
// where the menu icon wants it. Its glow stays on the face.
void addBulb(VectorIcon &icon, const QTransform &place, const QPainterPath &face)
{
    QPainterPath glass;
    glass.moveTo(11, 21);
    glass.cubicTo(11, 17, 5, 15, 5, 10);
    glass.cubicTo(5, 4, 10, 1, 16, 1);
    glass.cubicTo(22, 1, 27, 4, 27, 10);
    glass.cubicTo(27, 15, 21, 17, 21, 21);
    glass.closeSubpath();
    glass = place.map(glass);
    const QRectF box = glass.boundingRect();

    QRadialGradient glow(place.map(QPointF(16, 9)), box.width() * 0.95);
    glow.setColorAt(0, QColor(0xff, 0xf0, 0xa0, 0xb0));
    glow.setColorAt(1, QColor(0xff, 0xf0, 0xa0, 0));
    icon.add(ellipse(place.map(QPointF(16, 9)), box.width() * 0.95, box.width() * 0.95)
                 .intersected(face),
             glow);

    QRadialGradient lit(place.map(QPointF(13, 7)), box.width() * 0.7);
    lit.setColorAt(0, QColor(0xff, 0xfc, 0xe0));
    lit.setColorAt(0.45, amberLight);
    lit.setColorAt(1, amberDeep);
    const qreal scale = place.m11();
    icon.add(glass, lit, outline(QColor(0x80, 0x40, 0x00), scale * 0.55));

    QPainterPath filament;
    filament.addPolygon(place.map(
        QPolygonF() << QPointF(13, 20) << QPointF(13, 13) << QPointF(14.5, 11) << QPointF(16, 13)
                    << QPointF(17.5, 11) << QPointF(19, 13) << QPointF(19, 20)));
    icon.add(filament, Qt::NoBrush, outline(QColor(0xa0, 0x50, 0x00), scale * 0.5));

    QLinearGradient metal(place.map(QPointF(10, 0)), place.map(QPointF(22, 0)));
    metal.setColorAt(0, QColor(0x90, 0x94, 0x9c));
    metal.setColorAt(0.35, QColor(0xf0, 0xf0, 0xf4));
    metal.setColorAt(1, QColor(0x80, 0x84, 0x8c));
    QPainterPath base;
    base.addRect(place.mapRect(QRectF(10, 21, 12, 7)));
    icon.add(base, metal, outline(QColor(0x30, 0x30, 0x38), scale * 0.55));
    QPainterPath thread;
    thread.moveTo(place.map(QPointF(10.5, 23.2)));
    thread.lineTo(place.map(QPointF(21.5, 24.2)));
    thread.moveTo(place.map(QPointF(10.5, 25.4)));
    thread.lineTo(place.map(QPointF(21.5, 26.4)));
    icon.add(thread, Qt::NoBrush, outline(QColor(0x60, 0x64, 0x6c), scale * 0.45));
    QPainterPath contact;
    contact.addRect(place.mapRect(QRectF(13, 28, 6, 2.2)));
    icon.add(contact, QColor(0x30, 0x30, 0x38));
}

// A fader: its slot, the lit part below the knob, and the knob at the level (0..1).
void addFader(VectorIcon &icon, qreal x, qreal top, qreal bottom, qreal level, qreal width)
{
    const qreal knobY = bottom - level * (bottom - top);
    icon.add(roundedRect(QRectF(x - width / 2, top, width, bottom - top), width / 2),
             QColor(0x04, 0x0c, 0x20));
    icon.add(roundedRect(QRectF(x - width / 2, knobY, width, bottom - knobY), width / 2),
             vertical(knobY, bottom, amberLight, amberDeep));
    const QRectF knob(x - width * 1.5, knobY - width * 0.8, width * 3, width * 1.6);
    icon.add(
        roundedRect(knob, width * 0.4),
        vertical(knob.top(), knob.bottom(), QColor(0xf8, 0xf8, 0xf4), QColor(0xa8, 0xac, 0xb4)),
        outline(outlineColour, width * 0.3));
}

// A lamp of the board, lit or dark.
void addLamp(VectorIcon &icon, const QPointF &centre, qreal radius, bool lit)
{
    QRadialGradient glass(centre - QPointF(radius * 0.3, radius * 0.3), radius * 1.3);
    if (lit) {
        glass.setColorAt(0, QColor(0xff, 0xfc, 0xe0));
        glass.setColorAt(0.4, amberLight);
        glass.setColorAt(1, amberDeep);
    } else {
        glass.setColorAt(0, QColor(0x8a, 0x86, 0x78));
        glass.setColorAt(1, QColor(0x2a, 0x28, 0x22));
    }
    icon.add(ellipse(centre, radius, radius), glass,
             outline(QColor(0x0a, 0x20, 0x10), radius * 0.22));
}

} // namespace

VectorIcon panel(Detail detail)
{
    VectorIcon icon(grid);
    const bool small = detail == Detail::Small;
    const QRectF box = small ? QRectF(8, 8, 240, 240) : QRectF(16, 24, 224, 208);
    const QPainterPath face = roundedRect(box, small ? 40 : 36);
    icon.add(face,
             vertical(box.top(), box.bottom(), QColor(0x2a, 0x6c, 0xb8), QColor(0x0a, 0x22, 0x50)),
             outline(outlineColour, small ? 12 : 6));
    if (small) {
        // Only the bulb, as large as the face allows: at 16 pixels the faders would be
        // lines of one grey pixel.
        addBulb(icon, QTransform::fromTranslate(128 - 16 * 7.2, 22 - 1 * 7.2).scale(7.2, 7.2),
                face);
        return icon;
    }
    // The amber rule under the scene key window's title.
    icon.add(roundedRect(QRectF(36, 206, 184, 8), 4), QColor(0xf0, 0xb8, 0x30));
    addBulb(icon, QTransform::fromTranslate(78 - 16 * 4.4, 44 - 1 * 4.4).scale(4.4, 4.4), face);
    const std::array<qreal, 3> levels = {0.35, 0.8, 0.55};
    for (std::size_t i = 0; i < levels.size(); ++i)
        addFader(icon, 162 + 28.0 * qreal(i), 52, 188, levels[i], 10);
    return icon;
}

VectorIcon board(Detail detail)
{
    VectorIcon icon(grid);
    const bool small = detail == Detail::Small;
    const QRectF pcb = small ? QRectF(8, 40, 240, 200) : QRectF(20, 56, 216, 168);

    // The serial connector stands out of the board's top edge.
    const qreal mid = 128;
    const qreal shellWidth = small ? 112 : 96;
    const qreal shellTop = small ? 8 : 24;
    QPainterPath shell;
    shell.addPolygon(QPolygonF() << QPointF(mid - shellWidth / 2, shellTop)
                                 << QPointF(mid + shellWidth / 2, shellTop)
                                 << QPointF(mid + shellWidth / 2 - 10, pcb.top() + 14)
                                 << QPointF(mid - shellWidth / 2 + 10, pcb.top() + 14));
    shell.closeSubpath();
    QLinearGradient metal(mid - shellWidth / 2, 0, mid + shellWidth / 2, 0);
    metal.setColorAt(0, QColor(0x90, 0x94, 0x9c));
    metal.setColorAt(0.35, QColor(0xf0, 0xf0, 0xf4));
    metal.setColorAt(1, QColor(0x80, 0x84, 0x8c));
    icon.add(shell, metal, outline(QColor(0x30, 0x30, 0x38), small ? 10 : 5));

    icon.add(roundedRect(pcb, small ? 24 : 14),
             vertical(pcb.top(), pcb.bottom(), QColor(0x2f, 0x8f, 0x4a), QColor(0x13, 0x5a, 0x2a)),
             outline(QColor(0x0a, 0x2a, 0x12), small ? 12 : 6));

    if (small) {
        // Four lamps, three lit: at 16 pixels eight would be dots of one pixel.
        const std::array<bool, 4> lit = {true, true, false, true};
        for (int i = 0; i < 4; ++i) {
            addLamp(icon, QPointF(76 + 104 * (i % 2), 100 + 88 * (i / 2)), 34,
                    lit[std::size_t(i)]);
        }
        return icon;
    }

    // The pins of the connector, and the copper that leads from it to the lamps.
    for (int i = 0; i < 5; ++i)
        icon.add(ellipse(QPointF(mid - 28 + 14 * i, shellTop + 14), 3.5, 3.5),
                 QColor(0x30, 0x28, 0x10));
    QPainterPath copper;
    for (int i = 0; i < 4; ++i) {
        const qreal x = 58 + 46 * i;
        copper.moveTo(mid - 21 + 14 * i, pcb.top() + 14);
        copper.lineTo(mid - 21 + 14 * i, pcb.top() + 24);
        copper.lineTo(x, pcb.top() + 34);
        copper.lineTo(x, pcb.top() + 52);
    }
    icon.add(copper, Qt::NoBrush, outline(QColor(0xd8, 0xb0, 0x40), 4));
    for (const QPointF corner :
         {pcb.topLeft() + QPointF(12, 12), pcb.topRight() + QPointF(-12, 12),
          pcb.bottomLeft() + QPointF(12, -12), pcb.bottomRight() + QPointF(-12, -12)}) {
        icon.add(ellipse(corner, 6, 6), QColor(0x0a, 0x2a, 0x12),
                 outline(QColor(0xd8, 0xb0, 0x40), 3));
    }

    // The eight lamps in the board's order, some of them lit.
    const std::array<bool, 8> lit = {true, true, false, true, false, true, true, false};
    for (int i = 0; i < 8; ++i) {
        addLamp(icon, QPointF(58 + 46 * (i % 4), pcb.top() + 72 + 58 * (i / 4)), 19,
                lit[std::size_t(i)]);
    }
    return icon;
}

} // namespace MenuIcons
