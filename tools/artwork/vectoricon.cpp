#include "vectoricon.h"

#include <QGradient>
#include <QPainter>
#include <QString>
#include <QXmlStreamWriter>

#include <algorithm>

namespace {

QString number(qreal value) { return QString::number(value, 'g', 6); }

QString colourName(const QColor &colour) { return colour.name(QColor::HexRgb); }

QString pathData(const QPainterPath &path)
{
    QString data;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            data += QStringLiteral("M%1 %2").arg(number(e.x), number(e.y));
            break;
        case QPainterPath::LineToElement:
            data += QStringLiteral("L%1 %2").arg(number(e.x), number(e.y));
            break;
        case QPainterPath::CurveToElement:
            data += QStringLiteral("C%1 %2").arg(number(e.x), number(e.y));
            break;
        case QPainterPath::CurveToDataElement:
            data += QStringLiteral(" %1 %2").arg(number(e.x), number(e.y));
            break;
        }
    }
    return data;
}

void writeStops(QXmlStreamWriter &xml, const QGradient &gradient)
{
    for (const QGradientStop &stop : gradient.stops()) {
        xml.writeEmptyElement(QStringLiteral("stop"));
        xml.writeAttribute(QStringLiteral("offset"), number(stop.first));
        xml.writeAttribute(QStringLiteral("stop-color"), colourName(stop.second));
        if (stop.second.alpha() != 255)
            xml.writeAttribute(QStringLiteral("stop-opacity"), number(stop.second.alphaF()));
    }
}

// A gradient as an SVG definition in the grid's own coordinates, which is how QPainter reads
// the points of a QGradient given in logical units.
void writeGradient(QXmlStreamWriter &xml, const QGradient &gradient, const QString &id)
{
    if (gradient.type() == QGradient::LinearGradient) {
        const auto &linear = static_cast<const QLinearGradient &>(gradient);
        xml.writeStartElement(QStringLiteral("linearGradient"));
        xml.writeAttribute(QStringLiteral("id"), id);
        xml.writeAttribute(QStringLiteral("gradientUnits"), QStringLiteral("userSpaceOnUse"));
        xml.writeAttribute(QStringLiteral("x1"), number(linear.start().x()));
        xml.writeAttribute(QStringLiteral("y1"), number(linear.start().y()));
        xml.writeAttribute(QStringLiteral("x2"), number(linear.finalStop().x()));
        xml.writeAttribute(QStringLiteral("y2"), number(linear.finalStop().y()));
    } else {
        const auto &radial = static_cast<const QRadialGradient &>(gradient);
        xml.writeStartElement(QStringLiteral("radialGradient"));
        xml.writeAttribute(QStringLiteral("id"), id);
        xml.writeAttribute(QStringLiteral("gradientUnits"), QStringLiteral("userSpaceOnUse"));
        xml.writeAttribute(QStringLiteral("cx"), number(radial.center().x()));
        xml.writeAttribute(QStringLiteral("cy"), number(radial.center().y()));
        xml.writeAttribute(QStringLiteral("r"), number(radial.radius()));
        xml.writeAttribute(QStringLiteral("fx"), number(radial.focalPoint().x()));
        xml.writeAttribute(QStringLiteral("fy"), number(radial.focalPoint().y()));
    }
    writeStops(xml, gradient);
    xml.writeEndElement();
}

QString lineCap(Qt::PenCapStyle style)
{
    switch (style) {
    case Qt::FlatCap:
        return QStringLiteral("butt");
    case Qt::RoundCap:
        return QStringLiteral("round");
    default:
        return QStringLiteral("square");
    }
}

QString lineJoin(Qt::PenJoinStyle style)
{
    switch (style) {
    case Qt::RoundJoin:
        return QStringLiteral("round");
    case Qt::MiterJoin:
    case Qt::SvgMiterJoin:
        return QStringLiteral("miter");
    default:
        return QStringLiteral("bevel");
    }
}

} // namespace

void VectorIcon::add(const QPainterPath &path, const QBrush &fill, const QPen &outline)
{
    m_shapes.push_back({path, fill, outline});
}

QImage VectorIcon::image(int size) const
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal scale = qreal(size) / m_gridSize;
    p.scale(scale, scale);
    for (const Shape &shape : m_shapes) {
        QPen outline = shape.outline;
        // An outline thinner than a pixel would fade into its fill at the small sizes.
        if (outline.style() != Qt::NoPen)
            outline.setWidthF(std::max(outline.widthF(), 1.0 / scale));
        p.setPen(outline);
        p.setBrush(shape.fill);
        p.drawPath(shape.path);
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QByteArray VectorIcon::svg() const
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("svg"));
    xml.writeDefaultNamespace(QStringLiteral("http://www.w3.org/2000/svg"));
    const QString grid = QString::number(m_gridSize);
    xml.writeAttribute(QStringLiteral("width"), grid);
    xml.writeAttribute(QStringLiteral("height"), grid);
    xml.writeAttribute(QStringLiteral("viewBox"), QStringLiteral("0 0 %1 %1").arg(grid));

    xml.writeStartElement(QStringLiteral("defs"));
    for (std::size_t i = 0; i < m_shapes.size(); ++i) {
        if (const QGradient *gradient = m_shapes[i].fill.gradient())
            writeGradient(xml, *gradient, QStringLiteral("fill%1").arg(i));
    }
    xml.writeEndElement();

    for (std::size_t i = 0; i < m_shapes.size(); ++i) {
        const Shape &shape = m_shapes[i];
        xml.writeEmptyElement(QStringLiteral("path"));
        xml.writeAttribute(QStringLiteral("d"), pathData(shape.path));
        if (shape.fill.gradient()) {
            xml.writeAttribute(QStringLiteral("fill"), QStringLiteral("url(#fill%1)").arg(i));
        } else if (shape.fill.style() == Qt::NoBrush) {
            xml.writeAttribute(QStringLiteral("fill"), QStringLiteral("none"));
        } else {
            xml.writeAttribute(QStringLiteral("fill"), colourName(shape.fill.color()));
            if (shape.fill.color().alpha() != 255)
                xml.writeAttribute(QStringLiteral("fill-opacity"),
                                   number(shape.fill.color().alphaF()));
        }
        // QPainterPath fills odd-even unless told otherwise; SVG's default is non-zero.
        if (shape.path.fillRule() == Qt::OddEvenFill)
            xml.writeAttribute(QStringLiteral("fill-rule"), QStringLiteral("evenodd"));
        const QPen &pen = shape.outline;
        if (pen.style() == Qt::NoPen)
            continue;
        xml.writeAttribute(QStringLiteral("stroke"), colourName(pen.color()));
        if (pen.color().alpha() != 255)
            xml.writeAttribute(QStringLiteral("stroke-opacity"), number(pen.color().alphaF()));
        xml.writeAttribute(QStringLiteral("stroke-width"), number(pen.widthF()));
        xml.writeAttribute(QStringLiteral("stroke-linecap"), lineCap(pen.capStyle()));
        xml.writeAttribute(QStringLiteral("stroke-linejoin"), lineJoin(pen.joinStyle()));
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}
