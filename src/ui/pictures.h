#pragma once

#include <QString>

// The resource names of the panel's artwork, drawn at build time.
namespace Pictures {

inline QString programIcon() { return QStringLiteral(":/pictures/icon.ico"); }
inline QString storeImage() { return QStringLiteral(":/pictures/store.bmp"); }
inline QString sceneKeyTitle() { return QStringLiteral(":/pictures/title.bmp"); }
inline QString closeImage() { return QStringLiteral(":/pictures/close.bmp"); }
// Scene key i (0..11) shows the number i + 1.
inline QString sceneKey(int i) { return QStringLiteral(":/pictures/key%1.bmp").arg(i + 1); }

} // namespace Pictures
