#include "pictures.h"

#include <QFile>

#include <algorithm>

namespace {

// Little-endian fields of the bitmap and icon headers; 0 past the end of the file.
quint32 field(const QByteArray &file, qsizetype at, int bytes)
{
    if (at < 0 || at + bytes > file.size())
        return 0;
    quint32 value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | quint8(file[at + i]);
    return value;
}

// No picture of the panel comes near this; a header that says more is no picture of it.
constexpr quint32 LargestSide = 1024;
constexpr qsizetype BitmapFileHeader = 14;
constexpr quint32 InfoHeader = 40;

// The bytes of a row of depth bits a pixel, padded to four bytes as both formats store it.
qsizetype rowBytes(quint32 width, int depth) { return (qsizetype(width) * depth + 31) / 32 * 4; }

QByteArray resourceBytes(const QString &resource)
{
    QFile file(resource);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct IconImage
{
    QImage image;
    quint32 colours = 0;
};

// One image of an icon file at offset: a BITMAPINFOHEADER with the height doubled, the
// palette, the colour bits and the mask of transparent pixels, both bottom-up.
IconImage iconImage(const QByteArray &file, qsizetype offset)
{
    const quint32 width = field(file, offset + 4, 4);
    const quint32 height = field(file, offset + 8, 4) / 2;
    const int depth = int(field(file, offset + 14, 2));
    const quint32 colours =
        field(file, offset + 32, 4) ? field(file, offset + 32, 4) : 1u << depth;
    if (field(file, offset, 4) != InfoHeader || width == 0 || height == 0 || width > LargestSide ||
        height > LargestSide || (depth != 1 && depth != 4 && depth != 8) ||
        field(file, offset + 16, 4) != 0 || colours > 1u << depth)
        return {};
    const qsizetype palette = offset + InfoHeader;
    const qsizetype bits = palette + 4 * qsizetype(colours);
    const qsizetype colourStride = rowBytes(width, depth);
    const qsizetype mask = bits + colourStride * height;
    const qsizetype maskStride = rowBytes(width, 1);
    if (mask + maskStride * height > file.size())
        return {};
    QImage image(int(width), int(height), QImage::Format_ARGB32_Premultiplied);
    for (quint32 y = 0; y < height; ++y) {
        const qsizetype row = height - 1 - y;
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(int(y)));
        for (quint32 x = 0; x < width; ++x) {
            const int shift = 8 - depth - int(x * depth % 8);
            const quint32 index =
                quint8(file[bits + row * colourStride + x * depth / 8]) >> shift &
                ((1 << depth) - 1);
            const bool transparent =
                quint8(file[mask + row * maskStride + x / 8]) & (0x80 >> (x % 8));
            const qsizetype entry = palette + 4 * qsizetype(index);
            out[x] =
                transparent || index >= colours
                    ? 0
                    : qRgb(quint8(file[entry + 2]), quint8(file[entry + 1]), quint8(file[entry]));
        }
    }
    return {image, colours};
}

} // namespace

namespace Pictures {

QImage fromBitmap(const QByteArray &file)
{
    // BITMAPFILEHEADER, BITMAPINFOHEADER, and the rows bottom-up, blue-green-red.
    const qsizetype pixels = field(file, 10, 4);
    const quint32 width = field(file, BitmapFileHeader + 4, 4);
    const quint32 height = field(file, BitmapFileHeader + 8, 4);
    const qsizetype stride = rowBytes(width, 24);
    if (!file.startsWith("BM") || field(file, BitmapFileHeader, 4) < InfoHeader ||
        field(file, BitmapFileHeader + 14, 2) != 24 ||
        field(file, BitmapFileHeader + 16, 4) != 0 || width == 0 || height == 0 ||
        width > LargestSide || height > LargestSide || pixels + stride * height > file.size())
        return {};
    QImage image(int(width), int(height), QImage::Format_RGB32);
    for (quint32 y = 0; y < height; ++y) {
        const char *in = file.constData() + pixels + stride * (height - 1 - y);
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(int(y)));
        for (quint32 x = 0; x < width; ++x)
            out[x] = qRgb(quint8(in[3 * x + 2]), quint8(in[3 * x + 1]), quint8(in[3 * x]));
    }
    return image;
}

QIcon fromIcon(const QByteArray &file)
{
    // The directory: reserved, type 1 (an icon), the count; then an entry of 16 bytes for
    // each image, its offset at +12.
    constexpr qsizetype Directory = 6;
    constexpr qsizetype Entry = 16;
    const int count = int(field(file, 4, 2));
    if (field(file, 0, 2) != 0 || field(file, 2, 2) != 1 || count == 0)
        return {};
    // In the order the sizes first appear, as Qt's reader gives them.
    QList<IconImage> kept;
    for (int i = 0; i < count; ++i) {
        const IconImage read = iconImage(file, field(file, Directory + Entry * i + 12, 4));
        if (read.image.isNull())
            return {};
        const auto same = std::find_if(kept.begin(), kept.end(), [&read](const IconImage &one) {
            return one.image.size() == read.image.size();
        });
        if (same == kept.end())
            kept.append(read);
        else if (read.colours > same->colours)
            *same = read;
    }
    QIcon icon;
    for (const IconImage &one : std::as_const(kept))
        icon.addPixmap(QPixmap::fromImage(one.image));
    return icon;
}

QPixmap bitmap(const QString &resource)
{
    return QPixmap::fromImage(fromBitmap(resourceBytes(resource)));
}

QIcon icon(const QString &resource) { return fromIcon(resourceBytes(resource)); }

} // namespace Pictures
