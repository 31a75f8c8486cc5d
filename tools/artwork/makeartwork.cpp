// Draws the panel's artwork into the folder named on the command line, or with --menu-icons
// the programs' menu icons at the sizes named. Run at build time, so the pictures live in the
// repository as code rather than as binary files.

#include "menuicons.h"

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace {

const QColor faceColour(0xd4, 0xd0, 0xc8);
const QColor shadowColour(0x80, 0x80, 0x80);
const QColor darkShadowColour(0x40, 0x40, 0x40);
const QString uiFontFamily = QStringLiteral("AR PL UMing TW");
const QString digitFontFamily = QStringLiteral("DejaVu Sans");

// The sixteen colours every ICO reader knows; the icon is drawn in them directly, so that
// reducing it to indices loses nothing.
const std::array<QRgb, 16> vgaPalette = {
    0xff000000, 0xff800000, 0xff008000, 0xff808000, 0xff000080, 0xff800080, 0xff008080, 0xffc0c0c0,
    0xff808080, 0xffff0000, 0xff00ff00, 0xffffff00, 0xff0000ff, 0xffff00ff, 0xff00ffff, 0xffffffff,
};
const std::array<QRgb, 2> monoPalette = {0xff000000, 0xffffffff};

enum Vga {
    Black = 0,
    DarkYellow = 3,
    Silver = 7,
    Grey = 8,
    Yellow = 11,
    White = 15,
};

QColor vga(int index) { return QColor::fromRgb(vgaPalette[index]); }

QFont uiFont(int pixelSize)
{
    QFont font(uiFontFamily);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFont digitFont(int pixelSize)
{
    QFont font(digitFontFamily);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

QImage canvas(int width, int height, const QColor &fill)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(fill);
    return image;
}

// The classic raised edge: light above and left, two shades of shadow below and right.
void drawRaisedEdge(QPainter &p, const QRect &r)
{
    p.setPen(Qt::white);
    p.drawLine(r.left(), r.top(), r.right() - 1, r.top());
    p.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
    p.setPen(darkShadowColour);
    p.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    p.drawLine(r.right(), r.top(), r.right(), r.bottom());
    p.setPen(shadowColour);
    p.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
    p.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
}

void drawShadowedText(QPainter &p, const QRect &r, const QString &text, const QColor &colour,
                      const QColor &shadow)
{
    p.setPen(shadow);
    p.drawText(r.translated(1, 1), Qt::AlignCenter, text);
    p.setPen(colour);
    p.drawText(r, Qt::AlignCenter, text);
}

QImage drawStore()
{
    QImage image = canvas(46, 39, faceColour);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    // Floppy disk: the body with its cut corner, the shutter and the label.
    const QRectF disk(13.5, 6.5, 28, 29);
    QPainterPath body;
    body.moveTo(disk.topLeft());
    body.lineTo(disk.right() - 5, disk.top());
    body.lineTo(disk.right(), disk.top() + 5);
    body.lineTo(disk.bottomRight());
    body.lineTo(disk.bottomLeft());
    body.closeSubpath();
    QLinearGradient bodyFill(disk.topLeft(), disk.bottomRight());
    bodyFill.setColorAt(0, QColor(0x3a, 0x6e, 0xc0));
    bodyFill.setColorAt(1, QColor(0x16, 0x33, 0x6e));
    p.setPen(QPen(QColor(0x0c, 0x1c, 0x40), 1));
    p.setBrush(bodyFill);
    p.drawPath(body);

    p.setPen(QPen(QColor(0x50, 0x50, 0x58), 1));
    p.setBrush(QColor(0xc8, 0xcc, 0xd4));
    p.drawRect(QRectF(disk.left() + 7, disk.top(), 13, 9));
    p.setBrush(QColor(0x30, 0x30, 0x38));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(disk.left() + 15, disk.top() + 2, 3, 5));

    p.setPen(QPen(QColor(0x90, 0x90, 0x98), 1));
    p.setBrush(QColor(0xfa, 0xfa, 0xf4));
    const QRectF label(disk.left() + 4, disk.top() + 14, disk.width() - 8, disk.height() - 16);
    p.drawRect(label);
    p.setPen(QPen(QColor(0xa0, 0xa8, 0xc0), 1));
    for (int i = 0; i < 3; ++i) {
        const qreal y = label.top() + 3.5 + i * 3;
        p.drawLine(QPointF(label.left() + 3, y), QPointF(label.right() - 3, y));
    }

    // The amber arrow says "into the memory".
    QPolygonF arrow;
    arrow << QPointF(6, 3) << QPointF(14, 3) << QPointF(14, 14) << QPointF(19.5, 14)
          << QPointF(10, 25) << QPointF(0.5, 14) << QPointF(6, 14);
    QLinearGradient arrowFill(QPointF(0, 3), QPointF(0, 25));
    arrowFill.setColorAt(0, QColor(0xff, 0xd8, 0x50));
    arrowFill.setColorAt(1, QColor(0xf0, 0x8a, 0x10));
    p.setPen(QPen(QColor(0x80, 0x40, 0x00), 1));
    p.setBrush(arrowFill);
    p.drawPolygon(arrow);
    return image;
}

QImage drawTitle()
{
    QImage image = canvas(265, 45, Qt::black);
    QPainter p(&image);
    QLinearGradient back(0, 0, 265, 0);
    back.setColorAt(0, QColor(0x0a, 0x22, 0x50));
    back.setColorAt(1, QColor(0x2a, 0x6c, 0xb8));
    p.fillRect(image.rect(), back);
    p.fillRect(QRect(0, 41, 265, 2), QColor(0xf0, 0xb8, 0x30));

    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // A small glowing bulb ahead of the words ties the title to the lights.
    QRadialGradient glow(QPointF(24, 19), 16);
    glow.setColorAt(0, QColor(0xff, 0xf0, 0xa0, 0xc0));
    glow.setColorAt(1, QColor(0xff, 0xf0, 0xa0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(QPointF(24, 19), 16, 16);
    p.setBrush(QColor(0xff, 0xe0, 0x60));
    p.setPen(QPen(QColor(0x80, 0x60, 0x10), 1));
    p.drawEllipse(QPointF(24, 17), 8, 8);
    p.setBrush(QColor(0xb0, 0xb0, 0xb8));
    p.setPen(QPen(QColor(0x40, 0x40, 0x48), 1));
    p.drawRect(QRectF(20.5, 24.5, 7, 7));
    p.drawLine(QPointF(20.5, 28), QPointF(27.5, 28));

    p.setFont(uiFont(30));
    drawShadowedText(p, QRect(44, 0, 265 - 52, 41), QStringLiteral("存入巨集鍵"), Qt::white,
                     QColor(0x00, 0x08, 0x20));
    return image;
}

QImage drawKey(int number)
{
    QImage image = canvas(50, 37, QColor(0x2c, 0x30, 0x38));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);

    const QRectF cap(1.5, 1.5, 47, 33);
    QLinearGradient face(cap.topLeft(), cap.bottomLeft());
    face.setColorAt(0, QColor(0xf4, 0xf4, 0xf0));
    face.setColorAt(1, QColor(0xb4, 0xb8, 0xc0));
    p.setPen(QPen(QColor(0x10, 0x10, 0x14), 1));
    p.setBrush(face);
    p.drawRoundedRect(cap, 4, 4);

    // The key's top, a little inset, makes it read as a raised cap rather than a flat tile.
    const QRectF top = cap.adjusted(3, 2, -3, -5);
    QLinearGradient topFill(top.topLeft(), top.bottomLeft());
    topFill.setColorAt(0, QColor(0xff, 0xff, 0xff));
    topFill.setColorAt(1, QColor(0xd8, 0xdc, 0xe2));
    p.setPen(QPen(QColor(0xa0, 0xa4, 0xac), 1));
    p.setBrush(topFill);
    p.drawRoundedRect(top, 3, 3);

    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(digitFont(number < 10 ? 24 : 21));
    drawShadowedText(p, top.toAlignedRect(), QString::number(number), QColor(0x14, 0x2c, 0x60),
                     QColor(0xff, 0xff, 0xff));
    return image;
}

QImage drawClose()
{
    QImage image = canvas(120, 32, faceColour);
    QPainter p(&image);
    drawRaisedEdge(p, image.rect());

    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(20, 16);
    QRadialGradient red(centre - QPointF(3, 3), 12);
    red.setColorAt(0, QColor(0xff, 0x70, 0x60));
    red.setColorAt(1, QColor(0xb8, 0x14, 0x10));
    p.setPen(QPen(QColor(0x60, 0x08, 0x08), 1));
    p.setBrush(red);
    p.drawEllipse(centre, 10, 10);
    p.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(-4.5, -4.5), centre + QPointF(4.5, 4.5));
    p.drawLine(centre + QPointF(-4.5, 4.5), centre + QPointF(4.5, -4.5));

    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(uiFont(22));
    p.setPen(Qt::black);
    p.drawText(QRect(34, 0, 120 - 42, 32), Qt::AlignCenter, QStringLiteral("關閉"));
    return image;
}

// Icons are drawn without antialiasing in palette colours, so every opaque pixel maps exactly.
QImage drawBulbIcon32(bool mono)
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    const QColor outline = vga(Black);
    p.setPen(outline);

    // Glass: a round top narrowing into a neck.
    QPainterPath bulb;
    bulb.moveTo(11, 21);
    bulb.cubicTo(11, 17, 5, 15, 5, 10);
    bulb.cubicTo(5, 4, 10, 1, 16, 1);
    bulb.cubicTo(22, 1, 27, 4, 27, 10);
    bulb.cubicTo(27, 15, 21, 17, 21, 21);
    bulb.closeSubpath();
    p.setBrush(mono ? vga(White) : vga(Yellow));
    p.drawPath(bulb);

    if (!mono) {
        p.setPen(Qt::NoPen);
        p.setBrush(vga(DarkYellow));
        QPainterPath shade;
        shade.moveTo(24, 6);
        shade.cubicTo(26, 9, 26, 13, 22, 16);
        shade.cubicTo(20, 18, 19.5, 19, 19.5, 20);
        shade.lineTo(18, 20);
        shade.cubicTo(18, 17, 24, 14, 24, 6);
        p.drawPath(shade);
        p.setBrush(vga(White));
        p.drawEllipse(QRectF(9, 5, 4, 5));
    }

    p.setPen(mono ? outline : vga(DarkYellow));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF() << QPointF(13, 20) << QPointF(13, 13) << QPointF(14.5, 11)
                               << QPointF(16, 13) << QPointF(17.5, 11) << QPointF(19, 13)
                               << QPointF(19, 20));

    // Screw base.
    p.setPen(outline);
    p.setBrush(mono ? vga(White) : vga(Silver));
    p.drawRect(QRectF(10, 21, 12, 7));
    p.setPen(mono ? outline : vga(Grey));
    p.drawLine(11, 23, 21, 24);
    p.drawLine(11, 25, 21, 26);
    p.setPen(outline);
    p.setBrush(outline);
    p.drawRect(QRectF(13, 28, 6, 2));
    return image;
}

// At 16 pixels curves drawn by QPainter turn blotchy, so the small bulb is placed by hand.
QImage drawBulbIcon16()
{
    static const char *const rows[16] = {
        ".....KKKKKK.....", "...KKYYYYYYKK...", "..KYWWYYYYYYDK..", ".KYWWYYYYYYYYDK.",
        ".KYWYYYYYYYYYDK.", ".KYYYYDYYDYYYDK.", ".KYYYYDYYDYYYDK.", "..KYYYDYYDYYDK..",
        "..KYYYDYYDYYDK..", "...KYYDYYDYDK...", "....KSSSSSSK....", "....KGGGGGGK....",
        "....KSSSSSSK....", "....KGGGGGGK....", ".....KKKKKK.....", "......KKKK......",
    };
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            switch (rows[y][x]) {
            case 'K':
                image.setPixel(x, y, vgaPalette[Black]);
                break;
            case 'Y':
                image.setPixel(x, y, vgaPalette[Yellow]);
                break;
            case 'D':
                image.setPixel(x, y, vgaPalette[DarkYellow]);
                break;
            case 'W':
                image.setPixel(x, y, vgaPalette[White]);
                break;
            case 'S':
                image.setPixel(x, y, vgaPalette[Silver]);
                break;
            case 'G':
                image.setPixel(x, y, vgaPalette[Grey]);
                break;
            default:
                break;
            }
        }
    }
    return image;
}

void appendU8(QByteArray &out, unsigned value) { out.append(char(value & 0xff)); }

void appendU16(QByteArray &out, unsigned value)
{
    appendU8(out, value);
    appendU8(out, value >> 8);
}

void appendU32(QByteArray &out, std::uint32_t value)
{
    appendU16(out, value & 0xffff);
    appendU16(out, value >> 16);
}

int rowBytes(int width, int bitsPerPixel) { return (width * bitsPerPixel + 31) / 32 * 4; }

int nearestIndex(QRgb colour, const QRgb *palette, int count)
{
    int best = 0;
    int bestDistance = 1 << 30;
    for (int i = 0; i < count; ++i) {
        const int dr = qRed(colour) - qRed(palette[i]);
        const int dg = qGreen(colour) - qGreen(palette[i]);
        const int db = qBlue(colour) - qBlue(palette[i]);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

struct IconImage
{
    QImage image;
    const QRgb *palette;
    int colours;
    int bitsPerPixel;
};

// One ICO image: the BITMAPINFOHEADER (height doubled for the mask), the palette, the colour
// bits and the transparency mask, both stored bottom-up.
QByteArray iconBitmap(const IconImage &icon)
{
    const int w = icon.image.width();
    const int h = icon.image.height();
    const int colourStride = rowBytes(w, icon.bitsPerPixel);
    const int maskStride = rowBytes(w, 1);

    QByteArray out;
    appendU32(out, 40);
    appendU32(out, std::uint32_t(w));
    appendU32(out, std::uint32_t(h * 2));
    appendU16(out, 1);
    appendU16(out, unsigned(icon.bitsPerPixel));
    appendU32(out, 0);
    appendU32(out, std::uint32_t((colourStride + maskStride) * h));
    appendU32(out, 0);
    appendU32(out, 0);
    appendU32(out, std::uint32_t(icon.colours));
    appendU32(out, 0);
    for (int i = 0; i < icon.colours; ++i) {
        appendU8(out, qBlue(icon.palette[i]));
        appendU8(out, qGreen(icon.palette[i]));
        appendU8(out, qRed(icon.palette[i]));
        appendU8(out, 0);
    }

    const int perByte = 8 / icon.bitsPerPixel;
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(colourStride, '\0');
        for (int x = 0; x < w; ++x) {
            const QRgb pixel = icon.image.pixel(x, y);
            // Transparent pixels must be black so the mask's AND leaves the screen untouched.
            const int index =
                qAlpha(pixel) < 128 ? 0 : nearestIndex(pixel, icon.palette, icon.colours);
            const int shift = 8 - icon.bitsPerPixel * (x % perByte + 1);
            row[x / perByte] = char(row[x / perByte] | (index << shift));
        }
        out.append(row);
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x) {
            if (qAlpha(icon.image.pixel(x, y)) < 128)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        out.append(row);
    }
    return out;
}

QByteArray iconFile(const std::vector<IconImage> &icons)
{
    std::vector<QByteArray> bitmaps;
    for (const IconImage &icon : icons)
        bitmaps.push_back(iconBitmap(icon));

    QByteArray out;
    appendU16(out, 0);
    appendU16(out, 1);
    appendU16(out, unsigned(icons.size()));
    std::uint32_t offset = std::uint32_t(6 + 16 * icons.size());
    for (std::size_t i = 0; i < icons.size(); ++i) {
        appendU8(out, unsigned(icons[i].image.width()));
        appendU8(out, unsigned(icons[i].image.height()));
        appendU8(out, unsigned(icons[i].colours));
        appendU8(out, 0);
        appendU16(out, 1);
        appendU16(out, unsigned(icons[i].bitsPerPixel));
        appendU32(out, std::uint32_t(bitmaps[i].size()));
        appendU32(out, offset);
        offset += std::uint32_t(bitmaps[i].size());
    }
    for (const QByteArray &bitmap : bitmaps)
        out.append(bitmap);
    return out;
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.flush();
}

bool saveBmp(const QImage &image, const QString &path)
{
    // RGB888 is what makes Qt's BMP writer store 24 bits per pixel.
    return image.convertToFormat(QImage::Format_RGB888).save(path, "BMP");
}

// Each program's icon as NAME-SIZE.png for every size asked, and NAME.svg.
int writeMenuIcons(const QDir &dir, const QStringList &sizes, QTextStream &err)
{
    const std::vector<std::pair<QString, std::function<VectorIcon(MenuIcons::Detail)>>> icons = {
        {QStringLiteral("panel"), MenuIcons::panel},
        {QStringLiteral("board"), MenuIcons::board},
    };
    for (const auto &[name, draw] : icons) {
        const VectorIcon full = draw(MenuIcons::Detail::Full);
        const VectorIcon small = draw(MenuIcons::Detail::Small);
        for (const QString &text : sizes) {
            bool ok = false;
            const int size = text.toInt(&ok);
            if (!ok || size < 1) {
                err << "makeartwork: not an icon size: " << text << '\n';
                return 2;
            }
            const VectorIcon &icon = size < MenuIcons::smallestFullSize ? small : full;
            const QString path = dir.filePath(QStringLiteral("%1-%2.png").arg(name).arg(size));
            if (!icon.image(size).save(path, "PNG")) {
                err << "makeartwork: cannot write " << path << '\n';
                return 1;
            }
        }
        const QString path = dir.filePath(name + QStringLiteral(".svg"));
        if (!writeFile(path, full.svg())) {
            err << "makeartwork: cannot write " << path << '\n';
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    QStringList arguments = QCoreApplication::arguments().mid(1);
    const bool menuIcons = !arguments.isEmpty() && arguments.first() == u"--menu-icons";
    if (menuIcons)
        arguments.removeFirst();
    if (menuIcons ? arguments.size() < 2 : arguments.size() != 1) {
        err << "usage: makeartwork <output folder>\n"
               "       makeartwork --menu-icons <output folder> <size>...\n";
        return 2;
    }
    const QDir dir(arguments.takeFirst());
    if (!QDir().mkpath(dir.path())) {
        err << "makeartwork: cannot create " << dir.path() << '\n';
        return 1;
    }
    if (menuIcons)
        return writeMenuIcons(dir, arguments, err);

    // A fallback font would still build, but the Chinese pictures would look wrong; say so.
    const QFontInfo used(uiFont(20));
    if (used.family() != uiFontFamily)
        err << "makeartwork: warning: font " << uiFontFamily << " not found, using "
            << used.family() << '\n';

    std::vector<std::pair<QString, std::function<QImage()>>> pictures = {
        {QStringLiteral("store.bmp"), drawStore},
        {QStringLiteral("title.bmp"), drawTitle},
        {QStringLiteral("close.bmp"), drawClose},
    };
    for (int n = 1; n <= 12; ++n)
        pictures.emplace_back(QStringLiteral("key%1.bmp").arg(n), [n] { return drawKey(n); });

    for (const auto &[name, draw] : pictures) {
        if (!saveBmp(draw(), dir.filePath(name))) {
            err << "makeartwork: cannot write " << dir.filePath(name) << '\n';
            return 1;
        }
    }

    const std::vector<IconImage> icons = {
        {drawBulbIcon32(true), monoPalette.data(), 2, 1},
        {drawBulbIcon32(false), vgaPalette.data(), 16, 4},
        {drawBulbIcon16(), vgaPalette.data(), 16, 4},
    };
    if (!writeFile(dir.filePath(QStringLiteral("icon.ico")), iconFile(icons))) {
        err << "makeartwork: cannot write " << dir.filePath(QStringLiteral("icon.ico")) << '\n';
        return 1;
    }
    return 0;
}
