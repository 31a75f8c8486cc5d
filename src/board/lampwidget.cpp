#include "lampwidget.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace {

QColor dark() { return {48, 44, 34}; }

QColor bright() { return {255, 226, 70}; }

int mix(int from, int to, double share) { return int(std::lround(from + (to - from) * share)); }

} // namespace

LampWidget::LampWidget(const QString &caption, QWidget *parent)
    : QWidget(parent), m_caption(caption), m_ring(96, 96, 104)
{
    setAccessibleName(caption);
}

void LampWidget::setLevel(int level)
{
    level = std::clamp(level, 0, MaximumLevel);
    if (level == m_level)
        return;
    m_level = level;
    setAccessibleDescription(QString::number(level));
    update();
}

void LampWidget::setRingColor(const QColor &color)
{
    m_ring = color;
    update();
}

QColor LampWidget::colorAt(int level)
{
    // Slightly faster than linear at the low end, as a dimmed lamp looks to the eye.
    const double share = std::pow(std::clamp(level, 0, MaximumLevel) / double(MaximumLevel), 0.8);
    const QColor from = dark();
    const QColor to = bright();
    return QColor(mix(from.red(), to.red(), share), mix(from.green(), to.green(), share),
                  mix(from.blue(), to.blue(), share));
}

QSize LampWidget::sizeHint() const { return {std::max(84, minimumSizeHint().width()), 136}; }

// A caption wider than the disc, as a language may have it, widens the lamp rather than
// being cut off.
QSize LampWidget::minimumSizeHint() const
{
    const int caption = QFontMetrics(captionFont()).horizontalAdvance(m_caption) + 4;
    return {std::max(64, caption), 116};
}

QFont LampWidget::captionFont() const
{
    QFont caption = font();
    caption.setPointSizeF(caption.pointSizeF() * 1.1);
    return caption;
}

void LampWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const QFont caption = captionFont();
    const int captionHeight = QFontMetrics(caption).height() + 4;
    QFont levelFont = font();
    levelFont.setPointSizeF(levelFont.pointSizeF() * 1.6);
    levelFont.setBold(true);
    const int levelHeight = QFontMetrics(levelFont).height() + 4;

    const QRect captionArea(0, 0, width(), captionHeight);
    const QRect levelArea(0, height() - levelHeight, width(), levelHeight);
    const int room = std::min(width() - 12, levelArea.top() - captionArea.bottom() - 8);
    const int diameter = std::max(room, 8);
    const QRectF disc(width() / 2.0 - diameter / 2.0,
                      captionArea.bottom() + (levelArea.top() - captionArea.bottom()) / 2.0 -
                          diameter / 2.0,
                      diameter, diameter);

    const QColor colour = colorAt(m_level);
    const double share = m_level / double(MaximumLevel);
    if (m_level > 0) {
        // A halo that grows with the level, so that bright lamps stand out from the row.
        QRadialGradient halo(disc.center(), diameter * 0.75);
        QColor inner = colour;
        inner.setAlphaF(0.55 * share);
        QColor outer = colour;
        outer.setAlpha(0);
        halo.setColorAt(0.6, inner);
        halo.setColorAt(1.0, outer);
        painter.setPen(Qt::NoPen);
        painter.setBrush(halo);
        painter.drawEllipse(disc.center(), diameter * 0.75, diameter * 0.75);
    }
    QRadialGradient body(disc.center() - QPointF(diameter * 0.15, diameter * 0.15),
                         diameter * 0.7);
    body.setColorAt(0.0, colour.lighter(100 + int(15 * share)));
    body.setColorAt(1.0, colour.darker(130));
    painter.setBrush(body);
    painter.setPen(QPen(m_ring, 2.5));
    painter.drawEllipse(disc);

    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(caption);
    painter.drawText(captionArea, Qt::AlignCenter, m_caption);
    painter.setFont(levelFont);
    painter.setPen(m_level > 0 ? bright() : palette().color(QPalette::PlaceholderText));
    painter.drawText(levelArea, Qt::AlignCenter, QString::number(m_level));
}
