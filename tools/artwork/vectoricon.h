#pragma once

#include <QBrush>
#include <QByteArray>
#include <QImage>
#include <QPainterPath>
#include <QPen>

#include <vector>

// A picture made of filled and outlined paths on a square grid. One drawing gives both the
// bitmaps of every size and the scalable file, so the menu's icons cannot drift apart.
class VectorIcon
{
public:
    explicit VectorIcon(int gridSize) : m_gridSize(gridSize) {}

    // Shapes are painted in the order they are added, in the grid's coordinates.
    void add(const QPainterPath &path, const QBrush &fill, const QPen &outline = Qt::NoPen);

    QImage image(int size) const;
    QByteArray svg() const;

private:
    struct Shape
    {
        QPainterPath path;
        QBrush fill;
        QPen outline;
    };

    int m_gridSize;
    std::vector<Shape> m_shapes;
};
