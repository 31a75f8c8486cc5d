#pragma once

#include <QByteArray>

#include <vector>

// The QR code of a text, by libqrencode: rows of modules, true for dark, without the
// quiet zone around it. Medium error correction, which a phone reads off a screen at an
// arm's length. Empty when the text does not fit a code.
std::vector<std::vector<bool>> encodeQr(const QByteArray &text);
