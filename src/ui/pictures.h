#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

// The panel's artwork, drawn at build time: its resource names, and the pictures read from
// them. They are read here rather than by Qt's image readers, which look through every
// image format plugin installed (and load them, and libjpeg with one) before they read a
// BMP: the panel's own two formats need none of that.
namespace Pictures {

inline QString programIcon() { return QStringLiteral(":/pictures/icon.ico"); }
inline QString storeImage() { return QStringLiteral(":/pictures/store.bmp"); }
inline QString sceneKeyTitle() { return QStringLiteral(":/pictures/title.bmp"); }
inline QString closeImage() { return QStringLiteral(":/pictures/close.bmp"); }
// Scene key i (0..11) shows the number i + 1.
inline QString sceneKey(int i) { return QStringLiteral(":/pictures/key%1.bmp").arg(i + 1); }

// A bitmap of 24 bits a pixel, uncompressed, as the artwork is stored; a null image for
// anything else.
QImage fromBitmap(const QByteArray &file);
// An icon file of images of 1, 4 or 8 bits a pixel with their masks of transparent pixels:
// of each size, the image with the most colours, as Qt's own icon reader keeps it. A null
// icon for anything else.
QIcon fromIcon(const QByteArray &file);

// The pictures in the resources.
QPixmap bitmap(const QString &resource);
QIcon icon(const QString &resource);

} // namespace Pictures
