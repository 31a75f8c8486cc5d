#include "qrencoder.h"

#include <qrencode.h>

#include <memory>

std::vector<std::vector<bool>> encodeQr(const QByteArray &text)
{
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> code(
        QRcode_encodeString8bit(text.constData(), 0, QR_ECLEVEL_M), &QRcode_free);
    if (!code)
        return {};
    const int width = code->width;
    std::vector<std::vector<bool>> rows(std::size_t(width),
                                        std::vector<bool>(std::size_t(width), false));
    for (int y = 0; y < width; ++y) {
        for (int x = 0; x < width; ++x)
            rows[std::size_t(y)][std::size_t(x)] = (code->data[y * width + x] & 1) != 0;
    }
    return rows;
}
